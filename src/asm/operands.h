#pragma once
// Operands that statements, built-in functions and members share, and the
// templates that describe a statement's or member's operands.
//
// A template is text with placeholders; the text is matched literally and
// each placeholder reads or writes one operand:
//   {E} expression              {B} byte       {W} 16-bit     {D} 32-bit number
//   {J} jump target (relative)  {P} position (absolute, procedures and handlers)
//   {Q} data-block offset       {V} variable KIND:N
//   {A} array element KIND[N](subscripts)      {X} whole array KIND[N]
//   {S} subscripts (e, e)       {Z} line end: nothing, ";" (none) or #N
//   {L} expression list ended by byte 11, each led by a marker byte
//   {O} object operand (kind, type, index)     {C} the same, type first
//   {G} list of {C} operands ended by byte 11 where a type would stand
//   {T} stream reference: type, kind, index, written TYPE:N or TYPE:N#kind
//   {Y} first element of an array transfer: KIND[N](subs) or arg.KIND[S](subs)
//   {F} array-valued structure field: struct:N.KIND[F] or struct[A](subs).KIND[F]
//   {N} byte-array number: byte[N], or arg.byte[S] for a parameter
//   {K} a call's arguments: an {L} list, then a byte that is 1 for a
//       property put of one more expression: "a, b, put v"
//   {I} an automation object by kind and index alone (no type code):
//       automation:N, automation:N#KIND or arg.automation:SLOT
// A member's layout is a string of these letters; its text form separates
// the operands with commas. In layouts the letter b is one byte that the
// member reads and ignores: 1 before another operand, 11 at the end (the
// end of an argument list); another value is written {N} in its place.
#include <string>

#include "asm/asm_core.h"

namespace kestrel::kasm {

void compileTemplate(Parser& p, Emitter& e, const std::string& tmpl);
bool decodeTemplate(Decoder& d, LabelNames& names, const std::string& tmpl, std::string& out);

// Member operand layouts (letters only): "EE" reads "e, e". With `parens`
// the operands are written in parentheses (member reads).
void compileLayout(Parser& p, Emitter& e, const char* layout, bool parens);
bool decodeLayout(Decoder& d, LabelNames& names, const char* layout, bool parens, std::string& out);

// Procedure arguments: (a, ref var:3, ...) and open lists [a, b].
int compileArguments(Parser& p, Emitter& e);
void compileOpenArguments(Parser& p, Emitter& e);
bool decodeArguments(Decoder& d, LabelNames& names, int count, std::string& out);
bool decodeOpenArguments(Decoder& d, LabelNames& names, std::string& out);

// A marker byte written as (#N) or (KIND) before an operand.
int compileMarker(Parser& p, int defaultMarker);
std::string markerText(int marker, int defaultMarker);
void compileMarkerList(Parser& p, Emitter& e, bool leadingComma);
bool decodeMarkerList(Decoder& d, LabelNames& names, std::string& out);
void compileCallArguments(Parser& p, Emitter& e, bool leadingComma);
bool decodeCallArguments(Decoder& d, LabelNames& names, std::string& out);

// Special operands of built-in functions.
void compileArrayReference(Parser& p, Emitter& e);
bool decodeArrayReference(Decoder& d, LabelNames& names, std::string& out);
void compileRawOrVariable(Parser& p, Emitter& e, int kind);
std::string rawOrVariableText(int index, int kind);
void compileAddressForm(Parser& p, Emitter& e);
bool decodeAddressForm(Decoder& d, LabelNames& names, std::string& out);
void compileVariantReference(Parser& p, Emitter& e);
bool decodeVariantReference(Decoder& d, LabelNames& names, std::string& out);

// Looks past a call's target (a label, %N, or a parenthesized expression)
// and tells whether an open argument list [..] follows; reads nothing.
bool openListFollowsTarget(Parser& p);

// A label, or %N for a raw number.
void compileTarget(Parser& p, Emitter& e, FixKind kind);

// Object types and members by name (or objN / mN).
int parseTypeName(Parser& p, const std::string& name);
int compileMemberName(Parser& p, int type);
std::string memberText(int type, int member);

}  // namespace kestrel::kasm
