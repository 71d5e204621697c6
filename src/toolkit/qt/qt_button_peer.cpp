// Bitmap and flat buttons on Qt: a push button that lays out its glyph and
// caption as the programs expect (glyph left, right, above or below the
// caption, a spacing between them, one of several pictures in a row for
// the button's state), can be flat or stay down, is pressed by Enter or
// Escape when it is the window's default or cancel button, and can be
// moved with the mouse.
#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QShortcut>
#include <QStyle>
#include <QStyleOptionButton>

#include "toolkit/peers/boxes.h"
#include "toolkit/qt/qt_gui.h"
#include "toolkit/qt/qt_services.h"
#include "toolkit/qt/qt_surface.h"
#include "toolkit/qt/qt_widget_peer.h"

namespace kestrel::qt {

namespace {

class QtButtonPeer;

class GlyphButton : public QPushButton {
 public:
  explicit GlyphButton(QtButtonPeer* peer) : peer_(peer) {}

 protected:
  void paintEvent(QPaintEvent* event) override;
  void enterEvent(QEnterEvent* event) override {
    QPushButton::enterEvent(event);
    update();
  }
  void leaveEvent(QEvent* event) override {
    QPushButton::leaveEvent(event);
    update();
  }
  void keyReleaseEvent(QKeyEvent* event) override;
  void resizeEvent(QResizeEvent* event) override {
    QPushButton::resizeEvent(event);
    fitMask();
  }

 public:
  // An oval button takes the mouse and paints only inside its ellipse.
  void fitMask();

 private:
  QtButtonPeer* peer_;
};

class QtButtonPeer : public ChildPeer<gui::ButtonPeer>, public QObject {
 public:
  // The owner's look says whether the button takes the focus.
  explicit QtButtonPeer(gui::WindowOwner* owner) : ChildPeer<gui::ButtonPeer>(owner, new GlyphButton(this)) {
    widget_->setFocusPolicy(Qt::StrongFocus);
    // Installed after the event bridge, so it sees the mouse first.
    widget_->installEventFilter(this);
  }

  GlyphButton* button() const { return static_cast<GlyphButton*>(widget_.data()); }

  void setBackground(uint32_t rgb) override {
    ChildPeer<gui::ButtonPeer>::setBackground(rgb);
    if (!widget_) return;
    QPalette palette = widget_->palette();
    palette.setColor(QPalette::Button, qColor(rgb));
    widget_->setPalette(palette);
  }
  void setGlyph(const gui::Surface* glyph, int32_t transparentColor) override {
    gui::ButtonPeer::setGlyph(glyph, transparentColor);
    glyphImage_ = QImage();
    if (glyph_) {
      glyphImage_ = imageOf(*glyph_).convertToFormat(QImage::Format_ARGB32);
      const QRgb key = toQRgb(static_cast<uint32_t>(transparentColor)) & 0x00FFFFFF;
      for (int y = 0; y < glyphImage_.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(glyphImage_.scanLine(y));
        for (int x = 0; x < glyphImage_.width(); ++x)
          if ((row[x] & 0x00FFFFFF) == key) row[x] = 0;
      }
    }
    if (widget_) widget_->update();
  }
  void setLook(const gui::ButtonLook& look) override {
    gui::ButtonPeer::setLook(look);
    if (!widget_) return;
    widget_->setFocusPolicy(look.focusable ? Qt::StrongFocus : Qt::NoFocus);
    button()->fitMask();
    widget_->update();
  }
  void setKeys(bool enterClicks, bool escapeClicks) override {
    gui::ButtonPeer::setKeys(enterClicks, escapeClicks);
    if (!widget_) return;
    for (QShortcut* s : shortcuts_) delete s;
    shortcuts_.clear();
    auto add = [this](Qt::Key key) {
      auto* s = new QShortcut(QKeySequence(QKeyCombination(key)), widget_, nullptr, nullptr, Qt::WindowShortcut);
      QObject::connect(s, &QShortcut::activated, [this] { clickedByKey(); });
      shortcuts_.push_back(s);
    };
    if (enterClicks) {
      add(Qt::Key_Return);
      add(Qt::Key_Enter);
    }
    if (escapeClicks) add(Qt::Key_Escape);
  }

  // The button is let go at the end of the move: it was not clicked.
  bool beginDragMove() override {
    return startWindowDrag(this, widget_, [this] {
      if (widget_) button()->setDown(false);
    });
  }

  void clickedByKey() {
    if (widget_ && widget_->isEnabled() && widget_->isVisible()) deliver(gui::EventKind::Click);
  }

  // The picture of the glyph for the button's state, or a null image.
  QImage glyphFor(bool enabled, bool pressed) const {
    if (glyphImage_.isNull()) return {};
    const int count = std::clamp(look_.numGlyphs, 1, 4);
    const int width = glyphImage_.width() / count;
    if (width <= 0) return {};
    int index = 0;
    if (!enabled && count >= 2) index = 1;
    else if (look_.down && count >= 4) index = 3;
    else if (pressed && count >= 3) index = 2;
    return glyphImage_.copy(index * width, 0, width, glyphImage_.height());
  }

 protected:
  void showText(const QString& text) override {
    if (widget_) button()->setText(text);
  }

  // Mouse events outside an oval button's ellipse go nowhere; a move of
  // the button with the mouse takes them first, wherever the pointer is.
  bool eventFilter(QObject*, QEvent* event) override {
    if (!look_.oval) return false;
    if (windowDragEvent(widget_, event)) return true;
    return outsideOval(event);
  }

 private:
  // A mouse event outside an oval button's ellipse (sent to the button
  // directly, past the mask) goes nowhere.
  bool outsideOval(QEvent* event) const {
    switch (event->type()) {
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonRelease:
      case QEvent::MouseButtonDblClick:
      case QEvent::MouseMove: {
        const QPoint at = static_cast<const QMouseEvent&>(*event).position().toPoint();
        return !gui::insideEllipse(widget_->width(), widget_->height(), at.x(), at.y());
      }
      default: return false;
    }
  }

  void deliver(gui::EventKind kind) {
    gui::InputEvent e{kind};
    if (gui::WindowOwner* o = owner()) o->event(e);
  }

  QImage glyphImage_;
  std::vector<QShortcut*> shortcuts_;
};

// The standard glyph of a button kind (OK, Cancel, ... All), or none.
QImage kindGlyph(QStyle& style, int kind) {
  static constexpr QStyle::StandardPixmap kPixmaps[] = {
      QStyle::SP_DialogOkButton,    QStyle::SP_DialogCancelButton, QStyle::SP_DialogHelpButton,
      QStyle::SP_DialogYesButton,   QStyle::SP_DialogNoButton,     QStyle::SP_DialogCloseButton,
      QStyle::SP_DialogAbortButton, QStyle::SP_DialogRetryButton,  QStyle::SP_DialogIgnoreButton,
      QStyle::SP_DialogYesToAllButton};
  if (kind < 1 || kind > 10) return {};
  const QIcon icon = style.standardIcon(kPixmaps[kind - 1]);
  return icon.isNull() ? QImage() : icon.pixmap(16, 16).toImage();
}

// The frame (none on a flat button unless the mouse is over it or it is
// down), then glyph and caption centred together in the layout asked for.
void GlyphButton::paintEvent(QPaintEvent*) {
  const gui::ButtonLook& look = peer_->look();
  QPainter p(this);
  QStyleOptionButton option;
  initStyleOption(&option);
  option.text.clear();
  option.icon = QIcon();
  const bool pressed = isDown() || look.down;
  if (pressed) option.state |= QStyle::State_Sunken;
  if (look.down) option.state |= QStyle::State_On;
  if (look.oval) {
    paintOval(p, rect(), look, palette().color(QPalette::Button), pressed,
              !look.flat || pressed || (underMouse() && isEnabled()));
  } else if (look.flat) {
    option.features |= QStyleOptionButton::Flat;
    p.fillRect(rect(), palette().color(QPalette::Button));
  }
  if (!look.oval && (!look.flat || pressed || (underMouse() && isEnabled())))
    style()->drawControl(QStyle::CE_PushButtonBevel, &option, &p, this);

  QImage glyph = peer_->glyphFor(isEnabled(), pressed);
  if (glyph.isNull() && look.kind != 0) glyph = kindGlyph(*style(), look.kind);
  if (!glyph.isNull() && !isEnabled() && look.numGlyphs < 2) {
    const QPixmap grey = style()->generatedIconPixmap(QIcon::Disabled, QPixmap::fromImage(glyph), &option);
    glyph = grey.toImage();
  }
  const QString caption = text();
  const QFontMetrics metrics(font());
  const QSize textSize = caption.isEmpty() ? QSize() : metrics.size(Qt::TextShowMnemonic, caption);
  const QSize glyphSize = glyph.isNull() ? QSize() : glyph.size();
  const int spacing = (caption.isEmpty() || glyph.isNull()) ? 0 : look.spacing;
  const bool vertical = look.layout == 2 || look.layout == 3;
  const int totalW = vertical ? std::max(textSize.width(), glyphSize.width()) : textSize.width() + spacing + glyphSize.width();
  const int totalH = vertical ? textSize.height() + spacing + glyphSize.height() : std::max(textSize.height(), glyphSize.height());
  QPoint origin((width() - totalW) / 2, (height() - totalH) / 2);
  if (pressed) origin += QPoint(1, 1);
  QRect glyphBox, textBox;
  switch (look.layout) {
    case 1:  // glyph right of the caption
      textBox = QRect(origin.x(), origin.y() + (totalH - textSize.height()) / 2, textSize.width(), textSize.height());
      glyphBox = QRect(origin.x() + textSize.width() + spacing, origin.y() + (totalH - glyphSize.height()) / 2,
                       glyphSize.width(), glyphSize.height());
      break;
    case 2:  // above
      glyphBox = QRect(origin.x() + (totalW - glyphSize.width()) / 2, origin.y(), glyphSize.width(), glyphSize.height());
      textBox = QRect(origin.x() + (totalW - textSize.width()) / 2, origin.y() + glyphSize.height() + spacing,
                      textSize.width(), textSize.height());
      break;
    case 3:  // below
      textBox = QRect(origin.x() + (totalW - textSize.width()) / 2, origin.y(), textSize.width(), textSize.height());
      glyphBox = QRect(origin.x() + (totalW - glyphSize.width()) / 2, origin.y() + textSize.height() + spacing,
                       glyphSize.width(), glyphSize.height());
      break;
    default:  // left
      glyphBox = QRect(origin.x(), origin.y() + (totalH - glyphSize.height()) / 2, glyphSize.width(), glyphSize.height());
      textBox = QRect(origin.x() + glyphSize.width() + spacing, origin.y() + (totalH - textSize.height()) / 2,
                      textSize.width(), textSize.height());
      break;
  }
  if (!glyph.isNull()) p.drawImage(glyphBox.topLeft(), glyph);
  if (!caption.isEmpty()) {
    p.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
    p.drawText(textBox, Qt::AlignCenter | Qt::TextShowMnemonic, caption);
  }
}

void GlyphButton::fitMask() {
  if (peer_->look().oval) setMask(QRegion(rect(), QRegion::Ellipse));
  else if (!mask().isEmpty()) clearMask();
}

// Space on a button that has the focus clicks it (the mouse's click comes
// through the event bridge).
void GlyphButton::keyReleaseEvent(QKeyEvent* event) {
  const bool click = event->key() == Qt::Key_Space && !event->isAutoRepeat() && isDown();
  QPushButton::keyReleaseEvent(event);
  if (click) peer_->clickedByKey();
}

}  // namespace

std::unique_ptr<gui::ButtonPeer> makeButtonPeer(gui::WindowOwner& owner) {
  watchApplication();
  return std::make_unique<QtButtonPeer>(&owner);
}

}  // namespace kestrel::qt
