#include "asm/names.h"

#include <sstream>

#include "asm/expressions.h"
#include "asm/lexer.h"
#include "expr/builtin_table.h"
#include "objects/member_info.h"

namespace kestrel::kasm {

namespace {

// Words the syntax gives a meaning: a name may not hide one of them.
bool reserved(const std::string& name) {
  static const char* const kWords[] = {
      "to", "step", "else", "goto", "if", "keep", "preserve", "len", "ref", "nothing", "arg", "struct",
      "sizeof", "addressof", "extern", "and", "or", "xor", "not", "mod", "modinv", "shl", "shr"};
  for (const char* w : kWords)
    if (name == w) return true;
  return kindByName(name) >= 0 || objects::typeByName(name) >= 0 || builtinByName(name.c_str()) != nullptr ||
         positionOfMadeUpLabel(name) >= 0;
}

// The type code of a kind or object type name (-1 when neither).
int typeCode(const std::string& name) {
  const int kind = kindByName(name);
  if (kind >= 0) return kind;
  const int type = objects::typeByName(name);
  if (type >= 0) return type;
  if (name.size() > 3 && name.rfind("obj", 0) == 0 && name.find_first_not_of("0123456789", 3) == std::string::npos)
    return std::stoi(name.substr(3));
  return -1;
}

bool isPunct(const Token& t, const char* text) { return t.type == Tok::Punct && t.text == text; }

int64_t integerToken(const Token& t) {
  if (t.type != Tok::Number || t.text.find_first_not_of("0123456789") != std::string::npos) return -1;
  return t.text.size() > 6 ? -1 : std::stoll(t.text);
}

}  // namespace

bool parseNamedOperand(const std::vector<Token>& t, OperandName& out) {
  size_t i = 0;
  out = OperandName{};
  if (t.size() >= 2 && t[0].type == Tok::Ident && t[0].text == "arg" && isPunct(t[1], ".")) {
    out.parameter = true;
    i = 2;
  }
  if (t.size() < i + 3 || t[i].type != Tok::Ident) return false;
  out.kind = typeCode(t[i].text);
  if (out.kind < 0) return false;
  if (isPunct(t[i + 1], ":") && t.size() == i + 3) {
    out.index = static_cast<int>(integerToken(t[i + 2]));
  } else if (isPunct(t[i + 1], "[") && t.size() == i + 4 && isPunct(t[i + 3], "]") && out.kind <= 9) {
    out.index = static_cast<int>(integerToken(t[i + 2]));
    out.array = true;
  } else {
    return false;
  }
  const int limit = out.parameter ? 10 : 32767;
  return out.index >= 0 && out.index <= limit;
}

std::string namedOperandText(const OperandName& n) {
  const std::string type = n.kind <= 9 ? kindName(n.kind) : objectTypeText(n.kind);
  const std::string number = std::to_string(n.index);
  return (n.parameter ? "arg." : "") + type + (n.array ? "[" + number + "]" : ":" + number);
}

void NameTable::define(const std::string& directive, const std::vector<Token>& t, int line) {
  if (t.empty() || t[0].type != Tok::Ident) throw AsmError(line, 1, "expected a name after ." + directive);
  const std::string& name = t[0].text;
  const size_t column = t[0].column;
  if (t.size() < 3 || !isPunct(t[1], "=")) throw AsmError(line, column, "expected '=' after the name " + name);
  if (reserved(name)) throw AsmError(line, column, "'" + name + "' is a word of the language and cannot be a name");
  std::vector<Token> value(t.begin() + 2, t.end());
  if (directive == "const") {
    if (globals_.count(name)) throw AsmError(line, column, "name '" + name + "' defined twice");
    // A constant of several tokens stands in parentheses, so that it binds as one operand.
    if (value.size() > 1 && !(value.size() == 2 && isPunct(value[0], "-") && value[1].type == Tok::Number)) {
      Token open, close;
      open.type = close.type = Tok::Punct;
      open.text = "(";
      close.text = ")";
      value.insert(value.begin(), open);
      value.push_back(close);
    }
    globals_[name] = value;
    return;
  }
  OperandName operand;
  if (!parseNamedOperand(value, operand))
    throw AsmError(line, value[0].column, "." + directive + " names a variable, array, object or parameter: " +
                                              (directive == "param" ? "arg.KIND:S or arg.KIND[S]" : "KIND:N or KIND[N]"));
  if ((directive == "param") != operand.parameter)
    throw AsmError(line, value[0].column, directive == "param" ? ".param names a parameter slot (arg.KIND:S)"
                                                                : "parameters are named with .param");
  operand.name = name;
  if (directive == "param") {
    if (procedure_ < 0) throw AsmError(line, column, ".param belongs inside a procedure (after .proc)");
    if (parameters_.count(name)) throw AsmError(line, column, "parameter '" + name + "' defined twice");
    operand.procedure = procedure_;
    parameters_[name] = value;
  } else {
    if (globals_.count(name)) throw AsmError(line, column, "name '" + name + "' defined twice");
    globals_[name] = value;
  }
  operands_.push_back(operand);
}

void NameTable::enterProcedure(int32_t entry) {
  procedure_ = entry;
  parameters_.clear();
}

bool NameTable::isName(const std::string& name) const { return globals_.count(name) || parameters_.count(name); }

void NameTable::substitute(std::vector<Token>& tokens, size_t from) const {
  if (globals_.empty() && parameters_.empty()) return;
  for (size_t i = from; i < tokens.size(); ++i) {
    if (tokens[i].type != Tok::Ident || (i > 0 && isPunct(tokens[i - 1], "."))) continue;
    auto it = parameters_.find(tokens[i].text);
    if (it == parameters_.end()) {
      it = globals_.find(tokens[i].text);
      if (it == globals_.end()) continue;
    }
    std::vector<Token> replacement = it->second;
    for (Token& r : replacement) {
      r.column = tokens[i].column;  // errors point at the name
      r.end = tokens[i].end;
    }
    tokens.erase(tokens.begin() + static_cast<long>(i));
    tokens.insert(tokens.begin() + static_cast<long>(i), replacement.begin(), replacement.end());
    i += replacement.size() - 1;
  }
}

std::string writeNamesFile(const SourceMap& names) {
  std::string out = "// Names for a program image (kestrel dis --names reads them).\n";
  for (const OperandName& n : names.names)
    if (!n.parameter) out += ".var " + n.name + " = " + namedOperandText(n) + "\n";
  for (const auto& [position, name] : names.labels)
    if (!names.procedures.count(position)) out += ".label " + name + " = " + std::to_string(position) + "\n";
  for (const auto& [entry, name] : names.procedures) {
    out += ".proc " + name + " = " + std::to_string(entry) + "\n";
    for (const OperandName& n : names.names)
      if (n.parameter && n.procedure == entry) out += ".param " + n.name + " = " + namedOperandText(n) + "\n";
  }
  return out;
}

SourceMap readNamesFile(const std::string& text) {
  SourceMap map;
  std::istringstream in(text);
  std::string line;
  int number = 0;
  int32_t procedure = -1;
  while (std::getline(in, line)) {
    ++number;
    std::string error;
    std::vector<Token> t = tokenize(line, error);
    if (!error.empty()) throw AsmError(number, 1, error);
    if (t.empty()) continue;
    if (t.size() < 2 || !isPunct(t[0], ".") || t[1].type != Tok::Ident)
      throw AsmError(number, t[0].column, "expected .var, .label, .proc or .param");
    const std::string directive = t[1].text;
    std::vector<Token> rest(t.begin() + 2, t.end());
    if (rest.size() < 3 || rest[0].type != Tok::Ident || !isPunct(rest[1], "="))
      throw AsmError(number, t[1].column, "expected NAME = ... after ." + directive);
    const std::string& name = rest[0].text;
    if (directive == "label" || directive == "proc") {
      const int64_t position = rest.size() == 3 ? integerToken(rest[2]) : -1;
      if (position < 0) throw AsmError(number, rest[2].column, "expected a position");
      map.labels[static_cast<int32_t>(position)] = name;
      if (directive == "proc") {
        map.procedures[static_cast<int32_t>(position)] = name;
        procedure = static_cast<int32_t>(position);
      }
      continue;
    }
    if (directive != "var" && directive != "param") throw AsmError(number, t[1].column, "unknown directive ." + directive);
    OperandName n;
    std::vector<Token> value(rest.begin() + 2, rest.end());
    if (!parseNamedOperand(value, n) || n.parameter != (directive == "param"))
      throw AsmError(number, rest[2].column, "expected what ." + directive + " names");
    if (n.parameter && procedure < 0) throw AsmError(number, 1, ".param belongs after a .proc line");
    n.name = name;
    n.procedure = n.parameter ? procedure : -1;
    map.names.push_back(n);
  }
  return map;
}

}  // namespace kestrel::kasm
