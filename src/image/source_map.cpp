#include "image/source_map.h"

#include <algorithm>

namespace kestrel {

int SourceMap::lineAt(int32_t position) const {
  auto it = std::upper_bound(lines.begin(), lines.end(), position,
                             [](int32_t p, const std::pair<int32_t, int>& entry) { return p < entry.first; });
  if (it == lines.begin()) return 0;
  return std::prev(it)->second;
}

std::string SourceMap::where(int32_t position) const {
  const int line = lineAt(position);
  if (file.empty() || line == 0) return " (at byte-code position " + std::to_string(position) + ")";
  return " at " + file + ":" + std::to_string(line) + " (byte-code position " + std::to_string(position) + ")";
}

std::string SourceMap::variableName(int kind, int index, bool array) const {
  for (const OperandName& n : names)
    if (!n.parameter && n.kind == kind && n.index == index && n.array == array) return n.name;
  return "";
}

std::string SourceMap::parameterName(int32_t entry, int slot) const {
  for (const OperandName& n : names)
    if (n.parameter && n.procedure == entry && n.index == slot) return n.name;
  return "";
}

std::string SourceMap::procedureName(int32_t entry) const {
  auto it = procedures.find(entry);
  if (it != procedures.end()) return it->second;
  auto label = labels.find(entry);
  if (label != labels.end()) return label->second;
  return "procedure at " + std::to_string(entry);
}

std::string describePosition(const SourceMap* map, int32_t position) {
  if (map) return map->where(position);
  return " (at byte-code position " + std::to_string(position) + ")";
}

}  // namespace kestrel
