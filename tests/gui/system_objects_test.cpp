// The system objects on Qt: a printed page becomes a PDF with its text and
// shapes (read back with the PDF tools when they are installed), the font
// dialog answered by a timer, and the clipboard's text and pictures.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFontDialog>
#include <QImage>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolTip>
#include <functional>
#include <memory>

#include "gui_support.h"

using namespace kestrel;
using kestrel::guitest::Program;

namespace {

// Runs in a fresh current folder, and goes back afterwards.
class InTemporaryFolder {
 public:
  InTemporaryFolder() : previous_(QDir::currentPath()) { QDir::setCurrent(dir_.path()); }
  ~InTemporaryFolder() { QDir::setCurrent(previous_); }
  QString file(const QString& name) const { return dir_.filePath(name); }

 private:
  QTemporaryDir dir_;
  QString previous_;
};

bool havePdfTools() {
  return !QStandardPaths::findExecutable("pdftotext").isEmpty() &&
         !QStandardPaths::findExecutable("pdftoppm").isEmpty();
}

QString run(const QString& program, const QStringList& arguments) {
  QProcess p;
  p.start(program, arguments);
  p.waitForFinished(60000);
  return QString::fromUtf8(p.readAllStandardOutput());
}

// Answers the next modal font dialog with `answer` once it shows.
void answerFontDialog(std::function<void(QFontDialog&)> answer) {
  QTimer::singleShot(0, [answer] {
    auto* dialog = qobject_cast<QFontDialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr) {
      answerFontDialog(answer);
      return;
    }
    answer(*dialog);
  });
}

const char* kPrintedPage = R"(
    dim printer:0
    dim int:0
    dim int:1
    dim int:2
    set printer:0.PrinterIndex = printer:0.PrinterCount - 1
    set printer:0.Title = "Kestrel test page"
    set printer:0.BeginDoc
    set printer:0.FontSize = 24
    set printer:0.TextOut = 300, 300, "Printed by Kestrel", 0, 16777215
    set printer:0.FillRect = 600, 900, 1200, 1500, 255
    set printer:0.Rectangle = 1400, 900, 1800, 1300, 16711680
    let int:0 = printer:0.Pixel(700, 1000)
    let int:1 = printer:0.TextWidth("Printed by Kestrel")
    set printer:0.NewPage
    set printer:0.TextOut = 300, 300, "Second page", 0, -1
    let int:2 = printer:0.PageNumber
    set printer:0.EndDoc
)";

}  // namespace

TEST(PrinterPdf, PageWithTextAndShapes) {
  InTemporaryFolder folder;
  Program p(kPrintedPage);
  ASSERT_EQ(p.run(), "");
  EXPECT_EQ(p.integer(0), 0x0000FF);  // the page's picture answers pixel reads
  EXPECT_GT(p.integer(1), 200);       // 24 points at 300 dots per inch
  EXPECT_EQ(p.integer(2), 2);
  ASSERT_TRUE(QFile::exists(folder.file("print-1.pdf")));
  if (!havePdfTools()) GTEST_SKIP() << "pdftotext and pdftoppm are not installed";

  EXPECT_TRUE(run("pdftotext", {"-f", "1", "-l", "1", "print-1.pdf", "-"}).contains("Printed by Kestrel"));
  EXPECT_TRUE(run("pdftotext", {"-f", "2", "-l", "2", "print-1.pdf", "-"}).contains("Second page"));
  // At the printer's own resolution, one page pixel to one printer pixel.
  run("pdftoppm", {"-f", "1", "-l", "1", "-r", "300", "-aa", "no", "-aaVector", "no", "-singlefile", "print-1.pdf", "page"});
  const QImage page(folder.file("page.ppm"));
  ASSERT_FALSE(page.isNull());
  auto near = [&](int x, int y, uint32_t color) {
    for (int dy = -1; dy <= 1; ++dy)
      for (int dx = -1; dx <= 1; ++dx)
        if (Program::bgr(page, x + dx, y + dy) == color) return true;
    return false;
  };
  EXPECT_EQ(Program::bgr(page, 700, 1000), 0x0000FFu);  // the filled rectangle
  EXPECT_EQ(Program::bgr(page, 602, 902), 0x0000FFu);
  EXPECT_EQ(Program::bgr(page, 1197, 1497), 0x0000FFu);
  EXPECT_EQ(Program::bgr(page, 596, 896), 0xFFFFFFu);
  EXPECT_EQ(Program::bgr(page, 1203, 1503), 0xFFFFFFu);
  EXPECT_TRUE(near(1400, 1100, 0xFF0000u));  // the frame's edges
  EXPECT_TRUE(near(1799, 1100, 0xFF0000u));
  EXPECT_TRUE(near(1600, 900, 0xFF0000u));
  EXPECT_TRUE(near(1600, 1299, 0xFF0000u));
  EXPECT_EQ(Program::bgr(page, 1600, 1100), 0xFFFFFFu);  // and not filled
  EXPECT_EQ(Program::bgr(page, 1600, 1320), 0xFFFFFFu);
}

TEST(PrinterPdf, AbortLeavesNoFileAndNextJobsNumberOn) {
  InTemporaryFolder folder;
  auto p = std::make_unique<Program>(R"(
    dim printer:0
    set printer:0.PrinterIndex = printer:0.PrinterCount - 1
    set printer:0.BeginDoc
    set printer:0.TextOut = 10, 10, "dropped", 0, -1
    set printer:0.Abort
    set printer:0.BeginDoc
    set printer:0.TextOut = 10, 10, "kept", 0, -1
    set printer:0.EndDoc
    set printer:0.BeginDoc
    set printer:0.TextOut = 10, 10, "left open", 0, -1
  )");
  ASSERT_EQ(p->run(), "");
  EXPECT_TRUE(QFile::exists(folder.file("print-1.pdf")));
  p.reset();  // the end of the program prints what is left open
  EXPECT_TRUE(QFile::exists(folder.file("print-2.pdf")));
  if (!havePdfTools()) GTEST_SKIP() << "pdftotext is not installed";
  EXPECT_TRUE(run("pdftotext", {"print-1.pdf", "-"}).contains("kept"));
  EXPECT_TRUE(run("pdftotext", {"print-2.pdf", "-"}).contains("left open"));
}

TEST(FontDialog, ConfirmedWithApply) {
  Program p(R"(
    dim fontdialog:0
    dim int:0
    dim int:1
    dim int:2
    dim str:0
    set fontdialog:0.Name = "DejaVu Sans"
    set fontdialog:0.Size = 10
    set fontdialog:0.Color = 255
    set fontdialog:0.AddOptions = 15
    set fontdialog:0.OnApply = applied
    let int:0 = fontdialog:0.Execute
    let str:0 = fontdialog:0.Name
    let int:1 = fontdialog:0.Size + 1000 * fontdialog:0.Color
    endprogram
.proc applied
    let int:2 = int:2 + fontdialog:0.Size
    endproc
    endprogram
)");
  answerFontDialog([](QFontDialog& dialog) {
    QFont font("DejaVu Serif");
    font.setPointSize(14);
    font.setBold(true);
    dialog.setCurrentFont(font);
    auto* buttons = dialog.findChild<QDialogButtonBox*>();
    ASSERT_NE(buttons, nullptr);
    QPushButton* apply = buttons->button(QDialogButtonBox::Apply);
    ASSERT_NE(apply, nullptr);
    apply->click();
    dialog.accept();
  });
  ASSERT_EQ(p.run(), "end");
  EXPECT_EQ(p.integer(0), 1);
  EXPECT_EQ(p.text(0), "DejaVu Serif");
  EXPECT_EQ(p.integer(1), 14 + 1000 * 255);  // the colour stays
  EXPECT_EQ(p.integer(2), 14);               // the handler saw the font applied
}

TEST(FontDialog, Cancelled) {
  Program cancelled(R"(
    dim fontdialog:0
    dim int:0
    set fontdialog:0.Size = 10
    let int:0 = fontdialog:0.Execute + 10 * fontdialog:0.Size
  )");
  answerFontDialog([](QFontDialog& dialog) {
    QFont font = dialog.currentFont();
    font.setPointSize(20);
    dialog.setCurrentFont(font);
    dialog.reject();
  });
  ASSERT_EQ(cancelled.run(), "");
  EXPECT_EQ(cancelled.integer(0), 100);
}

TEST(FontDialog, LimitedSizesAreKeptInside) {
  Program p(R"(
    dim fontdialog:0
    dim int:0
    set fontdialog:0.MinFontSize = 8
    set fontdialog:0.MaxFontSize = 12
    set fontdialog:0.AddOptions = 13
    let int:0 = fontdialog:0.Execute * 100 + fontdialog:0.Size
  )");
  answerFontDialog([](QFontDialog& dialog) {
    QFont font("DejaVu Sans");
    font.setPointSize(30);
    dialog.setCurrentFont(font);
    dialog.accept();
  });
  ASSERT_EQ(p.run(), "");
  EXPECT_EQ(p.integer(0), 112);
}

TEST(Clipboard, TextAndPictures) {
  Program p(R"(
    dim clipboard:0
    dim bitmap:1
    dim int:0
    dim int:1
    dim str:0
    set clipboard:0.AsText = "caf\xe9 au lait"
    let str:0 = clipboard:0.AsText
    set bitmap:0.Width = 4
    set bitmap:0.Height = 3
    set bitmap:0.FillRect = 0, 0, 4, 3, 65280
    set clipboard:0.SetAsHandle = 2, bitmap:0.Picture
    let int:0 = clipboard:0.HasFormat(1) * 10 + clipboard:0.HasFormat(2)
    set bitmap:1.Picture = clipboard:0.AsHandle(2)
    let int:1 = bitmap:1.Pixel(3, 2)
  )");
  ASSERT_EQ(p.run(), "");
  EXPECT_EQ(p.text(0), "caf\xe9 au lait");
  EXPECT_EQ(QGuiApplication::clipboard()->image().size(), QSize(4, 3));
  EXPECT_EQ(p.integer(0), 1);
  EXPECT_EQ(p.integer(1), 0x00FF00);
}

TEST(Clipboard, TextFromAnotherProgram) {
  QGuiApplication::clipboard()->setText(QStringLiteral("from elsewhere"));
  Program reader(R"(
    dim clipboard:0
    dim str:0
    let str:0 = clipboard:0.TextBuf(4)
  )");
  ASSERT_EQ(reader.run(), "");
  EXPECT_EQ(reader.text(0), "from");
}

TEST(Application, IconAndToolTips) {
  Program p(R"(
    dim application:0
    dim bitmap:0
    dim form:0
    dim int:0
    dim int:1
    set bitmap:0.Width = 16
    set bitmap:0.Height = 16
    set bitmap:0.FillRect = 0, 0, 16, 16, 255
    set application:0.Icon = bitmap:0.Picture
    let int:0 = application:0.Icon
    set form:0.Icon = application:0.Icon
    let int:1 = form:0.Icon
    set application:0.ShowHint = 0
    set application:0.HintColor = 65535
  )");
  ASSERT_EQ(p.run(), "");
  EXPECT_NE(p.integer(0), 0);
  EXPECT_NE(p.integer(1), 0);  // the application's icon went through the graphic register
  const QImage icon = QApplication::windowIcon().pixmap(16, 16).toImage();
  ASSERT_FALSE(icon.isNull());
  EXPECT_EQ(Program::bgr(icon, 8, 8), 0x0000FFu);
  EXPECT_EQ(QToolTip::palette().color(QPalette::ToolTipBase), QColor(255, 255, 0));
}

TEST(PrinterPdf, TheSandboxPrintsNothing) {
  InTemporaryFolder folder;
  MachineOptions options;
  options.sandbox = true;
  Program p(R"(
    dim printer:0
    dim fontdialog:0
    dim int:0
    set printer:0.BeginDoc
    set printer:0.TextOut = 10, 10, "nothing", 0, 16777215
    set printer:0.EndDoc
    let int:0 = fontdialog:0.Execute
  )", options);
  ASSERT_EQ(p.run(), "");
  EXPECT_EQ(p.integer(0), 0);
  EXPECT_TRUE(QDir(QDir::currentPath()).entryList(QDir::Files).isEmpty());
}
