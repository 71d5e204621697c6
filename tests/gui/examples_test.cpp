// The GUI examples run as a person would use them: a script of clicks
// drives the program on the offscreen platform, and what the window shows
// is compared with what it should show (the pictures are saved in the
// build folder, tests/screenshots).
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>

#include "gui_support.h"
#include "objects/controls/label.h"
#include "screenshots.h"
#include "toolkit/qt/qt_fonts.h"
#include "toolkit/toolkit.h"

using namespace kestrel;
using kestrel::guitest::Program;

namespace {

void mouse(QWidget* w, QEvent::Type type, QPoint at, Qt::MouseButton button = Qt::LeftButton) {
  const Qt::MouseButtons held = type == QEvent::MouseButtonRelease || type == QEvent::MouseMove ? Qt::NoButton : button;
  QMouseEvent e(type, QPointF(at), w->mapToGlobal(QPointF(at)), button, held, {});
  QApplication::sendEvent(w, &e);
}

void click(QWidget* w) {
  const QPoint at = w->rect().center();
  mouse(w, QEvent::MouseButtonPress, at);
  mouse(w, QEvent::MouseButtonRelease, at);
}

QAbstractButton* buttonCaptioned(QWidget* form, const QString& caption) {
  for (QAbstractButton* b : form->findChildren<QAbstractButton*>())
    if (b->text() == caption) return b;
  return nullptr;
}

std::string labelCaption(Program& p, int index) {
  return objects::world(p.machine()).as<objects::Label>(objects::kLabelType, index).caption().str();
}

}  // namespace

// 12 + 30 = 42, clicked on the calculator's keys: the display label's
// caption says 42, and its pixels show "42" right-aligned in the middle of
// the display as the font draws it.
TEST(Examples, CalculatorAddsTwelveAndThirty) {
  Program p(guitest::exampleSource("calculator.kasm"));
  std::string shown;
  std::string afterClear;
  QImage shot;
  int missing = 0;
  QTimer::singleShot(20, [&] {
    QWidget* form = p.form(0);
    for (const char* key : {"1", "2", "+", "3", "0", "="}) {
      QAbstractButton* b = buttonCaptioned(form, QString::fromLatin1(key));
      if (b == nullptr) ++missing;
      else click(b);
    }
    guitest::settle();
    shown = labelCaption(p, 0);
    shot = p.grab(0);
    // Going on from the result, then starting again.
    for (const char* key : {"*", "2", "=", "C"}) click(buttonCaptioned(form, QString::fromLatin1(key)));
    afterClear = labelCaption(p, 0);
    form->close();
  });
  ASSERT_EQ(p.run(), "");
  EXPECT_EQ(missing, 0);
  EXPECT_EQ(shown, "42");
  EXPECT_EQ(afterClear, "0");
  ASSERT_FALSE(shot.isNull());
  guitest::saveScreenshot(shot, "calculator");

  // The display is the label at (8, 8), 200 x 40, white.
  const QRect display(8, 8, 200, 40);
  QImage expected(display.size(), QImage::Format_RGB32);
  expected.fill(Qt::white);
  {
    gui::FontDesc font;
    font.name = "DejaVu Sans";
    font.size = 18;
    font.styles = gui::kBold;
    QPainter painter(&expected);
    painter.setFont(qt::makeFont(font));
    painter.setPen(qt::qColor(toolkit().systemColor(8)));
    painter.drawText(expected.rect(), Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("42"));
  }
  const QImage actual = shot.copy(display);
  guitest::saveScreenshot(expected, "calculator-display-expected");
  int differing = 0;
  for (int y = 0; y < actual.height(); ++y)
    for (int x = 0; x < actual.width(); ++x)
      if (actual.pixel(x, y) != expected.pixel(x, y)) ++differing;
  EXPECT_LE(differing, actual.width() * actual.height() / 100) << "the display differs from \"42\" drawn alone";
  const QRect ink = guitest::inkBounds(shot, display, 0xFFFFFF);
  EXPECT_GE(ink.left(), display.left() + display.width() / 2) << "right-aligned";
  EXPECT_GE(ink.right(), display.right() - 4);
  EXPECT_NEAR(ink.center().y(), display.center().y(), 3) << "in the middle of the height";

  const guitest::Comparison whole = guitest::compareWithExpected(shot, "calculator");
  EXPECT_TRUE(whole.sameSize) << whole.report;
  EXPECT_LE(whole.mismatchFraction, 0.01) << whole.report;
}

// Drawing: a stroke with the left button held, a second one in red after
// the Red button, then Clear; the bar's colour buttons are one group.
TEST(Examples, DrawingDrawsLinesAndClears) {
  Program p(guitest::exampleSource("drawing.kasm"));
  QImage drawn, cleared;
  int missing = 0;
  QTimer::singleShot(20, [&] {
    QWidget* form = p.form(0);
    auto stroke = [&](std::initializer_list<QPoint> points) {
      auto it = points.begin();
      mouse(form, QEvent::MouseButtonPress, *it);
      for (++it; it != points.end(); ++it) {
        QMouseEvent e(QEvent::MouseMove, QPointF(*it), form->mapToGlobal(QPointF(*it)), Qt::NoButton, Qt::LeftButton, {});
        QApplication::sendEvent(form, &e);
      }
      mouse(form, QEvent::MouseButtonRelease, *(points.end() - 1));
    };
    stroke({{50, 100}, {150, 100}, {150, 200}});
    QAbstractButton* red = buttonCaptioned(form, QStringLiteral("Red"));
    if (red == nullptr) ++missing;
    else click(red);
    stroke({{200, 60}, {300, 60}});
    // A move without the button down draws nothing.
    QMouseEvent hover(QEvent::MouseMove, QPointF(300, 250), form->mapToGlobal(QPointF(300, 250)), Qt::NoButton,
                      Qt::NoButton, {});
    QApplication::sendEvent(form, &hover);
    guitest::settle();
    drawn = p.grab(0);
    QAbstractButton* clear = buttonCaptioned(form, QStringLiteral("&Clear"));
    if (clear == nullptr) ++missing;
    else click(clear);
    guitest::settle();
    cleared = p.grab(0);
    form->close();
  });
  ASSERT_EQ(p.run(), "");
  EXPECT_EQ(missing, 0);
  ASSERT_FALSE(drawn.isNull());
  guitest::saveScreenshot(drawn, "drawing");
  EXPECT_EQ(Program::bgr(drawn, 50, 100), 0u);
  EXPECT_EQ(Program::bgr(drawn, 100, 100), 0u);
  EXPECT_EQ(Program::bgr(drawn, 150, 150), 0u);
  EXPECT_EQ(Program::bgr(drawn, 150, 200), 0u);
  EXPECT_EQ(Program::bgr(drawn, 250, 60), 0x0000FFu);
  EXPECT_EQ(Program::bgr(drawn, 100, 150), 0xFFFFFFu);
  EXPECT_EQ(guitest::inkCount(drawn, QRect(160, 210, 230, 80), 0xFFFFFF), 0) << "no line without the button down";
  EXPECT_EQ(guitest::inkCount(cleared, QRect(0, 40, 400, 260), 0xFFFFFF), 0);
  const guitest::Comparison whole = guitest::compareWithExpected(drawn, "drawing");
  EXPECT_TRUE(whole.sameSize) << whole.report;
  EXPECT_LE(whole.mismatchFraction, 0.01) << whole.report;
}

// The tutorial's window: two clicks on its button, counted on its label.
TEST(Examples, TutorialButtonCountsClicks) {
  Program p(guitest::exampleSource("tutorial/button.kasm"));
  std::string output;
  p.machine().out.captureInto(&output);
  std::string before, after;
  QTimer::singleShot(20, [&] {
    QWidget* form = p.form(0);
    before = labelCaption(p, 0);
    QAbstractButton* button = buttonCaptioned(form, "Click me");
    if (button != nullptr) {
      click(button);
      click(button);
    }
    guitest::settle();
    after = labelCaption(p, 0);
    form->close();
  });
  ASSERT_EQ(p.run(), "");
  p.machine().out.flush();
  EXPECT_EQ(before, "Not clicked yet");
  EXPECT_EQ(after, "Clicked 2 times");
  EXPECT_EQ(output, "clicked 2 times\n");
}
