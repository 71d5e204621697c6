#include "toolkit/qt/qt_fonts.h"

#include <QApplication>
#include <QFontDatabase>
#include <QPalette>

#include "toolkit/colors.h"
#include "toolkit/qt/qt_services.h"
#include "toolkit/qt/qt_text.h"

namespace kestrel::qt {

QFont makeFont(const gui::FontDesc& desc) {
  QFont font;
  font.setFamily(fromProgramText(desc.name));
  int pixels = desc.pixelHeight();
  if (pixels < 0) pixels = -pixels;
  font.setPixelSize(pixels > 0 ? pixels : 11);
  applyStyles(font, desc.styles);
  if (desc.pitch == 2) {
    font.setFixedPitch(true);
    font.setStyleHint(QFont::Monospace);
  }
  font.setStyleStrategy(QFont::NoAntialias);
  return font;
}

void applyStyles(QFont& font, uint8_t styles) {
  font.setBold((styles & gui::kBold) != 0);
  font.setItalic((styles & gui::kItalic) != 0);
  font.setUnderline((styles & gui::kUnderline) != 0);
  font.setStrikeOut((styles & gui::kStrikeOut) != 0);
}

uint8_t stylesOf(const QFont& font) {
  uint8_t styles = 0;
  if (font.bold()) styles |= gui::kBold;
  if (font.italic()) styles |= gui::kItalic;
  if (font.underline()) styles |= gui::kUnderline;
  if (font.strikeOut()) styles |= gui::kStrikeOut;
  return styles;
}

std::vector<std::string> screenFontFamilies() {
  application(false);
  std::vector<std::string> out;
  for (const QString& family : QFontDatabase::families()) out.push_back(family.toStdString());
  return out;
}

// The palette's roles for the system colours that have one; the classic
// colours for the rest.
uint32_t paletteColor(int index) {
  application(false);
  const QPalette palette = QApplication::palette();
  auto role = [&](QPalette::ColorRole r, QPalette::ColorGroup g = QPalette::Active) {
    const QColor c = palette.color(g, r);
    return static_cast<uint32_t>(c.red()) | static_cast<uint32_t>(c.green()) << 8 | static_cast<uint32_t>(c.blue()) << 16;
  };
  switch (index) {
    case 4: case 15: case 22: case 10: case 11: case 0: case 30: return role(QPalette::Button);
    case 5: return role(QPalette::Base);
    case 7: case 8: return role(QPalette::Text);
    case 12: case 16: return role(QPalette::Dark);
    case 13: case 29: return role(QPalette::Highlight);
    case 14: return role(QPalette::HighlightedText);
    case 17: return role(QPalette::Text, QPalette::Disabled);
    case 18: return role(QPalette::ButtonText);
    case 20: return role(QPalette::Light);
    case 21: return role(QPalette::Shadow);
    case 23: return role(QPalette::ToolTipText);
    case 24: return role(QPalette::ToolTipBase);
    case 26: return role(QPalette::Link);
    default: return gui::classicSystemColor(index);
  }
}

Qt::CursorShape cursorShape(int shape) {
  switch (shape) {
    case -1: return Qt::BlankCursor;
    case -3: return Qt::CrossCursor;
    case -4: return Qt::IBeamCursor;
    case -5: case -22: return Qt::SizeAllCursor;
    case -6: return Qt::SizeBDiagCursor;
    case -7: case -15: return Qt::SizeVerCursor;
    case -8: return Qt::SizeFDiagCursor;
    case -9: case -14: return Qt::SizeHorCursor;
    case -10: return Qt::UpArrowCursor;
    case -11: case -17: return Qt::WaitCursor;
    case -12: case -16: return Qt::DragMoveCursor;
    case -13: case -18: return Qt::ForbiddenCursor;
    case -19: return Qt::BusyCursor;
    case -20: return Qt::WhatsThisCursor;
    case -21: return Qt::PointingHandCursor;
    default: return Qt::ArrowCursor;
  }
}

}  // namespace kestrel::qt
