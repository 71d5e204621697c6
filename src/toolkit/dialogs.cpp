#include "toolkit/dialogs.h"

#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <string>

#include "core/machine.h"
#include "core/system_state.h"

namespace kestrel {

namespace {

void writeAll(int fd, std::string_view text) {
  while (!text.empty()) {
    const ssize_t n = ::write(fd, text.data(), text.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;
    text.remove_prefix(static_cast<size_t>(n));
  }
}

// One byte from `fd`, waiting for it also when the terminal is in
// non-blocking mode; -1 at the end of input.
int readByte(int fd) {
  for (;;) {
    unsigned char c;
    const ssize_t n = ::read(fd, &c, 1);
    if (n == 1) return c;
    if (n == 0) return -1;
    if (errno == EINTR) continue;
    if (errno != EAGAIN && errno != EWOULDBLOCK) return -1;
    pollfd p{fd, POLLIN, 0};
    poll(&p, 1, -1);
  }
}

int indexOf(const std::vector<DialogButton>& buttons, DialogButton b) {
  for (size_t i = 0; i < buttons.size(); ++i)
    if (buttons[i] == b) return static_cast<int>(i);
  return -1;
}

std::string terminalText(const MessageBoxRequest& request, const std::vector<char>& keys, bool interactive);

int ask(Machine& m, const MessageBoxRequest& request) {
  if (m.options.sandbox) return request.defaultButton;
  m.out.flush();
  if (toolkit().windowSystemAvailable()) {
    // A box on a platform without a screen answers itself, and its text
    // would reach no one: it goes to standard error as well.
    if (toolkit().windowsUnseen()) writeAll(2, terminalText(request, buttonKeys(request.buttons), false));
    const int chosen = toolkit().showMessageBox(request);
    if (chosen >= 0) return chosen < static_cast<int>(request.buttons.size()) ? chosen : request.defaultButton;
  }
  return askOnTerminal(request, 0, 2);
}

}  // namespace

std::string applicationTitle(const Machine& m) {
  if (m.system && m.system->applicationTitle) return *m.system->applicationTitle;
  std::string name = m.options.executablePath;
  const size_t slash = name.find_last_of("/\\");
  if (slash != std::string::npos) name.erase(0, slash + 1);
  const size_t dot = name.rfind('.');
  if (dot != std::string::npos && dot > 0) name.erase(dot);
  return name.empty() ? "kestrel" : name;
}

std::vector<char> buttonKeys(const std::vector<DialogButton>& buttons) {
  std::vector<char> keys;
  for (DialogButton b : buttons) {
    char key = 0;
    for (const char* p = dialogButtonLabel(b); *p != 0 && key == 0; ++p) {
      const char c = static_cast<char>(std::tolower(static_cast<unsigned char>(*p)));
      if (!std::isalpha(static_cast<unsigned char>(c))) continue;
      bool used = false;
      for (char k : keys) used = used || k == c;
      if (!used) key = c;
    }
    keys.push_back(key);
  }
  return keys;
}

namespace {
// The box as the terminal shows it: "Caption: text", then the buttons with
// their key letters and the default one.
std::string terminalText(const MessageBoxRequest& request, const std::vector<char>& keys, bool interactive) {
  std::string box;
  if (!request.caption.empty()) box += request.caption + ": ";
  box += request.text + "\n";
  if (interactive || request.buttons.size() > 1) {
    for (size_t i = 0; i < request.buttons.size(); ++i) {
      // The key letter in brackets: "[Y]es  [N]o  C[a]ncel".
      const std::string label = dialogButtonLabel(request.buttons[i]);
      std::string shown;
      bool marked = false;
      for (char c : label) {
        if (!marked && std::tolower(static_cast<unsigned char>(c)) == keys[i]) {
          shown += std::string("[") + c + "]";
          marked = true;
        } else {
          shown += c;
        }
      }
      box += (i == 0 ? "" : "  ") + shown;
    }
    const int d = request.defaultButton;
    if (d >= 0 && d < static_cast<int>(request.buttons.size()))
      box += std::string("  (default: ") + dialogButtonLabel(request.buttons[static_cast<size_t>(d)]) + ")";
    box += interactive ? "? " : "\n";
  }
  return box;
}
}  // namespace

int askOnTerminal(const MessageBoxRequest& request, int inputFd, int errorFd) {
  const std::vector<char> keys = buttonKeys(request.buttons);
  const bool interactive = isatty(inputFd) != 0;
  writeAll(errorFd, terminalText(request, keys, interactive));
  if (!interactive) return request.defaultButton;

  termios mode;
  const bool lineMode = tcgetattr(inputFd, &mode) == 0 && (mode.c_lflag & ICANON) != 0;
  int pending = -1;
  for (;;) {
    const int c = readByte(inputFd);
    if (c < 0) return pending >= 0 ? pending : request.defaultButton;
    if (c == '\n' || c == '\r') {
      if (pending >= 0) return pending;
      if (!lineMode) writeAll(errorFd, "\n");
      return request.defaultButton;
    }
    if (c == 27 && request.escapeButton >= 0) {
      if (!lineMode) writeAll(errorFd, "\n");
      return request.escapeButton;
    }
    for (size_t i = 0; i < keys.size(); ++i) {
      if (keys[i] == 0 || std::tolower(c) != keys[i]) continue;
      if (request.buttons[i] == DialogButton::Help) break;  // help never closes the box
      if (!lineMode) {
        writeAll(errorFd, std::string(1, static_cast<char>(c)) + "\n");
        return static_cast<int>(i);
      }
      pending = static_cast<int>(i);  // the line ends the answer
    }
  }
}

void plainMessageBox(Machine& m, std::string_view text) {
  MessageBoxRequest r;
  r.text = text;
  r.caption = applicationTitle(m);
  r.buttons = {DialogButton::Ok};
  r.escapeButton = 0;
  ask(m, r);
}

int messageBox(Machine& m, std::string_view text, std::string_view caption, int flags) {
  MessageBoxRequest r;
  r.text = text;
  r.caption = caption;
  using B = DialogButton;
  switch (flags & 0xF) {
    case 1: r.buttons = {B::Ok, B::Cancel}; break;
    case 2: r.buttons = {B::Abort, B::Retry, B::Ignore}; break;
    case 3: r.buttons = {B::Yes, B::No, B::Cancel}; break;
    case 4: r.buttons = {B::Yes, B::No}; break;
    case 5: r.buttons = {B::Retry, B::Cancel}; break;
    case 6: r.buttons = {B::Cancel, B::TryAgain, B::Continue}; break;
    default: r.buttons = {B::Ok}; break;
  }
  if ((flags & 0x4000) != 0) r.buttons.push_back(B::Help);
  switch ((flags >> 4) & 0xF) {
    case 1: r.icon = DialogIcon::Error; break;
    case 2: r.icon = DialogIcon::Question; break;
    case 3: r.icon = DialogIcon::Warning; break;
    case 4: r.icon = DialogIcon::Information; break;
    default: break;
  }
  const int d = (flags >> 8) & 0xF;
  r.defaultButton = d < static_cast<int>(r.buttons.size()) && r.buttons[static_cast<size_t>(d)] != B::Help ? d : 0;
  r.escapeButton = indexOf(r.buttons, B::Cancel);
  if (r.buttons.front() == B::Ok && r.buttons.size() <= 2 && r.escapeButton < 0) r.escapeButton = 0;
  const int chosen = ask(m, r);
  switch (r.buttons[static_cast<size_t>(chosen)]) {
    case B::Ok: return 1;
    case B::Cancel: return 2;
    case B::Abort: return 3;
    case B::Retry: return 4;
    case B::Ignore: return 5;
    case B::Yes: return 6;
    case B::No: return 7;
    case B::TryAgain: return 10;
    case B::Continue: return 11;
    default: return 1;
  }
}

int messageDialog(Machine& m, std::string_view text, int type, int buttons) {
  MessageBoxRequest r;
  r.text = text;
  using B = DialogButton;
  switch (type) {
    case 0: r.caption = "Warning"; r.icon = DialogIcon::Warning; break;
    case 1: r.caption = "Error"; r.icon = DialogIcon::Error; break;
    case 2: r.caption = "Information"; r.icon = DialogIcon::Information; break;
    case 3: r.caption = "Confirm"; r.icon = DialogIcon::Question; break;
    default: r.caption = applicationTitle(m); break;
  }
  if ((buttons & 0x1FF) == 0) buttons = 4;
  const std::pair<int, B> order[] = {{1, B::Yes},     {2, B::No},     {4, B::Ok},
                                     {8, B::Cancel},  {32, B::Abort}, {64, B::Retry},
                                     {128, B::Ignore}, {256, B::All}, {16, B::Help}};
  for (const auto& [bit, button] : order)
    if ((buttons & bit) != 0) r.buttons.push_back(button);
  if (r.buttons.size() == 1 && r.buttons[0] == B::Help) r.buttons.insert(r.buttons.begin(), B::Ok);
  r.defaultButton = indexOf(r.buttons, B::Ok);
  if (r.defaultButton < 0) r.defaultButton = indexOf(r.buttons, B::Yes);
  if (r.defaultButton < 0) r.defaultButton = 0;
  r.escapeButton = indexOf(r.buttons, B::Cancel);
  if (r.escapeButton < 0) r.escapeButton = indexOf(r.buttons, B::No);
  if (r.escapeButton < 0) r.escapeButton = indexOf(r.buttons, B::Ok);
  const int chosen = ask(m, r);
  switch (r.buttons[static_cast<size_t>(chosen)]) {
    case B::Ok: return 1;
    case B::Cancel: return 2;
    case B::Abort: return 3;
    case B::Retry: return 4;
    case B::Ignore: return 5;
    case B::Yes: return 6;
    case B::No: return 7;
    case B::All: return 8;
    default: return 0;
  }
}

}  // namespace kestrel
