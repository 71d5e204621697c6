#pragma once
// File streams (type 46) and memory streams (type 47): bytes read and
// written at a position that every transfer advances.
#include <cstdint>
#include <memory>
#include <string>

#include "objects/object_model.h"
#include "platform/file_io.h"
#include "platform/low_heap.h"

namespace kestrel::objects {

inline constexpr int kFileStreamType = 46;
inline constexpr int kMemoryStreamType = 47;

class Stream : public Object {
 public:
  using Object::Object;

  virtual int64_t size() = 0;
  int64_t position() {
    usable();
    return position_;
  }
  // A negative position is refused and leaves the position where it was.
  void setPosition(int64_t p) {
    usable();
    if (p >= 0) position_ = p;
  }
  // Reads up to n bytes at the position; returns how many there were.
  size_t read(uint8_t* dst, size_t n) {
    usable();
    const size_t got = readAt(position_, dst, n);
    position_ += static_cast<int64_t>(got);
    return got;
  }
  void write(const uint8_t* src, size_t n) {
    usable();
    writeAt(position_, src, n);
    position_ += static_cast<int64_t>(n);
  }
  void write(std::string_view bytes) { write(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()); }

 protected:
  // Raises when the stream cannot be used (a file stream that is not open).
  virtual void usable() {}
  virtual size_t readAt(int64_t at, uint8_t* dst, size_t n) = 0;
  virtual void writeAt(int64_t at, const uint8_t* src, size_t n) = 0;

  int64_t position_ = 0;
};

// An entry of the file-stream table: empty until Open, emptied by Close.
class FileStream : public Stream {
 public:
  explicit FileStream(int type) : Stream(type) {}
  // Opens `programName` (a Windows-style name) with a file-mode value; an
  // entry that is already open is closed first. False and the error text
  // when the file cannot be opened.
  bool open(Machine& m, const Str& programName, int32_t mode, std::string& error);
  // Raises "Stream write error" when the system reports that writing failed.
  void close();
  bool isOpen() const { return file_ != nullptr; }
  int handle() {
    usable();
    return file_->handle();
  }
  int64_t size() override {
    usable();
    return file_->size();
  }

 protected:
  void usable() override;
  size_t readAt(int64_t at, uint8_t* dst, size_t n) override { return file_->readAt(at, dst, n); }
  void writeAt(int64_t at, const uint8_t* src, size_t n) override { file_->writeAt(at, src, n); }

 private:
  std::unique_ptr<platform::File> file_;
};

class MemoryStream : public Stream {
 public:
  MemoryStream(int type, platform::LowHeap& heap) : Stream(type), heap_(heap) {}
  ~MemoryStream() override { heap_.release(data_, capacity_); }

  int64_t size() override { return static_cast<int64_t>(size_); }
  // New bytes are zero; a position beyond the new end moves to the end.
  void setSize(int64_t n);
  void clear();
  // The address of the contents (nullptr while the stream has no memory).
  uint8_t* memory() const { return data_; }

 protected:
  size_t readAt(int64_t at, uint8_t* dst, size_t n) override;
  void writeAt(int64_t at, const uint8_t* src, size_t n) override;

 private:
  void reserve(size_t n);

  platform::LowHeap& heap_;
  uint8_t* data_ = nullptr;
  size_t capacity_ = 0;
  size_t size_ = 0;
};

void registerStreamTypes(TypeRegistry& registry);

// Closes every open file stream (at the end of a run); false when one of
// them reported a write error.
bool closeFileStreams(Machine& m);

// A stream reference: type code, kind byte (not examined), 2-byte index, b.
// nullptr for a type code other than a stream's.
Stream* streamReference(Machine& m);

}  // namespace kestrel::objects
