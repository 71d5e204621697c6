#pragma once
// The format-text function: percent specifiers filled from a list of
// numbers and strings.
#include <string>
#include <string_view>
#include <vector>

namespace kestrel {

struct FormatArgument {
  bool isText = false;
  double number = 0;
  std::string text;
};

// Specifiers: "%" [index ":"] ["-"] [width] ["." precision] type, where
// index, width and precision may be "*" (taken from the next argument) and
// type is d (integer), u (unsigned), x (hexadecimal), e (scientific), f
// (fixed), g (general), n (fixed with thousands), m (money), p (address)
// or s (string), in either case. "%%" is a percent sign. A specifier that
// cannot be read, a missing argument or one of the wrong kind raises
// "Format 'FORMAT' invalid or incompatible with argument". Arguments left
// over are ignored.
// The specifier types, for docs/reference.md.
#define KESTREL_FORMAT_TYPES(X)                                                  \
  X('d', "a whole number (cut toward zero); precision: at least that many digits") \
  X('u', "a whole number as unsigned 32 bits")                                     \
  X('x', "a whole number in hexadecimal")                                          \
  X('e', "scientific notation, precision significant digits (15)")                 \
  X('f', "fixed notation, precision decimals (2)")                                 \
  X('g', "the general form, precision significant digits (15)")                    \
  X('n', "fixed notation in groups of three, precision decimals (2)")              \
  X('m', "money: as n, led by $")                                                  \
  X('p', "an address: eight or more hexadecimal digits")                           \
  X('s', "a string; precision: at most that many characters")

std::string formatText(std::string_view format, const std::vector<FormatArgument>& args, char decimalSeparator);

}  // namespace kestrel
