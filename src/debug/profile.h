#pragma once
// The profile: how often each statement ran and where the time went, by
// statement and by procedure, printed when the run ends. The fast path
// stays on: its blocks count once for each of their statements, and a
// clock that ticks every millisecond charges the time since the last tick
// to what was running, a block's time shared evenly among its statements.
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <map>
#include <thread>
#include <vector>

#include "core/run_observer.h"

namespace kestrel::debug {

class Profile : public RunObserver {
 public:
  explicit Profile(std::FILE* out, size_t rows = 15);
  ~Profile() override;

  void statement(Machine& m, int32_t position) override;
  void block(Machine& m, int32_t position, int statements) override;
  void end(Machine& m, const char* error) override;

 private:
  struct Procedure {
    double self = 0;
    double total = 0;  // with what it calls
    uint64_t stamp = 0;
  };
  void prepare(Machine& m);
  void enter(Machine& m, int32_t position, int statements);
  void stop();
  void report(Machine& m);

  std::FILE* out_;
  size_t rows_;
  std::atomic<uint32_t> ticks_{0};
  std::atomic<bool> stopping_{false};
  std::thread clock_;
  uint32_t seen_ = 0;
  uint64_t samples_ = 0;
  // What is running now: a statement, or a block of `currentSize_` statements.
  int32_t current_ = -1;
  int currentSize_ = 0;
  int32_t lastDepth_ = 0;
  std::vector<uint64_t> counts_;        // statements run, by position
  std::vector<uint64_t> blockCounts_;   // blocks entered, by position
  std::vector<uint8_t> blockSizes_;     // statements in the block there
  std::vector<double> time_;            // milliseconds, by statement position
  std::vector<double> blockTime_;       // milliseconds, by block position
  std::map<int32_t, Procedure> procedures_;  // by entry; -1 is the main code
};

}  // namespace kestrel::debug
