#pragma once
// Buffered writes to the process's standard output. The buffer is flushed
// before anything else can write to the same place (errors, external code,
// child processes, console input) and at the end of the run.
#include <string>
#include <string_view>

namespace kestrel {

class StdOutput {
 public:
  explicit StdOutput(int fd = 1);
  ~StdOutput() { flush(); }
  void write(std::string_view text) {
    buffer_.append(text);
    if (buffer_.size() >= kFlushAt) flush();
  }
  void put(char c) {
    buffer_.push_back(c);
    if (buffer_.size() >= kFlushAt) flush();
  }
  void flush();
  // A terminal shows each statement's output at once; files and pipes wait.
  void flushIfTerminal() {
    if (terminal_) flush();
  }
  // Tests capture output instead of writing it.
  void captureInto(std::string* sink) { capture_ = sink; }

 private:
  static constexpr size_t kFlushAt = 64 * 1024;
  int fd_;
  bool terminal_;
  bool closed_ = false;  // the reader of a pipe went away
  std::string buffer_;
  std::string* capture_ = nullptr;
};

}  // namespace kestrel
