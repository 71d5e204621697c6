// Text on a QtSurface as labels and panels draw it: formatted in a
// rectangle (line ends, word breaks, tabs, "&" prefixes, alignment) and
// single lines turned about their top-left corner.
#include <QFontMetrics>
#include <QPainter>

#include "toolkit/qt/qt_fonts.h"
#include "toolkit/qt/qt_surface.h"
#include "toolkit/qt/qt_text.h"

namespace kestrel::qt {

namespace {

// Program text ends lines with CR LF (or either alone).
QString linesOf(std::string_view text) {
  QString s = fromProgramText(text);
  s.replace(QLatin1String("\r\n"), QLatin1String("\n"));
  s.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return s;
}

int qtFlags(const gui::TextFormat& f) {
  int flags = 0;
  switch (f.horizontal) {
    case gui::kAlignRightText: flags |= Qt::AlignRight; break;
    case gui::kAlignCentreText: flags |= Qt::AlignHCenter; break;
    default: flags |= Qt::AlignLeft; break;
  }
  switch (f.vertical) {
    case gui::kAlignMiddleText: flags |= Qt::AlignVCenter; break;
    case gui::kAlignBottomText: flags |= Qt::AlignBottom; break;
    default: flags |= Qt::AlignTop; break;
  }
  if (f.wordBreak) flags |= Qt::TextWordWrap;
  if (f.singleLine) flags |= Qt::TextSingleLine;
  if (f.expandTabs) flags |= Qt::TextExpandTabs;
  if (f.prefix) flags |= Qt::TextShowMnemonic;
  return flags;
}

// Rectangles far outside the picture are brought near it.
int near(int64_t v) { return static_cast<int>(std::clamp<int64_t>(v, -(1 << 24), 1 << 24)); }

}  // namespace

void QtSurface::drawText(const gui::Rect& r, std::string_view text, const gui::TextFormat& format) {
  if (image_.isNull() || text.empty() || r.right <= r.left || r.bottom <= r.top) return;
  QPainter p(&image_);
  p.setFont(makeFont(state.font));
  p.setPen(qColor(state.fontColor));
  const int left = near(r.left), top = near(r.top);
  p.drawText(QRect(left, top, near(int64_t{r.right}) - left, near(int64_t{r.bottom}) - top), qtFlags(format),
             linesOf(text));
  touched();
}

gui::Size QtSurface::measureText(int32_t width, std::string_view text, const gui::TextFormat& format) {
  if (text.empty()) return {};
  const QFontMetrics metrics(makeFont(state.font));
  gui::TextFormat f = format;
  f.horizontal = gui::kAlignLeftText;
  f.vertical = gui::kAlignTopText;
  const int limit = format.wordBreak ? std::max(width, 1) : 0;
  const QRect box = metrics.boundingRect(QRect(0, 0, limit, 0), qtFlags(f), linesOf(text));
  return {box.right() + 1, box.bottom() + 1};
}

void QtSurface::textOutTurned(int32_t x, int32_t y, std::string_view text, int32_t degrees) {
  if (image_.isNull() || text.empty()) return;
  const QFont font = makeFont(state.font);
  const QFontMetrics metrics(font);
  QPainter p(&image_);
  p.setFont(font);
  p.setPen(qColor(state.fontColor));
  p.translate(near(x), near(y));
  p.rotate(-static_cast<double>(degrees % 360));  // Qt turns clockwise
  p.drawText(0, metrics.ascent(), fromProgramText(text));
  touched();
}

void QtSurface::clearTransparent() {
  if (image_.isNull()) return;
  if (image_.format() != QImage::Format_ARGB32) image_ = image_.convertToFormat(QImage::Format_ARGB32);
  image_.fill(Qt::transparent);
  touched();
}

}  // namespace kestrel::qt
