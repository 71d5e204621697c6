#pragma once
// Tokens of one line of Kestrel assembly.
#include <cstdint>
#include <string>
#include <vector>

namespace kestrel::kasm {

enum class Tok {
  End,
  Ident,    // names, keywords, kind:index pairs are split into Ident ':' Number
  Number,   // integer or floating literal, text kept for exactness
  String,   // decoded bytes
  Punct,    // one or two characters: ( ) [ ] , = + - * / \ ^ < > <= >= <> : . @ # ; { }
};

struct Token {
  Tok type = Tok::End;
  std::string text;  // identifier, punctuation, number text, or decoded string bytes
  size_t column = 0;
  size_t end = 0;  // the column just after the token's text in the line
};

// Splits a line into tokens; a ';' that starts a comment ends the line
// (a ';' right after an expression is punctuation, see the parser).
std::vector<Token> tokenize(const std::string& line, std::string& error);

// Quotes bytes as a string literal: printable ASCII as is, the rest escaped.
std::string quote(const std::string& bytes);

}  // namespace kestrel::kasm
