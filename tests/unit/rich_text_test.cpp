// Rich text without a window system: positions that count a line break as
// two characters, editing across paragraphs, formats split and joined,
// the rich text reader and writer (round trips, files from elsewhere,
// damaged files), plain text, and the rich edit peer's selection rules.
#include <gtest/gtest.h>

#include <string>

#include "objects/controls/rich_text_format.h"
#include "toolkit/peers/rich_edit.h"
#include "toolkit/rich_text.h"

using namespace kestrel;
using gui::FontDesc;
using gui::RichText;

namespace {

FontDesc plainFont() {
  FontDesc f;
  f.name = "Arial";
  f.size = 10;
  return f;
}

FontDesc bold(FontDesc f) {
  f.styles |= gui::kBold;
  return f;
}

gui::FormatChange styleChange(uint8_t add, uint8_t remove) {
  gui::FormatChange c;
  c.addStyles = add;
  c.removeStyles = remove;
  return c;
}

RichText textOf(std::string_view s, const FontDesc& f = plainFont()) {
  RichText t;
  t.insert(0, s, f);
  return t;
}

}  // namespace

TEST(RichText, PositionsCountALineBreakAsTwo) {
  RichText t = textOf("ab\ncd\r\nef\r");
  EXPECT_EQ(t.text(), "ab\r\ncd\r\nef\r\n");
  EXPECT_EQ(t.paragraphs().size(), 4u);
  EXPECT_EQ(t.length(), static_cast<int32_t>(t.text().size()));
  EXPECT_EQ(t.paragraphStart(1), 4);
  EXPECT_EQ(t.paragraphAt(3), 0);  // between CR and LF: the end of the line
  EXPECT_EQ(t.paragraphAt(4), 1);
  EXPECT_EQ(t.paragraphAt(999), 3);
  EXPECT_EQ(t.textBetween(1, 5), "b\r\nc");
}

TEST(RichText, EditingAcrossParagraphsKeepsFormats) {
  RichText t = textOf("one\r\ntwo\r\nthree");
  t.changeFormat(1, 7, styleChange(gui::kBold, 0));
  // "ne", the break and "tw" are bold; the runs split where the format changes.
  ASSERT_EQ(t.paragraphs()[0].runs.size(), 2u);
  EXPECT_EQ(t.paragraphs()[0].runs[1].text, "ne");
  EXPECT_EQ(t.formatAt(1, {}).styles, gui::kBold);
  EXPECT_EQ(t.formatAt(7, {}).styles, 0);
  // Erasing from inside line 0 to inside line 2 joins them.
  t.erase(2, 12);
  EXPECT_EQ(t.text(), "onree");
  EXPECT_EQ(t.paragraphs().size(), 1u);
  // The same format again joins the runs into one.
  t.changeFormat(0, 5, styleChange(0, gui::kBold));
  EXPECT_EQ(t.paragraphs()[0].runs.size(), 1u);
  // A break inserted mid-run splits the paragraph and keeps its alignment.
  t.setAlignment(0, 0, gui::kAlignCentreText);
  t.insert(2, "\r\n", plainFont());
  ASSERT_EQ(t.paragraphs().size(), 2u);
  EXPECT_EQ(t.paragraphs()[1].text(), "ree");
  EXPECT_EQ(t.paragraphs()[1].alignment, gui::kAlignCentreText);
}

TEST(RichTextFormat, RoundTripKeepsEveryAttribute) {
  RichText t = textOf("Plain {braces} \\ and tab\there\r\n\r\nCaf\xE9 bold", plainFont());
  FontDesc styled = plainFont();
  styled.name = "Courier New";
  styled.size = 14;
  styled.color = 0x0000FF;
  styled.styles = gui::kBold | gui::kUnderline;
  styled.charset = 0;
  styled.pitch = 2;
  t.changeFormat(2, 9, gui::FormatChange::allOf(styled));
  FontDesc green = plainFont();
  green.color = 0x00FF00;
  green.styles = gui::kItalic | gui::kStrikeOut;
  t.changeFormat(t.length() - 4, t.length(), gui::FormatChange::allOf(green));
  t.setAlignment(2, 2, gui::kAlignRightText);

  const std::string rtf = objects::writeRichText(t);
  EXPECT_TRUE(objects::isRichTextFormat(rtf));
  EXPECT_NE(rtf.find("\\red255\\green0\\blue0"), std::string::npos);
  EXPECT_EQ(objects::readRichText(rtf, plainFont()), t);
  // An empty text stays empty.
  EXPECT_EQ(objects::readRichText(objects::writeRichText(RichText()), plainFont()), RichText());
}

TEST(RichTextFormat, ReadsFilesWrittenElsewhere) {
  const std::string rtf =
      "{\\rtf1\\ansi\\deff1{\\fonttbl{\\f0\\froman\\fcharset0 Times New Roman;}{\\f1\\fswiss\\fprq2 Arial;}}\n"
      "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}\n"
      "{\\*\\generator Some Writer 1.0;}{\\info{\\title skipped}}\n"
      "\\pard\\qc\\fs24 Head {\\b\\cf1 bold red}\\b0  back\\par\n"
      "\\pard\\f0\\cf2 caf\\'e9 \\u8364?x\\ul under\\ulnone\\line\n"
      "{\\pict\\wmetafile8 0102abcd}tail\\par}";
  const RichText t = objects::readRichText(rtf, plainFont());
  ASSERT_EQ(t.paragraphs().size(), 3u);
  EXPECT_EQ(t.paragraphs()[0].text(), "Head bold red back");
  EXPECT_EQ(t.paragraphs()[0].alignment, gui::kAlignCentreText);
  EXPECT_EQ(t.paragraphs()[1].text(), "caf\xE9 \x80xunder");
  EXPECT_EQ(t.paragraphs()[1].alignment, gui::kAlignLeftText);
  EXPECT_EQ(t.paragraphs()[2].text(), "tail");
  // Text before any \f takes the default font; \fs counts half points.
  const FontDesc head = t.formatAt(0, {});
  EXPECT_EQ(head.name, "Arial");
  EXPECT_EQ(head.size, 12);
  EXPECT_EQ(head.pitch, 1);
  const FontDesc red = t.formatAt(6, {});
  EXPECT_EQ(red.styles, gui::kBold);
  EXPECT_EQ(red.color, 0x0000FF);
  // The group's end restores the format before it.
  EXPECT_EQ(t.formatAt(15, {}).styles, 0);
  EXPECT_EQ(t.formatAt(15, {}).color, plainFont().color);
  const int32_t line1 = t.paragraphStart(1);
  EXPECT_EQ(t.formatAt(line1, {}).name, "Times New Roman");
  EXPECT_EQ(t.formatAt(line1, {}).color, 0xFF0000);
  EXPECT_EQ(t.formatAt(line1 + 8, {}).styles, gui::kUnderline);
}

TEST(RichTextFormat, DamagedFilesLoadWhatTheyCan) {
  const char* damaged[] = {
      "{\\rtf",
      "{\\rtf1 abc",
      "{\\rtf1 }}}} abc",
      "{\\rtf1 {{{{{{ deep",
      "{\\rtf1 \\fs99999999999999999999 big\\cf77 colour\\f-5 font}",
      "{\\rtf1 \\'zz\\'4",
      "{\\rtf1 \\u-4000 \\uc9999\\u65 \\",
  };
  for (const char* rtf : damaged) {
    SCOPED_TRACE(rtf);
    const RichText t = objects::readRichText(rtf, plainFont());
    EXPECT_GE(t.paragraphs().size(), 1u);
  }
  EXPECT_EQ(objects::readRichText("{\\rtf1 abc", plainFont()).text(), "abc");
  EXPECT_EQ(objects::readRichText("{\\rtf1 }}}} abc", plainFont()).text(), " abc");
}

TEST(RichTextFormat, PlainText) {
  EXPECT_FALSE(objects::isRichTextFormat("{\\rt"));
  EXPECT_FALSE(objects::isRichTextFormat(" {\\rtf1}"));
  const RichText t = objects::readPlainText("one\r\ntwo\n", plainFont());
  EXPECT_EQ(t.paragraphs().size(), 2u);
  EXPECT_EQ(objects::writePlainText(t), "one\r\ntwo\r\n");
  EXPECT_EQ(objects::writePlainText(RichText()), "");
  EXPECT_EQ(objects::readPlainText("\r\n", plainFont()).paragraphs().size(), 1u);
}

// The storing peer (the null toolkit's rich edit) keeps the engine's rules.
TEST(RichEditPeer, SelectionAndTypingFormat) {
  gui::RichEditPeer peer(nullptr);
  peer.setFont(plainFont(), 0);
  peer.setText("ab\r\ncd");
  EXPECT_EQ(peer.paragraphCount(), 2);
  // A start between CR and LF goes to the end of its line.
  peer.setSelection({3, 1});
  EXPECT_EQ(peer.selection(), (gui::TextSelection{2, 1}));
  peer.setSelection({-4, 99});
  EXPECT_EQ(peer.selection(), (gui::TextSelection{0, 6}));
  // With no selection a format change is what typing gives next.
  peer.setSelection({2, 0});
  gui::FormatChange b;
  b.addStyles = gui::kBold;
  peer.changeSelectionFormat(b);
  EXPECT_EQ(peer.document().formatAt(1, {}).styles, 0);
  peer.replaceSelection("X");
  EXPECT_EQ(peer.text(), "abX\r\ncd");
  EXPECT_EQ(peer.document().formatAt(2, {}), bold(plainFont()));
  EXPECT_EQ(peer.selection(), (gui::TextSelection{3, 0}));
  // Replacing with line breaks moves the caret past them.
  peer.setSelection({0, 1});
  peer.replaceSelection("1\n2");
  EXPECT_EQ(peer.text(), "1\r\n2bX\r\ncd");
  EXPECT_EQ(peer.selection().start, 4);
  EXPECT_EQ(peer.paragraph(5), "");
  EXPECT_EQ(peer.paragraph(-1), "");
}
