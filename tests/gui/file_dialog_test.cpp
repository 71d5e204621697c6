// The open and save dialogs on Qt, answered by the test: what the dialog
// shows (title, filters in Qt's form, the filter chosen, the folder and
// the name proposed), what the program reads back (a path of this
// system, the filter chosen), a cancelled dialog, several files and a
// default extension.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>

#include "gui_support.h"
#include "toolkit/file_dialog.h"
#include "toolkit/toolkit.h"

using namespace kestrel;
using kestrel::guitest::Program;

namespace {

// Answers the next modal file dialog with `answer` once it shows.
void answerFileDialog(std::function<void(QFileDialog&)> answer) {
  QTimer::singleShot(0, [answer] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr) {
      answerFileDialog(answer);
      return;
    }
    answer(*dialog);
  });
}

// What the dialog's Open or Save button does.
void accept(QFileDialog& d) { static_cast<QDialog&>(d).accept(); }

void touch(const QString& path) {
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
}

}  // namespace

TEST(FileDialogWindow, TheProgramsSettingsAndTheAnswer) {
  QTemporaryDir dir;
  touch(dir.filePath("a.log"));
  touch(dir.filePath("b.txt"));
  const std::string folder = dir.path().toStdString();
  Program p(R"(
    dim opendialog:0
    dim savedialog:0
    set opendialog:0.Title = "Pick a log"
    set opendialog:0.Filter = "Text (*.txt)|*.txt;*.log|All (*.*)|*.*"
    set opendialog:0.FilterIndex = 2
    set opendialog:0.InitialDir = ")" + folder + R"("
    set opendialog:0.FileName = "b.txt"
    stdout opendialog:0.Execute
    stdout opendialog:0.FileName
    stdout opendialog:0.FilterIndex
    set savedialog:0.FileName = "kept"
    set savedialog:0.FilterIndex = 0
    set savedialog:0.Execute
    stdout savedialog:0.FileName + " " + str(savedialog:0.Execute) + " " + str(savedialog:0.FilterIndex)
)");
  std::string output;
  p.machine().out.captureInto(&output);
  QString title, directory, typed;
  QStringList filters;
  QString shownFilter;
  bool nativeDialog = true;
  answerFileDialog([&](QFileDialog& d) {
    title = d.windowTitle();
    filters = d.nameFilters();
    shownFilter = d.selectedNameFilter();
    directory = d.directory().absolutePath();
    nativeDialog = !d.testOption(QFileDialog::DontUseNativeDialog);
    if (auto* edit = d.findChild<QLineEdit*>()) typed = edit->text();
    d.selectNameFilter(filters.value(0));
    d.selectFile("a.log");
    accept(d);
    // The save dialog that follows is cancelled, twice.
    answerFileDialog([](QFileDialog& save) {
      save.reject();
      answerFileDialog([](QFileDialog& again) { again.reject(); });
    });
  });
  ASSERT_EQ(p.run(), "");
  p.machine().out.flush();
  EXPECT_EQ(title, "Pick a log");
  EXPECT_EQ(filters, QStringList({"Text (*.txt *.log)", "All (*)"}));
  EXPECT_EQ(shownFilter, "All (*)");
  EXPECT_EQ(directory, QDir(dir.path()).absolutePath());
  EXPECT_EQ(typed, "b.txt");
  EXPECT_FALSE(nativeDialog);
  EXPECT_EQ(output, "1\n" + QDir(dir.path()).absoluteFilePath("a.log").toStdString() + "\n1\nkept 0 0\n");
}

// Several files at once, and a name typed without an extension.
TEST(FileDialogWindow, SeveralFilesAndADefaultExtension) {
  QTemporaryDir dir;
  touch(dir.filePath("one.txt"));
  touch(dir.filePath("two.txt"));
  Program p("dim form:0\n");  // the application and its windows
  ASSERT_EQ(p.run(), "");

  gui::FileDialogRequest open;
  open.multiSelect = true;
  open.directory = dir.path().toStdString();
  answerFileDialog([](QFileDialog& d) {
    d.selectFile("\"one.txt\" \"two.txt\"");
    accept(d);
  });
  ASSERT_TRUE(toolkit().showFileDialog(open));
  ASSERT_EQ(open.files.size(), 2u);
  EXPECT_EQ(open.files[0], dir.filePath("one.txt").toStdString());
  EXPECT_EQ(open.files[1], dir.filePath("two.txt").toStdString());
  EXPECT_EQ(open.fileName, open.files[0]);

  gui::FileDialogRequest save;
  save.save = true;
  save.defaultExtension = "txt";
  save.directory = dir.path().toStdString();
  save.filters = gui::translateFilter("Text|*.txt");
  answerFileDialog([](QFileDialog& d) {
    d.selectFile("report");
    accept(d);
  });
  ASSERT_TRUE(toolkit().showFileDialog(save));
  EXPECT_EQ(save.fileName, dir.filePath("report.txt").toStdString());
  EXPECT_EQ(save.filterIndex, 1);
}
