#pragma once
// The object model: objects, the per-type member tables, the registry of
// object types and the per-program object lists.
//
// A type is described once, by a TypeDescriptor built from its member table
// (see docs/objects.md). The table is a list of rows, one per member code:
//
//   const Member<StringList> kRows[] = {
//     {1, "Count", nullptr, nullptr,
//      "", [](Machine&, StringList& l, EvalStacks& s) { s.pushNumber(l.count()); }},
//     ...
//   };
//
// naming the member, the operand layout and action of its statement form
// (write) and the argument layout and action of its expression form (read).
// The same rows give the assembler and disassembler the member's name and
// operand layout (member_info.h). Families register their types with the
// TypeRegistry; object_types.cpp lists the families that the engine has.
#include <array>
#include <cstdint>
#include <memory>
#include <typeindex>
#include <unordered_map>
#include <vector>

#include "objects/member_info.h"
#include "state/str.h"
#include "state/variables.h"

namespace kestrel {

class Machine;
struct EvalStacks;

namespace objects {

// Every object of a running program.
class Object {
 public:
  explicit Object(int classCode) : classCode_(classCode) {}
  virtual ~Object() = default;
  Object(const Object&) = delete;
  Object& operator=(const Object&) = delete;

  // The type code of the object's class: the code of the type whose list
  // created it. A member of type T only works on an object of class T.
  int classCode() const { return classCode_; }
  // The strings of an object that keeps a list of strings (a string list,
  // the tabs of a tab control), or nullptr.
  virtual std::vector<Str>* stringItems() { return nullptr; }

  int32_t tag = 0;  // the object's own index in its list

 private:
  int classCode_;
};

// One row of a member table. A null layout means the member has no form in
// that direction; "" means a form without operands. `about` says in one
// line what the operands mean and what a read gives (docs/reference.md).
template <class T>
struct Member {
  uint8_t code;
  const char* name;
  const char* writes;               // operand letters of the statement form
  void (*write)(Machine&, T&);      // reads the operands and acts
  const char* reads;                // argument letters of the expression form
  void (*read)(Machine&, T&, EvalStacks&);  // reads its arguments, pushes one value
  const char* about = nullptr;
};

using Factory = std::unique_ptr<Object> (*)(Machine& m, int type, int32_t index);

struct TypeDescriptor {
  int code = 0;
  const char* name = nullptr;  // assembler name
  Factory create = nullptr;
  // Objects of a fixed table exist for every index up to kMaxTableIndex:
  // using one creates the entries up to it (file streams).
  bool fixedTable = false;
  // Statement codes from this one up that the table does not have do
  // nothing (and read nothing) instead of raising.
  int ignoredWritesFrom = 256;

  // The member table, reached through the two dispatch functions below.
  const void* rows = nullptr;
  std::array<int16_t, 256> rowOf{};  // row number of each member code, -1 for none
  std::vector<MemberInfo> info;      // per row: name and operand layouts
  bool (*write)(const TypeDescriptor&, Machine&, Object&, int member) = nullptr;
  bool (*read)(const TypeDescriptor&, Machine&, Object&, int member, EvalStacks&) = nullptr;

  const MemberInfo* member(int code) const {
    if (code < 0 || code > 255 || rowOf[static_cast<size_t>(code)] < 0) return nullptr;
    return &info[static_cast<size_t>(rowOf[static_cast<size_t>(code)])];
  }
};

inline constexpr int32_t kMaxTableIndex = 65535;

// Builds the descriptor of a type from its member table (`count` rows that
// live as long as the program: a static array or vector).
template <class T>
TypeDescriptor describeType(int code, const char* name, const Member<T>* rows, size_t count, Factory create) {
  TypeDescriptor d;
  d.code = code;
  d.name = name;
  d.create = create;
  d.rows = rows;
  d.rowOf.fill(-1);
  for (size_t i = 0; i < count; ++i) {
    d.rowOf[rows[i].code] = static_cast<int16_t>(i);
    d.info.push_back({rows[i].name, rows[i].writes, rows[i].reads, rows[i].about});
  }
  d.write = [](const TypeDescriptor& t, Machine& m, Object& o, int member) {
    const int16_t r = t.rowOf[static_cast<size_t>(member & 255)];
    if (r < 0) return false;
    const Member<T>& row = static_cast<const Member<T>*>(t.rows)[r];
    if (row.write == nullptr) return false;
    row.write(m, static_cast<T&>(o));
    return true;
  };
  d.read = [](const TypeDescriptor& t, Machine& m, Object& o, int member, EvalStacks& s) {
    const int16_t r = t.rowOf[static_cast<size_t>(member & 255)];
    if (r < 0) return false;
    const Member<T>& row = static_cast<const Member<T>*>(t.rows)[r];
    if (row.read == nullptr) return false;
    row.read(m, static_cast<T&>(o), s);
    return true;
  };
  return d;
}

template <class T, size_t N>
TypeDescriptor describeType(int code, const char* name, const Member<T> (&rows)[N], Factory create) {
  return describeType<T>(code, name, rows, N, create);
}

template <class T>
TypeDescriptor describeType(int code, const char* name, const std::vector<Member<T>>& rows, Factory create) {
  return describeType<T>(code, name, rows.data(), rows.size(), create);
}

// The object types that this build knows, by type code. Every family of
// the engine, the visual ones too, is registered on first use from the
// list in object_types.cpp; add() and remove() also let tests stand in a
// type of their own.
class TypeRegistry {
 public:
  static TypeRegistry& instance();
  // Adds or replaces the type with the descriptor's code.
  void add(TypeDescriptor descriptor);
  // Takes a type away again (tests that stand in for another layer's type).
  void remove(int code);
  // nullptr for a code that no family registered.
  const TypeDescriptor* find(int code);

 private:
  TypeRegistry() = default;
  std::array<std::unique_ptr<TypeDescriptor>, 256> types_;
  bool builtinsAdded_ = false;
};

// The graphic most recently read by a graphic-valued member: where it came
// from and, for the toolkit, the bitmap and icon it names.
struct GraphicRegister {
  int sourceType = 0;
  int32_t index = 0;
  const void* bitmap = nullptr;
  const void* icon = nullptr;
};

// Shared state of one family for one program (the rectangle table, the
// registry's name list ...), created on first use by ObjectWorld::state().
struct FamilyState {
  virtual ~FamilyState() = default;
};

inline constexpr int kObjectArrays = 51;  // object-array numbers 0 to 50
inline constexpr int kReservedObjects = 51;

// The objects of one running program: a list per type code (positions are
// object indices) and the object-array tables.
class ObjectWorld {
 public:
  explicit ObjectWorld(Machine& m) : m_(m) {}
  ~ObjectWorld();
  ObjectWorld(const ObjectWorld&) = delete;
  ObjectWorld& operator=(const ObjectWorld&) = delete;

  // The descriptor of a type; raises for a code no family registered.
  const TypeDescriptor& descriptor(int type);
  // The object at `index` in the list of `type`: "List index out of bounds (N)"
  // when there is none, "Invalid class typecast" when it is not of class `classCode`.
  Object& at(int type, int32_t index, int classCode);
  Object& at(int type, int32_t index) { return at(type, index, type); }
  template <class T>
  T& as(int type, int32_t index) {
    return static_cast<T&>(at(type, index));
  }
  size_t count(int type) const;

  // Creation by declaration (fill-up rule, Tag = index, the reservation of
  // 51 entries before the first object array).
  void declare(int type, int32_t index);
  void declareArray(int type, int32_t arrayNumber, const ArrayDescriptor& bounds, double total);
  // The object index of an object-array element, from subscripts taken as
  // floating-point values.
  int64_t arrayElement(int type, int32_t arrayNumber, const double* subscripts, int count);

  GraphicRegister graphic;
  // The run-time's one 32768-byte transfer buffer.
  std::vector<uint8_t>& transferBuffer() {
    if (transfer_.empty()) transfer_.resize(32768);
    return transfer_;
  }

  template <class S>
  S& state() {
    std::unique_ptr<FamilyState>& slot = states_[std::type_index(typeid(S))];
    if (!slot) slot = std::make_unique<S>(m_);
    return static_cast<S&>(*slot);
  }

  Machine& machine() { return m_; }

 private:
  struct TypeSlot {
    std::vector<std::unique_ptr<Object>> objects;
    std::array<ArrayDescriptor, kObjectArrays> arrays;
  };
  TypeSlot& slot(int type);
  void fillTo(const TypeDescriptor& d, TypeSlot& s, int64_t count);

  Machine& m_;
  // Family states outlive the objects, which may point into them.
  std::unordered_map<std::type_index, std::unique_ptr<FamilyState>> states_;
  std::array<std::unique_ptr<TypeSlot>, 256> types_;
  std::vector<uint8_t> transfer_;
};

ObjectWorld& world(Machine& m);

}  // namespace objects
}  // namespace kestrel
