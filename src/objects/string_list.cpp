#include "objects/string_list.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "core/machine.h"
#include "objects/member_operands.h"
#include "objects/streams.h"
#include "platform/paths.h"

namespace kestrel::objects {

namespace {
constexpr int32_t kDupIgnore = 0;
constexpr int32_t kDupError = 2;
constexpr const char* kSortedError = "Operation not allowed on a sorted string list";
}  // namespace

int compareText(std::string_view a, std::string_view b) {
  const size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    const int x = std::tolower(static_cast<unsigned char>(a[i]));
    const int y = std::tolower(static_cast<unsigned char>(b[i]));
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

Str& StringList::at(int64_t index) {
  if (index < 0 || static_cast<uint64_t>(index) >= items.size()) raiseListIndex(index);
  return items[static_cast<size_t>(index)];
}

void StringList::add(const Str& s) {
  if (!sorted()) {
    items.push_back(s);
    return;
  }
  auto it = std::lower_bound(items.begin(), items.end(), s,
                             [](const Str& a, const Str& b) { return compareText(a, b) < 0; });
  if (it != items.end() && compareText(*it, s) == 0) {
    if (duplicates == kDupIgnore) return;
    if (duplicates == kDupError) raise("String list does not allow duplicates");
  }
  items.insert(it, s);
}

void StringList::sort() {
  std::stable_sort(items.begin(), items.end(), [](const Str& a, const Str& b) { return compareText(a, b) < 0; });
}

int64_t StringList::indexOf(std::string_view s) const {
  for (size_t i = 0; i < items.size(); ++i)
    if (compareText(items[i], s) == 0) return static_cast<int64_t>(i);
  return -1;
}

std::string StringList::text() const {
  std::string out;
  for (const Str& s : items) {
    out.append(s.view());
    out.append("\r\n");
  }
  return out;
}

void StringList::setText(std::string_view text) {
  items.clear();
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    const size_t next = end == std::string_view::npos ? text.size() : end + 1;
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    if (end < text.size() && !line.empty() && line.back() == '\r') line.remove_suffix(1);
    add(Str(line));
    start = next;
  }
}

namespace {

// ------------------------------------------------------------ files and streams

std::string readWholeFile(Machine& m, const Str& name) {
  std::string reason = "files are not available in the sandbox";
  if (!m.options.sandbox) {
    if (FILE* f = std::fopen(platform::translatePath(name.view()).c_str(), "rb")) {
      std::string text;
      char buf[65536];
      size_t got;
      while ((got = std::fread(buf, 1, sizeof buf, f)) > 0) {
        text.append(buf, got);
        if (text.size() > m.options.maxStringLength) {
          std::fclose(f);
          raise(texts::kOutOfMemory);
        }
      }
      std::fclose(f);
      return text;
    }
    reason = std::strerror(errno);
  }
  raise("Cannot open file \"" + name.str() + "\". " + reason);
}

void writeWholeFile(Machine& m, const Str& name, const std::string& text) { writeProgramFile(m, name, text); }

void loadFile(Machine& m, StringList& l) {
  skipByte(m);
  const Str name = stringOperand(m);
  skipByte(m);
  l.setText(readWholeFile(m, name));
}

void saveFile(Machine& m, StringList& l) {
  skipByte(m);
  const Str name = stringOperand(m);
  skipByte(m);
  writeWholeFile(m, name, l.text());
}

// Loads the rest of the stream, from its position to its end.
void loadStream(Machine& m, StringList& l) {
  Stream* st = streamReference(m);
  if (st == nullptr) return;
  const int64_t left = std::max<int64_t>(0, st->size() - st->position());
  if (static_cast<uint64_t>(left) > m.options.maxStringLength) raise(texts::kOutOfMemory);
  std::string text(static_cast<size_t>(left), '\0');
  text.resize(st->read(reinterpret_cast<uint8_t*>(text.data()), text.size()));
  l.setText(text);
}

void saveStream(Machine& m, StringList& l) {
  Stream* st = streamReference(m);
  if (st != nullptr) st->write(l.text());
}

// ------------------------------------------------------------ list members

void addStrings(Machine& m, StringList& l) {
  forEachArgument(m, [&] { l.add(stringOperand(m)); });
}

// Indices as they were before the statement: each is lowered by the number
// of strings already deleted; an index that names no string is skipped.
void deleteStrings(Machine& m, StringList& l) {
  int64_t deleted = 0;
  forEachArgument(m, [&] {
    const int64_t index = int64_t{numberOperand(m)} - deleted;
    if (index < 0 || static_cast<uint64_t>(index) >= l.items.size()) return;
    l.items.erase(l.items.begin() + index);
    ++deleted;
  });
}

void exchange(Machine& m, StringList& l) {
  skipByte(m);
  const int32_t a = numberOperand(m);
  skipByte(m);
  const int32_t b = numberOperand(m);
  skipByte(m);
  std::swap(l.at(a), l.at(b));
}

void insert(Machine& m, StringList& l) {
  skipByte(m);
  const int32_t index = numberOperand(m);
  skipByte(m);
  const Str s = stringOperand(m);
  skipByte(m);
  if (l.sorted()) raise(kSortedError);
  if (index < 0 || static_cast<size_t>(index) > l.items.size()) raiseListIndex(index);
  l.items.insert(l.items.begin() + index, s);
}

void writeString(Machine& m, StringList& l) {
  const int32_t index = numberOperand(m);
  const Str s = stringOperand(m);
  if (l.sorted()) raise(kSortedError);
  l.at(index) = s;
}

void addFromObject(Machine& m, StringList& l) {
  skipByte(m);
  const ObjectRef ref = readObjectOperand(m);
  skipByte(m);
  std::vector<Str>* strings = containerLookup(m, ref).stringItems();
  if (strings == nullptr) raise(texts::kInvalidCast);
  const std::vector<Str> copy = *strings;  // the list may add its own strings
  for (const Str& s : copy) l.add(s);
}

// Adds the parts of `text` between occurrences of `separator`; an empty
// rest is not added. Returns the number added.
int64_t split(StringList& l, const Str& text, const Str& separator) {
  if (separator.empty()) return 0;
  int64_t added = 0;
  std::string_view rest = text.view();
  for (size_t at; (at = rest.find(separator.view())) != std::string_view::npos;) {
    l.add(Str(rest.substr(0, at)));
    rest.remove_prefix(at + separator.size());
    ++added;
  }
  if (!rest.empty()) {
    l.add(Str(rest));
    ++added;
  }
  return added;
}

void writeSplit(Machine& m, StringList& l) {
  const Str text = stringOperand(m);
  const Str separator = stringOperand(m);
  split(l, text, separator);
}

void readSplit(Machine& m, StringList& l, EvalStacks& s) {
  const Str text = stringOperand(m);
  const Str separator = stringOperand(m);
  s.pushNumber(static_cast<double>(split(l, text, separator)));
}

// Strings from `from` to `to` (clamped to the last) with the separator
// between them; an empty list joins to the empty string.
std::string join(StringList& l, int64_t from, int64_t to, const Str& separator, size_t limit) {
  if (l.items.empty()) return "";
  to = std::min<int64_t>(to, static_cast<int64_t>(l.items.size()) - 1);
  std::string out;
  for (int64_t i = from; i < to; ++i) {
    out.append(l.at(i).view());
    out.append(separator.view());
    if (out.size() > limit) raise(texts::kOutOfMemory);
  }
  out.append(l.at(to).view());
  return out;
}

void writeJoin(Machine& m, StringList& l) {
  const int32_t from = numberOperand(m);
  const int32_t to = numberOperand(m);
  const Str separator = stringOperand(m);
  join(l, from, to, separator, m.options.maxStringLength);
}

void readJoin(Machine& m, StringList& l, EvalStacks& s) {
  const int32_t from = truncOperand(m);
  const int32_t to = numberOperand(m);
  const Str separator = stringOperand(m);
  s.pushString(join(l, from, to, separator, m.options.maxStringLength));
}

void writeSorted(Machine& m, StringList& l) {
  const uint8_t flag = flagOperand(m);
  if (flag != 0 && !l.sorted()) l.sort();
  l.sortedFlag = flag;
}

const Member<StringList> kStringListMembers[] = {
    {0, "Duplicates", "E", [](Machine& m, StringList& l) { l.duplicates = numberOperand(m); },
     "", [](Machine&, StringList& l, EvalStacks& s) { s.pushNumber(l.duplicates); },
     "what adding a string already in a sorted list does: 0 nothing, 1 adds it, 2 an error"},
    {1, "Count", nullptr, nullptr,
     "", [](Machine&, StringList& l, EvalStacks& s) { s.pushNumber(static_cast<double>(l.items.size())); },
     "the number of strings"},
    {2, "Sorted", "E", writeSorted,
     "", [](Machine&, StringList& l, EvalStacks& s) { pushFlag(s, l.sortedFlag); },
     "flag: the list is kept sorted (setting it sorts the list)"},
    {3, "Clear", "b", [](Machine& m, StringList& l) { skipByte(m); l.items.clear(); },
     nullptr, nullptr, "removes every string"},
    {4, "Add", "L", addStrings, nullptr, nullptr, "strings to add (in order when sorted)"},
    {5, "Delete", "L", deleteStrings, nullptr, nullptr,
     "indices of strings to delete, each as the list was before the statement"},
    {6, "Exchange", "bEbEb", exchange, nullptr, nullptr, "i, j: swaps two strings"},
    {7, "IndexOf", "E", [](Machine& m, StringList&) { m.evaluate(); },
     "E", [](Machine& m, StringList& l, EvalStacks& s) { s.pushNumber(static_cast<double>(l.indexOf(stringOperand(m)))); },
     "text: the index of the first equal string, ignoring case (-1: none)"},
    {8, "Insert", "bEbEb", insert, nullptr, nullptr, "index, text: inserts before the index (not in a sorted list)"},
    {9, "Sort", "b", [](Machine& m, StringList& l) { skipByte(m); l.sort(); }, nullptr, nullptr,
     "sorts the strings, ignoring case"},
    {10, "Strings", "EE", writeString,
     "E", [](Machine& m, StringList& l, EvalStacks& s) { s.pushString(l.at(numberOperand(m))); },
     "index, text: replaces a string; read with (index): the string"},
    {11, "Text", "E", [](Machine& m, StringList& l) { l.setText(stringOperand(m).view()); },
     "", [](Machine&, StringList& l, EvalStacks& s) { s.pushString(l.text()); },
     "all strings, each ended by CR LF; writing splits at line feeds"},
    {12, "LoadFromFile", "bEb", loadFile, nullptr, nullptr, "file name: the file's lines replace the strings"},
    {13, "LoadFromStream", "Tb", loadStream, nullptr, nullptr,
     "stream: the rest of the stream's lines replace the strings"},
    {14, "SaveToFile", "bEb", saveFile, nullptr, nullptr, "file name: writes the text"},
    {15, "SaveToStream", "Tb", saveStream, nullptr, nullptr, "stream: writes the text at the stream's position"},
    {16, "AddStrings", "bOb", addFromObject, nullptr, nullptr, "object with strings (a string list): adds its strings"},
    {17, "Split", "EE", writeSplit, "EE", readSplit,
     "text, separator: adds the parts between separators; read: how many it added"},
    {18, "Join", "EEE", writeJoin, "EEE", readJoin,
     "from, to, separator: the strings from..to joined by the separator (written: computed only)"},
};

std::unique_ptr<Object> createStringList(Machine&, int type, int32_t) { return std::make_unique<StringList>(type); }

}  // namespace

void registerStringListType(TypeRegistry& registry) {
  registry.add(describeType(kStringListType, "stringlist", kStringListMembers, createStringList));
}

}  // namespace kestrel::objects
