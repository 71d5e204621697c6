// The printer, clipboard, application and font dialog objects on the null
// toolkit: the printer's document states and their errors, the clipboard's
// text and pictures, the application's settings and its end, and a font
// dialog that cannot be shown.
#include <gtest/gtest.h>

#include <string>

#include "asm/kasm.h"
#include "image/program_image.h"
#include "core/machine.h"
#include "objects/printer_object.h"
#include "state/store_kinds.h"
#include "toolkit/toolkit.h"

using namespace kestrel;

namespace {

struct Program {
  explicit Program(const std::string& source, MachineOptions options = {})
      : m(parseImage(kasm::assemble(source)), std::move(options)) {}
  std::string run() {
    try {
      m.run();
    } catch (const RuntimeError& e) {
      return e.what();
    } catch (const ProgramEnd& e) {
      return "end " + std::to_string(e.status);
    }
    return "";
  }
  double number(int index) { return loadNumber(3, m.vars.scalarAt(3, index)); }
  std::string text(int index) { return m.vars.stringAt(index).str(); }
  Machine m;
};

// Declares int:0 to int:9 and str:0 to str:4, then runs `body`.
std::string withVariables(const std::string& body) {
  std::string s;
  for (int i = 0; i < 10; ++i) s += "    dim int:" + std::to_string(i) + "\n";
  for (int i = 0; i < 5; ++i) s += "    dim str:" + std::to_string(i) + "\n";
  return s + body;
}

}  // namespace

TEST(PrinterObject, DocumentsCountTheirPages) {
  Program p(withVariables(R"(
    dim printer:1
    let int:0 = printer:0.Printing
    set printer:0.BeginDoc
    let int:1 = printer:1.Printing
    let int:2 = printer:0.PageNumber
    set printer:1.NewPage
    set printer:0.NewPage
    let int:3 = printer:0.PageNumber
    set printer:0.EndDoc
    let int:4 = printer:0.Printing
    let int:5 = printer:0.PageNumber
    set printer:0.BeginDoc
    set printer:0.Abort
    let int:6 = printer:0.Aborted
    let int:7 = printer:0.Printing
    set printer:0.BeginDoc
    let int:8 = printer:0.Aborted
    set printer:0.EndDoc
  )"));
  ASSERT_EQ(p.run(), "");
  // Both objects are the one printer.
  EXPECT_EQ(p.number(0), 0);
  EXPECT_EQ(p.number(1), 1);
  EXPECT_EQ(p.number(2), 1);
  EXPECT_EQ(p.number(3), 3);
  EXPECT_EQ(p.number(4), 0);
  EXPECT_EQ(p.number(5), 0);
  EXPECT_EQ(p.number(6), 1);
  EXPECT_EQ(p.number(7), 0);
  EXPECT_EQ(p.number(8), 0);
}

TEST(PrinterObject, RefusesWhatTheDocumentStateForbids) {
  const std::pair<const char*, const char*> cases[] = {
      {"set printer:0.EndDoc", "Printer is not printing"},
      {"set printer:0.NewPage", "Printer is not printing"},
      {"set printer:0.Abort", "Printer is not printing"},
      {"set printer:0.BeginDoc\n    set printer:0.BeginDoc", "Printing in progress"},
      {"set printer:0.BeginDoc\n    set printer:0.PrinterIndex = 0", "Printing in progress"},
      {"set printer:0.BeginDoc\n    set printer:0.Orientation = 1", "Printing in progress"},
      {"set printer:0.PrinterIndex = 1", "Printer index out of range"},
      {"set printer:0.PrinterIndex = -2", "Printer index out of range"},
      {"stdout printer:0.PrinterName(1)", "List index out of bounds (1)"},
  };
  for (const auto& [source, error] : cases) {
    Program p(std::string("    dim printer:0\n    ") + source + "\n");
    EXPECT_EQ(p.run(), error) << source;
  }
}

TEST(PrinterObject, SettingsPageSizeAndCanvasFont) {
  Program p(withVariables(R"(
    dim printer:0
    dim font:0
    let int:0 = printer:0.PrinterCount
    let str:0 = printer:0.PrinterName(0)
    let int:1 = printer:0.PageWidth
    let int:2 = printer:0.PageHeight
    set printer:0.Orientation = 1
    let int:3 = printer:0.PageWidth
    let int:4 = printer:0.Orientation
    set printer:0.PrinterIndex = 0
    let int:5 = printer:0.PrinterIndex
    set printer:0.Copies = 3
    let int:6 = printer:0.Copies
    set printer:0.Title = "Report"
    let str:1 = printer:0.Title
    set font:0.Size = 14
    set printer:0.Font = font:0
    set printer:0.FontBold = 1
    let int:7 = printer:0.FontSize
    let int:8 = printer:0.FontBold
    set printer:0.BeginDoc
    let int:9 = printer:0.PageWidth
    set printer:0.EndDoc
  )"));
  ASSERT_EQ(p.run(), "");
  EXPECT_EQ(p.number(0), 1);
  EXPECT_EQ(p.text(0), "Null printer");
  EXPECT_EQ(p.number(1), 2480);
  EXPECT_EQ(p.number(2), 3508);
  EXPECT_EQ(p.number(3), 3508);  // landscape turns the page
  EXPECT_EQ(p.number(4), 1);
  EXPECT_EQ(p.number(5), 0);
  EXPECT_EQ(p.number(6), 3);
  EXPECT_EQ(p.text(1), "Report");
  EXPECT_EQ(p.number(7), 14);
  EXPECT_EQ(p.number(8), 1);
  EXPECT_EQ(p.number(9), 3508);
}

TEST(PrinterObject, CanvasStateCarriesIntoTheDocument) {
  Program p(withVariables(R"(
    dim printer:0
    set printer:0.CopyMode = 6684742
    set printer:0.BeginDoc
    let int:0 = printer:0.CopyMode
    set printer:0.EndDoc
    let int:1 = printer:0.CopyMode
  )"));
  ASSERT_EQ(p.run(), "");
  EXPECT_EQ(p.number(0), 6684742);
  EXPECT_EQ(p.number(1), 6684742);
}

TEST(ClipboardObject, TextInEveryForm) {
  Program p(withVariables(R"(
    dim clipboard:1
    set clipboard:0.Clear
    let int:0 = clipboard:0.HasFormat(1)
    set clipboard:0.AsText = "hello world"
    let str:0 = clipboard:1.AsText
    let str:1 = clipboard:0.TextBuf(5)
    let str:2 = clipboard:0.TextBuf(500)
    let int:1 = clipboard:0.HasFormat(1)
    let int:2 = clipboard:0.HasFormat(2)
    set clipboard:0.Open
    set clipboard:0.SetTextBuf = "second"
    set clipboard:0.Close
    let str:3 = clipboard:0.AsText
    // A text handle points at a copy of the text; one given back sets it.
    let int:3 = clipboard:0.AsHandle(1)
    set clipboard:0.SetAsHandle = 1, int:3
    let str:4 = clipboard:0.AsText
    set clipboard:0.Clear
    let int:4 = clipboard:0.HasFormat(1)
    let int:5 = clipboard:0.AsHandle(1)
  )"));
  ASSERT_EQ(p.run(), "");
  EXPECT_EQ(p.number(0), 0);
  EXPECT_EQ(p.text(0), "hello world");
  EXPECT_EQ(p.text(1), "hello");
  EXPECT_EQ(p.text(2), "hello world");
  EXPECT_EQ(p.number(1), 1);
  EXPECT_EQ(p.number(2), 0);
  EXPECT_EQ(p.text(3), "second");
  EXPECT_NE(p.number(3), 0);
  EXPECT_EQ(p.text(4), "second");
  EXPECT_EQ(p.number(4), 0);
  EXPECT_EQ(p.number(5), 0);
}

TEST(ClipboardObject, StatementCodesAbove8DoNothing) {
  Program p(withVariables(R"(
    dim clipboard:0
    set clipboard:0.AsText = "kept"
    set clipboard:0.m9
    set clipboard:0.m200
    let str:0 = clipboard:0.AsText
  )"));
  ASSERT_EQ(p.run(), "");
  EXPECT_EQ(p.text(0), "kept");
}

TEST(ClipboardObject, ReadsAtMost32000Characters) {
  Program p(withVariables(R"(
    dim clipboard:0
    set clipboard:0.AsText = string(40000, "x")
    let int:0 = len(clipboard:0.AsText)
  )"));
  ASSERT_EQ(p.run(), "");
  EXPECT_EQ(p.number(0), 32000);
}

TEST(ClipboardObject, BadTextHandleIsAnAccessViolation) {
  Program p(R"(
    dim clipboard:0
    set clipboard:0.SetAsHandle = 1, 16
  )");
  EXPECT_EQ(p.run().rfind("Access violation at address", 0), 0u);
}

TEST(ClipboardObject, PicturesGoThroughTheGraphicRegister) {
  Program p(withVariables(R"(
    dim bitmap:2
    dim clipboard:0
    set bitmap:0.Width = 7
    set bitmap:0.Height = 5
    set clipboard:0.SetAsHandle = 2, bitmap:0.Picture
    let int:0 = clipboard:0.HasFormat(2)
    let int:1 = clipboard:0.HasFormat(1)
    set bitmap:1.Picture = clipboard:0.AsHandle(2)
    let int:2 = bitmap:1.Width
    let int:3 = bitmap:1.Height
    // A bitmap's handle names that bitmap.
    set bitmap:2.Width = 3
    set bitmap:2.Height = 2
    set clipboard:0.SetAsHandle = 2, bitmap:2.Handle
    set bitmap:1.Picture = clipboard:0.AsHandle(8)
    let int:4 = bitmap:1.Width
  )"));
  ASSERT_EQ(p.run(), "");
  EXPECT_EQ(p.number(0), 1);
  EXPECT_EQ(p.number(1), 0);
  EXPECT_EQ(p.number(2), 7);
  EXPECT_EQ(p.number(3), 5);
  EXPECT_EQ(p.number(4), 3);
}

TEST(ApplicationObject, SettingsReadBack) {
  MachineOptions options;
  options.executablePath = "/opt/tools/Report.exe";
  Program p(withVariables(R"(
    dim application:0
    let str:0 = application:0.Title
    let str:1 = application:0.ExeName
    set application:0.Title = "Quarterly"
    let str:2 = application:0.Title
    set application:0.HintColor = 255.9
    set application:0.HintPause = 100.7
    set application:0.HintShortPause = 20
    set application:0.HintHidePause = 9000
    let int:0 = application:0.HintColor
    let int:1 = application:0.HintPause
    let int:2 = application:0.HintShortPause + application:0.HintHidePause
    set application:0.ShowHint = -1
    let int:3 = application:0.ShowHint
    set application:0.HelpFile = "report.hlp"
    let str:3 = application:0.HelpFile
    set application:0.HelpCommand = 1, 2
    set application:0.HelpContext = 5
    set application:0.HelpJump = "topic"
    let int:4 = application:0.Icon
    set application:0.Minimize
  )"), options);
  ASSERT_EQ(p.run(), "");
  EXPECT_EQ(p.text(0), "Report");
  EXPECT_EQ(p.text(1), "Report.exe");
  EXPECT_EQ(p.text(2), "Quarterly");
  EXPECT_EQ(p.number(0), 255);  // truncated
  EXPECT_EQ(p.number(1), 100);
  EXPECT_EQ(p.number(2), 9020);
  EXPECT_EQ(p.number(3), 255);
  EXPECT_EQ(p.text(3), "report.hlp");
  EXPECT_EQ(p.number(4), 0);  // no icon yet
}

TEST(ApplicationObject, TerminateEndsTheProgramAsTheEndStatementDoes) {
  Program p(withVariables(R"(
    dim application:0
    let int:0 = 1
    set application:0.Terminate
    let int:0 = 2
  )"));
  EXPECT_EQ(p.run(), "end 0");
  EXPECT_EQ(p.number(0), 1);
}

TEST(FontDialogObject, WithoutAWindowSystemNothingIsChosen) {
  Program p(withVariables(R"(
    dim fontdialog:0
    dim font:0
    set fontdialog:0.Name = "Serif"
    set fontdialog:0.Size = 12.5
    set fontdialog:0.Color = 255
    set fontdialog:0.AddStyles = 0, 2, 9
    set fontdialog:0.RemoveStyles = 2
    set fontdialog:0.MinFontSize = 6
    set fontdialog:0.MaxFontSize = 30
    set fontdialog:0.AddOptions = 13, 15, 99
    let int:0 = fontdialog:0.Execute
    set fontdialog:0.Execute
    set fontdialog:0.CopyFontTo = font:0
    let str:0 = font:0.Name
    let int:1 = font:0.Size
    let int:2 = font:0.Bold + 2 * font:0.Underline
    let int:3 = font:0.Color
    let int:4 = fontdialog:0.MinFontSize + fontdialog:0.MaxFontSize
    set font:0.Italic = 1
    set fontdialog:0.Font = font:0
    let int:5 = fontdialog:0.Size
  )"));
  ASSERT_EQ(p.run(), "");
  EXPECT_EQ(p.number(0), 0);
  EXPECT_EQ(p.text(0), "Serif");
  EXPECT_EQ(p.number(1), 12);  // rounded, ties to even
  EXPECT_EQ(p.number(2), 1);
  EXPECT_EQ(p.number(3), 255);
  EXPECT_EQ(p.number(4), 36);
  EXPECT_EQ(p.number(5), 12);
}
