#include "asm/structure_syntax.h"

#include "asm/expressions.h"
#include "asm/statements.h"

namespace kestrel::kasm {

namespace {

constexpr int kMarkerStructure = 37;
constexpr int kMarkerElement = 38;
constexpr int kMarkerAssignment = 63;

// .KIND:F or .KIND[F] (then subscripts when `subscripts`): a field kind and
// a field number.
void compileField(Parser& p, Emitter& e, bool subscripts) {
  const int kind = kindByName(p.ident());
  if (kind < 0) p.fail("expected a field kind");
  if (p.accept(":")) {
    e.u8(kind);
    e.s16(p.integer());
    return;
  }
  if (kind < 1 || kind > 8) p.fail("array fields are of kinds byte to fix");
  p.expect("[");
  e.u8(13 + kind);
  e.s16(p.integer());
  p.expect("]");
  if (subscripts) compileSubscripts(p, e);
}

bool decodeField(Decoder& d, LabelNames& names, bool subscripts, std::string& out) {
  const int kind = d.u8();
  const int field = d.s16();
  if (kind <= 9) {
    out = std::string(kindName(kind)) + ":" + std::to_string(field);
    return d.ok;
  }
  if (kind < 14 || kind > 21) return false;
  out = std::string(kindName(kind - 13)) + "[" + std::to_string(field) + "]";
  if (!subscripts) return d.ok;
  std::string subs;
  if (!decompileSubscripts(d, names, subs)) return false;
  out += subs;
  return true;
}

// struct:N or struct[A](subs) (the word "struct" already read); returns true
// for an array element. Writes the number and, for elements, the subscripts.
bool compileStructure(Parser& p, Emitter& e) {
  if (p.accept(":")) {
    e.s16(p.integer());
    return false;
  }
  p.expect("[");
  e.s16(p.integer());
  p.expect("]");
  compileSubscripts(p, e);
  return true;
}

// The source of a copy: a marker byte, then as compileStructure.
void compileSource(Parser& p, Emitter& e) {
  p.expectWord("struct");
  const size_t markerAt = e.here();
  e.u8(0);
  e.bytes[markerAt] = compileStructure(p, e) ? kMarkerElement : kMarkerStructure;
}

bool decodeStructure(Decoder& d, LabelNames& names, bool element, std::string& out) {
  const int number = d.s16();
  if (!element) {
    out = "struct:" + std::to_string(number);
    return d.ok;
  }
  std::string subs;
  if (!decompileSubscripts(d, names, subs)) return false;
  out = "struct[" + std::to_string(number) + "]" + subs;
  return true;
}

bool decodeSource(Decoder& d, LabelNames& names, std::string& out) {
  const int marker = d.u8();
  if (marker != kMarkerStructure && marker != kMarkerElement) return false;
  return decodeStructure(d, names, marker == kMarkerElement, out);
}

// ------------------------------------------------------------ declarations

void compileFieldList(Parser& p, Emitter& e) {
  p.expect("(");
  bool first = true;
  while (!p.accept(")")) {
    if (!first) p.expect(",");
    first = false;
    int rawKind = -1;
    int kind = -1;
    if (p.accept("#")) {
      rawKind = static_cast<int>(p.integer());
    } else {
      kind = kindByName(p.ident());
      if (kind < 1 || kind > 8) p.fail("expected a field kind (byte to fix) or #K");
    }
    if (!p.accept("[")) {  // a plain field
      if (rawKind >= 0) {
        if (rawKind <= 8 || rawKind == 11 || rawKind > 255) p.fail("#K names a field kind from 9 (not 11)");
        e.u8(rawKind);
        continue;
      }
      e.u8(kind);
      if (kind == 8) {
        p.expectWord("len");
        compileExpression(p, e);
      }
      continue;
    }
    const int64_t number = p.integer();
    p.expect("]");
    const int arrayKind = rawKind >= 0 ? rawKind : 13 + kind;
    if (rawKind >= 14 && rawKind <= 21) p.fail("write this array kind by its name");
    if (arrayKind > 255) p.fail("array kind out of range");
    e.u8(0);
    compileBounds(p, e);
    e.u8(arrayKind);
    e.s16(number);
    if (arrayKind >= 14 && arrayKind <= 21) e.declareVariable(arrayKind - 13, number, true);  // a global array
    if (arrayKind == 21) {
      p.expectWord("len");
      compileExpression(p, e);
    }
  }
  e.u8(11);
}

bool decodeFieldList(Decoder& d, LabelNames& names, std::string& out) {
  out = "(";
  for (bool first = true;; first = false) {
    const int kind = d.u8();
    if (!d.ok) return false;
    if (kind == 11) break;
    std::string field;
    if (kind >= 1 && kind <= 7) {
      field = kindName(kind);
    } else if (kind == 8) {
      std::string length;
      if (!decompileExpression(d, names, length)) return false;
      field = "fix len " + length;
    } else if (kind == 0) {
      std::string bounds;
      if (!decodeBounds(d, names, bounds)) return false;
      const int arrayKind = d.u8();
      const int number = d.s16();
      field = (arrayKind >= 14 && arrayKind <= 21 ? std::string(kindName(arrayKind - 13)) : "#" + std::to_string(arrayKind)) +
              "[" + std::to_string(number) + "]" + bounds;
      if (arrayKind == 21) {
        std::string length;
        if (!decompileExpression(d, names, length)) return false;
        field += " len " + length;
      }
    } else {
      field = "#" + std::to_string(kind);
    }
    out += (first ? "" : ", ") + field;
  }
  out += ")";
  return d.ok;
}

// An ignored byte written {N}, or `fallback`.
int compileIgnored(Parser& p, int fallback) {
  if (!p.accept("{")) return fallback;
  const int v = static_cast<int>(p.integer());
  p.expect("}");
  return v;
}

std::string ignoredText(int b, int fallback) { return b == fallback ? "" : "{" + std::to_string(b) + "} "; }

}  // namespace

void compileDefStruct(Parser& p, Emitter& e) {
  e.u8(37);
  e.u8(0);
  e.u8(p.acceptWord("keep") ? 1 : 0);
  p.expectWord("struct");
  if (p.accept(":")) {
    e.u8(1);
    e.s16(p.integer());
  } else {
    p.expect("[");
    const int64_t number = p.integer();
    p.expect("]");
    e.u8(3);
    compileBounds(p, e);
    e.s16(number);
  }
  compileFieldList(p, e);
}

void compileStructureLet(Parser& p, Emitter& e) {
  const bool element = p.isPunct("[");
  e.u8(element ? 38 : 37);
  e.u8(kMarkerAssignment);
  compileStructure(p, e);
  p.expect(".");
  compileField(p, e, true);
  p.expect("=");
  compileExpression(p, e);
}

void compileCopyStruct(Parser& p, Emitter& e) {
  const size_t codeAt = e.here();
  e.u8(0);
  e.u8(compileIgnored(p, 0));
  p.expectWord("struct");
  e.bytes[codeAt] = compileStructure(p, e) ? 41 : 40;
  p.expect("=");
  compileSource(p, e);
}

bool decodeStructureStatement(Decoder& d, LabelNames& names, int code, std::string& out) {
  std::string target, field, value;
  if (code == 37) {
    const int marker = d.u8();
    if (marker == kMarkerAssignment) {
      if (!decodeStructure(d, names, false, target) || !decodeField(d, names, true, field) ||
          !decompileExpression(d, names, value))
        return false;
      out = "let " + target + "." + field + " = " + value;
      return true;
    }
    if (marker != 0) return false;
    const int keep = d.u8();
    const int form = d.u8();
    if (keep > 1 || (form != 1 && form != 3)) return false;
    if (form == 1) {
      target = "struct:" + std::to_string(d.s16());
    } else {
      std::string bounds;
      if (!decodeBounds(d, names, bounds)) return false;
      target = "struct[" + std::to_string(d.s16()) + "]" + bounds;
    }
    std::string fields;
    if (!decodeFieldList(d, names, fields)) return false;
    out = std::string("defstruct ") + (keep ? "keep " : "") + target + " " + fields;
    return true;
  }
  if (code == 38) {
    if (d.u8() != kMarkerAssignment) return false;
    if (!decodeStructure(d, names, true, target) || !decodeField(d, names, true, field) ||
        !decompileExpression(d, names, value))
      return false;
    out = "let " + target + "." + field + " = " + value;
    return true;
  }
  const int ignored = d.u8();
  std::string source;
  if (!decodeStructure(d, names, code == 41, target) || !decodeSource(d, names, source)) return false;
  out = "copystruct " + ignoredText(ignored, 0) + target + " = " + source;
  return true;
}

bool isStructureWord(const std::string& word) {
  return word == "struct" || word == "sizeof" || word == "addressof";
}

void compileStructureItem(Parser& p, Emitter& e, const std::string& word) {
  if (word == "struct") {
    const bool element = p.isPunct("[");
    e.u8(element ? 38 : 37);
    compileStructure(p, e);
    if (!element) e.u8(1);  // the form byte of a field read
    p.expect(".");
    compileField(p, e, true);
    return;
  }
  p.expect("(");
  p.expectWord("struct");
  if (word == "sizeof") {
    e.u8(39);
    const size_t markerAt = e.here();
    e.u8(0);
    e.bytes[markerAt] = compileStructure(p, e) ? kMarkerElement : kMarkerStructure;
  } else {
    const size_t codeAt = e.here();
    e.u8(0);
    e.bytes[codeAt] = compileStructure(p, e) ? 41 : 40;
  }
  p.expect(")");
}

bool decodeStructureItem(Decoder& d, LabelNames& names, uint8_t code, std::string& out) {
  std::string target, field;
  switch (code) {
    case 37: {
      if (!decodeStructure(d, names, false, target)) return false;
      if (d.u8() != 1 || !decodeField(d, names, true, field)) return false;
      out = target + "." + field;
      return true;
    }
    case 38:
      if (!decodeStructure(d, names, true, target) || !decodeField(d, names, true, field)) return false;
      out = target + "." + field;
      return true;
    case 39:
      if (!decodeSource(d, names, target)) return false;
      out = "sizeof(" + target + ")";
      return true;
    case 40: case 41:
      if (!decodeStructure(d, names, code == 41, target)) return false;
      out = "addressof(" + target + ")";
      return true;
    default: return false;
  }
}

void compileFieldArrayOperand(Parser& p, Emitter& e) {
  if (p.accept("#")) {  // a marker that ends the member
    e.u8(p.integer());
    return;
  }
  p.expectWord("struct");
  const size_t markerAt = e.here();
  e.u8(0);
  e.bytes[markerAt] = compileStructure(p, e) ? kMarkerElement : kMarkerStructure;
  p.expect(".");
  compileField(p, e, false);
}

bool decodeFieldArrayOperand(Decoder& d, LabelNames& names, std::string& out) {
  const int marker = d.peek();
  if (marker != kMarkerStructure && marker != kMarkerElement) {
    out = "#" + std::to_string(d.u8());
    return d.ok;
  }
  std::string target, field;
  if (!decodeSource(d, names, target) || !decodeField(d, names, false, field)) return false;
  out = target + "." + field;
  return true;
}

}  // namespace kestrel::kasm
