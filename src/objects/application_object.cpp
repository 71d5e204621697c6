// The application (type 85): every application object is the program
// itself — its title, icon, executable name, tool-tip settings, help
// settings, minimizing and ending.
#include <algorithm>

#include "core/machine.h"
#include "core/system_state.h"
#include "objects/gui_state.h"
#include "objects/member_operands.h"
#include "toolkit/colors.h"
#include "toolkit/dialogs.h"
#include "toolkit/surface.h"
#include "toolkit/toolkit.h"

namespace kestrel::objects {

namespace {

constexpr int kApplicationType = 85;
constexpr int32_t kIconHandleBase = 0x00B00000;  // the forms' icon numbers (form.cpp)
// The application's own window handle: below every window of the handle
// table, which starts at 0x10004.
constexpr int32_t kApplicationHandle = 0x10000;

struct ApplicationState : FamilyState {
  explicit ApplicationState(Machine&) {}
  std::unique_ptr<gui::Surface> icon;
  int32_t iconHandle = 0;
  int32_t hintColor = gui::systemColor(24);  // the tool-tip background
  int32_t hintPause = 500;
  int32_t hintShortPause = 50;
  int32_t hintHidePause = 2500;
  std::string helpFile;
  uint8_t showHint = 1;
};

class Application : public Object {
 public:
  explicit Application(int type) : Object(type) {}
};

ApplicationState& app(Machine& m) { return world(m).state<ApplicationState>(); }

void applyHints(ApplicationState& a) {
  toolkit().setApplicationHints(a.showHint != 0, gui::colorToRgb(a.hintColor), a.hintPause, a.hintHidePause);
}

void setIcon(Machine& m, const gui::Surface* picture) {
  ApplicationState& a = app(m);
  if (picture == nullptr || picture->empty()) {
    a.icon.reset();
    a.iconHandle = 0;
  } else {
    a.icon = picture->clone();
    a.iconHandle = kIconHandleBase + 4 * ++guiState(m).iconsMade;
  }
  toolkit().setApplicationIcon(a.icon.get());
}

void setIconBytes(Machine& m, const std::vector<uint8_t>& bytes) {
  std::unique_ptr<gui::Surface> picture = toolkit().createSurface(0, 0, gui::kWhite);
  if (!picture->load(bytes.data(), bytes.size())) raise("Invalid icon");
  setIcon(m, picture.get());
}

// A file name loads the icon; a graphic-valued read gives the icon that the
// register holds, else its picture.
void writeIcon(Machine& m, Application&) {
  std::vector<uint8_t> bytes;
  if (pictureFileOperand(m, bytes)) {
    setIconBytes(m, bytes);
    return;
  }
  GuiState& g = guiState(m);
  if (world(m).graphic.icon != nullptr && g.registerIcon) setIcon(m, g.registerIcon.get());
  else setIcon(m, registerGraphic(m).surface);
}

// Yields the icon's handle and puts a copy of the icon in the graphic register.
void readIcon(Machine& m, Application& o, EvalStacks& s) {
  ApplicationState& a = app(m);
  GuiState& g = guiState(m);
  g.registerIcon = a.icon ? a.icon->clone() : nullptr;
  world(m).graphic = {kApplicationType, o.tag, nullptr, g.registerIcon.get()};
  s.pushNumber(a.iconHandle);
}

void iconResource(Machine& m, Application&) { setIconBytes(m, resourceOperand(m)); }

std::string executableName(const Machine& m) {
  const std::string& path = m.options.executablePath;
  const size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

template <int32_t ApplicationState::*Field>
void writeSetting(Machine& m, Application&) {
  app(m).*Field = truncOperand(m);
  applyHints(app(m));
}

template <int32_t ApplicationState::*Field>
void readSetting(Machine& m, Application&, EvalStacks& s) {
  s.pushNumber(app(m).*Field);
}

// There is no help viewer: the help requests read their operands and do
// nothing.
const Member<Application> kApplicationMembers[] = {
    {0, "Icon", "E", writeIcon, "", readIcon,
     "a file name, or a graphic read: every window's icon; a read gives its handle and fills the graphic register"},
    {1, "IconResource", "B", iconResource, nullptr, nullptr, "resource number: loads the icon from that resource"},
    {2, "Handle", nullptr, nullptr, "", [](Machine&, Application&, EvalStacks& s) { s.pushNumber(kApplicationHandle); },
     "the application's window handle"},
    {3, "ExeName", nullptr, nullptr, "", [](Machine& m, Application&, EvalStacks& s) { s.pushString(executableName(m)); },
     "the program's file"},
    {4, "Title", "E", [](Machine& m, Application&) { m.system->applicationTitle = stringOperand(m).str(); },
     "", [](Machine& m, Application&, EvalStacks& s) { s.pushString(applicationTitle(m)); },
     "the program's title (captions of message boxes, print jobs); by default its file name"},
    {5, "HintColor", "E", writeSetting<&ApplicationState::hintColor>, "", readSetting<&ApplicationState::hintColor>,
     "the colour of tool tips"},
    {6, "HintPause", "E", writeSetting<&ApplicationState::hintPause>, "", readSetting<&ApplicationState::hintPause>,
     "milliseconds before a tool tip shows"},
    {7, "HintShortPause", "E", writeSetting<&ApplicationState::hintShortPause>, "",
     readSetting<&ApplicationState::hintShortPause>, "milliseconds before the next tool tip shows"},
    {8, "HintHidePause", "E", writeSetting<&ApplicationState::hintHidePause>, "",
     readSetting<&ApplicationState::hintHidePause>, "milliseconds a tool tip stays"},
    {9, "HelpFile", "E", [](Machine& m, Application&) { app(m).helpFile = stringOperand(m).str(); },
     "", [](Machine& m, Application&, EvalStacks& s) { s.pushString(app(m).helpFile); },
     "the help file's name (there is no help viewer)"},
    // Ends the program as the end statement does: no handler runs any more,
    // but what the program wrote is not lost.
    {10, "Terminate", "", [](Machine&, Application&) { throw ProgramEnd{0}; }, nullptr, nullptr,
     "ends the program, as the end statement does"},
    {11, "Minimize", "", [](Machine&, Application&) { toolkit().minimizeApplication(); }, nullptr, nullptr,
     "minimizes every window of the program"},
    {12, "HelpCommand", "EE",
     [](Machine& m, Application&) {
       truncOperand(m);
       truncOperand(m);
     },
     nullptr, nullptr, "command, data: read and ignored (no help viewer)"},
    {13, "HelpContext", "E", [](Machine& m, Application&) { truncOperand(m); }, nullptr, nullptr,
     "context: read and ignored (no help viewer)"},
    {14, "HelpJump", "E", [](Machine& m, Application&) { m.evaluate(); }, nullptr, nullptr,
     "topic: read and ignored (no help viewer)"},
    {15, "ShowHint", "E",
     [](Machine& m, Application&) {
       app(m).showHint = flagOperand(m);
       applyHints(app(m));
     },
     "", [](Machine& m, Application&, EvalStacks& s) { pushFlag(s, app(m).showHint); }, "flag: tool tips show at all"},
};

std::unique_ptr<Object> createApplication(Machine&, int type, int32_t) { return std::make_unique<Application>(type); }

}  // namespace

void registerApplicationType(TypeRegistry& registry) {
  registry.add(describeType(kApplicationType, "application", kApplicationMembers, createApplication));
}

}  // namespace kestrel::objects
