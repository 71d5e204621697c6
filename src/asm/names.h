#pragma once
// Names in Kestrel assembly: `.var total = double:1`, `.const LIMIT = 100`
// and, inside a procedure, `.param count = arg.int:0`. A name stands for its
// tokens wherever an operand or expression may stand. Names files carry the
// names and labels of an image beside it (the image holds none).
#include <map>
#include <string>
#include <vector>

#include "asm/asm_core.h"
#include "image/source_map.h"

namespace kestrel::kasm {

class NameTable {
 public:
  // `.var`, `.const` and `.param` lines: `tokens` are those after the
  // directive's name (NAME = ...). Raise AsmError on a bad definition.
  void define(const std::string& directive, const std::vector<Token>& tokens, int line);
  // A procedure begins: the parameters of the one before go out of scope.
  void enterProcedure(int32_t entry);
  // A label may not share its name with a variable, constant or parameter.
  bool isName(const std::string& name) const;
  // Replaces the names among tokens[from...] by what they stand for. A name
  // right after '.' (a member or field) is left alone.
  void substitute(std::vector<Token>& tokens, size_t from) const;
  // Variables and parameters, as a source map keeps them.
  const std::vector<OperandName>& operands() const { return operands_; }

 private:
  std::map<std::string, std::vector<Token>> globals_;
  std::map<std::string, std::vector<Token>> parameters_;
  std::vector<OperandName> operands_;
  int32_t procedure_ = -1;
};

// Parses an operand written KIND:N, KIND[N], TYPE:N, TYPE[N], arg.KIND:S,
// arg.KIND[S] or arg.TYPE:S. False when the tokens are none of these.
bool parseNamedOperand(const std::vector<Token>& tokens, OperandName& out);
// The text of such an operand.
std::string namedOperandText(const OperandName& n);

// Names files:
//   .var total = double:1
//   .label again = 57
//   .proc fact = 120
//   .param n = arg.int:0        (a parameter of the .proc line above)
std::string writeNamesFile(const SourceMap& names);
SourceMap readNamesFile(const std::string& text);  // raises AsmError

}  // namespace kestrel::kasm
