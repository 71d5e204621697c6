#include "toolkit/toolkit.h"

namespace kestrel {

namespace {

class NullToolkit : public Toolkit {
 public:
  bool windowSystemAvailable() override { return false; }
  void processPendingEvents() override {}
};

std::unique_ptr<Toolkit>& installed() {
  static std::unique_ptr<Toolkit> toolkit = makeNullToolkit();
  return toolkit;
}

}  // namespace

std::unique_ptr<Toolkit> makeNullToolkit() { return std::make_unique<NullToolkit>(); }

Toolkit& toolkit() { return *installed(); }

void installToolkit(std::unique_ptr<Toolkit> toolkit) { installed() = std::move(toolkit); }

}  // namespace kestrel
