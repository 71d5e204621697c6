#include "ole/class_name.h"

#include "ole/bus_values.h"
#include "ole/ole_errors.h"

namespace kestrel::ole {

namespace {

bool letter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool digit(char c) { return c >= '0' && c <= '9'; }

// Dot-separated elements, at least two, none empty; `dash` allows '-'
// (bus names), `leadingDigit` lets an element start with a digit (unique
// names).
bool validDottedName(std::string_view name, bool dash, bool leadingDigit) {
  if (name.empty() || name.size() > 255) return false;
  int elements = 0;
  size_t start = 0;
  for (;;) {
    const size_t dot = name.find('.', start);
    const std::string_view element = name.substr(start, dot == std::string_view::npos ? name.npos : dot - start);
    if (element.empty() || (digit(element[0]) && !leadingDigit)) return false;
    for (const char c : element)
      if (!letter(c) && !digit(c) && !(dash && c == '-')) return false;
    ++elements;
    if (dot == std::string_view::npos) break;
    start = dot + 1;
  }
  return elements >= 2;
}

bool validServiceName(std::string_view name) {
  if (!name.empty() && name[0] == ':') return validDottedName(name.substr(1), true, true);
  return validDottedName(name, true, false);
}

[[noreturn]] void invalid() { raise(kInvalidClassString); }

}  // namespace

ClassName parseClassName(std::string_view text) {
  ClassName out;
  const size_t hash = text.find('#');
  if (hash != std::string_view::npos) {
    out.interface = std::string(text.substr(hash + 1));
    text = text.substr(0, hash);
    if (!validDottedName(out.interface, false, false)) invalid();
  }
  const size_t slash = text.find('/');
  if (slash != std::string_view::npos) {
    out.path = std::string(text.substr(slash));
    text = text.substr(0, slash);
    if (!validObjectPath(out.path)) invalid();
  }
  out.service = std::string(text);
  if (!validServiceName(out.service)) invalid();
  return out;
}

std::vector<std::string> candidatePaths(const ClassName& name) {
  if (!name.path.empty()) return {name.path};
  std::vector<std::string> paths;
  if (name.service[0] != ':') {
    std::string path;
    std::vector<std::string> prefixes;
    size_t start = 0;
    for (;;) {
      const size_t dot = name.service.find('.', start);
      std::string element = name.service.substr(start, dot == std::string::npos ? std::string::npos : dot - start);
      for (char& c : element)
        if (c == '-') c = '_';
      path += "/" + element;
      prefixes.push_back(path);
      if (dot == std::string::npos) break;
      start = dot + 1;
    }
    paths.assign(prefixes.rbegin(), prefixes.rend());
  }
  paths.emplace_back("/");
  return paths;
}

}  // namespace kestrel::ole
