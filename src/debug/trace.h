#pragma once
// The trace: every statement as it runs, one line each: its position, its
// source line when known, its text (indented by the call depth) and, for
// assignments, the value stored. Runs with the fast path off, so that no
// statement goes by untold.
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "core/run_observer.h"

namespace kestrel::kasm {
class StatementReader;
}

namespace kestrel::debug {

class Trace : public RunObserver {
 public:
  explicit Trace(std::FILE* out);
  ~Trace() override;

  void statement(Machine& m, int32_t position) override;
  void block(Machine& m, int32_t position, int statements) override;
  void end(Machine& m, const char* error) override;

 private:
  // An assignment whose value is written once it is done: when the next
  // statement at its call depth (or a shallower one) begins.
  struct Pending {
    int32_t depth;
    int32_t position;
    std::string line;  // not yet written while non-empty
  };
  void writePending();
  void finish(Machine& m, const Pending& p);
  std::string head(Machine& m, int32_t position) const;

  std::FILE* out_;
  std::unique_ptr<kasm::StatementReader> reader_;
  std::vector<Pending> pending_;
};

}  // namespace kestrel::debug
