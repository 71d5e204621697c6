// The assembler and disassembler as a writer meets them: names for
// variables, constants and parameters, the warnings, listings, names files,
// and a disassembly that writes every well-formed statement as a statement.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "asm/kasm.h"
#include "asm/names.h"

using namespace kestrel;
using namespace kestrel::kasm;

namespace {

std::string readFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::string codeSection(const std::string& disassembly) {
  const size_t code = disassembly.find("\n.code\n");
  return code == std::string::npos ? disassembly : disassembly.substr(code);
}

std::string warningsOf(const std::string& source) {
  std::string out;
  for (const Warning& w : assembleProgram(source).warnings) out += std::to_string(w.line) + ": " + w.text + "\n";
  return out;
}

std::string errorOf(const std::string& source) {
  try {
    assemble(source);
  } catch (const AsmError& e) {
    return std::to_string(e.line) + ": " + e.what();
  }
  return "";
}

}  // namespace

TEST(AsmNames, StandForTheirOperandsWhereverOperandsStand) {
  const std::string named =
      ".const LIMIT = 3\n"
      ".var i = int:0\n"
      ".var total = double:1\n"
      ".var names = str[2]\n"
      ".var win = form:0\n"
      "    dim i\n    dim total\n    dim names(LIMIT)\n"
      "    for i = 1 to LIMIT step 1 else done\n"
      "again:\n"
      "    let names(i) = \"n\" + str(i)\n"
      "    let total = total + @double half(i) * 2\n"
      "    next again\n"
      "done:\n"
      "    stdout names(LIMIT) + str(lbound(names, 1)) + str(-LIMIT)\n"
      "    goto end\n"
      ".proc half\n"
      ".param x = arg.int:0\n"
      "    result x / 2\n"
      "    endproc\n"
      "end:\n"
      "    stdout str(total)\n";
  const std::string plain =
      "    dim int:0\n    dim double:1\n    dim str[2](3)\n"
      "    for int:0 = 1 to 3 step 1 else done\n"
      "again:\n"
      "    let str[2](int:0) = \"n\" + str(int:0)\n"
      "    let double:1 = double:1 + @double half(int:0) * 2\n"
      "    next again\n"
      "done:\n"
      "    stdout str[2](3) + str(lbound(str[2], 1)) + str(-3)\n"
      "    goto end\n"
      ".proc half\n"
      "    result arg.int:0 / 2\n"
      "    endproc\n"
      "end:\n"
      "    stdout str(double:1)\n";
  const Assembly a = assembleProgram(named);
  EXPECT_EQ(a.image, assemble(plain));
  ASSERT_EQ(a.map.names.size(), 5u);
  EXPECT_EQ(a.map.variableName(7, 1, false), "total");
  EXPECT_EQ(a.map.variableName(0, 2, true), "names");
  EXPECT_EQ(a.map.variableName(30, 0, false), "win");
  EXPECT_EQ(a.map.parameterName(a.map.procedures.begin()->first, 0), "x");
  EXPECT_EQ(a.map.procedures.begin()->second, "half");
}

TEST(AsmNames, BadDefinitionsAndClashesAreErrors) {
  EXPECT_EQ(errorOf(".var len = int:0\n"), "1: 'len' is a word of the language and cannot be a name");
  EXPECT_EQ(errorOf(".var form = int:0\n"), "1: 'form' is a word of the language and cannot be a name");
  EXPECT_EQ(errorOf(".var x = int:0\n.var x = int:1\n"), "2: name 'x' defined twice");
  EXPECT_EQ(errorOf(".var x = 5\n"), "1: .var names a variable, array, object or parameter: KIND:N or KIND[N]");
  EXPECT_EQ(errorOf(".param x = arg.int:0\n"), "1: .param belongs inside a procedure (after .proc)");
  EXPECT_EQ(errorOf(".var x = arg.int:0\n"), "1: parameters are named with .param");
  EXPECT_EQ(errorOf(".var x = int:0\nx:\n    stdout 1\n"), "2: 'x' is already the name of a variable or constant");
  EXPECT_EQ(errorOf("x:\n    stdout 1\n.const x = 2\n"), "3: 'x' is already a label");
  // A parameter's name ends with its procedure.
  EXPECT_NE(errorOf("    goto m\n.proc f\n.param n = arg.int:0\n    endproc\n.proc g\n    result n\n    endproc\nm:\n    endprogram\n"),
            "");
  // A member named like a variable stays a member.
  EXPECT_EQ(assemble(".var Caption = str:0\n    dim form:0\n    dim Caption\n    let Caption = form:0.Caption\n"),
            assemble("    dim form:0\n    dim str:0\n    let str:0 = form:0.Caption\n"));
}

TEST(AsmWarnings, EachFiresOnItsCaseOnly) {
  EXPECT_EQ(warningsOf("    dim int:0\n    stdout \"total: \" + int:0\n"),
            "2: a string and a number meet at '+': the result is the number alone, not text; use str() to turn the "
            "number into text\n");
  EXPECT_EQ(warningsOf("    dim int:0\n    stdout \"total: \" + str(int:0) + \"!\"\n    stdout int:0 + 1\n"), "");
  EXPECT_EQ(warningsOf("    dim int:3\n    stdout int:2 + int:3\n    stdout str:1\n    let double[0](1) = 2\n"),
            "3: str:1 is used but never declared (no dim of it or of a higher str variable)\n"
            "4: double[0] is used but never declared (no dim of the array)\n");
  EXPECT_EQ(warningsOf("    stdout var:7\n    dim str[1](3)\n    redim int[2](4)\n    stdout str[1](0) + str(int[2](1))\n"),
            "");
  EXPECT_EQ(warningsOf("    stdout 1\n.proc f\n    endproc\n    endprogram\n"),
            "2: the code before runs on into the body of procedure f (its endproc will end the program there): jump "
            "over procedure bodies with goto\n");
  EXPECT_EQ(warningsOf(".proc f\n    endproc\n    endprogram\n"),
            "1: the program starts in the body of procedure f: its endproc will end the program; put the main code "
            "first and jump over the procedure bodies\n");
  EXPECT_EQ(warningsOf("    goto m\n.proc f\n    return\n.proc g\n    endproc\nm:\n    call f()\n    endprogram\n"), "");
  EXPECT_EQ(warningsOf("    goto m\n.proc f\n    stdout 1\n    endproc\nm:\n    call f()\n    goto f_end\n.proc g\n    endproc\n"
                       "f_end:\n    endproc\n"),
            "11: this last statement (endproc) never runs: the statement loop stops at the image's last byte; put "
            "endprogram after it\n");
}

TEST(AsmWarnings, NoneOnTheExamples) {
  const std::filesystem::path examples = std::filesystem::path(KESTREL_TEST_DATA) / ".." / "examples";
  int checked = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(examples)) {
    if (entry.path().extension() != ".kasm") continue;
    const Assembly a = assembleProgram(readFile(entry.path()), entry.path().parent_path().string());
    for (const Warning& w : a.warnings) ADD_FAILURE() << entry.path() << ":" << w.line << ": " << w.text;
    ++checked;
  }
  EXPECT_GE(checked, 6);
}

TEST(AsmListing, PositionsAndBytesBesideEachLine) {
  const std::string source = "// two statements\n    stdout 1\nhere:\n    goto here\n";
  const Assembly a = assembleProgram(source);
  EXPECT_EQ(listing(a, source),
            "                              // two statements\n"
            "     5  00 3b 02 01 01 0b ..      stdout 1\n"
            "    12                        here:\n"
            "    12  00 05 fa ff ff ff         goto here\n");
  ASSERT_EQ(a.map.lines.size(), 2u);
  EXPECT_EQ(a.map.lineAt(12), 4);
  EXPECT_EQ(a.map.lineAt(13), 4);
  EXPECT_EQ(a.map.lineAt(3), 0);
  EXPECT_EQ(a.map.where(12), " (at byte-code position 12)");  // the file is the caller's to set
}

TEST(AsmNamesFile, CarriesNamesToTheDisassembly) {
  const std::string source =
      ".var tally = int:4\n.var words = str[1]\n"
      "    dim tally\n    dim words(2)\n    goto main\n"
      ".proc show\n.param text = arg.str:0\n.param n = arg.int:1\n"
      "    stdout text + str(n)\n    endproc\n"
      "main:\n    let words(1) = \"w\"\n"
      "loop:\n    call show(words(1), tally)\n    let tally = tally + 1\n"
      "    ifnot tally > 6 goto loop\n";
  const Assembly a = assembleProgram(source);
  const std::string file = writeNamesFile(a.map);
  const SourceMap names = readNamesFile(file);
  EXPECT_EQ(writeNamesFile(names), file);
  DisassemblyOptions options;
  options.names = &names;
  const std::string named = disassemble(a.image, options);
  EXPECT_NE(named.find(".var tally = int:4\n"), std::string::npos) << named;
  EXPECT_NE(named.find(".proc show\n.param text = arg.str:0\n.param n = arg.int:1\n    stdout text + str(n)\n"),
            std::string::npos)
      << named;
  EXPECT_NE(named.find("loop:\n    call show(words(1), tally)\n    let tally = tally + 1\n    ifnot tally > 6 goto loop\n"),
            std::string::npos)
      << named;
  EXPECT_EQ(assemble(named), a.image);
  // Without the names, the same bytes with made-up labels.
  EXPECT_EQ(disassemble(a.image).find("tally"), std::string::npos);
  EXPECT_THROW(readNamesFile(".param x = arg.int:0\n"), AsmError);
  EXPECT_THROW(readNamesFile(".var x = 7\n"), AsmError);
}

// Every statement form, each alone after a data block that holds
// expressions and an array declaration with bounds: the disassembly writes
// each as a statement and assembles to the same bytes.
TEST(Disassembler, WritesEveryStatementFormAsAStatement) {
  const char* const kStatements[] = {
      "let int:0 = 1 + 2 * 3", "let int[0](1, 2) = 4", "let str[1](0) = \"a\"", "let var:0 = \"v\"",
      "let arg.int:0 = 5", "let arg.str:1 = \"s\"", "let arg.var:2 = 1", "let arg.int[3](1) = 2",
      "let struct:0.int:1 = 3", "set form:0.Caption = \"c\"", "set form[1](0).Left = 1", "set arg.form:0.Top = 2",
      "set form:0.ShowModal", "set form:0.AddBorderIcons = 1, 2", "set form:0.FontAddStyles =", "result 7",
      "endproc", "leave", "cont", "message \"m\"", "print \"p\"", "print \"p\";", "print 1 #7",
      "ifnot int:0 = 1 goto here", "goto here", "return", "for int:0 = 1 to 10 step 2 else here", "next here",
      "cls", "sleep 10", "endprogram", "exitfor here", "gosub here", "retsub", "select 0, int:0",
      "case = 3, = 4 else here", "case 1 to 2, if int:0 > 1 else here", "case else here", "endselect",
      "title \"t\"", "screencursor 1", "chdir \"d\"", "chdrive \"c\"", "mkdir \"d\"", "rmdir \"d\"", "kill \"f\"",
      "runwait \"p\"", "run \"p\"", "rename \"a\", \"b\"", "pcopy 1, 2", "poke 100, 1", "playsound \"s\", 1",
      "doevents", "msgbox \"a\", \"b\", 0", "msgdlg \"a\", \"b\", 0, 0", "slotb 1", "slotc \"c\"",
      "sendmessage 1, 2, 3, 4", "postmessage 1, 2, 3, 4", "pageprint 1, \"x\";", "pagepoke 1, 2, 3",
      "lprint \"l\"", "enddoc", "restore d0", "setenv \"A=1\"", "stdout \"o\"", "stdout 1;", "decsep \",\"",
      "saveres 4, \"f\"", "sort int[0](0) to int[0](3), 0", "out 1, 2", "fill int[0] = 1, 2, 3",
      "loadcursor 1, 2", "keymode 1", "sound 440, 10", "freelib \"l\"", "playres 0, 1", "dim int:5",
      "dim keep str:3", "dim fix:2 len 10", "dim fix[3](2) len 4", "dim int[4](1 to 3, 4)", "dim form:0",
      "dim form[1](9)", "redim int[0](10)", "redim preserve int[0](1 to 5)", "call p(1, \"a\", ref int[0])",
      "call p[1, 2]", "call (&p)(1)", "call (&p)[1]", "color 1", "color 1, 2", "color , 2", "locate 1",
      "locate 1, 2", "locate 1, 2, 3", "locate , 2", "locate , , 3", "locate 1, , 3", "randomize",
      "randomize 5", "extern int \"lib\" \"f\"(int 1, str \"a\")", "externfree \"lib\" \"f\"()",
      "defstruct struct:0 (byte, short, fix len 3, int[7](0 to 3))", "copystruct struct:1 = struct:0",
      "stdout @int p(1) + lbound(int[0], 1) + varptr(int:0) + fixlen(fix:2) + vartype(var:0)",
      "stdout struct:0.int:1 + sizeof(struct:0) + form:0.Left + read()",
      "stdout @int here(1)",  // a position both jumped to and called
  };
  int checked = 0;
  for (const char* statement : kStatements) {
    const std::string source = std::string(
                                   ".data\n    .value 1 + 2\n    .text \"abc\"\nd0:\n    .value 2.5 * int:0\n"
                                   ".code\n    dim int[0](1 to 3, 4)\n    dim str[1](2)\nhere:\n    ") +
                               statement + "\n    goto here\n.proc p\n    endproc\n    endprogram\n";
    std::vector<uint8_t> image;
    try {
      image = assemble(source);
    } catch (const AsmError& e) {
      ADD_FAILURE() << statement << ": " << e.what();
      continue;
    }
    const std::string text = disassemble(image);
    EXPECT_EQ(codeSection(text).find(".bytes"), std::string::npos) << statement << "\n" << text;
    EXPECT_EQ(assemble(text), image) << statement;
    ++checked;
  }
  EXPECT_EQ(checked, static_cast<int>(std::size(kStatements)));
}

// The images of the run-time's own test programs and examples: a source
// without raw bytes in its code disassembles without any, and a listing
// with positions assembles to the same bytes.
TEST(Disassembler, WritesEveryTestProgramAndExampleWithoutRawBytes) {
  const std::filesystem::path root = std::filesystem::path(KESTREL_TEST_DATA) / "..";
  int checked = 0;
  for (const char* folder : {"tests/programs", "examples", "bench"}) {
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root / folder)) {
      if (entry.path().extension() != ".kasm") continue;
      const std::string source = readFile(entry.path());
      std::vector<uint8_t> image;
      try {
        image = assemble(source, entry.path().parent_path().string());
      } catch (const AsmError& e) {
        ADD_FAILURE() << entry.path() << ":" << e.line << ": " << e.what();
        continue;
      }
      DisassemblyOptions withPositions;
      withPositions.positions = true;
      const std::string text = disassemble(image, withPositions);
      EXPECT_EQ(assemble(text), image) << entry.path();
      const bool rawInSource = source.find(".bytes") != std::string::npos || source.find(".rawimage") != std::string::npos;
      if (!rawInSource) {
        EXPECT_EQ(codeSection(text).find(".bytes"), std::string::npos) << entry.path() << "\n" << text;
      }
      ++checked;
    }
  }
  EXPECT_GT(checked, 70);
}

TEST(Disassembler, PositionsInComments) {
  const std::vector<uint8_t> image = assemble("    stdout 1\n    goto x\nx:\n    endprogram\n");
  DisassemblyOptions options;
  options.positions = true;
  const std::string text = disassemble(image, options);
  EXPECT_NE(text.find("    stdout 1                                    // 5\n"), std::string::npos) << text;
  EXPECT_NE(text.find("    goto L18                                    // 12\nL18:\n    endprogram                                  // 18\n"),
            std::string::npos)
      << text;
}
