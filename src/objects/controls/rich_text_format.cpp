#include "objects/controls/rich_text_format.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <map>
#include <vector>

#include "toolkit/colors.h"

namespace kestrel::objects {

namespace {

// Characters 0x80 to 0x9F of the Windows Latin-1 code page (0 where it has none).
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// A Unicode character as program text: its code-page byte, or UTF-8.
std::string programCharacter(uint32_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return std::string(1, static_cast<char>(c));
  for (int i = 0; i < 32; ++i)
    if (kCp1252High[i] == c) return std::string(1, static_cast<char>(0x80 + i));
  std::string out;
  if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
  } else {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
  }
  out += static_cast<char>(0x80 | (c & 0x3F));
  return out;
}

// 1 fixed and 2 variable in the file; 2 fixed and 1 variable in programs.
int32_t pitchOfFile(int32_t prq) { return prq == 1 ? 2 : prq == 2 ? 1 : 0; }
int32_t pitchOfProgram(int32_t pitch) { return pitch == 2 ? 1 : pitch == 1 ? 2 : 0; }

enum class Destination { Text, FontTable, ColorTable, Skip };

struct TableFont {
  std::string name;
  int32_t charset = 0;
  int32_t pitch = 0;
};

struct GroupState {
  gui::FontDesc format;
  int alignment = gui::kAlignLeftText;
  Destination destination = Destination::Text;
  int unicodeSkip = 1;
};

class Reader {
 public:
  Reader(std::string_view rtf, const gui::FontDesc& base) : in_(rtf), base_(base) {}

  gui::RichText read() {
    state_.format = base_;
    while (at_ < in_.size()) {
      const char c = in_[at_++];
      switch (c) {
        case '{': groupStart(); break;
        case '}': groupEnd(); break;
        case '\\': control(); break;
        case '\r': case '\n': break;
        default: character(std::string(1, c)); break;
      }
    }
    endParagraph();
    // The last paragraph ended with its break: no empty line after it.
    if (paragraphs_.size() > 1 && paragraphs_.back().runs.empty() && endedWithBreak_) paragraphs_.pop_back();
    return gui::RichText(std::move(paragraphs_));
  }

 private:
  void groupStart() { stack_.push_back(state_); }
  void groupEnd() {
    if (state_.destination == Destination::FontTable) finishFont();
    if (stack_.empty()) return;
    state_ = stack_.back();
    stack_.pop_back();
  }

  void character(const std::string& bytes) {
    switch (state_.destination) {
      case Destination::Text:
        if (skipCharacters_ > 0) {
          --skipCharacters_;
          return;
        }
        if (!current_.runs.empty() && current_.runs.back().format == state_.format) current_.runs.back().text += bytes;
        else current_.runs.push_back({bytes, state_.format});
        endedWithBreak_ = false;
        return;
      case Destination::FontTable:
        if (bytes == ";") finishFont();
        else fontName_ += bytes;
        return;
      case Destination::ColorTable:
        if (bytes == ";") {
          colors_.push_back(haveColor_ ? static_cast<int32_t>(red_ | green_ << 8 | blue_ << 16) : base_.color);
          haveColor_ = false;
          red_ = green_ = blue_ = 0;
        }
        return;
      case Destination::Skip: return;
    }
  }

  void finishFont() {
    if (fontNumber_ >= 0) {
      while (!fontName_.empty() && fontName_.back() == ' ') fontName_.pop_back();
      while (!fontName_.empty() && fontName_.front() == ' ') fontName_.erase(0, 1);
      fonts_[fontNumber_] = {fontName_, fontCharset_, fontPitch_};
      if (fontNumber_ == defaultFont_ && state_.destination == Destination::FontTable) applyDefaultFont();
    }
    fontNumber_ = -1;
    fontName_.clear();
    fontCharset_ = 0;
    fontPitch_ = 0;
  }

  // Text before any \f takes the default font, once the table names it.
  void applyDefaultFont() {
    const auto it = fonts_.find(defaultFont_);
    if (it == fonts_.end()) return;
    for (GroupState& s : stack_) useFont(s.format, it->second);
  }
  static void useFont(gui::FontDesc& format, const TableFont& font) {
    format.name = font.name;
    format.charset = font.charset;
    format.pitch = font.pitch;
  }

  void endParagraph() {
    current_.alignment = state_.alignment;
    paragraphs_.push_back(std::move(current_));
    current_ = {};
  }

  void control() {
    if (at_ >= in_.size()) return;
    const char c = in_[at_];
    if (!std::isalpha(static_cast<unsigned char>(c))) {
      ++at_;
      symbol(c);
      return;
    }
    std::string word;
    while (at_ < in_.size() && std::isalpha(static_cast<unsigned char>(in_[at_]))) word += in_[at_++];
    bool hasNumber = false;
    bool negative = false;
    int64_t number = 0;
    if (at_ < in_.size() && in_[at_] == '-') {
      negative = true;
      ++at_;
    }
    while (at_ < in_.size() && std::isdigit(static_cast<unsigned char>(in_[at_]))) {
      hasNumber = true;
      number = std::min<int64_t>(number * 10 + (in_[at_++] - '0'), 1 << 30);
    }
    if (negative) number = -number;
    if (at_ < in_.size() && in_[at_] == ' ') ++at_;
    this->word(word, hasNumber, static_cast<int32_t>(number));
  }

  void symbol(char c) {
    switch (c) {
      case '\\': case '{': case '}': character(std::string(1, c)); break;
      case '\'': {
        unsigned value = 0;
        if (at_ + 2 <= in_.size() && std::isxdigit(static_cast<unsigned char>(in_[at_])) &&
            std::isxdigit(static_cast<unsigned char>(in_[at_ + 1])) &&
            std::sscanf(std::string(in_.substr(at_, 2)).c_str(), "%2x", &value) == 1) {
          at_ += 2;
          character(std::string(1, static_cast<char>(value)));
        }
        break;
      }
      case '~': character("\xA0"); break;
      case '_': character("-"); break;
      case '*':  // an optional destination: none that is read here
        state_.destination = Destination::Skip;
        break;
      case '\r': case '\n': word("par", false, 0); break;
      default: break;  // \- and the other symbols show nothing
    }
  }

  void word(const std::string& w, bool hasNumber, int32_t n) {
    static const char* const kSkipped[] = {
        "stylesheet", "info", "pict", "object", "header", "footer", "headerl", "headerr", "headerf", "footerl",
        "footerr", "footerf", "footnote", "fldinst", "generator", "listtable", "listoverridetable", "revtbl",
        "rsidtbl", "xmlnstbl", "themedata", "colorschememapping", "latentstyles", "datastore", "pntext", "pntxta",
        "pntxtb", "filetbl", "nonshppict", "bkmkstart", "bkmkend", "xe", "tc", "txe", "template", "userprops"};
    for (const char* s : kSkipped)
      if (w == s) {
        state_.destination = Destination::Skip;
        return;
      }
    if (state_.destination == Destination::Skip) return;
    const bool on = !hasNumber || n != 0;
    if (w == "fonttbl") {
      state_.destination = Destination::FontTable;
    } else if (w == "colortbl") {
      state_.destination = Destination::ColorTable;
      colors_.clear();
    } else if (w == "deff") {
      defaultFont_ = n;
    } else if (state_.destination == Destination::FontTable) {
      if (w == "f") {
        if (fontNumber_ >= 0) finishFont();
        fontNumber_ = n;
      } else if (w == "fcharset") {
        fontCharset_ = n;
      } else if (w == "fprq") {
        fontPitch_ = pitchOfFile(n);
      }
    } else if (state_.destination == Destination::ColorTable) {
      haveColor_ = true;
      const uint32_t v = static_cast<uint32_t>(std::clamp(n, 0, 255));
      if (w == "red") red_ = v;
      else if (w == "green") green_ = v;
      else if (w == "blue") blue_ = v;
    } else if (w == "par" || w == "line") {
      endParagraph();
      endedWithBreak_ = true;
    } else if (w == "pard") {
      state_.alignment = gui::kAlignLeftText;
    } else if (w == "ql" || w == "qj") {
      state_.alignment = gui::kAlignLeftText;
    } else if (w == "qr") {
      state_.alignment = gui::kAlignRightText;
    } else if (w == "qc") {
      state_.alignment = gui::kAlignCentreText;
    } else if (w == "plain") {
      state_.format = base_;
      const auto it = fonts_.find(defaultFont_);
      if (it != fonts_.end()) useFont(state_.format, it->second);
    } else if (w == "b") {
      style(gui::kBold, on);
    } else if (w == "i") {
      style(gui::kItalic, on);
    } else if (w == "ul" || w == "uld" || w == "uldb" || w == "ulw" || w == "uldash" || w == "ulth" || w == "ulwave") {
      style(gui::kUnderline, on);
    } else if (w == "ulnone") {
      style(gui::kUnderline, false);
    } else if (w == "strike") {
      style(gui::kStrikeOut, on);
    } else if (w == "fs") {
      state_.format.size = n / 2;
    } else if (w == "f") {
      const auto it = fonts_.find(n);
      if (it != fonts_.end()) useFont(state_.format, it->second);
    } else if (w == "cf") {
      state_.format.color = n > 0 && static_cast<size_t>(n) < colors_.size() ? colors_[static_cast<size_t>(n)] : base_.color;
    } else if (w == "uc") {
      state_.unicodeSkip = std::max(n, 0);
    } else if (w == "u") {
      character(programCharacter(static_cast<uint32_t>(n < 0 ? n + 65536 : n) & 0xFFFF));
      skipCharacters_ = state_.unicodeSkip;
    } else if (w == "tab") {
      character("\t");
    } else if (w == "emdash") {
      character("\x97");
    } else if (w == "endash") {
      character("\x96");
    } else if (w == "bullet") {
      character("\x95");
    } else if (w == "lquote") {
      character("\x91");
    } else if (w == "rquote") {
      character("\x92");
    } else if (w == "ldblquote") {
      character("\x93");
    } else if (w == "rdblquote") {
      character("\x94");
    }
  }

  void style(uint8_t bit, bool on) {
    state_.format.styles = on ? static_cast<uint8_t>(state_.format.styles | bit)
                              : static_cast<uint8_t>(state_.format.styles & ~bit);
  }

  std::string_view in_;
  size_t at_ = 0;
  gui::FontDesc base_;
  GroupState state_;
  std::vector<GroupState> stack_;
  std::vector<gui::RichParagraph> paragraphs_;
  gui::RichParagraph current_;
  bool endedWithBreak_ = false;
  int skipCharacters_ = 0;
  std::map<int32_t, TableFont> fonts_;
  int32_t defaultFont_ = 0;
  int32_t fontNumber_ = -1;
  std::string fontName_;
  int32_t fontCharset_ = 0;
  int32_t fontPitch_ = 0;
  std::vector<int32_t> colors_;
  bool haveColor_ = false;
  uint32_t red_ = 0, green_ = 0, blue_ = 0;
};

std::string escaped(std::string_view text) {
  std::string out;
  for (char c : text) {
    const auto u = static_cast<unsigned char>(c);
    if (c == '\\' || c == '{' || c == '}') {
      out += '\\';
      out += c;
    } else if (c == '\t') {
      out += "\\tab ";
    } else if (u < 0x20 || u >= 0x80) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\'%02x", u);
      out += hex;
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace

bool isRichTextFormat(std::string_view bytes) { return bytes.substr(0, 5) == "{\\rtf"; }

gui::RichText readRichText(std::string_view rtf, const gui::FontDesc& base) { return Reader(rtf, base).read(); }

std::string writeRichText(const gui::RichText& text) {
  // The tables first: every face (with its character set and pitch) and
  // every colour the runs use, in the order they come.
  std::vector<TableFont> fonts;
  std::vector<int32_t> colors;
  auto fontIndex = [&](const gui::FontDesc& f) {
    for (size_t i = 0; i < fonts.size(); ++i)
      if (fonts[i].name == f.name && fonts[i].charset == f.charset && fonts[i].pitch == f.pitch) return i;
    fonts.push_back({f.name, f.charset, f.pitch});
    return fonts.size() - 1;
  };
  auto colorIndex = [&](int32_t color) -> size_t {
    if (color == gui::kColorWindowText) return 0;
    const auto rgb = static_cast<int32_t>(gui::colorToRgb(color));
    for (size_t i = 0; i < colors.size(); ++i)
      if (colors[i] == rgb) return i + 1;
    colors.push_back(rgb);
    return colors.size();
  };
  std::string body;
  for (const gui::RichParagraph& p : text.paragraphs()) {
    body += "\\pard";
    body += p.alignment == gui::kAlignRightText ? "\\qr" : p.alignment == gui::kAlignCentreText ? "\\qc" : "\\ql";
    for (const gui::RichRun& r : p.runs) {
      const gui::FontDesc& f = r.format;
      body += "\\plain\\f" + std::to_string(fontIndex(f)) + "\\fs" + std::to_string(int64_t{f.size} * 2) + "\\cf" +
              std::to_string(colorIndex(f.color));
      if (f.styles & gui::kBold) body += "\\b";
      if (f.styles & gui::kItalic) body += "\\i";
      if (f.styles & gui::kUnderline) body += "\\ul";
      if (f.styles & gui::kStrikeOut) body += "\\strike";
      body += ' ' + escaped(r.text);
    }
    body += "\\par\r\n";
  }
  std::string out = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl";
  if (fonts.empty()) fonts.push_back({"MS Sans Serif", 0, 0});
  for (size_t i = 0; i < fonts.size(); ++i)
    out += "{\\f" + std::to_string(i) + "\\fnil\\fcharset" + std::to_string(fonts[i].charset) + "\\fprq" +
           std::to_string(pitchOfProgram(fonts[i].pitch)) + ' ' + escaped(fonts[i].name) + ";}";
  out += "}\r\n{\\colortbl ;";
  for (int32_t c : colors)
    out += "\\red" + std::to_string(c & 0xFF) + "\\green" + std::to_string((c >> 8) & 0xFF) + "\\blue" +
           std::to_string((c >> 16) & 0xFF) + ';';
  out += "}\r\n" + body + "}\r\n";
  return out;
}

gui::RichText readPlainText(std::string_view text, const gui::FontDesc& format) {
  // A break at the very end ends the last line.
  if (!text.empty() && text.back() == '\n') text.remove_suffix(text.size() >= 2 && text[text.size() - 2] == '\r' ? 2 : 1);
  else if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
  gui::RichText out;
  out.insert(0, text, format);
  return out;
}

std::string writePlainText(const gui::RichText& text) {
  if (text.empty()) return {};
  std::string out;
  for (const gui::RichParagraph& p : text.paragraphs()) out += p.text() + "\r\n";
  return out;
}

}  // namespace kestrel::objects
