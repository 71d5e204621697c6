// The format-text function and the terminal form of the message boxes.
#include <gtest/gtest.h>
#include <unistd.h>

#include "expr/format_text.h"
#include "toolkit/dialogs.h"
#include "state/errors.h"

using namespace kestrel;

namespace {
FormatArgument num(double v) { return {false, v, {}}; }
FormatArgument text(const char* t) { return {true, 0, t}; }
}  // namespace

TEST(FormatText, Specifiers) {
  EXPECT_EQ(formatText("%d|%5d|%-5d|%.3d|%x|%.4X", {num(-42.9), num(7), num(7), num(5), num(255), num(10)}, '.'),
            "-42|    7|7    |005|FF|000A");
  EXPECT_EQ(formatText("%s and %.2s %5s", {text("one"), text("two"), text("x")}, '.'), "one and tw     x");
  EXPECT_EQ(formatText("%f %.1f %e %g", {num(3.14159), num(2.25), num(1500), num(0.5)}, ','),
            "3,14 2,3 1,50000000000000E+003 0,5");
  EXPECT_EQ(formatText("%n", {num(1234567.891)}, '.'), "1,234,567.89");
  EXPECT_EQ(formatText("%u", {num(-1)}, '.'), "4294967295");
}

TEST(FormatText, PercentIndexStarAndManyArguments) {
  EXPECT_EQ(formatText("100%% of %s%%", {text("it")}, '.'), "100% of it%");
  EXPECT_EQ(formatText("%1:s %0:s %s", {text("a"), text("b")}, '.'), "b a b");
  EXPECT_EQ(formatText("[%*d] [%.*f]", {num(4), num(9), num(1), num(2.5)}, '.'), "[   9] [2.5]");
  std::vector<FormatArgument> many;
  std::string fmt, expected;
  for (int i = 0; i < 60; ++i) {
    many.push_back(num(i));
    fmt += "%d,";
    expected += std::to_string(i) + ",";
  }
  EXPECT_EQ(formatText(fmt, many, '.'), expected);
  EXPECT_EQ(formatText("no specifiers", {num(1)}, '.'), "no specifiers");  // extra arguments are ignored
}

TEST(FormatText, MismatchesRaise) {
  for (auto [fmt, arg] : {std::pair{"%d", text("x")}, {"%s", num(1)}, {"%q", num(1)}, {"%", num(1)}}) {
    try {
      formatText(fmt, {arg}, '.');
      ADD_FAILURE() << fmt;
    } catch (const RuntimeError& e) {
      EXPECT_EQ(std::string(e.what()), std::string("Format '") + fmt + "' invalid or incompatible with argument");
    }
  }
  EXPECT_THROW(formatText("%s %s", {text("one")}, '.'), RuntimeError);
}

TEST(TerminalDialog, KeyLettersAreUnique) {
  using B = DialogButton;
  EXPECT_EQ(buttonKeys({B::Yes, B::No, B::Cancel}), (std::vector<char>{'y', 'n', 'c'}));
  EXPECT_EQ(buttonKeys({B::Cancel, B::TryAgain, B::Continue}), (std::vector<char>{'c', 't', 'o'}));
  EXPECT_EQ(buttonKeys({B::Abort, B::Retry, B::Ignore}), (std::vector<char>{'a', 'r', 'i'}));
}

TEST(TerminalDialog, WithoutATerminalTheDefaultAnswers) {
  int in[2], err[2];
  ASSERT_EQ(pipe(in), 0);
  ASSERT_EQ(pipe(err), 0);
  ASSERT_EQ(write(in[1], "n\n", 2), 2);  // typed text is not read from a pipe
  MessageBoxRequest r;
  r.text = "Save changes?";
  r.caption = "Editor";
  r.buttons = {DialogButton::Yes, DialogButton::No};
  r.defaultButton = 0;
  EXPECT_EQ(askOnTerminal(r, in[0], err[1]), 0);
  close(err[1]);
  char buf[256] = {};
  const ssize_t n = read(err[0], buf, sizeof buf - 1);
  ASSERT_GT(n, 0);
  EXPECT_STREQ(buf, "Editor: Save changes?\n[Y]es  [N]o  (default: Yes)\n");
  for (int fd : {in[0], in[1], err[0]}) close(fd);
}
