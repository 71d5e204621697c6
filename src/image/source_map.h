#pragma once
// What an image does not hold but its writer knew: where each statement
// came from in the assembly source, and the names given to variables,
// parameters and labels. The assembler makes it (or a names file gives the
// names); errors, the trace, the profile and the post-mortem read it. It is
// never written into the image.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace kestrel {

// A variable's or parameter's name and what it stands for. `kind` is a store
// kind (0 to 9) or an object type (30 and up); `index` the variable, array
// or object number, or for a parameter its slot.
struct OperandName {
  std::string name;
  int kind = 0;
  int index = 0;
  bool array = false;
  bool parameter = false;
  int32_t procedure = -1;  // a parameter's procedure entry position
};

struct SourceMap {
  std::string file;  // the source file as the user named it (empty: none)
  // Statement start positions with their source lines, ascending.
  std::vector<std::pair<int32_t, int>> lines;
  std::map<int32_t, std::string> labels;  // position -> label name
  std::map<int32_t, std::string> procedures;  // entry position -> name
  std::vector<OperandName> names;  // variables, then parameters

  // The source line of the statement that starts at or before `position`
  // (0 when there is none).
  int lineAt(int32_t position) const;
  // " at FILE:LINE (byte-code position N)" or " (at byte-code position N)".
  std::string where(int32_t position) const;
  // The name of a scalar variable, array or object (empty when unnamed).
  std::string variableName(int kind, int index, bool array) const;
  // The name of a parameter slot of the procedure entered at `entry`.
  std::string parameterName(int32_t entry, int slot) const;
  // The procedure's name, or "procedure at N".
  std::string procedureName(int32_t entry) const;
};

// " (at byte-code position N)" when there is no map.
std::string describePosition(const SourceMap* map, int32_t position);

}  // namespace kestrel
