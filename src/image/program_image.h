#pragma once
// The program image: header records, embedded resources, the data block and
// the statement code, and how it is found at the end of an executable.
#include <cstdint>
#include <string>
#include <vector>

namespace kestrel {

// Zero bytes kept after the image so that fixed-size operand reads near the
// end never leave the buffer; the statement loop stops at the real end.
inline constexpr size_t kImagePadding = 16;

inline constexpr uint8_t kTagSkipped = 10;
inline constexpr uint8_t kTagResource = 18;

struct ProgramImage {
  std::vector<uint8_t> bytes;  // the image, then kImagePadding zero bytes
  int32_t size = 0;            // length of the image proper
  std::vector<int32_t> resources;  // position of each resource's length field
  int32_t dataStart = 0;       // just after the data block's length field
  int32_t codeStart = 0;       // first statement byte
  // The start condition: at least five bytes of statement code.
  bool runnable() const { return codeStart < size - 4; }
  // A resource's payload (the bytes after its length field).
  std::vector<uint8_t> resource(size_t index) const;
  // The payload of the resource whose length field is at `position`.
  std::vector<uint8_t> resourceAt(int64_t position) const;
};

// Walks the header of an image. Malformed headers raise ImageError.
ProgramImage parseImage(std::vector<uint8_t> image);

// The image appended to an executable file: empty when the trailer is 0.
// A trailer that claims more bytes than the file holds raises ImageError.
std::vector<uint8_t> imageFromExecutable(const std::string& path);
std::vector<uint8_t> imageFromBound(const std::vector<uint8_t>& file);

// The program in a file of any sort: an executable (ELF or PE, whose
// first bytes say so) holds it before its trailer; any other file is an
// image itself, or else one whose trailer leads to a well-formed image.
// Raises ImageError when neither holds.
std::vector<uint8_t> imageInFile(const std::vector<uint8_t>& file);

// Stub bytes (without a zero trailer) + image + trailer.
std::vector<uint8_t> bindImage(const std::vector<uint8_t>& stub, const std::vector<uint8_t>& image);

std::vector<uint8_t> readWholeFile(const std::string& path);

}  // namespace kestrel
