// The notes example as a person would use it, in a folder of its own: a
// note for a date is typed, partly in bold picked from the menu, and
// saved; a second one is saved under a typed name with the shortcut; New
// empties the page, and clicking the first note in the list brings it
// back. Open then takes a note by name, and unsaved changes are asked
// about. The files and the window are checked, and the window compared
// with the picture it should show (saved in the build folder,
// tests/screenshots).
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>
#include <QTimer>

#include "gui_support.h"
#include "screenshots.h"

using namespace kestrel;
using kestrel::guitest::Program;

namespace {

// Opens menu `menu` of the bar with the mouse and picks its item `item`.
void pick(QMenuBar* bar, int menu, int item) {
  QAction* title = bar->actions().at(menu);
  QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(title).center());
  guitest::settle();
  QMenu* opened = title->menu();
  QTest::mouseClick(opened, Qt::LeftButton, {}, opened->actionGeometry(opened->actions().at(item)).center());
  guitest::settle();
}

// Replaces what a line edit holds with what is typed.
void typeInto(QLineEdit* edit, const QString& text) {
  edit->setFocus();
  QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
  QTest::keyClick(edit, Qt::Key_Delete);
  QTest::keyClick(edit, Qt::Key_Home);
  QTest::keyClicks(edit, text);
}

bool boldAt(QTextEdit* rich, int position) {
  QTextCursor cursor(rich->document());
  cursor.setPosition(position);
  return cursor.charFormat().fontWeight() >= QFont::Bold;
}

QByteArray fileBytes(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Answers the next message box the program shows with `button` (before
// the box's own default answers), keeping its question in `asked`.
void answerNextBox(QObject* guard, QMessageBox::StandardButton button, QString* asked) {
  auto* poll = new QTimer(guard);
  poll->setInterval(1);
  QObject::connect(poll, &QTimer::timeout, guard, [=] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr || box->button(button) == nullptr) return;
    poll->stop();
    *asked = box->text();
    box->button(button)->click();
  });
  poll->start();
}

struct Widgets {
  QMenuBar* bar = nullptr;
  QListWidget* list = nullptr;
  QLineEdit* name = nullptr;
  QLineEdit* date = nullptr;
  QTextEdit* page = nullptr;
  bool complete() const { return bar && list && name && date && page; }
};

Widgets widgetsOf(QWidget* client) {
  Widgets w;
  w.bar = client->window()->findChild<QMenuBar*>();
  w.list = client->findChild<QListWidget*>();
  w.page = client->findChild<QTextEdit*>();
  for (QLineEdit* e : client->findChildren<QLineEdit*>()) {
    if (e->parent() != client) continue;  // not a part of another control
    (e->inputMask().isEmpty() ? w.name : w.date) = e;
  }
  return w;
}

}  // namespace

TEST(Examples, NotesSavesAndReloadsANote) {
  const QString dayBefore = QDate::currentDate().toString(Qt::ISODate);
  QTemporaryDir home;
  ASSERT_TRUE(home.isValid());
  const QString folder = home.path() + "/notes";  // missing: the program makes it
  MachineOptions options;
  options.arguments = {folder.toStdString()};
  Program p(guitest::exampleSource("notes.kasm"), options);
  bool exited = true;
  QObject guard;

  QString saved, savedIdeas, afterNew, reloaded, dateAfterNew, dateShown, nameShown;
  QString askedOnNew, askedOnExit, keptAfterNo, opened;
  int openedCurrent = -1;
  QString askedOnCloseBox;
  bool openAfterNo = false;
  QStringList listed;
  bool boldReloaded = false, plainReloaded = true;
  QImage shot;
  int missing = 0;
  QTimer::singleShot(20, [&] {
    QWidget* client = p.form(0);
    client->window()->activateWindow();
    QApplication::setActiveWindow(client->window());
    guitest::settle();
    const Widgets w = widgetsOf(client);
    if (!w.complete()) {
      ++missing;
      client->close();
      return;
    }
    typeInto(w.date, QStringLiteral("20261224"));
    w.page->setFocus();
    QTest::keyClicks(w.page, QStringLiteral("Shopping list"));
    QTest::keyClick(w.page, Qt::Key_Return);
    pick(w.bar, 1, 0);  // Edit, Bold: what is typed next is bold
    QTest::keyClicks(w.page, QStringLiteral("milk"));
    pick(w.bar, 0, 2);  // File, Save
    saved = QString::fromLatin1(fileBytes(folder + "/2026-12-24.rtf"));

    // A second note, under a name, saved with the shortcut.
    pick(w.bar, 0, 0);  // File, New
    typeInto(w.name, QStringLiteral("ideas"));
    w.page->setFocus();
    QTest::keyClicks(w.page, QStringLiteral("A plain idea"));
    QTest::keyClick(w.page, Qt::Key_S, Qt::ControlModifier);
    guitest::settle();
    savedIdeas = QString::fromLatin1(fileBytes(folder + "/ideas.rtf"));

    pick(w.bar, 0, 0);  // File, New
    afterNew = w.page->toPlainText();
    dateAfterNew = w.date->text();
    for (int i = 0; i < w.list->count(); ++i) listed << w.list->item(i)->text();

    if (w.list->count() > 0) {
      QListWidgetItem* first = w.list->item(0);
      QTest::mouseClick(w.list->viewport(), Qt::LeftButton, {}, w.list->visualItemRect(first).center());
      guitest::settle();
    }
    reloaded = w.page->toPlainText();
    const int milk = static_cast<int>(reloaded.indexOf(QStringLiteral("milk")));
    boldReloaded = milk >= 0 && boldAt(w.page, milk + 1) && boldAt(w.page, milk + 4);
    plainReloaded = !boldAt(w.page, 1);
    dateShown = w.date->text();
    nameShown = w.name->text();
    shot = client->window()->grab().toImage().convertToFormat(QImage::Format_RGB32);

    // Open takes the note the name field names.
    typeInto(w.name, QStringLiteral("ideas"));
    pick(w.bar, 0, 1);  // File, Open
    opened = w.page->toPlainText();
    openedCurrent = w.list->currentRow();

    // A change not saved: New asks, and No keeps the page; Exit asks too.
    QTest::keyClick(w.page, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClicks(w.page, QStringLiteral(" and eggs"));
    answerNextBox(&guard, QMessageBox::No, &askedOnNew);
    pick(w.bar, 0, 0);  // File, New
    keptAfterNo = w.page->toPlainText();
    answerNextBox(&guard, QMessageBox::No, &askedOnCloseBox);
    client->window()->close();  // the close box
    guitest::settle();
    openAfterNo = client->isVisible();
    answerNextBox(&guard, QMessageBox::Yes, &askedOnExit);
    pick(w.bar, 0, 4);  // File, Exit
    // Should Exit not end the modal wait, the window is closed later.
    QTimer::singleShot(2000, &guard, [&] {
      exited = false;
      p.form(0)->close();
    });
  });
  ASSERT_EQ(p.run(), "");
  ASSERT_EQ(missing, 0) << "the window lacks a control";
  EXPECT_TRUE(exited) << "File, Exit closes the window";

  EXPECT_TRUE(saved.startsWith(QStringLiteral("{\\rtf"))) << saved.toStdString();
  EXPECT_TRUE(saved.contains(QStringLiteral("Shopping list"))) << saved.toStdString();
  EXPECT_TRUE(saved.contains(QStringLiteral("\\b"))) << "bold is kept in the file";
  EXPECT_TRUE(saved.contains(QStringLiteral("milk")));
  EXPECT_TRUE(savedIdeas.contains(QStringLiteral("A plain idea"))) << savedIdeas.toStdString();
  EXPECT_EQ(afterNew, "");
  const QString dayAfter = QDate::currentDate().toString(Qt::ISODate);
  EXPECT_TRUE(dateAfterNew == dayBefore || dateAfterNew == dayAfter) << "New starts a note for today";
  EXPECT_EQ(listed, QStringList({"2026-12-24", "ideas"}));
  EXPECT_EQ(reloaded, "Shopping list\nmilk");
  EXPECT_TRUE(boldReloaded) << "milk is bold again";
  EXPECT_TRUE(plainReloaded) << "the first line is not";
  EXPECT_EQ(dateShown, "2026-12-24");
  EXPECT_EQ(nameShown, "");
  EXPECT_TRUE(askedOnNew.contains(QStringLiteral("not saved"))) << askedOnNew.toStdString();
  EXPECT_EQ(opened, "A plain idea");
  EXPECT_EQ(openedCurrent, 1) << "the opened note is the list's current item";
  EXPECT_EQ(keptAfterNo, "A plain idea and eggs");
  EXPECT_EQ(askedOnCloseBox, askedOnNew);
  EXPECT_TRUE(openAfterNo) << "No to the close box's question keeps the window";
  EXPECT_EQ(askedOnExit, askedOnNew);

  ASSERT_FALSE(shot.isNull());
  guitest::saveScreenshot(shot, "notes");
  // The page shows ink, and the note picked in the list is highlighted.
  EXPECT_GT(guitest::inkCount(shot, QRect(190, 70, 200, 40), 0xFFFFFF), 50);
  const QRect firstItem = QRect(10, 30, 140, 10);
  EXPECT_GT(guitest::inkCount(shot, firstItem, 0xFFFFFF), firstItem.width() * firstItem.height() * 3 / 4);
  const guitest::Comparison whole = guitest::compareWithExpected(shot, "notes");
  EXPECT_TRUE(whole.sameSize) << whole.report;
  EXPECT_LE(whole.mismatchFraction, 0.01) << whole.report;
}
