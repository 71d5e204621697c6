#include "toolkit/toolkit.h"

#include <cstdio>

#include "platform/plugin.h"

namespace kestrel {

int Toolkit::showMessageBox(const MessageBoxRequest&) { return -1; }
bool Toolkit::screenSize(int&, int&) { return false; }
void Toolkit::setScreenCursor(int) {}
void Toolkit::playSound(platform::PcmSound, bool, bool) {}
void Toolkit::stopSound() {}
bool Toolkit::soundPlaying() { return false; }
std::unique_ptr<SocketWatch> Toolkit::watchSocket(int, std::function<void(SocketCondition)>) { return nullptr; }

namespace {

// Without a window system the printer's text goes nowhere.
class DiscardedPrintJob : public TextPrintJob {
 public:
  void write(std::string_view) override {}
  void finish() override {}
};

}  // namespace

std::unique_ptr<TextPrintJob> Toolkit::startTextPrintJob(const std::string&) {
  return std::make_unique<DiscardedPrintJob>();
}

const char* dialogButtonLabel(DialogButton button) {
  switch (button) {
    case DialogButton::Ok: return "OK";
    case DialogButton::Cancel: return "Cancel";
    case DialogButton::Abort: return "Abort";
    case DialogButton::Retry: return "Retry";
    case DialogButton::Ignore: return "Ignore";
    case DialogButton::Yes: return "Yes";
    case DialogButton::No: return "No";
    case DialogButton::All: return "All";
    case DialogButton::Help: return "Help";
    case DialogButton::TryAgain: return "Try Again";
    case DialogButton::Continue: return "Continue";
  }
  return "";
}

namespace {

class NullToolkit : public Toolkit {
 public:
  bool windowSystemAvailable() override { return false; }
  void processPendingEvents() override { runPostedTasks(); }
};

constexpr const char* kToolkitPlugin = "kestrel-toolkit-qt.so";

std::unique_ptr<Toolkit>& owned() {
  static std::unique_ptr<Toolkit> toolkit = makeNullToolkit();
  return toolkit;
}

// The toolkit in use; null until the first use decides. A toolkit from the
// plug-in is never destroyed: its code stays loaded until the process ends.
Toolkit* active = nullptr;
bool pluginWanted = false;

Toolkit& firstUse() {
  active = owned().get();
  if (pluginWanted) {
    pluginWanted = false;
    std::string error;
    if (void* make = platform::pluginSymbol(kToolkitPlugin, "kestrelMakeToolkit", error)) {
      active = reinterpret_cast<Toolkit* (*)()>(make)();
    } else {
      std::fprintf(stderr, "kestrel: no window system (%s)\n", error.c_str());
      std::fflush(stderr);
    }
  }
  return *active;
}

}  // namespace

std::unique_ptr<Toolkit> makeNullToolkit() { return std::make_unique<NullToolkit>(); }

Toolkit& toolkit() {
  if (active == nullptr) [[unlikely]] return firstUse();
  return *active;
}

Toolkit* toolkitInUse() { return pluginWanted ? nullptr : &toolkit(); }

void installToolkit(std::unique_ptr<Toolkit> toolkit) {
  owned() = std::move(toolkit);
  active = owned().get();
  pluginWanted = false;
}

void useToolkitPlugin() {
  pluginWanted = true;
  active = nullptr;
}

}  // namespace kestrel
