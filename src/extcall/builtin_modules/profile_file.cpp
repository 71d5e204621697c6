#include "extcall/builtin_modules/profile_file.h"

#include <strings.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "extcall/builtin_modules/builtin_support.h"

namespace kestrel::extcall::win {

namespace {

std::string trimmed(std::string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && (s[b] == ' ' || s[b] == '\t')) ++b;
  while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t')) --e;
  return std::string(s.substr(b, e - b));
}

bool sameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && strncasecmp(a.data(), b.data(), a.size()) == 0;
}

}  // namespace

ProfileFile::ProfileFile(std::string path) : path_(std::move(path)) {
  std::ifstream in(path_, std::ios::binary);
  if (!in) return;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines_.push_back(parse(line));
  }
}

ProfileFile::Line ProfileFile::parse(const std::string& text) {
  Line l;
  l.text = text;
  const std::string t = trimmed(text);
  if (!t.empty() && t[0] == '[') {
    const size_t close = t.find(']');
    l.isSection = true;
    l.section = trimmed(std::string_view(t).substr(1, close == std::string::npos ? std::string::npos : close - 1));
    return l;
  }
  if (t.empty() || t[0] == ';') return l;
  const size_t eq = t.find('=');
  if (eq == std::string::npos) return l;
  l.isKey = true;
  l.key = trimmed(std::string_view(t).substr(0, eq));
  return l;
}

long ProfileFile::sectionAt(std::string_view section) const {
  for (size_t i = 0; i < lines_.size(); ++i)
    if (lines_[i].isSection && sameName(lines_[i].section, section)) return static_cast<long>(i);
  return -1;
}

size_t ProfileFile::sectionEnd(size_t head) const {
  size_t i = head + 1;
  while (i < lines_.size() && !lines_[i].isSection) ++i;
  return i;
}

long ProfileFile::keyAt(std::string_view section, std::string_view key) const {
  const long head = sectionAt(section);
  if (head < 0) return -1;
  const size_t end = sectionEnd(static_cast<size_t>(head));
  for (size_t i = static_cast<size_t>(head) + 1; i < end; ++i)
    if (lines_[i].isKey && sameName(lines_[i].key, key)) return static_cast<long>(i);
  return -1;
}

std::vector<std::string> ProfileFile::sections() const {
  std::vector<std::string> names;
  for (const Line& l : lines_)
    if (l.isSection) names.push_back(l.section);
  return names;
}

std::vector<std::string> ProfileFile::keys(std::string_view section) const {
  std::vector<std::string> names;
  const long head = sectionAt(section);
  if (head < 0) return names;
  const size_t end = sectionEnd(static_cast<size_t>(head));
  for (size_t i = static_cast<size_t>(head) + 1; i < end; ++i)
    if (lines_[i].isKey) names.push_back(lines_[i].key);
  return names;
}

std::optional<std::string> ProfileFile::value(std::string_view section, std::string_view key) const {
  const long at = keyAt(section, key);
  if (at < 0) return std::nullopt;
  const std::string& text = lines_[static_cast<size_t>(at)].text;
  std::string v = trimmed(std::string_view(text).substr(text.find('=') + 1));
  if (v.size() >= 2 && (v[0] == '"' || v[0] == '\'') && v.back() == v[0]) v = v.substr(1, v.size() - 2);
  return v;
}

void ProfileFile::set(std::string_view section, std::string_view key, std::string_view value) {
  const std::string text = std::string(key) + "=" + std::string(value);
  if (const long at = keyAt(section, key); at >= 0) {
    const std::string written = lines_[static_cast<size_t>(at)].key;
    lines_[static_cast<size_t>(at)] = parse(written + "=" + std::string(value));
    return;
  }
  long head = sectionAt(section);
  if (head < 0) {
    if (!lines_.empty() && !trimmed(lines_.back().text).empty()) lines_.push_back(parse(""));
    lines_.push_back(parse("[" + std::string(section) + "]"));
    lines_.push_back(parse(text));
    return;
  }
  // After the section's last key, before the blank lines that close it.
  size_t insert = sectionEnd(static_cast<size_t>(head));
  while (insert > static_cast<size_t>(head) + 1 && trimmed(lines_[insert - 1].text).empty()) --insert;
  lines_.insert(lines_.begin() + static_cast<long>(insert), parse(text));
}

void ProfileFile::removeKey(std::string_view section, std::string_view key) {
  if (const long at = keyAt(section, key); at >= 0) lines_.erase(lines_.begin() + at);
}

void ProfileFile::removeSection(std::string_view section) {
  const long head = sectionAt(section);
  if (head < 0) return;
  const size_t end = sectionEnd(static_cast<size_t>(head));
  lines_.erase(lines_.begin() + head, lines_.begin() + static_cast<long>(end));
}

bool ProfileFile::save() const {
  std::string text;
  for (const Line& l : lines_) text += l.text + "\r\n";
  const std::string temporary = path_ + ".kestrel-tmp";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out << text;
    out.close();
    if (!out) {
      ::unlink(temporary.c_str());
      return false;
    }
  }
  if (std::rename(temporary.c_str(), path_.c_str()) != 0) {
    ::unlink(temporary.c_str());
    return false;
  }
  return true;
}

std::string profilePath(std::string_view fileName) {
  if (fileName.find_first_of("/\\") == std::string_view::npos)
    return hostPath(windowsDirectory() + "/" + std::string(fileName));
  return hostPath(fileName);
}

}  // namespace kestrel::extcall::win
