#include "objects/streams.h"

#include <cstring>

#include "core/machine.h"
#include "objects/member_operands.h"
#include "platform/paths.h"

namespace kestrel::objects {

namespace {
constexpr size_t kMaxMemoryStream = size_t{1} << 30;
}

bool FileStream::open(Machine& m, const Str& programName, int32_t mode, std::string& error) {
  close();  // an entry that is open is closed first, so its file is not lost
  platform::OpenMode flags;
  const bool valid = platform::openModeFromValue(mode, flags);
  const char* verb = flags.create ? "Cannot create file" : "Cannot open file";
  std::string reason = "invalid file mode";
  if (m.options.sandbox) reason = "files are not available in the sandbox";
  else if (valid) file_ = platform::File::open(platform::translatePath(programName.view()), flags, reason);
  if (file_) return true;
  error = std::string(verb) + " \"" + programName.str() + "\". " + reason;
  return false;
}

void FileStream::close() {
  std::unique_ptr<platform::File> file = std::move(file_);
  position_ = 0;
  if (file && !file->close()) raise("Stream write error");
}

bool closeFileStreams(Machine& m) {
  bool ok = true;
  ObjectWorld& w = world(m);
  for (size_t i = 0; i < w.count(kFileStreamType); ++i) {
    auto& stream = w.as<FileStream>(kFileStreamType, static_cast<int32_t>(i));
    try {
      stream.close();
    } catch (const RuntimeError&) {
      ok = false;
    }
  }
  return ok;
}

void FileStream::usable() {
  if (!file_) raise("File stream " + std::to_string(tag) + " is not open");
}

void MemoryStream::reserve(size_t n) {
  if (n <= capacity_) return;
  if (n > kMaxMemoryStream) raise(texts::kOutOfMemory);
  const size_t want = platform::LowHeap::usableSize(std::max(n, std::min(capacity_ * 2, kMaxMemoryStream)));
  uint8_t* block = heap_.allocate(want);
  if (size_ > 0) std::memcpy(block, data_, size_);
  heap_.release(data_, capacity_);
  data_ = block;
  capacity_ = want;
}

void MemoryStream::setSize(int64_t n) {
  const size_t size = n < 0 ? 0 : static_cast<size_t>(n);
  reserve(size);
  if (size > size_) std::memset(data_ + size_, 0, size - size_);
  size_ = size;
  if (position_ > n) position_ = static_cast<int64_t>(size_);
}

void MemoryStream::clear() {
  heap_.release(data_, capacity_);
  data_ = nullptr;
  capacity_ = size_ = 0;
  position_ = 0;
}

size_t MemoryStream::readAt(int64_t at, uint8_t* dst, size_t n) {
  if (at < 0 || static_cast<uint64_t>(at) >= size_) return 0;
  const size_t got = std::min(n, size_ - static_cast<size_t>(at));
  std::memmove(dst, data_ + at, got);
  return got;
}

void MemoryStream::writeAt(int64_t at, const uint8_t* src, size_t n) {
  if (n == 0) return;
  const uint64_t end = static_cast<uint64_t>(at) + n;
  if (end > kMaxMemoryStream) raise(texts::kOutOfMemory);
  if (end > size_) {
    // `src` may point into this stream's own memory, which reserve() moves.
    std::vector<uint8_t> copy;
    if (data_ != nullptr && src >= data_ && src < data_ + capacity_) {
      copy.assign(src, src + n);
      src = copy.data();
    }
    reserve(end);
    if (static_cast<size_t>(at) > size_) std::memset(data_ + size_, 0, static_cast<size_t>(at) - size_);
    size_ = end;
  }
  std::memmove(data_ + at, src, n);
}

Stream* streamReference(Machine& m) {
  const int type = m.u8();
  m.u8();
  const int32_t index = m.s16();
  skipByte(m);
  if (type != kFileStreamType && type != kMemoryStreamType) return nullptr;
  return &world(m).as<Stream>(type, index);
}

}  // namespace kestrel::objects
