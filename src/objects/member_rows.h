#pragma once
// Member-table rows made from a class's accessors. A row names its code,
// its name and what it means; the operand letters, how the operand is
// converted and what a read pushes all follow from the accessor's type:
//
//   int32_t -> Operand::Number   an expression, rounded; a read pushes the number
//   uint8_t -> Operand::Flag     the low 8 bits of the rounded value; a read pushes that byte
//   bool    -> Operand::Truth    any value but 0 is true; a read pushes 1 or 0
//   Str     -> Operand::Text     a string expression; a read pushes the string
//
// or from an Operand given after the accessors (Operand::Trunc for a value
// cut toward zero). An accessor may also be a public data member. For
// example:
//
//   property<&Panel::bevelWidth, &Panel::setBevelWidth>(11, "BevelWidth", "bevel width in pixels"),
//   field<&Form::autoScroll>(43, "AutoScroll", "flag: scroll bars when controls lie outside"),
//   readOnly<&Form::mdiChildCount>(21, "MDIChildCount", "child windows of this MDI form"),
//   action<&Form::close>(12, "Close", "closes the form as the close button does"),
//   action<&Panel::paint, Operand::IgnoredByte>(29, "Repaint", "paints the panel again"),
//
// Accessors of a base class serve every class derived from it: a row
// converts to the Member<T> of the table it is listed in.
#include <cstdint>
#include <type_traits>
#include <vector>

#include "objects/member_operands.h"
#include "objects/object_model.h"

namespace kestrel::objects {

enum class Operand {
  Number,       // an expression rounded to a 32-bit integer
  Trunc,        // an expression cut toward zero
  Flag,         // a flag byte
  Truth,        // true unless the value is 0
  Text,         // a string expression
  None,         // (actions) no operand
  IgnoredByte,  // (actions) one raw byte that the member reads and does not use
};

// Adds a row at `code`; a code of -1 leaves the member out (the shared
// rows of control_members.h and event_members.h use it).
template <class T>
void addRow(std::vector<Member<T>>& rows, int code, Member<T> row) {
  if (code < 0) return;
  row.code = static_cast<uint8_t>(code);
  rows.push_back(row);
}

namespace detail {

// The value type of a getter (its result), a setter (its argument) or a
// data member.
template <class>
struct AccessorValue;
template <class C, class V>
struct AccessorValue<V C::*> {
  using type = std::remove_cvref_t<V>;
};
template <class C, class R>
struct AccessorValue<R (C::*)() const> {
  using type = std::remove_cvref_t<R>;
};
template <class C, class R>
struct AccessorValue<R (C::*)()> {
  using type = std::remove_cvref_t<R>;
};
template <class C, class R, class A>
struct AccessorValue<R (C::*)(A)> {
  using type = std::remove_cvref_t<A>;
};

template <class V>
constexpr Operand operandOf() {
  if constexpr (std::is_same_v<V, uint8_t>) return Operand::Flag;
  else if constexpr (std::is_same_v<V, bool>) return Operand::Truth;
  else if constexpr (std::is_same_v<V, Str>) return Operand::Text;
  else return Operand::Number;
}

template <auto Accessor>
inline constexpr Operand kOperandOf = operandOf<typename AccessorValue<decltype(Accessor)>::type>();

constexpr const char* lettersOf(Operand kind) {
  switch (kind) {
    case Operand::None: return "";
    case Operand::IgnoredByte: return "b";
    default: return "E";
  }
}

template <Operand Kind>
auto operandValue(Machine& m) {
  if constexpr (Kind == Operand::Number) return numberOperand(m);
  else if constexpr (Kind == Operand::Trunc) return truncOperand(m);
  else if constexpr (Kind == Operand::Flag) return flagOperand(m);
  else if constexpr (Kind == Operand::Truth) return truthOperand(m);
  else return stringOperand(m);
}

template <Operand Kind, class V>
void pushValue(EvalStacks& s, const V& value) {
  if constexpr (Kind == Operand::Flag) pushFlag(s, value);
  else if constexpr (Kind == Operand::Truth) pushBool(s, value);
  else if constexpr (Kind == Operand::Text) s.pushString(value);
  else s.pushNumber(static_cast<double>(value));
}

template <class T, auto Set, Operand Kind>
void writeProperty(Machine& m, T& o) {
  if constexpr (std::is_member_function_pointer_v<decltype(Set)>) (o.*Set)(operandValue<Kind>(m));
  else o.*Set = operandValue<Kind>(m);
}

template <class T, auto Get, Operand Kind>
void readProperty(Machine&, T& o, EvalStacks& s) {
  if constexpr (std::is_member_function_pointer_v<decltype(Get)>) pushValue<Kind>(s, (o.*Get)());
  else pushValue<Kind>(s, o.*Get);
}

template <class T, auto Act, Operand Kind>
void runAction(Machine& m, T& o) {
  if constexpr (Kind == Operand::IgnoredByte) skipByte(m);
  (o.*Act)();
}

// What the helpers below return: converts to the row of any table whose
// class has the accessors.
template <auto Get, auto Set, Operand Kind>
struct PropertyRow {
  int code;
  const char* name;
  const char* about;
  template <class T>
  operator Member<T>() const {
    Member<T> row{static_cast<uint8_t>(code), name, nullptr, nullptr, nullptr, nullptr, about};
    if constexpr (!std::is_null_pointer_v<decltype(Set)>) {
      row.writes = lettersOf(Kind);
      row.write = &writeProperty<T, Set, Kind>;
    }
    if constexpr (!std::is_null_pointer_v<decltype(Get)>) {
      row.reads = "";
      row.read = &readProperty<T, Get, Kind>;
    }
    return row;
  }
};

template <auto Act, Operand Kind>
struct ActionRow {
  int code;
  const char* name;
  const char* about;
  template <class T>
  operator Member<T>() const {
    return {static_cast<uint8_t>(code), name, lettersOf(Kind), &runAction<T, Act, Kind>, nullptr, nullptr, about};
  }
};

}  // namespace detail

// A property read and written through a getter and a setter.
template <auto Get, auto Set, Operand Kind = detail::kOperandOf<Set>>
constexpr detail::PropertyRow<Get, Set, Kind> property(int code, const char* name, const char* about = nullptr) {
  return {code, name, about};
}

// A property that can only be read.
template <auto Get, Operand Kind = detail::kOperandOf<Get>>
constexpr detail::PropertyRow<Get, nullptr, Kind> readOnly(int code, const char* name, const char* about = nullptr) {
  return {code, name, about};
}

// A property that can only be written.
template <auto Set, Operand Kind = detail::kOperandOf<Set>>
constexpr detail::PropertyRow<nullptr, Set, Kind> writeOnly(int code, const char* name, const char* about = nullptr) {
  return {code, name, about};
}

// A property kept in a public data member.
template <auto Member, Operand Kind = detail::kOperandOf<Member>>
constexpr detail::PropertyRow<Member, Member, Kind> field(int code, const char* name, const char* about = nullptr) {
  return {code, name, about};
}

// A method without operands (Operand::IgnoredByte: one ignored byte).
template <auto Act, Operand Kind = Operand::None>
constexpr detail::ActionRow<Act, Kind> action(int code, const char* name, const char* about = nullptr) {
  return {code, name, about};
}

}  // namespace kestrel::objects
