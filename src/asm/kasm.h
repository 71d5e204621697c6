#pragma once
// Kestrel assembly: the text form of program images (docs/kasm.md).
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "asm/asm_core.h"
#include "image/source_map.h"

namespace kestrel::kasm {

// One source line as the assembler placed it.
struct ListingLine {
  int32_t position = -1;  // where its bytes begin (-1: outside the image's code and data)
  int32_t length = 0;     // how many bytes it made
};

// An assembled program and what the assembler knew besides the bytes: the
// statements' source lines and the names (a SourceMap whose file is left
// for the caller), the placing of every line and the warnings.
struct Assembly {
  std::vector<uint8_t> image;
  SourceMap map;
  std::vector<ListingLine> lines;  // one per source line
  std::vector<Warning> warnings;
};

// Assembles a whole source text. `baseDir` is where resource files named in
// the source are looked up. Raises AsmError.
Assembly assembleProgram(const std::string& source, const std::string& baseDir = ".");
std::vector<uint8_t> assemble(const std::string& source, const std::string& baseDir = ".");

// The source with each line's position and first bytes beside it.
std::string listing(const Assembly& assembly, const std::string& source);

struct DisassemblyOptions {
  bool positions = false;             // each line's image position in a comment
  const SourceMap* names = nullptr;   // names of variables, parameters and labels to write
};

// Writes an image as assembly text that assembles to the same bytes.
std::string disassemble(const std::vector<uint8_t>& image, const DisassemblyOptions& options = {});

class NameTable;

// Labels and names that a single statement may use when it is assembled
// again: made-up labels (L123) stand for their positions without them.
struct StatementContext {
  const std::map<std::string, int32_t>* labels = nullptr;
  const NameTable* names = nullptr;
};

// Assembles one statement line at image position `origin`; used to check
// the disassembler's own output.
std::vector<uint8_t> assembleStatementAt(const std::string& line, int32_t origin, int32_t dataStart,
                                         const StatementContext& context = {});

// Reads the statements of an image one at a time, as the trace shows them:
// the text of the statement at a position (cached) and its length.
class StatementReader {
 public:
  StatementReader(const std::vector<uint8_t>& image, int32_t size, int32_t dataStart, int32_t codeStart,
                  const SourceMap* names);
  ~StatementReader();
  const std::string& text(int32_t position);
  int32_t length(int32_t position);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace kestrel::kasm
