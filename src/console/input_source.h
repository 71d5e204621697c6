#pragma once
// Standard input as the console reads it: bytes read ahead for key decoding
// stay pending, so that line input and raw reads see them first.
#include <cstddef>
#include <string>
#include <string_view>

namespace kestrel {

class InputSource {
 public:
  explicit InputSource(int fd);

  int fd() const { return fd_; }
  bool isTerminal() const { return terminal_; }

  // Reads what the input holds, waiting up to `timeoutMs` for the first byte
  // (-1: until something comes or the input ends). False when nothing came.
  bool fill(int timeoutMs);
  // True once a file or pipe has ended (a terminal never ends for good).
  bool ended() const { return ended_; }

  std::string_view pending() const { return std::string_view(buffer_).substr(head_); }
  void consume(size_t n);
  // Up to `count` bytes: the pending ones if there are any, else one read
  // that waits for input. Empty at the end of input or on an error.
  std::string readSome(size_t count);

 private:
  bool waitReadable(int timeoutMs);
  int fd_;
  bool terminal_;
  bool ended_ = false;
  std::string buffer_;
  size_t head_ = 0;
};

}  // namespace kestrel
