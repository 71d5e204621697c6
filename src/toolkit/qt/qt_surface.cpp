#include "toolkit/qt/qt_surface.h"

#include <QBuffer>
#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <cstring>

#include "toolkit/qt/qt_fonts.h"
#include "toolkit/qt/qt_services.h"
#include "toolkit/qt/qt_text.h"

namespace kestrel::qt {

namespace {

QImage blankImage(int32_t width, int32_t height, uint32_t fill) {
  if (width <= 0 || height <= 0) return {};
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(toQRgb(fill));
  return image;
}

// A rectangle cut to the picture, computed wide so that huge coordinates
// cannot overflow; empty when nothing is left.
QRect clippedTo(const QImage& image, int64_t left, int64_t top, int64_t right, int64_t bottom) {
  left = std::max<int64_t>(left, 0);
  top = std::max<int64_t>(top, 0);
  right = std::min<int64_t>(right, image.width());
  bottom = std::min<int64_t>(bottom, image.height());
  if (right <= left || bottom <= top) return {};
  return QRect(static_cast<int>(left), static_cast<int>(top), static_cast<int>(right - left),
               static_cast<int>(bottom - top));
}

QRect clippedTo(const QImage& image, const gui::Rect& r) { return clippedTo(image, r.left, r.top, r.right, r.bottom); }

// Coordinates far outside any picture are brought near it, so that the
// painter's arithmetic stays exact; what is drawn inside does not change
// for lines and shapes that are this far out.
int clampCoordinate(int64_t v) { return static_cast<int>(std::clamp<int64_t>(v, -(1 << 24), 1 << 24)); }

// The picture with the key colour left out (transparent), for drawing.
QImage withoutColor(const QImage& source, const int32_t* transparent) {
  if (transparent == nullptr) return source;
  QImage keyed = source.convertToFormat(QImage::Format_ARGB32);
  const QRgb key = toQRgb(static_cast<uint32_t>(*transparent)) & 0x00FFFFFF;
  for (int y = 0; y < keyed.height(); ++y) {
    auto* row = reinterpret_cast<QRgb*>(keyed.scanLine(y));
    for (int x = 0; x < keyed.width(); ++x)
      if ((row[x] & 0x00FFFFFF) == key) row[x] = 0;
  }
  return keyed;
}

}  // namespace

QImage imageOf(const gui::Surface& surface) {
  if (const auto* q = dynamic_cast<const QtSurface*>(&surface)) return q->image();
  return {};
}

QFont QtSurface::textFont() const { return makeFont(state.font); }

QtSurface::QtSurface(int32_t width, int32_t height, uint32_t fill)
    : image_(blankImage(width, height, fill)), width_(std::max(width, 0)), height_(std::max(height, 0)) {}

void QtSurface::resize(int32_t width, int32_t height, uint32_t fill) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (width == width_ && height == height_) return;
  width_ = width;
  height_ = height;
  QImage next = blankImage(width, height, fill);
  if (!next.isNull() && !image_.isNull()) {
    if (image_.hasAlphaChannel()) next = next.convertToFormat(QImage::Format_ARGB32);
    QPainter p(&next);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.drawImage(0, 0, image_);
  }
  image_ = next;
  touched();
}

void QtSurface::adopt(const QImage& image) {
  image_ = image.isNull() ? QImage() : image.convertToFormat(QImage::Format_RGB32);
  width_ = image_.width();
  height_ = image_.height();
  touched();
}

void QtSurface::clear(uint32_t color) {
  if (image_.isNull()) return;
  image_.fill(toQRgb(color));
  touched();
}

// ---- Text: the top-left corner of the text cell at (x, y); an opaque
// brush paints the cell (TextOut) or the whole clip rectangle (TextRect).

void QtSurface::textOut(int32_t x, int32_t y, std::string_view text) {
  if (image_.isNull() || text.empty()) return;
  const QFont font = textFont();
  const QFontMetrics metrics(font);
  const QString s = fromProgramText(text);
  QPainter p(&image_);
  if (!state.brushClear)
    p.fillRect(QRect(clampCoordinate(x), clampCoordinate(y), metrics.horizontalAdvance(s), metrics.height()),
               qColor(state.brush));
  p.setFont(font);
  p.setPen(qColor(state.fontColor));
  p.drawText(clampCoordinate(x), clampCoordinate(int64_t{y} + metrics.ascent()), s);
  touched();
}

void QtSurface::textRect(const gui::Rect& clip, int32_t x, int32_t y, std::string_view text) {
  if (image_.isNull()) return;
  const QRect area = clippedTo(image_, clip);
  if (area.isEmpty()) return;
  const QFont font = textFont();
  const QFontMetrics metrics(font);
  QPainter p(&image_);
  p.setClipRect(area);
  if (!state.brushClear) p.fillRect(area, qColor(state.brush));
  p.setFont(font);
  p.setPen(qColor(state.fontColor));
  p.drawText(clampCoordinate(x), clampCoordinate(int64_t{y} + metrics.ascent()), fromProgramText(text));
  touched();
}

gui::Size QtSurface::textExtent(std::string_view text) {
  const QFontMetrics metrics(textFont());
  return {metrics.horizontalAdvance(fromProgramText(text)), metrics.height()};
}

// ---- Shapes

void QtSurface::line(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  if (image_.isNull() || (x1 == x2 && y1 == y2)) return;
  QPainter p(&image_);
  QPen pen(qColor(state.pen));
  pen.setWidth(0);
  pen.setCapStyle(Qt::FlatCap);  // the end point stays out
  p.setPen(pen);
  p.drawLine(QPoint(clampCoordinate(x1), clampCoordinate(y1)), QPoint(clampCoordinate(x2), clampCoordinate(y2)));
  touched();
}

// The ellipse inside left..right-1 and top..bottom-1 of the box, in either
// corner order.
void QtSurface::ellipse(const gui::Rect& box) {
  if (image_.isNull()) return;
  const int left = clampCoordinate(std::min(box.left, box.right));
  const int top = clampCoordinate(std::min(box.top, box.bottom));
  const int right = clampCoordinate(std::max(box.left, box.right));
  const int bottom = clampCoordinate(std::max(box.top, box.bottom));
  if (right - left < 2 || bottom - top < 2) return;
  QPainter p(&image_);
  QPen pen(qColor(state.pen));
  pen.setWidth(0);
  p.setPen(pen);
  if (state.brushClear) p.setBrush(Qt::NoBrush);
  else p.setBrush(qColor(state.brush));
  p.drawEllipse(QRect(left, top, right - left - 1, bottom - top - 1));
  touched();
}

void QtSurface::frameRect(const gui::Rect& r) {
  if (image_.isNull() || r.right <= r.left || r.bottom <= r.top) return;
  const QColor color = qColor(state.brush);
  QPainter p(&image_);
  const int64_t l = r.left, t = r.top, rt = r.right, b = r.bottom;
  for (const QRect& edge : {clippedTo(image_, l, t, rt, t + 1), clippedTo(image_, l, b - 1, rt, b),
                            clippedTo(image_, l, t, l + 1, b), clippedTo(image_, rt - 1, t, rt, b)})
    if (!edge.isEmpty()) p.fillRect(edge, color);
  touched();
}

void QtSurface::fillRect(const gui::Rect& r) {
  const QRect area = clippedTo(image_, r);
  if (area.isEmpty()) return;
  QPainter p(&image_);
  p.fillRect(area, qColor(state.brush));
  touched();
}

// A border fill: every pixel reached from (x, y) through pixels that are
// not the border colour takes the brush colour. Row by row: a run of a row
// is filled at once and leaves one seed for each run of open pixels above
// and below it, so the work list stays short and nothing recurses, however
// large the area.
void QtSurface::floodFill(int32_t x, int32_t y, uint32_t border) {
  if (x < 0 || y < 0 || x >= image_.width() || y >= image_.height()) return;
  const QRgb stop = toQRgb(border) & 0x00FFFFFF;
  const QRgb fill = toQRgb(state.brush);
  const int w = image_.width();
  const int h = image_.height();
  std::vector<uint8_t> done(static_cast<size_t>(w) * static_cast<size_t>(h), 0);
  auto open = [&](int px, int py) {
    return done[static_cast<size_t>(py) * w + px] == 0 &&
           (reinterpret_cast<const QRgb*>(image_.constScanLine(py))[px] & 0x00FFFFFF) != stop;
  };
  if (!open(x, y)) return;
  std::vector<std::pair<int, int>> seeds{{x, y}};
  while (!seeds.empty()) {
    const auto [sx, sy] = seeds.back();
    seeds.pop_back();
    if (!open(sx, sy)) continue;
    int left = sx;
    while (left > 0 && open(left - 1, sy)) --left;
    int right = sx;
    while (right + 1 < w && open(right + 1, sy)) ++right;
    auto* row = reinterpret_cast<QRgb*>(image_.scanLine(sy));
    for (int px = left; px <= right; ++px) {
      row[px] = fill;
      done[static_cast<size_t>(sy) * w + px] = 1;
    }
    for (const int ny : {sy - 1, sy + 1}) {
      if (ny < 0 || ny >= h) continue;
      bool inRun = false;
      for (int px = left; px <= right; ++px) {
        const bool isOpen = open(px, ny);
        if (isOpen && !inRun) seeds.emplace_back(px, ny);
        inRun = isOpen;
      }
    }
  }
  touched();
}

void QtSurface::setPixel(int32_t x, int32_t y, uint32_t color) {
  if (x < 0 || y < 0 || x >= image_.width() || y >= image_.height()) return;
  image_.setPixel(x, y, toQRgb(color));
  touched();
}

int32_t QtSurface::pixel(int32_t x, int32_t y) const {
  if (x < 0 || y < 0 || x >= image_.width() || y >= image_.height()) return gui::kInvalidColor;
  return static_cast<int32_t>(fromQRgb(image_.pixel(x, y)));
}

// ---- Pictures

void QtSurface::draw(int32_t x, int32_t y, const gui::Surface& source, const int32_t* transparent) {
  const QImage picture = imageOf(source);
  if (image_.isNull() || picture.isNull()) return;
  QPainter p(&image_);
  p.drawImage(clampCoordinate(x), clampCoordinate(y), withoutColor(picture, transparent));
  touched();
}

// Stretched pixel by pixel (nearest pixel, no smoothing).
void QtSurface::stretchDraw(const gui::Rect& target, const gui::Surface& source, const int32_t* transparent) {
  const QImage picture = imageOf(source);
  if (image_.isNull() || picture.isNull()) return;
  const QRect area = QRect(QPoint(clampCoordinate(target.left), clampCoordinate(target.top)),
                           QPoint(clampCoordinate(target.right) - 1, clampCoordinate(target.bottom) - 1))
                         .normalized();
  if (area.isEmpty()) return;
  QPainter p(&image_);
  p.setRenderHint(QPainter::SmoothPixmapTransform, false);
  p.drawImage(area, withoutColor(picture, transparent));
  touched();
}

// The source rectangle, stretched to the target's size when they differ,
// combined with the pixels under it by the copy mode (the brush is the
// pattern).
void QtSurface::copyRect(const gui::Rect& target, const gui::Surface& source, const gui::Rect& from) {
  const int64_t tw = int64_t{target.right} - target.left;
  const int64_t th = int64_t{target.bottom} - target.top;
  const int64_t fw = int64_t{from.right} - from.left;
  const int64_t fh = int64_t{from.bottom} - from.top;
  if (image_.isNull() || tw <= 0 || th <= 0 || fw <= 0 || fh <= 0) return;
  const QRect visible = clippedTo(image_, target);
  if (visible.isEmpty()) return;
  const QImage src = imageOf(source);  // a copy: the source may be this picture
  const uint32_t mode = state.copyMode;
  const uint32_t pattern = state.brush;
  for (int y = visible.top(); y <= visible.bottom(); ++y) {
    const int64_t sy = from.top + (int64_t{y} - target.top) * fh / th;
    auto* row = reinterpret_cast<QRgb*>(image_.scanLine(y));
    for (int x = visible.left(); x <= visible.right(); ++x) {
      const int64_t sx = from.left + (int64_t{x} - target.left) * fw / tw;
      uint32_t s = 0;
      if (sx >= 0 && sy >= 0 && sx < src.width() && sy < src.height())
        s = fromQRgb(src.pixel(static_cast<int>(sx), static_cast<int>(sy)));
      row[x] = toQRgb(gui::rop::apply(mode, pattern, s, fromQRgb(row[x])));
    }
  }
  touched();
}

// ---- Contents

std::unique_ptr<gui::Surface> QtSurface::clone() const {
  auto copy = std::make_unique<QtSurface>(0, 0, gui::kWhite);
  copy->image_ = image_;
  copy->width_ = width_;
  copy->height_ = height_;
  copy->state = state;
  return copy;
}

void QtSurface::assign(const gui::Surface& other) {
  image_ = imageOf(other);
  if (image_.isNull() && !other.empty()) image_ = blankImage(other.width(), other.height(), gui::kBlack);
  width_ = other.width();
  height_ = other.height();
  touched();
}

bool QtSurface::load(const uint8_t* data, size_t length) {
  application(false);  // decoders are plug-ins of the application
  QImage loaded;
  if (length == 0 || !loaded.loadFromData(data, static_cast<int>(std::min<size_t>(length, 1u << 30)))) return false;
  image_ = loaded.convertToFormat(loaded.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
  width_ = image_.width();
  height_ = image_.height();
  touched();
  return true;
}

std::vector<uint8_t> QtSurface::saveBmp() const {
  if (image_.isNull()) {
    // An empty picture is a header without pixels.
    std::vector<uint8_t> bmp(54, 0);
    const uint32_t fileSize = 54, offset = 54, header = 40;
    bmp[0] = 'B';
    bmp[1] = 'M';
    std::memcpy(&bmp[2], &fileSize, 4);
    std::memcpy(&bmp[10], &offset, 4);
    std::memcpy(&bmp[14], &header, 4);
    bmp[26] = 1;   // planes
    bmp[28] = 24;  // bits per pixel
    return bmp;
  }
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image_.convertToFormat(QImage::Format_RGB32).save(&buffer, "BMP");
  return {bytes.begin(), bytes.end()};
}

void QtSurface::makeMonochrome() {
  for (int y = 0; y < image_.height(); ++y) {
    auto* row = reinterpret_cast<QRgb*>(image_.scanLine(y));
    for (int x = 0; x < image_.width(); ++x)
      row[x] = (row[x] & 0x00FFFFFF) == 0x00FFFFFF ? qRgb(255, 255, 255) : qRgb(0, 0, 0);
  }
  touched();
}

gui::PixelView QtSurface::pixelView() {
  if (image_.isNull()) return {};
  if (image_.format() != QImage::Format_RGB32 && image_.format() != QImage::Format_ARGB32)
    image_ = image_.convertToFormat(QImage::Format_RGB32);
  return {reinterpret_cast<uint32_t*>(image_.bits()), image_.width(), image_.height(),
          static_cast<int32_t>(image_.bytesPerLine() / 4)};
}

}  // namespace kestrel::qt
