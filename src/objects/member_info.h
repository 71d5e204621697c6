#pragma once
// Names of object types and members, and the operand layouts of member
// reads and writes, for the assembler and disassembler. The object model's
// member tables are the source of these rows.
#include <string_view>

namespace kestrel::objects {

struct MemberInfo {
  const char* name;   // e.g. "Caption"
  const char* write;  // operand layout of the write form, nullptr when there is none
  const char* read;   // argument layout of the read form, nullptr when there is none
  const char* about;  // what the operands mean and what a read gives, or nullptr
};

// The assembler name of an object type (e.g. "form"), or nullptr.
const char* typeName(int type);
// The type code of a name, or -1.
int typeByName(std::string_view name);
// The row of a member, or nullptr when the tables do not list it.
const MemberInfo* memberInfo(int type, int member);
// The member code of a name within a type, or -1.
int memberByName(int type, std::string_view name);

}  // namespace kestrel::objects
