// Application-wide settings on Qt: the icon every window shows by default,
// and the tool tips (shown at all, their colour and timing).
#include <QApplication>
#include <algorithm>
#include <QEvent>
#include <QPalette>
#include <QProxyStyle>
#include <QStyle>
#include <QToolTip>

#include "toolkit/qt/qt_fonts.h"
#include "toolkit/qt/qt_services.h"
#include "toolkit/qt/qt_surface.h"

namespace kestrel::qt {

namespace {

// Tool tips are swallowed while the program has them switched off.
class HintFilter : public QObject {
 public:
  bool show = true;
  bool eventFilter(QObject*, QEvent* event) override { return !show && event->type() == QEvent::ToolTip; }
};

// The delays before a tool tip shows and until it hides.
class HintStyle : public QProxyStyle {
 public:
  explicit HintStyle(const QString& base) : QProxyStyle(base) {}
  int wakeUp = 500;
  int fallAsleep = 2500;
  int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget, QStyleHintReturn* out) const override {
    if (hint == SH_ToolTip_WakeUpDelay) return wakeUp;
    if (hint == SH_ToolTip_FallAsleepDelay) return fallAsleep;
    return QProxyStyle::styleHint(hint, option, widget, out);
  }
};

HintFilter* hintFilter = nullptr;
HintStyle* hintStyle = nullptr;

}  // namespace

void setApplicationIcon(const gui::Surface* icon) {
  // Only a program with windows shows the icon.
  if (!displayConfigured()) return;
  QApplication& app = application(true);
  const QImage image = icon != nullptr ? imageOf(*icon) : QImage();
  app.setWindowIcon(image.isNull() ? QIcon() : QIcon(QPixmap::fromImage(image)));
}

void setApplicationHints(bool show, uint32_t color, int pauseMs, int hidePauseMs) {
  if (!displayConfigured()) return;
  QApplication& app = application(true);
  if (hintFilter == nullptr) {
    hintFilter = new HintFilter;
    hintFilter->setParent(&app);
    app.installEventFilter(hintFilter);
  }
  hintFilter->show = show;
  if (hintStyle == nullptr) {
    hintStyle = new HintStyle(QApplication::style()->name());  // the application takes it over
    QApplication::setStyle(hintStyle);
  }
  hintStyle->wakeUp = std::max(pauseMs, 0);
  hintStyle->fallAsleep = std::max(hidePauseMs, 0);
  QPalette palette = QToolTip::palette();
  palette.setColor(QPalette::ToolTipBase, qColor(color));
  QToolTip::setPalette(palette);
}

}  // namespace kestrel::qt
