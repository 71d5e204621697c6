#pragma once
// The built-in functions by code: the name the assembler uses, how the
// arguments are laid out after the function code, and for
// docs/reference.md what the arguments are and what the function gives.
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

#define KESTREL_BUILTINS(X) \
  X(0, "val", "e", "text", "the number the text starts with (0 when none)") \
  X(1, "str", "e", "x", "x as text, in the general form") \
  X(2, "left", "ee", "text, n", "the first n characters") \
  X(3, "right", "ee", "text, n", "the last n characters") \
  X(4, "mid", "eee", "text, start, count", "count characters from position start (1 is the first)") \
  X(5, "chr", "e", "code", "the character with that code (0 to 255)") \
  X(6, "asc", "e", "text", "the code of the first character (0 for an empty text)") \
  X(7, "inkey", "", "", "the next key typed on the console, as text (\"\" when none waits)") \
  X(8, "paramcount", "", "", "the number of the program's command-line arguments") \
  X(9, "param", "e", "n", "argument n (0: the program's own file; past the last: \"\")") \
  X(10, "opennumcount", "", "", "how many numbers the current open argument list holds") \
  X(11, "openstrcount", "", "", "how many texts the current open argument list holds") \
  X(12, "opennum", "e", "i", "number i of the open argument list") \
  X(13, "openstr", "e", "i", "text i of the open argument list") \
  X(14, "len", "e", "text", "the length in bytes") \
  X(15, "ucase", "e", "text", "the text with a to z in capitals") \
  X(16, "lcase", "e", "text", "the text with A to Z in small letters") \
  X(17, "ltrim", "e", "text", "the text without its leading spaces") \
  X(18, "rtrim", "e", "text", "the text without its trailing spaces") \
  X(19, "instr", "eee", "[start,] text, pattern", "the position of the first pattern at or after start (0: none)") \
  X(20, "mousex", "", "", "the mouse's x at the last mouse event") \
  X(21, "mousey", "", "", "the mouse's y at the last mouse event") \
  X(22, "fileexists", "e", "name", "1 when the file exists, else 0") \
  X(23, "direxists", "e", "name", "1 when the directory exists, else 0") \
  X(24, "abs", "e", "x", "the absolute value") \
  X(25, "cos", "e", "x", "the cosine (radians)") \
  X(26, "sin", "e", "x", "the sine (radians)") \
  X(27, "tan", "e", "x", "the tangent (radians)") \
  X(28, "atn", "e", "x", "the arc tangent, in radians") \
  X(29, "sqr", "e", "x", "the square root") \
  X(30, "exp", "e", "x", "e to the power x") \
  X(31, "log", "e", "x", "the natural logarithm") \
  X(32, "int", "e", "x", "the whole part, cut toward zero") \
  X(33, "string", "ee", "n, character", "n times the character (a code or the first character of a text)") \
  X(34, "space", "e", "n", "n spaces") \
  X(35, "input", "", "", "a line typed on the console (its leading number is the numeric value)") \
  X(36, "rnd", "R", "[n]", "a random fraction 0 <= r < 1; with n, a whole number 0 <= r < n") \
  X(37, "timer", "", "", "seconds since the machine started, with fractions") \
  X(38, "screenwidth", "", "", "the screen's width in pixels (1024 without a display)") \
  X(39, "screenheight", "", "", "the screen's height in pixels (768 without a display)") \
  X(40, "screencursor", "", "", "the screen cursor number set last") \
  X(41, "curdir", "", "", "the current directory") \
  X(42, "hex", "e", "n", "n as eight hexadecimal digits") \
  X(43, "pos", "e", "x", "the console cursor's column (x is evaluated and ignored)") \
  X(44, "csrlin", "", "", "the console cursor's row") \
  X(45, "screen", "e", "offset", "the byte at that offset of the console screen") \
  X(46, "retnum", "e", "slot", "numeric parameter slot of the procedure just called") \
  X(47, "retstr", "e", "slot", "string parameter slot of the procedure just called") \
  X(48, "msgbox", "eee", "text, caption, flags", "shows a message box; the button chosen (1 OK, 2 Cancel, 6 Yes, 7 No ...)") \
  X(49, "msgdlg", "eeee", "text, type, buttons, help", "shows a message dialog; the modal result of the button chosen") \
  X(50, "stdinhandle", "", "", "the console's input handle") \
  X(51, "slotb", "", "", "result slot B (a number or a text)") \
  X(52, "slotc", "", "", "result slot C (a number or a text)") \
  X(53, "consolemode", "", "", "1 in the console run-time, 0 in the windowed one") \
  X(54, "lbound", "Ae", "array, dimension", "the lower bound of a dimension (1 is the first)") \
  X(55, "ubound", "Ae", "array, dimension", "the upper bound of a dimension") \
  X(56, "date", "", "", "today's date as mm-dd-yyyy") \
  X(57, "time", "", "", "the time as hh:mm:ss") \
  X(58, "consolecols", "", "", "the console's columns (80)") \
  X(59, "consolerows", "", "", "the console's rows (25)") \
  X(60, "pagecell", "ee", "page, offset", "the byte at that offset of a console page (page 0: the screen)") \
  X(61, "nothing61", "", "", "nothing: reads and pushes nothing") \
  X(62, "nothing62", "", "", "nothing: reads and pushes nothing") \
  X(63, "delete", "eee", "text, start, count", "the text without count characters from position start") \
  X(64, "insert", "eee", "piece, text, position", "the text with the piece inserted before position") \
  X(65, "overwrite", "eee", "text, piece, position", "the text with the piece written over it from position") \
  X(66, "sgn", "e", "x", "-1, 0 or 1 as x is negative, zero or positive") \
  X(67, "round", "e", "x", "x rounded to the nearest whole number, ties to even") \
  X(68, "stdouthandle", "", "", "the standard output's handle") \
  X(69, "read", "", "", "the next item of the data block (restore sets where reading starts)") \
  X(70, "shell", "ee", "command, show", "starts a program; 33 when it started, a smaller number when not") \
  X(71, "fix", "e", "x", "the whole part, cut toward zero") \
  X(72, "frac", "e", "x", "the fraction part, x - fix(x)") \
  X(73, "bin", "e", "n", "n in binary digits") \
  X(74, "base", "eee", "digits, from, to", "the digits of a number in base from, written in base to") \
  X(75, "environ", "e", "name", "the environment variable's value (\"\" when unset)") \
  X(76, "findfirst", "ee", "pattern, attributes", "the first file name that matches (\"\" when none)") \
  X(77, "findnext", "", "", "the next file name of the search (\"\" at the end)") \
  X(78, "foundname", "", "", "the name of the file found last") \
  X(79, "foundtime", "", "", "the time of the file found last, h:mm") \
  X(80, "foundsize", "", "", "the size of the file found last") \
  X(81, "foundattr", "", "", "the attribute bits of the file found last") \
  X(82, "foundshortname", "", "", "the short name of the file found last") \
  X(83, "founddate", "", "", "the date of the file found last, m-d-yyyy") \
  X(84, "founddatetime", "", "", "the packed date and time of the file found last") \
  X(85, "acos", "e", "x", "the arc cosine, in radians") \
  X(86, "asin", "e", "x", "the arc sine, in radians") \
  X(87, "stdin", "e", "n", "up to n bytes read from standard input") \
  X(88, "choose", "eee", "condition, a, b", "a when the condition is not 0, else b (both are evaluated)") \
  X(89, "rgb", "eee", "red, green, blue", "the colour value 0x00BBGGRR") \
  X(90, "respos", "e", "n", "the image position of resource n's length field (0 for none)") \
  X(91, "rescount", "", "", "the number of embedded resources") \
  X(92, "fixlen", "w", "fix:N", "the length of a fixed-length string") \
  X(93, "varptr", "M", "variable", "the address of a variable or array element") \
  X(94, "peekstr", "e", "address", "the zero-terminated text at an address") \
  X(95, "field", "eee", "text, delimiter, n", "the n-th field of the text between delimiters") \
  X(96, "num", "e", "x", "x as a number") \
  X(97, "nothing97", "", "", "nothing: reads and pushes nothing") \
  X(98, "count", "ee", "text, pattern", "how many times the pattern occurs, not overlapping") \
  X(99, "inp", "e", "port", "the byte read from an I/O port") \
  X(100, "replace", "eee", "text, find, replacement", "the text with every find replaced") \
  X(101, "format", "eeee", "x, format, precision, digits", "x formatted by a number format (below)") \
  X(102, "reverse", "e", "text", "the text backwards") \
  X(103, "instrrev", "eee", "[start,] text, pattern", "the position of the last pattern ending at or before start (0: none)") \
  X(104, "formattext", "eL", "format, values...", "the format with its specifiers filled from the values (below)") \
  X(105, "cursorhandle", "e", "number", "the cursor handle of a cursor number") \
  X(106, "callback", "C", "procedure, arity", "the address of a call-back stub that runs the procedure") \
  X(107, "vartype", "V", "variant", "the variant's type: 0 whole number, 1 floating point, 2 text") \
  X(108, "libhandle", "e", "library", "the handle of a loaded library (0 when it is not loaded)") \
  X(109, "ceil", "e", "x", "the smallest whole number not below x") \
  X(110, "floor", "e", "x", "the largest whole number not above x") \
  X(111, "memcmp", "eee", "a, b, length", "-1 when length bytes at addresses a and b are equal, else 0")

struct BuiltinInfo {
  uint8_t code;
  const char* name;
  const char* layout;
  const char* arguments;  // their names, e.g. "text, n"
  const char* meaning;    // what the function gives
};

// The row of a function code, or nullptr for codes above 111.
const BuiltinInfo* builtinByCode(int code);
const BuiltinInfo* builtinByName(const char* name);

}  // namespace kestrel
