#include "image/program_image.h"

#include <cstring>
#include <fstream>
#include <iterator>

#include "state/errors.h"

namespace kestrel {

namespace {
[[noreturn]] void malformed(const std::string& why) {
  throw ImageError("Malformed program image: " + why);
}

int32_t readS32(const std::vector<uint8_t>& b, size_t at) {
  uint32_t v = static_cast<uint32_t>(b[at]) | static_cast<uint32_t>(b[at + 1]) << 8 |
               static_cast<uint32_t>(b[at + 2]) << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
  return static_cast<int32_t>(v);
}
}  // namespace

ProgramImage parseImage(std::vector<uint8_t> image) {
  ProgramImage img;
  if (image.size() > 0x7fffff00) malformed("larger than 2 GiB");
  const int64_t size = static_cast<int64_t>(image.size());
  img.size = static_cast<int32_t>(size);
  img.bytes = std::move(image);

  int64_t pos = 0;
  auto tag = [&]() -> uint8_t {
    if (pos >= size) malformed("ends inside the header at position " + std::to_string(pos));
    return img.bytes[static_cast<size_t>(pos++)];
  };
  auto length = [&]() -> int64_t {
    if (pos + 4 > size) malformed("a length field runs past the end at position " + std::to_string(pos));
    int32_t n = readS32(img.bytes, static_cast<size_t>(pos));
    pos += 4;
    return n;
  };

  uint8_t t = tag();
  while (t == kTagSkipped) {
    int64_t at = pos;
    int64_t n = length();
    // N counts its own four bytes: anything smaller would move backwards.
    if (n < 4) malformed("skipped record at position " + std::to_string(at) + " has length " + std::to_string(n));
    if (at + n > size) malformed("skipped record at position " + std::to_string(at) + " runs past the end");
    pos = at + n;
    t = tag();
  }
  while (t == kTagResource) {
    int64_t at = pos;
    int64_t n = length();
    if (n < 0 || pos + n > size)
      malformed("resource " + std::to_string(img.resources.size()) + " at position " + std::to_string(at) +
                " runs past the end");
    img.resources.push_back(static_cast<int32_t>(at));
    pos += n;
    t = tag();
  }
  int64_t at = pos;
  int64_t n = length();
  if (n < 4 || at + n > size)
    malformed("data block at position " + std::to_string(at) + " has length " + std::to_string(n));
  img.dataStart = static_cast<int32_t>(pos);
  img.codeStart = static_cast<int32_t>(at + n);
  img.bytes.resize(img.bytes.size() + kImagePadding, 0);
  return img;
}

std::vector<uint8_t> ProgramImage::resource(size_t index) const {
  if (index >= resources.size()) raiseListIndex(static_cast<int64_t>(index));
  return resourceAt(resources[index]);
}

std::vector<uint8_t> ProgramImage::resourceAt(int64_t position) const {
  if (position < 0 || position + 4 > size) raise("Resource position out of range (" + std::to_string(position) + ")");
  int32_t n = readS32(bytes, static_cast<size_t>(position));
  if (n < 0 || position + 4 + n > size) raise("Resource at position " + std::to_string(position) + " runs past the end");
  auto begin = bytes.begin() + position + 4;
  return std::vector<uint8_t>(begin, begin + n);
}

std::vector<uint8_t> readWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  if (!in) raise("Cannot open file " + path);
  // One read of the whole size where the size is known (executables are
  // large); a stream without one is read to its end.
  const std::streamoff size = in.tellg();
  if (size < 0) {
    in.clear();
    in.seekg(0);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  std::vector<uint8_t> bytes(static_cast<size_t>(size));
  in.seekg(0);
  in.read(reinterpret_cast<char*>(bytes.data()), size);
  if (!in) raise("Cannot read file " + path);
  return bytes;
}

std::vector<uint8_t> imageFromBound(const std::vector<uint8_t>& file) {
  if (file.size() < 4) malformed("the file is shorter than its trailer");
  int64_t length = readS32(file, file.size() - 4);
  if (length < 0 || length > static_cast<int64_t>(file.size()) - 4)
    malformed("the trailer claims " + std::to_string(length) + " bytes but the file holds " +
              std::to_string(file.size() - 4));
  auto end = file.end() - 4;
  return std::vector<uint8_t>(end - length, end);
}

std::vector<uint8_t> imageInFile(const std::vector<uint8_t>& file) {
  const bool executable = (file.size() >= 4 && std::memcmp(file.data(), "\x7f" "ELF", 4) == 0) ||
                          (file.size() >= 2 && file[0] == 'M' && file[1] == 'Z');
  if (executable) {
    try {
      std::vector<uint8_t> image = imageFromBound(file);
      if (!image.empty()) parseImage(image);
      return image;
    } catch (const ImageError& e) {
      throw ImageError(std::string("An executable without a well-formed program image appended (") + e.what() + ")");
    }
  }
  try {
    parseImage(file);
    return file;
  } catch (const ImageError&) {
    // Not an image itself: perhaps one with a trailer after it.
    try {
      std::vector<uint8_t> image = imageFromBound(file);
      if (!image.empty()) {
        parseImage(image);
        return image;
      }
    } catch (const ImageError&) {
    }
    throw;
  }
}

std::vector<uint8_t> imageFromExecutable(const std::string& path) {
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  if (!in) raise("Cannot open file " + path);
  const int64_t fileSize = static_cast<int64_t>(in.tellg());
  if (fileSize < 4) malformed("the file is shorter than its trailer");
  std::vector<uint8_t> trailer(4);
  in.seekg(fileSize - 4);
  in.read(reinterpret_cast<char*>(trailer.data()), 4);
  const int64_t length = readS32(trailer, 0);
  if (length < 0 || length > fileSize - 4)
    malformed("the trailer claims " + std::to_string(length) + " bytes but the file holds " +
              std::to_string(fileSize - 4));
  std::vector<uint8_t> image(static_cast<size_t>(length));
  in.seekg(fileSize - 4 - length);
  in.read(reinterpret_cast<char*>(image.data()), length);
  if (!in) raise("Cannot read file " + path);
  return image;
}

std::vector<uint8_t> bindImage(const std::vector<uint8_t>& stub, const std::vector<uint8_t>& image) {
  std::vector<uint8_t> out(stub);
  // A bare stub ends with a zero trailer; drop it so the bound file has one trailer.
  if (out.size() >= 4 && readS32(out, out.size() - 4) == 0) out.resize(out.size() - 4);
  out.insert(out.end(), image.begin(), image.end());
  uint32_t n = static_cast<uint32_t>(image.size());
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(n >> (8 * i)));
  return out;
}

}  // namespace kestrel
