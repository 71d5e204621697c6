#include "asm/warnings.h"

#include <set>
#include <tuple>

#include "asm/expressions.h"

namespace kestrel::kasm {

namespace {

// Variant cells 0 to 100 exist from the start.
constexpr int64_t kFreeVariants = 100;

std::string operandText(const VariableUse& v) {
  const std::string index = std::to_string(v.index);
  return std::string(kindName(v.kind)) + (v.array ? "[" + index + "]" : ":" + index);
}

// A scalar is there once a declaration of its kind reaches its index (the
// store grows to hold it); an array needs a declaration of its own.
void checkDeclarations(std::vector<Warning>& out, const std::vector<VariableUse>& variables) {
  int64_t highest[10];
  for (int64_t& h : highest) h = -1;
  highest[9] = kFreeVariants;
  std::set<std::pair<int, int64_t>> arrays;
  for (const VariableUse& v : variables) {
    if (!v.declares) continue;
    if (v.array) arrays.emplace(v.kind, v.index);
    else highest[v.kind] = std::max(highest[v.kind], v.index);
  }
  std::set<std::tuple<int, int64_t, bool>> reported;
  for (const VariableUse& v : variables) {
    if (v.declares) continue;
    const bool declared = v.array ? arrays.count({v.kind, v.index}) > 0 : v.index <= highest[v.kind];
    if (declared || !reported.emplace(v.kind, v.index, v.array).second) continue;
    out.push_back({v.line, v.column,
                   operandText(v) + " is used but never declared" +
                       (v.array ? std::string(" (no dim of the array)")
                                : " (no dim of it or of a higher " + std::string(kindName(v.kind)) + " variable)")});
  }
}

bool endsTheWay(const std::string& mnemonic) {
  static const char* const kNoFallThrough[] = {"goto", "exitfor", "return", "endproc", "endprogram", "retsub", "leave"};
  for (const char* m : kNoFallThrough)
    if (mnemonic == m) return true;
  return false;
}

void checkProcedureEntries(std::vector<Warning>& out, const std::vector<PlacedStatement>& statements) {
  for (size_t i = 0; i < statements.size(); ++i) {
    const std::string& m = statements[i].mnemonic;
    if (m.rfind(".proc ", 0) != 0) continue;
    const std::string name = m.substr(6);
    if (i == 0) {
      out.push_back({statements[i].line, 1,
                     "the program starts in the body of procedure " + name +
                         ": its endproc will end the program; put the main code first and jump over the "
                         "procedure bodies"});
      continue;
    }
    const std::string& before = statements[i - 1].mnemonic;
    if (before == ".bytes" || endsTheWay(before)) continue;
    out.push_back({statements[i].line, 1,
                   "the code before runs on into the body of procedure " + name +
                       " (its endproc will end the program there): jump over procedure bodies with goto"});
  }
}

void checkLastStatement(std::vector<Warning>& out, const std::vector<PlacedStatement>& statements, size_t size) {
  if (statements.empty()) return;
  const PlacedStatement& last = statements.back();
  if (last.length != 1 || last.mnemonic[0] == '.' || static_cast<size_t>(last.start) + 1 != size) return;
  out.push_back({last.line, 1,
                 "this last statement (" + last.mnemonic +
                     ") never runs: the statement loop stops at the image's last byte; put endprogram after it"});
}

}  // namespace

void checkProgram(std::vector<Warning>& out, const Emitter& e, const std::vector<PlacedStatement>& statements) {
  checkDeclarations(out, e.variables);
  checkProcedureEntries(out, statements);
  checkLastStatement(out, statements, e.bytes.size());
}

}  // namespace kestrel::kasm
