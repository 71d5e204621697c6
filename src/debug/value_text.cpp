#include "debug/value_text.h"

#include "asm/lexer.h"
#include "expr/conversions.h"
#include "state/variables.h"

namespace kestrel::debug {

namespace {
constexpr size_t kLongest = 60;  // characters of a string shown before it is cut
}

std::string numberText(double v) { return formatGeneral(v); }

std::string stringText(std::string_view s) {
  if (s.size() <= kLongest) return kasm::quote(std::string(s));
  return kasm::quote(std::string(s.substr(0, kLongest))) + "... (" + std::to_string(s.size()) + " characters)";
}

std::string variantText(const VariantCell& cell) {
  switch (cell.tag) {
    case VariantCell::kText: return stringText(cell.text.view());
    case VariantCell::kFloat: return numberText(cell.number);
    default: return numberText(cell.integer);
  }
}

}  // namespace kestrel::debug
