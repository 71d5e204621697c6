#pragma once
// Plain values that the engine and the toolkit exchange about windows and
// drawing: rectangles, fonts, colours, events and the window messages that
// the run-time understands. Nothing here depends on a window system.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "toolkit/event_kinds.h"

namespace kestrel::gui {

struct Size {
  int32_t width = 0;
  int32_t height = 0;
  bool operator==(const Size&) const = default;
};

// Left and top are inside, right and bottom just outside (as the programs'
// rectangles are).
struct Rect {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;
  int32_t width() const { return right - left; }
  int32_t height() const { return bottom - top; }
  bool operator==(const Rect&) const = default;
  static Rect fromSize(int32_t left, int32_t top, int32_t width, int32_t height) {
    return {left, top, left + width, top + height};
  }
};

// ---- Colours. A colour value is 0x00BBGGRR, or a system colour: the high
// bit set and the palette index in the low byte.
inline constexpr uint32_t kSystemColorBit = 0x80000000u;
inline constexpr int32_t systemColor(int index) { return static_cast<int32_t>(kSystemColorBit | static_cast<uint32_t>(index)); }
inline constexpr int32_t kColorWindow = systemColor(5);
inline constexpr int32_t kColorWindowText = systemColor(8);
inline constexpr int32_t kColorButtonFace = systemColor(15);
inline constexpr int32_t kColorButtonText = systemColor(18);
inline constexpr uint32_t kWhite = 0x00FFFFFF;
inline constexpr uint32_t kBlack = 0;
inline constexpr int32_t kColorButtonShadow = systemColor(16);
inline constexpr int32_t kColorGrayText = systemColor(17);
inline constexpr int32_t kColorButtonHighlight = systemColor(20);
// What a pixel read outside a picture yields.
inline constexpr int32_t kInvalidColor = -1;

// ---- Fonts.
enum FontStyle : uint8_t { kBold = 1, kItalic = 2, kUnderline = 4, kStrikeOut = 8 };

// Text larger than this many pixels is drawn this large.
inline constexpr int64_t kMaxFontPixels = 32767;

struct FontDesc {
  std::string name = "MS Sans Serif";
  int32_t size = 8;                 // points
  int32_t color = kColorWindowText;  // a colour value
  uint8_t styles = 0;               // FontStyle bits
  int32_t charset = 1;              // the default character set
  int32_t pitch = 0;                // 0 default, 1 variable, 2 fixed
  bool operator==(const FontDesc&) const = default;
  // The height in pixels at 96 dots per inch, rounded as the system rounds.
  // Computed wide: a size near the 32-bit limit must not overflow.
  int32_t pixelHeight() const {
    const int64_t pixels = (int64_t{size} * 96 + (size >= 0 ? 36 : -36)) / 72;
    return static_cast<int32_t>(std::clamp<int64_t>(pixels, -kMaxFontPixels, kMaxFontPixels));
  }
};

// ---- Formatted text (labels, panels): alignment within a rectangle.
enum HorizontalAlign { kAlignLeftText = 0, kAlignRightText = 1, kAlignCentreText = 2 };
enum VerticalAlign { kAlignTopText = 0, kAlignMiddleText = 1, kAlignBottomText = 2 };

struct TextFormat {
  int horizontal = kAlignLeftText;
  int vertical = kAlignTopText;
  bool wordBreak = false;   // long lines break between words
  bool singleLine = false;  // line ends are not obeyed
  bool expandTabs = true;
  bool prefix = true;       // "&x" underlines x, "&&" is "&"
};

// ---- Input and window events that the toolkit delivers to the engine.
// Shift code bits and mouse buttons as the programs see them.
inline constexpr int kShiftKey = 256;
inline constexpr int kAltKey = 16;
inline constexpr int kCtrlKey = 1;
enum MouseButton { kLeftButton = 0, kRightButton = 1, kMiddleButton = 2 };

// The event kinds (event_kinds.h lists them).
enum class EventKind : uint8_t {
#define KESTREL_EVENT_KIND(kind, field, member, arguments) kind,
  KESTREL_EVENT_KINDS(KESTREL_EVENT_KIND)
#undef KESTREL_EVENT_KIND
};

inline constexpr size_t kEventKindCount = 0
#define KESTREL_EVENT_KIND(kind, field, member, arguments) +1
    KESTREL_EVENT_KINDS(KESTREL_EVENT_KIND)
#undef KESTREL_EVENT_KIND
    ;

struct InputEvent {
  EventKind kind = EventKind::Click;
  int button = kLeftButton;
  int x = 0;
  int y = 0;
  int shift = 0;
  int key = 0;
};

// ---- Window messages with a default meaning.
namespace wm {
inline constexpr uint32_t kEnable = 0x000A;
inline constexpr uint32_t kSetText = 0x000C;
inline constexpr uint32_t kGetText = 0x000D;
inline constexpr uint32_t kGetTextLength = 0x000E;
inline constexpr uint32_t kClose = 0x0010;
inline constexpr uint32_t kShowWindow = 0x0018;
inline constexpr uint32_t kSysCommand = 0x0112;
inline constexpr uint32_t kUser = 0x0400;
// The window system's own events as the messages a hook sees (the toolkit
// sends them to WindowOwner::windowMessage; docs/gui.md lists them).
inline constexpr uint32_t kMove = 0x0003;
inline constexpr uint32_t kSize = 0x0005;
inline constexpr uint32_t kSetFocus = 0x0007;
inline constexpr uint32_t kKillFocus = 0x0008;
inline constexpr uint32_t kPaint = 0x000F;
inline constexpr uint32_t kKeyDown = 0x0100;
inline constexpr uint32_t kKeyUp = 0x0101;
inline constexpr uint32_t kChar = 0x0102;
inline constexpr uint32_t kSysKeyDown = 0x0104;
inline constexpr uint32_t kSysKeyUp = 0x0105;
inline constexpr uint32_t kSysChar = 0x0106;
inline constexpr uint32_t kMouseMove = 0x0200;
inline constexpr uint32_t kLButtonDown = 0x0201;  // then up, double click; R at +3, M at +6
inline constexpr uint32_t kLButtonUp = 0x0202;
inline constexpr uint32_t kLButtonDblClk = 0x0203;
inline constexpr uint32_t kMouseWheel = 0x020A;
// The wParam bits of mouse messages.
inline constexpr uint32_t kMkLButton = 0x0001;
inline constexpr uint32_t kMkRButton = 0x0002;
inline constexpr uint32_t kMkShift = 0x0004;
inline constexpr uint32_t kMkControl = 0x0008;
inline constexpr uint32_t kMkMButton = 0x0010;
// Two 16-bit halves in one parameter (positions, sizes).
inline constexpr intptr_t makeLParam(int32_t low, int32_t high) {
  return static_cast<intptr_t>(static_cast<uint32_t>(static_cast<uint16_t>(low)) |
                               static_cast<uint32_t>(static_cast<uint16_t>(high)) << 16);
}
// System commands (the wParam of kSysCommand, low 4 bits masked off).
inline constexpr uint32_t kScMove = 0xF010;
inline constexpr uint32_t kScMinimize = 0xF020;
inline constexpr uint32_t kScMaximize = 0xF030;
inline constexpr uint32_t kScClose = 0xF060;
inline constexpr uint32_t kScRestore = 0xF120;
}  // namespace wm

// Show commands of the window functions (0 hide, 1 normal, ...).
namespace sw {
inline constexpr int kHide = 0;
inline constexpr int kShowNormal = 1;
inline constexpr int kShowMinimized = 2;
inline constexpr int kShowMaximized = 3;
inline constexpr int kShowNoActivate = 4;
inline constexpr int kShow = 5;
inline constexpr int kMinimize = 6;
inline constexpr int kShowMinNoActive = 7;
inline constexpr int kShowNA = 8;
inline constexpr int kRestore = 9;
}  // namespace sw

// Window states of forms.
enum WindowState { kNormal = 0, kMinimized = 1, kMaximized = 2 };

// The long part of a hint "short|long" (the whole hint without a bar).
inline std::string longHint(const std::string& hint) {
  const size_t bar = hint.find('|');
  return bar == std::string::npos ? hint : hint.substr(bar + 1);
}

}  // namespace kestrel::gui
