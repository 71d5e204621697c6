// The picture viewer example as a person would use it: Open... twice (the
// test answers the dialog with two of the example pictures), back to the
// first tab, a click on the scroll bar's track; the window is saved in
// tests/screenshots and compared with what it should show.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTabBar>
#include <QTimer>
#include <functional>

#include "gui_support.h"
#include "objects/controls/image.h"
#include "objects/controls/label.h"
#include "objects/controls/scroll_bar.h"
#include "objects/controls/tab_control.h"
#include "screenshots.h"

using namespace kestrel;
using kestrel::guitest::Program;

namespace {

void click(QWidget* w, QPoint at) {
  QMouseEvent press(QEvent::MouseButtonPress, QPointF(at), w->mapToGlobal(QPointF(at)), Qt::LeftButton,
                    Qt::LeftButton, {});
  QApplication::sendEvent(w, &press);
  QMouseEvent release(QEvent::MouseButtonRelease, QPointF(at), w->mapToGlobal(QPointF(at)), Qt::LeftButton,
                      Qt::NoButton, {});
  QApplication::sendEvent(w, &release);
}

QAbstractButton* buttonCaptioned(QWidget* form, const QString& caption) {
  for (QAbstractButton* b : form->findChildren<QAbstractButton*>())
    if (b->text() == caption) return b;
  return nullptr;
}

// Answers the next file dialog with a file of the examples' pictures.
void answerWith(const QString& picture) {
  QTimer::singleShot(0, [picture] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr) {
      answerWith(picture);
      return;
    }
    dialog->selectFile(QString::fromStdString(KESTREL_EXAMPLES) + "/pictures/" + picture);
    static_cast<QDialog*>(dialog)->accept();
  });
}

template <class T>
T& object(Program& p, int type, int index) {
  return objects::world(p.machine()).as<T>(type, index);
}

}  // namespace

TEST(Examples, ViewerOpensPicturesInTabsAndScrolls) {
  Program p(guitest::exampleSource("viewer.kasm"));
  QImage shot;
  int missing = 0;
  int scrolledTo = -1;
  QPoint viewAt;
  QTimer::singleShot(20, [&] {
    QWidget* form = p.form(0);
    QAbstractButton* open = buttonCaptioned(form, "&Open...");
    if (open == nullptr) {
      ++missing;
      form->close();
      return;
    }
    for (const char* picture : {"harbour.png", "kestrel.png"}) {
      answerWith(picture);
      click(open, open->rect().center());
    }
    QTabBar* row = p.widget(objects::kTabControlType, 0)->findChild<QTabBar*>();
    if (row != nullptr && row->count() == 2) click(row, row->tabRect(0).center());
    else ++missing;
    auto& across = object<objects::ScrollBar>(p, objects::kScrollBarType, 0);
    auto* bar = qobject_cast<QScrollBar*>(p.widget(objects::kScrollBarType, 0));
    if (bar != nullptr) click(bar, QPoint(bar->width() - 30, bar->height() / 2));
    else ++missing;
    scrolledTo = across.position();
    viewAt = p.widget(33, 1)->mapTo(form, QPoint());
    guitest::settle();
    shot = p.grab(0);
    form->close();
  });
  ASSERT_EQ(p.run(), "");
  EXPECT_EQ(missing, 0);
  ASSERT_FALSE(shot.isNull());
  guitest::saveScreenshot(shot, "viewer");

  auto& tabs = object<objects::TabControl>(p, objects::kTabControlType, 0);
  ASSERT_EQ(tabs.tabCount(), 2);
  EXPECT_EQ(tabs.tab(0).str(), "harbour.png");
  EXPECT_EQ(tabs.tab(1).str(), "kestrel.png");
  EXPECT_EQ(tabs.tabIndex(), 0);
  EXPECT_EQ(object<objects::Label>(p, objects::kLabelType, 0).caption().str(), "harbour.png   720 x 480");
  auto& picture = object<objects::Image>(p, objects::kImageType, 0);
  EXPECT_EQ(picture.width(), 720);
  EXPECT_GT(scrolledTo, 0) << "a click on the track moves a page";
  EXPECT_EQ(picture.left(), -scrolledTo);
  EXPECT_EQ(picture.top(), 0);
  // The sun's middle (470, 250 in the picture) where the scroll put it.
  EXPECT_EQ(Program::bgr(shot, viewAt.x() + 470 - scrolledTo, viewAt.y() + 250), 0x60DCFFu);

  const guitest::Comparison whole = guitest::compareWithExpected(shot, "viewer");
  EXPECT_TRUE(whole.sameSize) << whole.report;
  EXPECT_LE(whole.mismatchFraction, 0.01) << whole.report;
}
