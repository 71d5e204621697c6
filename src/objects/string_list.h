#pragma once
// String lists (type 74): a list of strings that can keep itself sorted,
// split and join text, and load from and save to files and streams.
#include <string_view>
#include <vector>

#include "objects/object_model.h"

namespace kestrel::objects {

inline constexpr int kStringListType = 74;

class StringList : public Object {
 public:
  explicit StringList(int type) : Object(type) {}
  std::vector<Str>* stringItems() override { return &items; }

  bool sorted() const { return sortedFlag != 0; }
  // Appends, or in a sorted list inserts in order, as the duplicates
  // setting allows (0 ignore, 1 accept, 2 refuse with an error).
  void add(const Str& s);
  void sort();
  int64_t indexOf(std::string_view s) const;
  // Each string followed by CR LF.
  std::string text() const;
  // Replaces the strings by the lines of `text`: split at LF, a CR right
  // before the LF dropped, no empty last line after a final line break.
  void setText(std::string_view text);
  Str& at(int64_t index);

  std::vector<Str> items;
  uint8_t sortedFlag = 0;
  int32_t duplicates = 0;
};

// Strings compare without regard to ASCII letter case.
int compareText(std::string_view a, std::string_view b);

void registerStringListType(TypeRegistry& registry);

}  // namespace kestrel::objects
