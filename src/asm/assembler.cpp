// The assembler driver: sections, labels, directives and fixups.
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <sstream>

#include "asm/expressions.h"
#include "asm/kasm.h"
#include "asm/names.h"
#include "asm/operands.h"
#include "asm/statements.h"
#include "asm/warnings.h"

namespace kestrel::kasm {

namespace {

enum class Section { None, Skip, Resource, Data, Code, Raw };

class Assembler {
 public:
  explicit Assembler(std::string baseDir) : baseDir_(std::move(baseDir)) {}

  Assembly run(const std::string& source) {
    std::istringstream in(source);
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
      ++number;
      e_.line = number;
      const size_t before = e_.here();
      doLine(line, number);
      ListingLine placed;
      if (section_ != Section::None) {
        placed.position = static_cast<int32_t>(lineStart_ >= 0 ? lineStart_ : static_cast<int64_t>(before));
        placed.length = static_cast<int32_t>(e_.here() - static_cast<size_t>(placed.position));
      }
      result_.lines.push_back(placed);
      lineStart_ = -1;
    }
    if (section_ != Section::Code && section_ != Section::Raw) enter(Section::Code, number);
    resolve();
    checkProgram(result_.warnings, e_, statements_);
    result_.warnings.insert(result_.warnings.end(), e_.warnings.begin(), e_.warnings.end());
    std::stable_sort(result_.warnings.begin(), result_.warnings.end(),
                     [](const Warning& a, const Warning& b) { return a.line < b.line; });
    for (const auto& [name, position] : labels_)
      if (!result_.map.labels.count(static_cast<int32_t>(position)) || procedures_.count(name))
        result_.map.labels[static_cast<int32_t>(position)] = name;
    result_.map.names = names_.operands();
    result_.image = std::move(e_.bytes);
    return std::move(result_);
  }

 private:
  void doLine(const std::string& text, int number) {
    std::string error;
    std::vector<Token> tokens = tokenize(text, error);
    if (!error.empty()) throw AsmError(number, 1, error);
    if (tokens.empty()) return;
    // Labels: NAME ':' not followed by a number (KIND:N is a variable).
    while (tokens.size() >= 2 && tokens[0].type == Tok::Ident && tokens[1].type == Tok::Punct &&
           tokens[1].text == ":" && (tokens.size() == 2 || tokens[2].type != Tok::Number)) {
      if (section_ == Section::None || section_ == Section::Skip || section_ == Section::Resource)
        enter(Section::Code, number);
      define(tokens[0].text, number, tokens[0].column);
      tokens.erase(tokens.begin(), tokens.begin() + 2);
    }
    if (tokens.empty()) return;
    if (tokens[0].type == Tok::Punct && tokens[0].text == ".") {
      directive(text, tokens, number);
      return;
    }
    if (section_ != Section::Code && section_ != Section::Raw) enter(Section::Code, number);
    names_.substitute(tokens, 1);
    const size_t start = e_.here();
    lineStart_ = static_cast<int64_t>(start);
    Parser p(std::move(tokens), number);
    const std::string mnemonic = p.ident();
    compileStatement(mnemonic, p, e_);
    if (!p.atEnd()) p.fail("unexpected text after the statement");
    placeStatement(mnemonic, start, number);
  }

  // A statement (or a line of raw bytes in the code) goes into the line map.
  void placeStatement(const std::string& mnemonic, size_t start, int line) {
    if (section_ != Section::Code || e_.here() == start) return;
    result_.map.lines.emplace_back(static_cast<int32_t>(start), line);
    statements_.push_back({mnemonic, static_cast<int32_t>(start), static_cast<int32_t>(e_.here() - start), line});
  }

  void define(const std::string& name, int line, size_t column) {
    if (names_.isName(name)) throw AsmError(line, column, "'" + name + "' is already the name of a variable or constant");
    if (!labels_.emplace(name, static_cast<int64_t>(e_.here())).second)
      throw AsmError(line, column, "label '" + name + "' defined twice");
  }

  // The header goes in order: skipped records, resources, the data block, code.
  void require(bool ok, int line) {
    if (section_ == Section::Raw) throw AsmError(line, 1, ".rawimage takes only .bytes lines");
    if (!ok) throw AsmError(line, 1, "sections go in the order .skip, .resource, .data, .code");
  }

  void enter(Section next, int line) {
    const bool header = section_ == Section::None || section_ == Section::Skip || section_ == Section::Resource;
    switch (next) {
      case Section::Skip: require(section_ == Section::None || section_ == Section::Skip, line); break;
      case Section::Resource: require(header, line); break;
      case Section::Data: require(header, line); break;
      case Section::Code: require(header || section_ == Section::Data, line); break;
      default: break;
    }
    closeRecord();
    if (next == Section::Code) {
      if (section_ != Section::Data) openData(0);
      closeData();
    }
    section_ = next;
  }

  void openData(int tag) {
    e_.u8(tag);
    lengthAt_ = e_.here();
    e_.s32(0);
    dataStart_ = static_cast<int64_t>(e_.here());
    section_ = Section::Data;
  }

  void closeData() {
    const int64_t n = static_cast<int64_t>(e_.here() - lengthAt_);
    patch(lengthAt_, n);  // counts its own four bytes
  }

  void closeRecord() {
    if (section_ == Section::Skip) patch(recordAt_, static_cast<int64_t>(e_.here() - recordAt_));
    if (section_ == Section::Resource) patch(recordAt_, static_cast<int64_t>(e_.here() - recordAt_ - 4));
  }

  void patch(size_t at, int64_t v) {
    for (int i = 0; i < 4; ++i) e_.bytes[at + static_cast<size_t>(i)] = static_cast<uint8_t>(v >> (8 * i));
  }

  void directive(const std::string& text, const std::vector<Token>& tokens, int line) {
    if (tokens.size() < 2 || tokens[1].type != Tok::Ident) throw AsmError(line, 1, "expected a directive name");
    const std::string name = tokens[1].text;
    Parser p(std::vector<Token>(tokens.begin() + 2, tokens.end()), line);
    if (name == "bytes") {
      if (section_ == Section::None) enter(Section::Code, line);
      const size_t start = e_.here();
      lineStart_ = static_cast<int64_t>(start);
      rawBytes(text, line);
      placeStatement(".bytes", start, line);
      return;
    }
    if (name == "var" || name == "const" || name == "param") {
      if (tokens.size() > 2 && labels_.count(tokens[2].text))
        throw AsmError(line, tokens[2].column, "'" + tokens[2].text + "' is already a label");
      names_.define(name, std::vector<Token>(tokens.begin() + 2, tokens.end()), line);
      return;
    }
    if (name == "rawimage") {
      if (section_ != Section::None) throw AsmError(line, 1, ".rawimage must come first");
      section_ = Section::Raw;
      return;
    }
    if (name == "skip") {
      enter(Section::Skip, line);
      e_.u8(10);
      recordAt_ = e_.here();
      e_.s32(0);
      if (!p.atEnd()) e_.bytes.resize(e_.bytes.size() + static_cast<size_t>(p.integer()), 0);
      return;
    }
    if (name == "resource") {
      enter(Section::Resource, line);
      e_.u8(18);
      recordAt_ = e_.here();
      e_.s32(0);
      if (p.acceptWord("file")) {
        if (p.peek().type != Tok::String) p.fail("expected a file name");
        const std::string path = resolvePath(p.next().text);
        std::ifstream in(path, std::ios::binary);
        if (!in) p.fail("cannot read resource file " + path);
        std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        e_.raw(content);
      } else if (p.acceptWord("text")) {
        if (p.peek().type != Tok::String) p.fail("expected a string");
        e_.raw(p.next().text);
      }
      return;
    }
    if (name == "data") {
      enter(Section::Data, line);
      int tag = 0;
      if (p.acceptWord("tag")) tag = static_cast<int>(p.integer());
      if (tag == 10 || tag == 18) p.fail("the data block's tag cannot be 10 or 18");
      openData(tag);
      return;
    }
    if (name == "code") {
      enter(Section::Code, line);
      return;
    }
    if (name == "text" || name == "value") {
      if (section_ != Section::Data) p.fail(".text and .value belong in the .data section");
      if (name == "text") {
        if (p.peek().type != Tok::String) p.fail("expected a string");
        const std::string s = p.next().text;
        e_.u8(2);
        e_.s16(static_cast<int64_t>(s.size()));
        e_.raw(s);
      } else {
        std::vector<Token> rest(tokens.begin() + 2, tokens.end());
        names_.substitute(rest, 0);
        p = Parser(std::move(rest), line);
        e_.u8(compileMarker(p, 1));
        compileExpression(p, e_);
      }
      if (!p.atEnd()) p.fail("unexpected text");
      return;
    }
    if (name == "proc") {
      if (section_ != Section::Code) enter(Section::Code, line);
      const size_t column = p.column();
      const std::string procedure = p.ident();
      define(procedure, line, column);
      procedures_.insert(procedure);
      const int32_t entry = static_cast<int32_t>(e_.here());
      result_.map.procedures[entry] = procedure;
      names_.enterProcedure(entry);
      lineStart_ = entry;
      statements_.push_back({".proc " + procedure, entry, 4, line});
      e_.s32(0);  // the four bytes before a procedure's body
      if (!p.atEnd()) p.fail("unexpected text");
      return;
    }
    throw AsmError(line, tokens[1].column, "unknown directive ." + name);
  }

  void rawBytes(const std::string& text, int line) {
    std::istringstream in(text.substr(text.find("bytes") + 5));
    std::string word;
    while (in >> word) {
      if (word.rfind("//", 0) == 0) break;
      if (word.size() != 2 || !std::isxdigit(static_cast<unsigned char>(word[0])) ||
          !std::isxdigit(static_cast<unsigned char>(word[1])))
        throw AsmError(line, 1, "expected two hex digits per byte, got '" + word + "'");
      e_.u8(std::stoi(word, nullptr, 16));
    }
  }

  std::string resolvePath(const std::string& name) const {
    if (!name.empty() && name[0] == '/') return name;
    return baseDir_ + "/" + name;
  }

  void resolve() {
    for (const Fixup& f : e_.fixups) {
      auto it = labels_.find(f.label);
      if (it == labels_.end()) throw AsmError(f.line, f.column, "undefined label '" + f.label + "'");
      int64_t v = it->second;
      if (f.kind == FixKind::Relative) v -= static_cast<int64_t>(f.at) + 4;
      if (f.kind == FixKind::DataRelative) v -= dataStart_;
      patch(f.at, v);
    }
  }

  std::string baseDir_;
  Emitter e_;
  Assembly result_;
  NameTable names_;
  std::vector<PlacedStatement> statements_;
  std::set<std::string> procedures_;
  int64_t lineStart_ = -1;  // where the current line's own bytes begin, when not where the line began
  std::map<std::string, int64_t> labels_;
  Section section_ = Section::None;
  size_t recordAt_ = 0;
  size_t lengthAt_ = 0;
  int64_t dataStart_ = 0;
};

}  // namespace

Assembly assembleProgram(const std::string& source, const std::string& baseDir) {
  return Assembler(baseDir).run(source);
}

std::vector<uint8_t> assemble(const std::string& source, const std::string& baseDir) {
  return assembleProgram(source, baseDir).image;
}

std::vector<uint8_t> assembleStatementAt(const std::string& line, int32_t origin, int32_t dataStart,
                                         const StatementContext& context) {
  std::string error;
  std::vector<Token> tokens = tokenize(line, error);
  if (!error.empty() || tokens.empty()) throw AsmError(0, 1, error.empty() ? "empty" : error);
  if (context.names) context.names->substitute(tokens, 1);
  Emitter e;
  Parser p(std::move(tokens), 0);
  compileStatement(p.ident(), p, e);
  if (!p.atEnd()) p.fail("unexpected text after the statement");
  for (const Fixup& f : e.fixups) {
    int64_t v = positionOfMadeUpLabel(f.label);
    if (context.labels) {
      auto named = context.labels->find(f.label);
      if (named != context.labels->end()) v = named->second;
    }
    if (v < 0) throw AsmError(0, f.column, "label '" + f.label + "' is not a position");
    if (f.kind == FixKind::Relative) v -= origin + static_cast<int64_t>(f.at) + 4;
    if (f.kind == FixKind::DataRelative) v -= dataStart;
    for (int i = 0; i < 4; ++i) e.bytes[f.at + static_cast<size_t>(i)] = static_cast<uint8_t>(v >> (8 * i));
  }
  return e.bytes;
}

}  // namespace kestrel::kasm

namespace kestrel::kasm {

std::string listing(const Assembly& assembly, const std::string& source) {
  constexpr int32_t kShownBytes = 6;
  std::istringstream in(source);
  std::string text;
  std::string out;
  for (size_t i = 0; std::getline(in, text); ++i) {
    const ListingLine placed = i < assembly.lines.size() ? assembly.lines[i] : ListingLine{};
    std::string bytes;
    for (int32_t k = 0; k < placed.length && k < kShownBytes; ++k) {
      char hex[4];
      std::snprintf(hex, sizeof hex, "%02x ", assembly.image[static_cast<size_t>(placed.position + k)]);
      bytes += hex;
    }
    if (placed.length > kShownBytes) bytes += "..";
    char head[48];
    if (placed.position < 0) std::snprintf(head, sizeof head, "%6s  %-20s  ", "", "");
    else std::snprintf(head, sizeof head, "%6d  %-20s  ", placed.position, bytes.c_str());
    out += head + text + "\n";
  }
  return out;
}

}  // namespace kestrel::kasm
