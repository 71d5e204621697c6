// The disassembler: writes an image as assembly text. Every statement it
// writes is assembled again and compared with the original bytes; where the
// two differ, or a statement has no written form, the bytes are written
// with .bytes instead, so the text always assembles to the same image.
#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <set>

#include "asm/expressions.h"
#include "asm/kasm.h"
#include "asm/names.h"
#include "asm/operands.h"
#include "asm/statements.h"
#include "image/program_image.h"
#include "state/errors.h"

namespace kestrel::kasm {

namespace {

constexpr size_t kBytesPerLine = 16;
constexpr size_t kPositionColumn = 48;

// A line of output, with its image position in a comment when asked for.
std::string line(const std::string& text, int64_t position, bool positions) {
  if (!positions || position < 0) return text + "\n";
  std::string out = text;
  out.resize(std::max(out.size() + 2, kPositionColumn), ' ');
  return out + "// " + std::to_string(position) + "\n";
}

std::string hexBytes(const std::vector<uint8_t>& b, size_t from, size_t to, bool positions = false) {
  std::string out;
  for (size_t i = from; i < to;) {
    std::string text = "    .bytes";
    const size_t start = i;
    for (size_t k = 0; k < kBytesPerLine && i < to; ++k, ++i) {
      char buf[4];
      std::snprintf(buf, sizeof buf, " %02x", b[i]);
      text += buf;
    }
    out += line(text, static_cast<int64_t>(start), positions);
  }
  return out;
}

bool isPunct(const Token& t, const char* text) { return t.type == Tok::Punct && t.text == text; }

// The names of a names file, ready to be written into statements and to
// assemble them again: one table for the main code and one per procedure.
class Renamer {
 public:
  explicit Renamer(const SourceMap& names) : names_(names) {
    for (const auto& [position, name] : names.labels) labelPositions_[name] = position;
    fill(globals_, -1);
    for (const auto& [entry, name] : names.procedures) fill(procedures_[entry], entry);
  }

  const SourceMap& names() const { return names_; }
  const std::map<std::string, int32_t>& labels() const { return labelPositions_; }
  const NameTable& table(int32_t procedure) const {
    auto it = procedures_.find(procedure);
    return it == procedures_.end() ? globals_ : it->second;
  }

  std::string label(const std::string& madeUp) const {
    const int64_t position = positionOfMadeUpLabel(madeUp);
    auto it = names_.labels.find(static_cast<int32_t>(position));
    return position >= 0 && it != names_.labels.end() ? it->second : madeUp;
  }

  // The statement with made-up labels replaced by the user's (always safe),
  // and with `operands` also variables and parameters by their names.
  std::string rename(const std::string& text, int32_t procedure, bool operands) const {
    std::string error;
    const std::vector<Token> t = tokenize(text, error);
    if (!error.empty()) return text;
    std::string out;
    size_t copied = 0;  // columns are 1-based
    auto replace = [&](size_t first, size_t last, const std::string& with) {
      out += text.substr(copied, t[first].column - 1 - copied) + with;
      copied = t[last].end - 1;
    };
    for (size_t i = 1; i < t.size(); ++i) {
      if (t[i].type != Tok::Ident || isPunct(t[i - 1], ".")) continue;
      if (positionOfMadeUpLabel(t[i].text) >= 0) {
        const std::string named = label(t[i].text);
        if (named != t[i].text) replace(i, i, named);
        continue;
      }
      if (!operands) continue;
      // arg.KIND:S / arg.KIND[S] / KIND:N / KIND[N] / TYPE:N / TYPE[N]
      const bool parameter = t[i].text == "arg" && i + 2 < t.size() && isPunct(t[i + 1], ".");
      const size_t head = parameter ? i + 2 : i;
      size_t last = head + 2;
      if (last >= t.size()) continue;
      if (isPunct(t[head + 1], "[")) ++last;
      if (last >= t.size()) continue;
      const std::vector<Token> operand(t.begin() + static_cast<long>(i), t.begin() + static_cast<long>(last) + 1);
      OperandName n;
      if (!parseNamedOperand(operand, n)) continue;
      const std::string name = parameter ? names_.parameterName(procedure, n.index) : names_.variableName(n.kind, n.index, n.array);
      if (name.empty() || (parameter && !matchesParameter(procedure, n))) continue;
      replace(i, last, name);
      i = last;
    }
    return out + text.substr(copied);
  }

 private:
  bool matchesParameter(int32_t procedure, const OperandName& n) const {
    for (const OperandName& p : names_.names)
      if (p.parameter && p.procedure == procedure && p.index == n.index && p.kind == n.kind && p.array == n.array)
        return true;
    return false;
  }

  void fill(NameTable& table, int32_t procedure) {
    auto define = [&](const char* directive, const OperandName& n) {
      std::string error;
      try {
        table.define(directive, tokenize(n.name + " = " + namedOperandText(n), error), 0);
      } catch (const AsmError&) {
        // A name the assembler refuses is written as its operand.
      }
    };
    for (const OperandName& n : names_.names)
      if (!n.parameter) define("var", n);
    if (procedure < 0) return;
    table.enterProcedure(procedure);
    for (const OperandName& n : names_.names)
      if (n.parameter && n.procedure == procedure) define("param", n);
  }

  const SourceMap& names_;
  std::map<std::string, int32_t> labelPositions_;
  NameTable globals_;
  std::map<int32_t, NameTable> procedures_;
};

struct Decoded {
  int32_t pos;
  int32_t length;
  std::string text;  // empty: write the bytes
};

class Disassembler {
 public:
  Disassembler(const std::vector<uint8_t>& image, const DisassemblyOptions& options)
      : b_(image), positions_(options.positions) {
    if (options.names) renamer_ = std::make_unique<Renamer>(*options.names);
  }

  std::string run() {
    ProgramImage img;
    try {
      img = parseImage(b_);
    } catch (const RuntimeError&) {
      return ".rawimage\n" + hexBytes(b_, 0, b_.size(), positions_);
    }
    const int32_t size = img.size;
    names_.dataStart = img.dataStart;
    names_.codeStart = img.codeStart;
    names_.end = size;
    std::string out;
    if (renamer_) {
      for (const OperandName& n : renamer_->names().names)
        if (!n.parameter) out += ".var " + n.name + " = " + namedOperandText(n) + "\n";
    }

    // Header records, walked as the loader walks them.
    size_t pos = 0;
    while (b_[pos] == 10) {
      const size_t n = static_cast<size_t>(readS32(pos + 1));
      const size_t body = pos + 5, end = pos + 1 + n;
      bool zero = true;
      for (size_t i = body; i < end; ++i) zero = zero && b_[i] == 0;
      if (zero) out += line(".skip " + std::to_string(end - body), static_cast<int64_t>(pos), positions_);
      else out += line(".skip", static_cast<int64_t>(pos), positions_) + hexBytes(b_, body, end, positions_);
      pos = end;
    }
    while (b_[pos] == 18) {
      const size_t n = static_cast<size_t>(readS32(pos + 1));
      out += line(".resource", static_cast<int64_t>(pos), positions_) + hexBytes(b_, pos + 5, pos + 5 + n, positions_);
      pos += 5 + n;
    }
    const int tag = b_[pos];

    // The data items once for the code labels that their calls name, then
    // the code, so that the data labels that restore statements use are
    // known when the data is written.
    writeData(img.dataStart, img.codeStart);
    std::vector<Decoded> code = decodeCode(img.codeStart, size);
    if (renamer_) addNamedLabels(code);
    std::string codeText = writeCode(code, size);

    out += line(tag == 0 ? ".data" : ".data tag " + std::to_string(tag), static_cast<int64_t>(pos), positions_);
    out += writeData(img.dataStart, img.codeStart);
    out += ".code\n" + codeText;
    return out;
  }

 private:
  int32_t readS32(size_t at) const {
    return static_cast<int32_t>(b_[at] | b_[at + 1] << 8 | b_[at + 2] << 16 | static_cast<uint32_t>(b_[at + 3]) << 24);
  }

  std::vector<Decoded> decodeCode(int32_t start, int32_t end) {
    std::vector<Decoded> out;
    int32_t pos = start;
    while (pos < end) {
      Decoder d(b_, pos, end);
      LabelNames scratch = names_;
      scratch.kinds.clear();
      scratch.used.clear();
      std::string text;
      bool ok = decodeStatement(d, scratch, text) && d.ok && d.pos > pos;
      if (ok) ok = verify(text, pos, d.pos);
      if (ok) {
        for (auto [position, kind] : scratch.kinds) names_.kinds.emplace(position, kind);
        names_.used.insert(scratch.used.begin(), scratch.used.end());
        out.push_back({pos, d.pos - pos, text});
        pos = d.pos;
      } else {
        // The opcode (and sub-code) alone; decoding goes on behind it. A
        // declaration whose form is neither 1 nor 3 reads two more bytes and
        // nothing else (four zero bytes before a procedure's body are one).
        int32_t length = (b_[static_cast<size_t>(pos)] == 0 && pos + 1 < end) ? 2 : 1;
        if (length == 2 && b_[static_cast<size_t>(pos) + 1] == 0 && pos + 4 <= end) length = 4;
        // Four zero bytes are what comes before a procedure's body, whether
        // or not anything in the image calls it.
        if (length == 4 && b_[static_cast<size_t>(pos) + 2] == 0 && b_[static_cast<size_t>(pos) + 3] == 0)
          names_.kinds.emplace(pos, 'P');
        out.push_back({pos, length, ""});
        pos += length;
      }
    }
    return out;
  }

  bool verify(const std::string& text, int32_t from, int32_t to) {
    try {
      std::vector<uint8_t> again = assembleStatementAt(text, from, names_.dataStart);
      return again.size() == static_cast<size_t>(to - from) &&
             std::equal(again.begin(), again.end(), b_.begin() + from);
    } catch (const AsmError&) {
      return false;
    }
  }

  std::string labelName(int32_t position) {
    auto it = names_.kinds.find(position);
    const std::string madeUp = std::string(1, it->second) + std::to_string(position);
    return renamer_ ? renamer_->label(madeUp) : madeUp;
  }

  // The label lines of a position: its own name, and any other made-up
  // name a statement used for it.
  std::string labelLine(int32_t position) { return labelName(position) + ":\n" + otherLabels(position); }

  std::string otherLabels(int32_t position) {
    const std::string primary = labelName(position);
    std::set<std::string> written{primary};
    std::string out;
    for (auto it = names_.used.lower_bound({position, 0}); it != names_.used.end() && it->first == position; ++it) {
      const std::string madeUp = std::string(1, it->second) + std::to_string(position);
      const std::string name = renamer_ ? renamer_->label(madeUp) : madeUp;
      if (written.insert(name).second) out += name + ":\n";
    }
    return out;
  }

  // The user's labels at statement starts are written even where nothing
  // jumps to them; a named procedure gets its .proc line.
  void addNamedLabels(const std::vector<Decoded>& code) {
    std::set<int32_t> starts;
    for (const Decoded& s : code) starts.insert(s.pos);
    for (const auto& [position, name] : renamer_->names().labels) {
      if (!starts.count(position)) continue;
      const char kind = renamer_->names().procedures.count(position) ? 'P' : 'L';
      auto [it, fresh] = names_.kinds.emplace(position, kind);
      if (!fresh && kind == 'P') it->second = 'P';
    }
  }

  // A statement as written: with the user's names where they assemble to
  // the same bytes.
  std::string statementText(const Decoded& s, int32_t procedure) {
    if (!renamer_) return s.text;
    const std::string labelled = renamer_->rename(s.text, procedure, false);
    const std::string named = renamer_->rename(s.text, procedure, true);
    if (named == labelled) return labelled;
    try {
      StatementContext context{&renamer_->labels(), &renamer_->table(procedure)};
      std::vector<uint8_t> again = assembleStatementAt(named, s.pos, names_.dataStart, context);
      if (again.size() == static_cast<size_t>(s.length) && std::equal(again.begin(), again.end(), b_.begin() + s.pos))
        return named;
    } catch (const AsmError&) {
    }
    return labelled;
  }

  std::string writeCode(const std::vector<Decoded>& code, int32_t end) {
    std::string out;
    std::set<int32_t> written;
    int32_t procedure = -1;  // the procedure whose parameter names are in scope
    for (const Decoded& s : code) {
      const int32_t stop = s.pos + s.length;
      auto at = names_.kinds.find(s.pos);
      const bool procEntry = at != names_.kinds.end() && at->second == 'P' && s.length >= 2 && stop + 2 <= end &&
                             b_[static_cast<size_t>(s.pos)] == 0 && b_[static_cast<size_t>(s.pos) + 1] == 0 &&
                             b_[static_cast<size_t>(s.pos) + 2] == 0 && b_[static_cast<size_t>(s.pos) + 3] == 0;
      auto inner = names_.kinds.upper_bound(s.pos);
      const bool split = inner != names_.kinds.end() && inner->first < stop;
      if (procEntry && s.length == 4 && !split) {
        out += otherLabels(s.pos) + line(".proc " + labelName(s.pos), s.pos, positions_);
        written.insert(s.pos);
        procedure = s.pos;
        if (renamer_) {
          for (const OperandName& n : renamer_->names().names)
            if (n.parameter && n.procedure == procedure) out += ".param " + n.name + " = " + namedOperandText(n) + "\n";
        }
        continue;
      }
      // Labels that fall inside a statement split it into bytes.
      if (at != names_.kinds.end()) {
        out += labelLine(s.pos);
        written.insert(s.pos);
      }
      if (!split && !s.text.empty()) {
        out += line("    " + statementText(s, procedure), s.pos, positions_);
        continue;
      }
      int32_t from = s.pos;
      for (auto it = inner; it != names_.kinds.end() && it->first < stop; ++it) {
        out += hexBytes(b_, static_cast<size_t>(from), static_cast<size_t>(it->first), positions_);
        out += labelLine(it->first);
        written.insert(it->first);
        from = it->first;
      }
      out += hexBytes(b_, static_cast<size_t>(from), static_cast<size_t>(stop), positions_);
    }
    // Labels at the very end of the image.
    for (auto it = names_.kinds.lower_bound(end); it != names_.kinds.end() && it->first == end; ++it) out += labelLine(end);
    unplaced_.clear();
    for (auto [position, kind] : names_.kinds)
      if (!written.count(position) && position != end) unplaced_.insert(position);
    return out;
  }

  // Data items: .text "..." or .value expression; anything else as bytes.
  std::string writeData(int32_t start, int32_t end) {
    std::string out;
    int32_t pos = start;
    auto dataLabel = [&](int32_t position) {
      auto it = names_.kinds.find(position);
      if (it != names_.kinds.end() && it->second == 'D') out += labelLine(position);
    };
    while (pos < end) {
      dataLabel(pos);
      Decoder d(b_, pos, end);
      std::string text;
      const int marker = d.u8();
      if (marker == 2) {
        const int length = d.u16();
        std::string bytes;
        for (int i = 0; i < length; ++i) bytes += static_cast<char>(d.u8());
        text = ".text " + quote(bytes);
      } else {
        std::string x;
        if (decompileExpression(d, names_, x)) text = ".value " + markerText(marker, 1) + x;
      }
      bool inner = false;
      for (auto it = names_.kinds.upper_bound(pos); it != names_.kinds.end() && it->first < d.pos; ++it) inner = true;
      if (!d.ok || text.empty() || inner) {
        // The rest of the data block as bytes, with its labels.
        int32_t from = pos;
        for (auto it = names_.kinds.upper_bound(pos); it != names_.kinds.end() && it->first < end; ++it) {
          if (it->second != 'D') continue;
          out += hexBytes(b_, static_cast<size_t>(from), static_cast<size_t>(it->first), positions_);
          out += labelLine(it->first);
          from = it->first;
        }
        out += hexBytes(b_, static_cast<size_t>(from), static_cast<size_t>(end), positions_);
        return out;
      }
      out += line("    " + (renamer_ ? renamer_->rename(text, -1, false) : text), pos, positions_);
      pos = d.pos;
    }
    return out;
  }

  const std::vector<uint8_t>& b_;
  bool positions_;
  std::unique_ptr<Renamer> renamer_;
  LabelNames names_;
  std::set<int32_t> unplaced_;
};

}  // namespace

std::string disassemble(const std::vector<uint8_t>& image, const DisassemblyOptions& options) {
  return Disassembler(image, options).run();
}

struct StatementReader::Impl {
  const std::vector<uint8_t>& bytes;
  LabelNames labels;
  std::unique_ptr<Renamer> renamer;
  std::map<int32_t, std::pair<std::string, int32_t>> cache;  // position -> text, length

  const std::pair<std::string, int32_t>& at(int32_t position) {
    auto it = cache.find(position);
    if (it != cache.end()) return it->second;
    Decoder d(bytes, position, labels.end);
    LabelNames scratch = labels;
    std::string text;
    std::pair<std::string, int32_t> entry;
    if (position >= labels.codeStart && position < labels.end && decodeStatement(d, scratch, text) && d.ok &&
        d.pos > position) {
      int32_t procedure = -1;
      if (renamer) {
        for (const auto& [entryPosition, name] : renamer->names().procedures)
          if (entryPosition < position) procedure = entryPosition;
      }
      entry = {renamer ? renamer->rename(text, procedure, true) : text, d.pos - position};
    } else {
      entry = {".bytes", 1};
      if (position >= 0 && position < labels.end) {
        char hex[8];
        std::snprintf(hex, sizeof hex, " %02x", bytes[static_cast<size_t>(position)]);
        entry.first += hex;
      }
    }
    return cache.emplace(position, std::move(entry)).first->second;
  }
};

StatementReader::StatementReader(const std::vector<uint8_t>& image, int32_t size, int32_t dataStart,
                                 int32_t codeStart, const SourceMap* names)
    : impl_(std::make_unique<Impl>(Impl{image, {}, nullptr, {}})) {
  impl_->labels.dataStart = dataStart;
  impl_->labels.codeStart = codeStart;
  impl_->labels.end = size;
  if (names) impl_->renamer = std::make_unique<Renamer>(*names);
}

StatementReader::~StatementReader() = default;

const std::string& StatementReader::text(int32_t position) { return impl_->at(position).first; }
int32_t StatementReader::length(int32_t position) { return impl_->at(position).second; }

}  // namespace kestrel::kasm
