#include "doc/reference.h"

#include <sstream>
#include <string_view>

#include "expr/builtin_table.h"
#include "expr/format_text.h"
#include "expr/number_format.h"
#include "image/statement_codes.h"
#include "objects/event_members.h"
#include "objects/member_info.h"
#include "objects/object_model.h"
#include "toolkit/event_kinds.h"

namespace kestrel::doc {

namespace {

// Text in a table cell: a bar would end the cell.
std::string cell(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (c == '|') out += '\\';
    out += c;
  }
  return out;
}

std::string code(std::string_view text) { return "`" + cell(text) + "`"; }

// How each operand letter of a member's layout is written (docs/kasm.md);
// b, an ignored byte, is not written.
const char* writtenOperand(char letter) {
  switch (letter) {
    case 'E': return "e";
    case 'B': return "byte";
    case 'W': return "word";
    case 'D': return "dword";
    case 'H': return "label";
    case 'L': return "e, ...";
    case 'K': return "e, ... [put e]";
    case 'I': return "automation:N";
    case 'O': case 'C': return "object";
    case 'G': return "object, ...";
    case 'M': return "object, object";
    case 'T': return "stream";
    case 'Y': return "array";
    case 'F': return "field";
    case 'N': return "bytes";
    default: return nullptr;
  }
}

std::string operandList(const char* layout) {
  std::string out;
  for (const char* p = layout; *p != 0; ++p) {
    const char* written = writtenOperand(*p);
    if (written == nullptr) continue;
    if (!out.empty()) out += ", ";
    out += written;
  }
  return out;
}

void statements(std::ostream& out) {
  out << "## Statements\n\n"
         "Code 0 is followed by a sub-code (written 0/N). Any other code is consumed and ignored.\n\n"
         "| Code | Written | What it does |\n|---|---|---|\n";
  for (const StatementInfo& s : statementList()) {
    const std::string number = s.sub < 0 ? std::to_string(s.code) : "0/" + std::to_string(s.sub);
    out << "| " << number << " | " << (*s.form != 0 ? code(s.form) : "") << " | " << cell(s.meaning) << " |\n";
  }
  out << "\n";
}

void functions(std::ostream& out) {
  out << "## Built-in functions\n\n"
         "Arguments in square brackets may be left out.\n\n"
         "| Code | Call | Gives |\n|---|---|---|\n";
  for (int c = 0;; ++c) {
    const BuiltinInfo* f = builtinByCode(c);
    if (f == nullptr) break;
    out << "| " << c << " | " << code(std::string(f->name) + "(" + f->arguments + ")") << " | " << cell(f->meaning)
        << " |\n";
  }
  out << "\n### Number formats\n\n"
         "`format(x, format, precision, digits)`: precision is 1 to 18 significant digits, digits 0 to 18. "
         "Other codes write the general form.\n\n"
         "| Format | Writes |\n|---|---|\n";
#define KESTREL_FORMAT_ROW(name, number, meaning) out << "| " << number << " | " << cell(meaning) << " |\n";
  KESTREL_NUMBER_FORMATS(KESTREL_FORMAT_ROW)
#undef KESTREL_FORMAT_ROW
  out << "\n### Format specifiers\n\n"
         "`formattext(format, values...)`: each specifier `%[index:][-][width][.precision]type` takes the next value "
         "(an index picks it; `*` for index, width or precision takes it from the next value); `-` aligns left, "
         "`%%` is a percent sign. A specifier that cannot be read, or a value missing or of the wrong kind, is the "
         "error \"Format 'FORMAT' invalid or incompatible with argument\". The type may be a capital.\n\n"
         "| Type | Writes |\n|---|---|\n";
#define KESTREL_FORMAT_TYPE_ROW(letter, meaning) out << "| `" << letter << "` | " << cell(meaning) << " |\n";
  KESTREL_FORMAT_TYPES(KESTREL_FORMAT_TYPE_ROW)
#undef KESTREL_FORMAT_TYPE_ROW
  out << "\n";
}

void operands(std::ostream& out) {
  out << "## Member operands\n\n"
         "A member statement is `set TYPE:N.Member = operands`, a member read `TYPE:N.Member` or "
         "`TYPE:N.Member(arguments)`; `TYPE[A](subscripts)` names an element of an object array and "
         "`arg.TYPE:S` the object passed in parameter slot S. The operands are written:\n\n"
         "| Written | Operand |\n|---|---|\n"
         "| `e` | an expression (numbers are rounded, unless the meaning says truncated; a flag keeps the low 8 bits) |\n"
         "| `byte`, `word`, `dword` | a raw number of 8, 16 or 32 bits |\n"
         "| `label` | a handler: the position of a procedure (`.proc`) |\n"
         "| `e, ...` | a list of expressions |\n"
         "| `object` | an object: `TYPE:N`, `TYPE[A](subscripts)` or `arg.TYPE:S` |\n"
         "| `stream` | a stream object, `filestream:N` or `memstream:N` |\n"
         "| `array` | the first element of an array transfer, `KIND[N](subscripts)` |\n"
         "| `field` | an array-valued structure field, `struct:N.KIND[F]` |\n"
         "| `bytes` | a byte array, `byte[N]` |\n\n"
         "A flag reads back the byte it was set with (-1 reads 255). An event member binds a handler; the "
         "handler gets the numbers listed in its parameter slots 0, 1, ... and the sender, the object itself, "
         "by reference after them.\n\n";
}

void types(std::ostream& out) {
  out << "## Object types\n\n";
  for (int type = 0; type < 256; ++type) {
    const objects::TypeDescriptor* d = objects::TypeRegistry::instance().find(type);
    if (d == nullptr) continue;
    out << "### " << d->name << " (" << type << ")\n\n"
        << "| Code | Member | Statement | Expression | Meaning |\n|---|---|---|---|---|\n";
    for (int member = 0; member < 256; ++member) {
      const objects::MemberInfo* info = d->member(member);
      if (info == nullptr) continue;
      const std::string target = std::string(d->name) + ":N." + info->name;
      std::string statement, expression;
      if (info->write != nullptr) {
        const std::string ops = operandList(info->write);
        statement = code("set " + target + (ops.empty() ? "" : " = " + ops));
      }
      if (info->read != nullptr) {
        const std::string args = operandList(info->read);
        expression = code(target + (args.empty() ? "" : "(" + args + ")"));
      }
      std::string meaning = info->about != nullptr ? info->about : "";
      if (info->write != nullptr && std::string_view(info->write) == "H") meaning = "handler: " + meaning;
      out << "| " << member << " | " << info->name << " | " << statement << " | " << expression << " | "
          << cell(meaning) << " |\n";
    }
    out << "\n";
  }
}

void eventRow(std::ostream& out, const char* member, const char* arguments) {
  if (member != nullptr) out << "| " << member << " | " << cell(arguments) << " |\n";
}

void events(std::ostream& out) {
  out << "## Events\n\n"
         "What each event's handler gets, in the order of its slots; \"read back\" marks a slot that the "
         "event takes back when the handler returns. The families bind them at their own member codes "
         "(above).\n\n"
         "| Member | The handler gets |\n|---|---|\n";
#define KESTREL_EVENT_ROW(kind, field, member, arguments) eventRow(out, member, arguments);
  KESTREL_EVENT_KINDS(KESTREL_EVENT_ROW)
#undef KESTREL_EVENT_ROW
  eventRow(out, "OnMessage", objects::kMessageArguments);
  out << "\n";
}

}  // namespace

std::string referenceText() {
  std::ostringstream out;
  out << "# Kestrel reference\n\n"
         "<!-- Made by `kestrel doc -o docs/reference.md` from the run-time's own tables: change the tables, "
         "not this file (the test docs.reference fails while they differ). -->\n\n"
         "Everything a program can use, as Kestrel assembly writes it (`docs/kasm.md`): the statements, the "
         "built-in functions, every object type with every member, and the events.\n\n";
  statements(out);
  functions(out);
  operands(out);
  types(out);
  events(out);
  return out.str();
}

}  // namespace kestrel::doc
