// Oval buttons: the face in the button's colour, and an edge two pixels
// wide, lit at the top left and shaded at the bottom right (the other way
// round while pressed).
#include <QPainter>

#include "toolkit/qt/qt_gui.h"
#include "toolkit/qt/qt_widget_peer.h"

namespace kestrel::qt {

void paintOval(QPainter& p, const QRect& box, const gui::ButtonLook& look, const QColor& face, bool pressed,
               bool edged) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing, true);
  const QRectF outline = QRectF(box).adjusted(1, 1, -1, -1);
  if (!look.transparent) {
    p.setPen(Qt::NoPen);
    p.setBrush(face);
    p.drawEllipse(outline);
  }
  if (edged) {
    QColor lit = qColor(look.highlight), shade = qColor(look.shadow);
    if (pressed) std::swap(lit, shade);
    p.setBrush(Qt::NoBrush);
    // Angles in sixteenths of a degree: the lit half from 45 to 225.
    p.setPen(QPen(lit, 2));
    p.drawArc(outline, 45 * 16, 180 * 16);
    p.setPen(QPen(shade, 2));
    p.drawArc(outline, 225 * 16, 180 * 16);
  }
  p.restore();
}

}  // namespace kestrel::qt
