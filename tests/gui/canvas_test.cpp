// What a form shows: its picture survives hiding, showing and resizing;
// the window shows exactly what the canvas holds. Bitmaps in files and
// streams, drawn transparently; forms with multiple documents.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTemporaryDir>

#include "gui_support.h"
#include "objects/bitmap.h"
#include "objects/controls/form.h"
#include "toolkit/qt/qt_form.h"

using namespace kestrel;
using kestrel::guitest::Program;

namespace {

QImage canvasOf(Program& p, int form) {
  auto& f = objects::world(p.machine()).as<objects::Form>(objects::kFormType, form);
  return qt::imageOf(f.peer().canvas()).convertToFormat(QImage::Format_RGB32);
}

}  // namespace

TEST(FormPicture, SurvivesHidingShowingAndResizing) {
  Program p(R"(
    dim form:0
    set form:0.Color = 16777215
    set form:0.ClientWidth = 100
    set form:0.ClientHeight = 80
    set form:0.Show
    set form:0.FillRect = 10, 10, 20, 20, 255
    set form:0.Line = 0, 79, 99, 79, 16711680
    set form:0.TextOut = 30, 30, "Kestrel", 0, 65280
    set form:0.Visible = 0
    set form:0.Show
)");
  ASSERT_EQ(p.run(), "");
  guitest::settle();
  QImage shown = p.grab(0);
  EXPECT_EQ(shown, canvasOf(p, 0));
  EXPECT_EQ(Program::bgr(shown, 15, 15), 0x0000FFu);
  EXPECT_EQ(Program::bgr(shown, 99, 79), 0xFF0000u);
  EXPECT_EQ(Program::bgr(shown, 30, 30), 0x00FF00u);  // the text cell's background

  // Larger: the old part stays, the new part is the form's colour.
  p.form(0)->resize(140, 100);
  guitest::settle();
  shown = p.grab(0);
  EXPECT_EQ(shown.size(), QSize(140, 100));
  EXPECT_EQ(Program::bgr(shown, 15, 15), 0x0000FFu);
  EXPECT_EQ(Program::bgr(shown, 120, 90), 0xFFFFFFu);
  p.form(0)->hide();
  p.form(0)->show();
  guitest::settle();
  EXPECT_EQ(p.grab(0), shown);
}

// Every drawing operation lands on the window exactly as the canvas has it.
TEST(FormPicture, EveryOperationShowsWhatTheCanvasHolds) {
  Program p(R"(
    dim form:0
    dim bitmap:0
    dim rect:1
    set form:0.Color = 16777215
    set form:0.ClientWidth = 120
    set form:0.ClientHeight = 90
    set bitmap:0.Width = 8
    set bitmap:0.Height = 8
    set bitmap:0.FillRect = 0, 0, 8, 8, 8421376
    set bitmap:0.Circle = 0, 0, 8, 8, 255, 65535
    set rect:0.Right = 16
    set rect:0.Bottom = 16
    set rect:1.Left = 60
    set rect:1.Top = 60
    set rect:1.Right = 90
    set rect:1.Bottom = 80
    set form:0.Circle = 5, 5, 45, 35, 0, 65280
    set form:0.Circle = 50, 5, 90, 35, 16711680, -1
    set form:0.Rectangle = 95, 5, 115, 25, 255
    set form:0.FloodFill = 100, 10, 65535, 255
    set form:0.Draw = 5, 40, bitmap:0.Picture
    set form:0.StretchDraw = rect:1, bitmap:0.Picture
    set form:0.CopyMode = 6684742
    set form:0.CopyRect = rect:0, form:0, rect:1
    set form:0.TextRect = rect:1, 62, 62, "Clipped text", 0, -1
    set form:0.Pset = 119, 89, 0
    set form:0.Show
)");
  ASSERT_EQ(p.run(), "");
  guitest::settle();
  const QImage shown = p.grab(0);
  EXPECT_EQ(shown, canvasOf(p, 0));
  EXPECT_EQ(Program::bgr(shown, 25, 20), 0x00FF00u);   // inside the filled circle
  EXPECT_EQ(Program::bgr(shown, 70, 20), 0xFFFFFFu);   // inside the outline
  EXPECT_EQ(Program::bgr(shown, 100, 10), 0x00FFFFu);  // filled up to the frame
  EXPECT_EQ(Program::bgr(shown, 119, 89), 0u);
}

TEST(Bitmaps, FilesStreamsAndTransparentDrawing) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  QImage png(3, 2, QImage::Format_ARGB32);
  png.fill(qRgb(10, 20, 30));
  png.setPixel(2, 1, qRgb(200, 100, 50));
  ASSERT_TRUE(png.save(dir.filePath("in.png")));
  const std::string folder = dir.path().toStdString();
  Program p(R"(
    dim bitmap:3
    dim memstream:0
    dim str:0
    dim double:9
    set bitmap:0.LoadFromFile = ")" + folder + R"(/in.png"
    let double:0 = bitmap:0.Width * 10 + bitmap:0.Height
    let double:1 = bitmap:0.Pixel(2, 1)
    set bitmap:0.SaveToFile = ")" + folder + R"(/out.bmp"
    set bitmap:1.Picture = ")" + folder + R"(/out.bmp"
    let double:2 = bitmap:1.Pixel(2, 1)
    set bitmap:1.SaveToStream = memstream:0
    set memstream:0.WriteNum = 77, 1
    set memstream:0.Position = 0
    set bitmap:2.LoadFromStream = memstream:0
    let double:3 = bitmap:2.Pixel(0, 0)
    let double:4 = memstream:0.ReadNum(1)
    let double:5 = bitmap:3.Empty
    // Drawn transparently, the bottom-left pixel's colour is left out.
    set bitmap:3.Width = 4
    set bitmap:3.Height = 4
    set bitmap:3.FillRect = 0, 0, 4, 4, 16777215
    set bitmap:2.Transparent = 1
    set bitmap:3.Draw = 0, 0, bitmap:2.Picture
    let double:6 = bitmap:3.Pixel(0, 0)
    let double:7 = bitmap:3.Pixel(2, 1)
    let double:8 = bitmap:2.TransparentColor
    let double:9 = bitmap:3.Empty
)");
  ASSERT_EQ(p.run(), "");
  EXPECT_EQ(p.number(7, 0), 32);
  EXPECT_EQ(p.number(7, 1), 50 * 65536 + 100 * 256 + 200);
  EXPECT_EQ(p.number(7, 2), p.number(7, 1));
  EXPECT_EQ(p.number(7, 3), 30 * 65536 + 20 * 256 + 10);
  EXPECT_EQ(p.number(7, 4), 77);  // the stream goes on after the picture
  EXPECT_EQ(p.number(7, 5), 1);
  EXPECT_EQ(p.number(7, 6), 0xFFFFFF);
  EXPECT_EQ(p.number(7, 7), p.number(7, 1));
  EXPECT_EQ(p.number(7, 8), p.number(7, 3));
  EXPECT_EQ(p.number(7, 9), 0);
}

TEST(Bitmaps, BadFilesAreErrors) {
  QTemporaryDir dir;
  const std::string folder = dir.path().toStdString();
  {
    Program p("    dim bitmap:0\n    set bitmap:0.LoadFromFile = \"" + folder + "/missing.bmp\"\n");
    EXPECT_NE(p.run().find("Cannot open file"), std::string::npos);
  }
  QFile junk(dir.filePath("junk.bmp"));
  ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
  junk.write("not a picture");
  junk.close();
  Program p("    dim bitmap:0\n    set bitmap:0.LoadFromFile = \"" + folder + "/junk.bmp\"\n");
  EXPECT_EQ(p.run(), "Bitmap image is not valid");
}

TEST(Forms, MultipleDocuments) {
  Program p(R"(
    dim form:3
    dim int:3
    set form:0.FormStyle = 2
    set form:0.ClientWidth = 300
    set form:0.ClientHeight = 200
    set form:0.Show
    set form:1.FormStyle = 1
    set form:2.FormStyle = 1
    let int:0 = form:0.MDIChildCount
    set form:0.TileMode = 0
    set form:0.Tile
    let int:1 = form:1.Top
    let int:2 = form:2.Top
    set form:0.TileMode = 1
    set form:0.Tile
    let int:3 = form:2.Left
    set form:0.Cascade
    set form:0.Next
    set form:3.Tile
)");
  ASSERT_EQ(p.run(), "");
  EXPECT_EQ(p.integer(0), 2);
  EXPECT_EQ(p.integer(1), 0);
  EXPECT_GT(p.integer(2), 50);  // one above the other
  EXPECT_GT(p.integer(3), 50);  // side by side
  auto* parent = dynamic_cast<qt::QtFormPeer*>(
      &objects::world(p.machine()).as<objects::Form>(objects::kFormType, 0).peer());
  ASSERT_NE(parent->mdiArea(), nullptr);
  EXPECT_EQ(parent->mdiArea()->subWindowList().size(), 2);
  EXPECT_TRUE(p.form(1)->isVisible());
}

TEST(Forms, ChildFormWithoutAParentFormIsAnError) {
  Program p("    dim form:1\n    set form:1.FormStyle = 1\n");
  EXPECT_EQ(p.run(), "Cannot create form. No MDI forms are currently active");
}

TEST(Forms, IconsFromFilesResourcesAndOtherForms) {
  QTemporaryDir dir;
  QImage icon(16, 16, QImage::Format_ARGB32);
  icon.fill(qRgb(200, 0, 0));
  ASSERT_TRUE(icon.save(dir.filePath("icon.png")));
  const std::string file = dir.filePath("icon.png").toStdString();
  {
    Program p(".resource file \"" + file + "\"\n.code\n" + R"(
    dim form:2
    dim int:3
    set form:0.Icon = ")" + file + R"("
    let int:0 = form:0.Icon
    set form:1.IconResource = 0
    let int:1 = form:1.Icon
    let int:2 = form:2.Icon
    set form:2.Icon = form:0.Icon
    let int:3 = form:2.Icon
)");
    ASSERT_EQ(p.run(), "");
    EXPECT_NE(p.integer(0), 0);
    EXPECT_NE(p.integer(1), 0);
    EXPECT_EQ(p.integer(2), 0);  // no icon yet
    EXPECT_NE(p.integer(3), 0);
    EXPECT_FALSE(p.form(0)->windowIcon().isNull());
    EXPECT_FALSE(p.form(1)->windowIcon().isNull());
    EXPECT_FALSE(p.form(2)->windowIcon().isNull());
  }
  {
    Program p("    dim form:0\n    set form:0.Icon = \"" + dir.filePath("none.ico").toStdString() + "\"\n");
    EXPECT_NE(p.run().find("Cannot open file"), std::string::npos);
  }
  Program p(".resource text \"not an icon\"\n.code\n    dim form:0\n    set form:0.IconResource = 0\n");
  EXPECT_EQ(p.run(), "Invalid icon");
}

// The canvas test program (tests/programs/gui_canvas.kasm), shown: the
// window shows the edge cases as the program read them back.
TEST(FormPicture, TheCanvasProgramOnTheScreen) {
  QFile file(QString(KESTREL_TEST_DATA) + "/programs/gui_canvas.kasm");
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  Program p(file.readAll().toStdString() + "    set form:0.Show\n");
  testing::internal::CaptureStdout();
  ASSERT_EQ(p.run(), "");
  testing::internal::GetCapturedStdout();
  guitest::settle();
  const QImage shown = p.grab(0);
  EXPECT_EQ(shown, canvasOf(p, 0));
  // Rectangle and FillRect with their corners swapped.
  EXPECT_EQ(Program::bgr(shown, 10, 10), 0x0000FFu);
  EXPECT_EQ(Program::bgr(shown, 49, 49), 0x0000FFu);
  EXPECT_EQ(Program::bgr(shown, 50, 50), 0xFFFFFFu);
  EXPECT_EQ(Program::bgr(shown, 60, 10), 0xFF0000u);
  EXPECT_EQ(Program::bgr(shown, 80, 20), 0xFFFFFFu);
  // A line of one point, and a line with its end point.
  EXPECT_EQ(Program::bgr(shown, 120, 5), 0x00FF00u);
  EXPECT_EQ(Program::bgr(shown, 121, 5), 0xFFFFFFu);
  EXPECT_EQ(Program::bgr(shown, 150, 50), 0xFF0000u);
  // The outline-only circle and the solid FillRect after it.
  EXPECT_EQ(Program::bgr(shown, 130, 80), 0xFFFFFFu);
  EXPECT_EQ(Program::bgr(shown, 160, 60), 0x0000FFu);
  // Opaque and transparent text.
  EXPECT_EQ(Program::bgr(shown, 10, 110), 0u);
  EXPECT_EQ(Program::bgr(shown, 62, 112), 0x0000FFu);
  // Draw at (170, 10) from 170.7 and 10.9; Pset at (181, 11).
  EXPECT_EQ(Program::bgr(shown, 170, 10), 0x00FF00u);
  EXPECT_EQ(Program::bgr(shown, 172, 12), 0xFFFFFFu);
  EXPECT_EQ(Program::bgr(shown, 181, 11), 0x0000FFu);
}

TEST(Bitmaps, DirectPixelsAreTheCanvasPixels) {
  auto picture = toolkit().createSurface(4, 3, 0x0000FF);  // red as a canvas colour
  const gui::PixelView view = picture->pixelView();
  ASSERT_FALSE(view.empty());
  EXPECT_EQ(view.width, 4);
  EXPECT_EQ(view.height, 3);
  EXPECT_EQ(view.row(2)[3], gui::pixelOf(0x0000FF));
  EXPECT_EQ(view.row(2)[3], 0xFFFF0000u);
  view.row(1)[2] = gui::pixelOf(0xFF0000);
  EXPECT_EQ(static_cast<uint32_t>(picture->pixel(2, 1)), 0xFF0000u);
  picture->setPixel(0, 0, 0x00FF00);
  EXPECT_EQ(gui::colorOf(picture->pixelView().row(0)[0]), 0x00FF00u);
  EXPECT_TRUE(toolkit().createSurface(0, 5, 0)->pixelView().empty());
}
