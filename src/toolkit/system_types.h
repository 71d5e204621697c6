#pragma once
// What the engine and the toolkit exchange about the system objects: the
// font dialog, the printer as a canvas, and the clipboard's contents.
// Nothing here depends on a window system.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "toolkit/gui_types.h"

namespace kestrel::gui {

class Surface;

// ---- The font dialog. Option numbers are bit positions in `options`.
namespace fontdlg {
inline constexpr int kAnsiOnly = 0;
inline constexpr int kTrueTypeOnly = 1;
inline constexpr int kEffects = 2;       // colour, underline and strike-out
inline constexpr int kFixedPitchOnly = 3;
inline constexpr int kForceFontExist = 4;
inline constexpr int kNoFaceSelection = 5;
inline constexpr int kNoOemFonts = 6;
inline constexpr int kNoSimulations = 7;
inline constexpr int kNoSizeSelection = 8;
inline constexpr int kNoStyleSelection = 9;
inline constexpr int kNoVectorFonts = 10;
inline constexpr int kShowHelp = 11;
inline constexpr int kWysiwyg = 12;
inline constexpr int kLimitSize = 13;    // sizes outside minimum..maximum are refused
inline constexpr int kScalableOnly = 14;
inline constexpr int kApplyButton = 15;
inline constexpr uint32_t bit(int option) { return uint32_t{1} << option; }
}  // namespace fontdlg

struct FontDialogRequest {
  FontDesc font;  // shown first; the font chosen when the user confirms
  uint32_t options = fontdlg::bit(fontdlg::kEffects);
  int32_t minSize = 0;  // 0: no limit
  int32_t maxSize = 0;
  // The Apply button (shown when the dialog has the apply option and this
  // is set) hands over the font shown at that moment.
  std::function<void(const FontDesc&)> apply;
};

// ---- The printer as a canvas. Printers are numbered from 0 in the order
// of printerNames(); pages are measured in printer pixels.
struct PrinterCapabilities {
  bool copies = false;
  bool orientation = true;
  bool collation = false;
};

enum class Orientation { Portrait = 0, Landscape = 1 };

struct PrintSettings {
  int printer = 0;
  std::string title;
  int copies = 1;
  Orientation orientation = Orientation::Portrait;
};

// One document being printed. The page surface is the printed page: what
// is drawn on it between the start, each new page and the end is printed.
class PrintDocument {
 public:
  virtual ~PrintDocument() = default;
  virtual Surface& page() = 0;
  // Ends the page and starts a blank one.
  virtual void newPage() = 0;
  // Prints the document (or writes its file); says so on standard error
  // when it became a file.
  virtual void finish() = 0;
  // Discards the document: nothing is printed, no file is left.
  virtual void abort() = 0;
};

}  // namespace kestrel::gui
