#pragma once
// The built-in functions by code: the name the assembler uses and how the
// arguments are laid out after the function code.
//
// Argument layouts, one letter per part:
//   e  an expression (ended by its own byte 11)
//   R  random: byte 11 alone, or a marker byte and an expression
//   A  array reference: byte 12, slot, kind; or kind and a 16-bit array number
//   w  a raw 16-bit number
//   M  address form: form byte, 16-bit number, kind byte, subscripts unless form 1
//   V  variant reference: form byte, then as function 107 reads it
//   C  call-back entry: a 32-bit entry position and an arity byte
//   L  marker-led expression list ended by byte 11
#include <cstdint>

namespace kestrel {

#define KESTREL_BUILTINS(X)        \
  X(0, "val", "e")                 \
  X(1, "str", "e")                 \
  X(2, "left", "ee")               \
  X(3, "right", "ee")              \
  X(4, "mid", "eee")               \
  X(5, "chr", "e")                 \
  X(6, "asc", "e")                 \
  X(7, "inkey", "")                \
  X(8, "paramcount", "")           \
  X(9, "param", "e")               \
  X(10, "opennumcount", "")        \
  X(11, "openstrcount", "")        \
  X(12, "opennum", "e")            \
  X(13, "openstr", "e")            \
  X(14, "len", "e")                \
  X(15, "ucase", "e")              \
  X(16, "lcase", "e")              \
  X(17, "ltrim", "e")              \
  X(18, "rtrim", "e")              \
  X(19, "instr", "eee")            \
  X(20, "mousex", "")              \
  X(21, "mousey", "")              \
  X(22, "fileexists", "e")         \
  X(23, "direxists", "e")          \
  X(24, "abs", "e")                \
  X(25, "cos", "e")                \
  X(26, "sin", "e")                \
  X(27, "tan", "e")                \
  X(28, "atn", "e")                \
  X(29, "sqr", "e")                \
  X(30, "exp", "e")                \
  X(31, "log", "e")                \
  X(32, "int", "e")                \
  X(33, "string", "ee")            \
  X(34, "space", "e")              \
  X(35, "input", "")               \
  X(36, "rnd", "R")                \
  X(37, "timer", "")               \
  X(38, "screenwidth", "")         \
  X(39, "screenheight", "")        \
  X(40, "screencursor", "")        \
  X(41, "curdir", "")              \
  X(42, "hex", "e")                \
  X(43, "pos", "e")                \
  X(44, "csrlin", "")              \
  X(45, "screen", "e")             \
  X(46, "retnum", "e")             \
  X(47, "retstr", "e")             \
  X(48, "msgbox", "eee")           \
  X(49, "msgdlg", "eeee")          \
  X(50, "stdinhandle", "")         \
  X(51, "slotb", "")               \
  X(52, "slotc", "")               \
  X(53, "consolemode", "")         \
  X(54, "lbound", "Ae")            \
  X(55, "ubound", "Ae")            \
  X(56, "date", "")                \
  X(57, "time", "")                \
  X(58, "consolecols", "")         \
  X(59, "consolerows", "")         \
  X(60, "pagecell", "ee")          \
  X(61, "nothing61", "")           \
  X(62, "nothing62", "")           \
  X(63, "delete", "eee")           \
  X(64, "insert", "eee")           \
  X(65, "overwrite", "eee")        \
  X(66, "sgn", "e")                \
  X(67, "round", "e")              \
  X(68, "stdouthandle", "")        \
  X(69, "read", "")                \
  X(70, "shell", "ee")             \
  X(71, "fix", "e")                \
  X(72, "frac", "e")               \
  X(73, "bin", "e")                \
  X(74, "base", "eee")             \
  X(75, "environ", "e")            \
  X(76, "findfirst", "ee")         \
  X(77, "findnext", "")            \
  X(78, "foundname", "")           \
  X(79, "foundtime", "")           \
  X(80, "foundsize", "")           \
  X(81, "foundattr", "")           \
  X(82, "foundshortname", "")      \
  X(83, "founddate", "")           \
  X(84, "founddatetime", "")       \
  X(85, "acos", "e")               \
  X(86, "asin", "e")               \
  X(87, "stdin", "e")              \
  X(88, "choose", "eee")           \
  X(89, "rgb", "eee")              \
  X(90, "respos", "e")             \
  X(91, "rescount", "")            \
  X(92, "fixlen", "w")             \
  X(93, "varptr", "M")             \
  X(94, "peekstr", "e")            \
  X(95, "field", "eee")            \
  X(96, "num", "e")                \
  X(97, "nothing97", "")           \
  X(98, "count", "ee")             \
  X(99, "inp", "e")                \
  X(100, "replace", "eee")         \
  X(101, "format", "eeee")         \
  X(102, "reverse", "e")           \
  X(103, "instrrev", "eee")        \
  X(104, "formattext", "eL")       \
  X(105, "cursorhandle", "e")      \
  X(106, "callback", "C")          \
  X(107, "vartype", "V")           \
  X(108, "libhandle", "e")         \
  X(109, "ceil", "e")              \
  X(110, "floor", "e")             \
  X(111, "memcmp", "eee")

struct BuiltinInfo {
  uint8_t code;
  const char* name;
  const char* layout;
};

// The row of a function code, or nullptr for codes above 111.
const BuiltinInfo* builtinByCode(int code);
const BuiltinInfo* builtinByName(const char* name);

}  // namespace kestrel
