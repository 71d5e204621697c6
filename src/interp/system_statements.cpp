// System statements: dialogs, files, processes, sounds, the environment,
// the printer's text channel, cursors, window messages and ports.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdlib>

#include "events/dispatch.h"
#include "expr/conversions.h"
#include "toolkit/dialogs.h"
#include "core/machine.h"
#include "interp/number_printing.h"
#include "interp/statements.h"
#include "core/system_state.h"
#include "platform/files.h"
#include "platform/io_error.h"
#include "platform/paths.h"
#include "platform/ports.h"
#include "platform/process.h"
#include "platform/wav.h"

namespace kestrel {

namespace {

constexpr uint8_t kNoLineEnd = 11;
constexpr int kSoundMemory = 4;
constexpr int kSoundFileName = 0x20000;

std::string path(const Str& windowsName) { return platform::translatePath(windowsName.view()); }

// A number handed on to the window system: Round, but addresses and other
// values beyond 32 bits pass whole.
int64_t wideRound(double v) {
  if (v >= -2147483648.0 && v <= 2147483647.0) return roundToInt32(v);
  if (!(std::fabs(v) < 9.2e18)) raiseInvalidFloatOp();
  return std::llrint(v);
}

void changeDirectory(const Str& name) {
  if (chdir(path(name).c_str()) != 0) platform::raiseIoError(errno);
}

// "NAME=VALUE", or "NAME VALUE" when there is no "=".
void setEnvironment(std::string_view text) {
  size_t split = text.find('=');
  if (split == std::string_view::npos) split = text.find(' ');
  if (split == std::string_view::npos) split = 0;
  const std::string name(text.substr(0, split));
  const std::string value(split < text.size() ? text.substr(split + 1) : std::string_view{});
  if (name.empty()) return;  // the system has no variable without a name
  setenv(name.c_str(), value.c_str(), 1);
}

void printToPrinter(Machine& m) {
  const int kind = m.evaluate();
  std::string text = kind != 0 ? m.strReg.str() : consoleNumberText(m.numReg, m.decimalSeparator);
  if (m.u8() != kNoLineEnd) text += "\r\n";
  if (m.options.sandbox) return;
  SystemState& sys = *m.system;
  if (!sys.printJob) sys.printJob = toolkit().startTextPrintJob(applicationTitle(m));
  sys.printJob->write(text);
}

void endPrinterDocument(Machine& m) {
  std::unique_ptr<TextPrintJob> job = std::move(m.system->printJob);
  if (job) job->finish();
}

// Speaker tones are a square wave on the sound device; the statement waits
// for the duration (counted in eighteenths of a second) also when the
// frequency is too low to sound.
void soundTone(Machine& m) {
  const int32_t frequency = m.evalTrunc();
  const double duration = m.evalNumber();
  const int32_t milliseconds = truncToInt32(duration * (1.0 / 18) * 1000);
  if (m.options.sandbox) return;
  m.out.flush();
  const bool audible = frequency > 18 && milliseconds > 0;
  if (audible) toolkit().playSound(platform::squareWave(frequency, milliseconds), false, false);
  sleepMilliseconds(milliseconds);
  if (audible) toolkit().stopSound();
}

void saveResource(Machine& m) {
  const int32_t position = m.evalRound();
  const Str name = m.evalString();
  const std::vector<uint8_t> payload = m.image.resourceAt(position);
  if (m.options.sandbox) return;
  const std::string file = path(name);
  if (!platform::writeFileBytes(file, payload)) raise("Cannot create file " + name.str());
}

}  // namespace

void systemStatement(Machine& m, uint8_t sub) {
  const bool sandbox = m.options.sandbox;
  SystemState& sys = *m.system;
  switch (sub) {
    case 1: plainMessageBox(m, m.evalString().str()); break;
    case 13: {  // sleep: seconds, to the millisecond; a negative time is none
      const int32_t milliseconds = roundToInt32(m.evalNumber() * 1000);
      if (sandbox) break;
      m.out.flush();
      sleepMilliseconds(milliseconds);
      break;
    }
    case 24: {  // seed: from the clock, or the value that follows
      if (m.u8() == kNoLineEnd) {
        const auto now = std::chrono::system_clock::now().time_since_epoch().count();
        m.random.reseed(static_cast<uint64_t>(now) ^ (static_cast<uint64_t>(getpid()) << 32));
      } else {
        m.random.reseed(static_cast<uint64_t>(static_cast<int64_t>(m.evalRound())));
      }
      break;
    }
    case 26:
      sys.screenCursor = static_cast<int16_t>(m.evalRound());
      toolkit().setScreenCursor(cursorShapeFor(sys, sys.screenCursor));
      break;
    case 27: {
      const Str name = m.evalString();
      if (!sandbox) changeDirectory(name);
      break;
    }
    case 28: {  // change drive: the first two characters ("D:")
      const Str name = m.evalString();
      if (!sandbox) changeDirectory(Str(name.view().substr(0, 2)));
      break;
    }
    case 29: case 30: case 31: {  // make and remove directory, delete file: failures are silent
      const Str name = m.evalString();
      if (sandbox) break;
      const std::string p = path(name);
      if (sub == 29) mkdir(p.c_str(), 0777);
      else if (sub == 30) rmdir(p.c_str());
      else if (!platform::directoryExists(p)) unlink(p.c_str());
      break;
    }
    case 32: case 33: {  // run a program, waiting for it or not
      const Str command = m.evalString();
      if (sandbox) break;
      m.out.flush();
      platform::startProgram(command.view(), sub == 32, programFolder(m));
      break;
    }
    case 34: {
      const Str from = m.evalString();
      const Str to = m.evalString();
      if (!sandbox) platform::moveFile(path(from), path(to));
      break;
    }
    case 37: {  // play a sound file; an empty name stops the sound
      const Str name = m.evalString();
      const int32_t flags = m.evalTrunc() | kSoundFileName;
      if (sandbox) break;
      if (name.empty()) {
        toolkit().stopSound();
        break;
      }
      std::vector<uint8_t> bytes;
      if (platform::readFileBytes(path(name), bytes)) playWav(bytes, flags);
      break;
    }
    case 38: events::processPending(m); break;
    case 41: {
      const Str text = m.evalString();
      const Str caption = m.evalString();
      const int32_t flags = m.evalTrunc();
      messageBox(m, text.view(), caption.view(), flags);
      break;
    }
    case 44: {
      const Str text = m.evalString();
      const int32_t type = m.evalRound();
      const int32_t buttons = m.evalRound();
      m.evalRound();  // help context: there is no help system
      messageDialog(m, text.view(), type, buttons & 0xFF);
      break;
    }
    case 47: case 48: {
      const int64_t handle = wideRound(m.evalNumber());
      const int64_t message = wideRound(m.evalNumber());
      const int64_t wParam = wideRound(m.evalNumber());
      const int64_t lParam = wideRound(m.evalNumber());
      if (sub == 47) toolkit().sendMessage(handle, static_cast<uint32_t>(message), wParam, lParam);
      else toolkit().postMessage(handle, static_cast<uint32_t>(message), wParam, lParam);
      events::checkPendingEnd(m);
      break;
    }
    case 54: printToPrinter(m); break;
    case 55: endPrinterDocument(m); break;
    case 58: {
      const Str text = m.evalString();
      if (!sandbox) setEnvironment(text.view());
      break;
    }
    case 61: saveResource(m); break;
    case 65: {
      const int32_t port = m.evalTrunc();
      const int32_t value = m.evalTrunc();
      if (sandbox) platform::raisePrivilegedInstruction();
      platform::portOut(static_cast<uint16_t>(port), static_cast<uint8_t>(value));
      break;
    }
    case 67: {
      const int32_t number = m.evalTrunc();
      const int32_t handle = m.evalTrunc();
      sys.cursorHandles[number] = handle;
      break;
    }
    case 69: soundTone(m); break;
    case 71: {  // play an embedded sound from memory
      const int16_t index = m.s16();
      const int32_t flags = (m.evalTrunc() & 0xFFFF) | kSoundMemory;
      if (index < 0 || static_cast<size_t>(index) >= m.image.resources.size()) raiseListIndex(index);
      if (!sandbox) playWav(m.image.resource(static_cast<size_t>(index)), flags);
      break;
    }
    default: break;
  }
}

}  // namespace kestrel
