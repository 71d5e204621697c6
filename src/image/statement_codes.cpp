#include "image/statement_codes.h"

namespace kestrel {

namespace {

constexpr StatementInfo kStatements[] = {
#define KESTREL_TOP_LEVEL_INFO(name, code, form, meaning) {code, -1, form, meaning},
    KESTREL_TOP_LEVEL_STATEMENTS(KESTREL_TOP_LEVEL_INFO)
#undef KESTREL_TOP_LEVEL_INFO
#define KESTREL_EXTENDED_INFO(name, code, form, meaning) {kStmtExtended, code, form, meaning},
    KESTREL_EXTENDED_STATEMENTS(KESTREL_EXTENDED_INFO)
#undef KESTREL_EXTENDED_INFO
};

}  // namespace

std::span<const StatementInfo> statementList() { return kStatements; }

const StatementInfo* findStatement(int code, int sub) {
  for (const StatementInfo& s : kStatements)
    if (s.code == code && s.sub == sub) return &s;
  return nullptr;
}

std::string_view mnemonicOf(const StatementInfo& s) {
  const std::string_view form = s.form;
  return form.substr(0, form.find(' '));
}

}  // namespace kestrel
