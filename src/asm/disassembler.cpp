// The disassembler: writes an image as assembly text. Every statement it
// writes is assembled again and compared with the original bytes; where the
// two differ, or a statement has no written form, the bytes are written
// with .bytes instead, so the text always assembles to the same image.
#include <cstdio>
#include <map>
#include <set>

#include "asm/expressions.h"
#include "asm/kasm.h"
#include "asm/operands.h"
#include "asm/statements.h"
#include "image/program_image.h"
#include "state/errors.h"

namespace kestrel::kasm {

namespace {

constexpr size_t kBytesPerLine = 16;

std::string hexBytes(const std::vector<uint8_t>& b, size_t from, size_t to) {
  std::string out;
  for (size_t i = from; i < to;) {
    out += "    .bytes";
    for (size_t k = 0; k < kBytesPerLine && i < to; ++k, ++i) {
      char buf[4];
      std::snprintf(buf, sizeof buf, " %02x", b[i]);
      out += buf;
    }
    out += "\n";
  }
  return out;
}

struct Decoded {
  int32_t pos;
  int32_t length;
  std::string text;  // empty: write the bytes
};

class Disassembler {
 public:
  explicit Disassembler(const std::vector<uint8_t>& image) : b_(image) {}

  std::string run() {
    ProgramImage img;
    try {
      img = parseImage(b_);
    } catch (const RuntimeError&) {
      return ".rawimage\n" + hexBytes(b_, 0, b_.size());
    }
    const int32_t size = img.size;
    names_.dataStart = img.dataStart;
    names_.codeStart = img.codeStart;
    names_.end = size;
    std::string out;

    // Header records, walked as the loader walks them.
    size_t pos = 0;
    while (b_[pos] == 10) {
      const size_t n = static_cast<size_t>(readS32(pos + 1));
      const size_t body = pos + 5, end = pos + 1 + n;
      bool zero = true;
      for (size_t i = body; i < end; ++i) zero = zero && b_[i] == 0;
      if (zero) out += ".skip " + std::to_string(end - body) + "\n";
      else out += ".skip\n" + hexBytes(b_, body, end);
      pos = end;
    }
    while (b_[pos] == 18) {
      const size_t n = static_cast<size_t>(readS32(pos + 1));
      out += ".resource\n" + hexBytes(b_, pos + 5, pos + 5 + n);
      pos += 5 + n;
    }
    const int tag = b_[pos];

    // Code first, so that the data labels that restore statements use are known.
    std::vector<Decoded> code = decodeCode(img.codeStart, size);
    std::string codeText = writeCode(code, size);

    out += tag == 0 ? ".data\n" : ".data tag " + std::to_string(tag) + "\n";
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
      std::string text;
      bool ok = decodeStatement(d, scratch, text) && d.ok && d.pos > pos;
      if (ok) ok = verify(text, pos, d.pos);
      if (ok) {
        for (auto [position, kind] : scratch.kinds) names_.kinds.emplace(position, kind);
        out.push_back({pos, d.pos - pos, text});
        pos = d.pos;
      } else {
        // The opcode (and sub-code) alone; decoding goes on behind it. A
        // declaration whose form is neither 1 nor 3 reads two more bytes and
        // nothing else (four zero bytes before a procedure's body are one).
        int32_t length = (b_[static_cast<size_t>(pos)] == 0 && pos + 1 < end) ? 2 : 1;
        if (length == 2 && b_[static_cast<size_t>(pos) + 1] == 0 && pos + 4 <= end) length = 4;
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

  std::string labelLine(int32_t position) {
    auto it = names_.kinds.find(position);
    return std::string(1, it->second) + std::to_string(position) + ":\n";
  }

  std::string writeCode(const std::vector<Decoded>& code, int32_t end) {
    std::string out;
    std::set<int32_t> written;
    for (const Decoded& s : code) {
      const int32_t stop = s.pos + s.length;
      auto at = names_.kinds.find(s.pos);
      const bool procEntry = at != names_.kinds.end() && at->second == 'P' && s.length >= 2 && stop + 2 <= end &&
                             b_[static_cast<size_t>(s.pos)] == 0 && b_[static_cast<size_t>(s.pos) + 1] == 0 &&
                             b_[static_cast<size_t>(s.pos) + 2] == 0 && b_[static_cast<size_t>(s.pos) + 3] == 0;
      if (procEntry && s.length == 4) {
        out += ".proc P" + std::to_string(s.pos) + "\n";
        written.insert(s.pos);
        continue;
      }
      // Labels that fall inside a statement split it into bytes.
      auto inner = names_.kinds.upper_bound(s.pos);
      const bool split = inner != names_.kinds.end() && inner->first < stop;
      if (at != names_.kinds.end()) {
        out += labelLine(s.pos);
        written.insert(s.pos);
      }
      if (!split && !s.text.empty()) {
        out += "    " + s.text + "\n";
        continue;
      }
      int32_t from = s.pos;
      for (auto it = inner; it != names_.kinds.end() && it->first < stop; ++it) {
        out += hexBytes(b_, static_cast<size_t>(from), static_cast<size_t>(it->first));
        out += labelLine(it->first);
        written.insert(it->first);
        from = it->first;
      }
      out += hexBytes(b_, static_cast<size_t>(from), static_cast<size_t>(stop));
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
          out += hexBytes(b_, static_cast<size_t>(from), static_cast<size_t>(it->first));
          out += labelLine(it->first);
          from = it->first;
        }
        out += hexBytes(b_, static_cast<size_t>(from), static_cast<size_t>(end));
        return out;
      }
      out += "    " + text + "\n";
      pos = d.pos;
    }
    return out;
  }

  const std::vector<uint8_t>& b_;
  LabelNames names_;
  std::set<int32_t> unplaced_;
};

}  // namespace

std::string disassemble(const std::vector<uint8_t>& image) { return Disassembler(image).run(); }

}  // namespace kestrel::kasm
