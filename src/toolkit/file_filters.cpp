// The programs' file filters in Qt's form. A Qt name filter is
// "Description (pattern pattern ...)": the patterns are the last group in
// parentheses, separated by spaces. The programs' patterns are separated
// by semicolons and may hold spaces, and "*.*" means every file there,
// also one without a dot.
#include <string>
#include <string_view>
#include <vector>

#include "toolkit/file_dialog.h"

namespace kestrel::gui {

namespace {

std::vector<std::string_view> split(std::string_view text, char separator) {
  std::vector<std::string_view> pieces;
  size_t start = 0;
  while (true) {
    const size_t end = text.find(separator, start);
    pieces.push_back(text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
    if (end == std::string_view::npos) return pieces;
    start = end + 1;
  }
}

std::string_view trimmed(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

// One pattern as Qt reads it: spaces (which would split it) match any one
// character, parentheses (which would end the group) are left out.
std::string qtPattern(std::string_view pattern) {
  if (pattern == "*.*") return "*";
  std::string out;
  for (char c : pattern) {
    if (c == '(' || c == ')') continue;
    out.push_back(c == ' ' ? '?' : c);
  }
  return out;
}

// The patterns of one pair, space-separated ("*" when there are none).
std::string qtPatterns(std::string_view patterns) {
  std::string out;
  for (std::string_view p : split(patterns, ';')) {
    const std::string one = qtPattern(trimmed(p));
    if (one.empty()) continue;
    if (!out.empty()) out.push_back(' ');
    out += one;
  }
  return out.empty() ? "*" : out;
}

// A description that ends in a group of patterns ("Text (*.txt)") has that
// group replaced by the real patterns; any other gets them added.
std::string withPatterns(std::string_view description, const std::string& patterns) {
  description = trimmed(description);
  if (description.empty()) return patterns + " (" + patterns + ")";
  if (description.back() == ')') {
    const size_t open = description.rfind('(');
    if (open != std::string_view::npos) {
      const std::string_view group = description.substr(open + 1, description.size() - open - 2);
      if (group.find_first_of("*?") != std::string_view::npos)
        return std::string(trimmed(description.substr(0, open))) + " (" + patterns + ")";
    }
  }
  return std::string(description) + " (" + patterns + ")";
}

}  // namespace

std::vector<std::string> translateFilter(std::string_view filter) {
  std::vector<std::string> filters;
  if (filter.empty()) return filters;
  const std::vector<std::string_view> pieces = split(filter, '|');
  for (size_t i = 0; i + 1 < pieces.size(); i += 2) filters.push_back(withPatterns(pieces[i], qtPatterns(pieces[i + 1])));
  return filters;
}

}  // namespace kestrel::gui
