#include "debug/trace.h"

#include "asm/kasm.h"
#include "core/machine.h"
#include "debug/value_text.h"
#include "interp/statements.h"

namespace kestrel::debug {

namespace {

constexpr int kDeepestIndent = 20;

std::string elementValue(const Machine& m, int kind) {
  // The element's position is gone once the statement is done; its value is
  // what the registers still hold, stored as the element's kind stores it.
  if (kind == kString || kind == kFixString) return stringText(m.strReg.view());
  if (kind == kVariant) return m.strReg.empty() ? numberText(m.numReg) : stringText(m.strReg.view());
  if (!isNumericKind(kind)) return "?";
  uint8_t cell[8] = {};
  storeNumberTrunc(kind, cell, m.numReg);
  return numberText(loadNumber(kind, cell));
}

// The value the assignment at `position` stored; empty for other statements.
std::string assignedValue(Machine& m, int32_t position, int32_t depth) {
  const uint8_t* c = m.code + position;
  auto index16 = [&](int at) { return static_cast<int16_t>(c[at] | c[at + 1] << 8); };
  VariableStores& v = m.vars;
  switch (c[0]) {
    case kStmtAssign: {
      const int kind = c[1];
      const int32_t index = index16(2);
      if (kind == kString) return stringText(v.stringAt(index).view());
      if (kind == kFixString) return stringText(v.fixStringAt(index).padded().view());
      if (kind == kVariant) return variantText(v.variantAt(index));
      if (isNumericKind(kind)) return numberText(loadNumber(kind, v.scalarAt(kind, index)));
      return "";
    }
    case kStmtAssignElement: return elementValue(m, c[1]);
    case kStmtAssignParameter: {
      const int kind = c[1];
      const int slot = c[2];
      const int32_t frame = depth - 1;
      if (kind == kString) return stringText(m.frames.text(frame, slot).view());
      if (isNumericKind(kind)) return numberText(m.frames.number(frame, slot));
      if (kind == kVariant) return variantText(v.variantAt(m.frames.byRef(frame, slot).index));
      if (kind >= 13 && kind <= 22) return elementValue(m, kind == 22 ? kVariant : kind - 13);
      return "";  // a member of an object parameter
    }
    case kStmtSetResult:
      return m.results.variantIsString != 0 ? stringText(m.results.text.view()) : numberText(m.results.number);
    default: return "";
  }
}

bool isAssignment(const Machine& m, int32_t position) {
  const uint8_t op = m.code[position];
  if (op == kStmtAssignParameter) return position + 1 < m.size && m.code[position + 1] < 30;
  return op == kStmtAssign || op == kStmtAssignElement || op == kStmtSetResult;
}

}  // namespace

Trace::Trace(std::FILE* out) : out_(out) {}
Trace::~Trace() = default;

std::string Trace::head(Machine& m, int32_t position) const {
  char buf[32];
  const int line = m.options.source ? m.options.source->lineAt(position) : 0;
  if (line > 0) std::snprintf(buf, sizeof buf, "%6d %5d  ", position, line);
  else std::snprintf(buf, sizeof buf, "%6d %5s  ", position, "");
  return buf + std::string(static_cast<size_t>(std::min(m.frames.depth, kDeepestIndent)) * 2, ' ');
}

void Trace::writePending() {
  for (Pending& p : pending_) {
    if (p.line.empty()) continue;
    std::fputs((p.line + "\n").c_str(), out_);
    p.line.clear();
  }
}

void Trace::finish(Machine& m, const Pending& p) {
  std::string value;
  try {
    value = assignedValue(m, p.position, p.depth);
  } catch (const RuntimeError&) {
    value = "?";
  }
  if (value.empty()) value = "?";
  if (!p.line.empty()) {
    std::fputs((p.line + "  => " + value + "\n").c_str(), out_);
    return;
  }
  char buf[32];
  std::snprintf(buf, sizeof buf, "%6d %5s  ", p.position, "");
  std::fputs((buf + std::string("=> ") + value + "\n").c_str(), out_);
}

void Trace::statement(Machine& m, int32_t position) {
  if (!reader_)
    reader_ = std::make_unique<kasm::StatementReader>(m.image.bytes, m.size, m.image.dataStart, m.image.codeStart,
                                                      m.options.source.get());
  while (!pending_.empty() && pending_.back().depth >= m.frames.depth) {
    finish(m, pending_.back());
    pending_.pop_back();
  }
  writePending();
  std::string line = head(m, position) + reader_->text(position);
  if (isAssignment(m, position)) {
    pending_.push_back({m.frames.depth, position, std::move(line)});
    return;
  }
  std::fputs((line + "\n").c_str(), out_);
}

void Trace::block(Machine&, int32_t, int) {}  // the trace runs without the fast path

void Trace::end(Machine& m, const char* error) {
  // An error leaves the statements that were running unfinished.
  if (error == nullptr) {
    while (!pending_.empty()) {
      finish(m, pending_.back());
      pending_.pop_back();
    }
  }
  writePending();
  pending_.clear();
  // On standard error the run-time's own report follows at once.
  if (error != nullptr && out_ != stderr) std::fprintf(out_, "run-time error: %s\n", error);
  std::fflush(out_);
}

}  // namespace kestrel::debug
