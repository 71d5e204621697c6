// The member tables of file streams (46) and memory streams (47). Most
// members are the same transfer on either kind of stream.
#include <cmath>
#include <cstdio>
#include <cstring>

#include "expr/conversions.h"
#include "state/structure_store.h"
#include "core/machine.h"
#include "objects/member_operands.h"
#include "objects/streams.h"
#include "platform/low_arena.h"
#include "platform/memory_access.h"

namespace kestrel::objects {

namespace {

constexpr size_t kLineChunk = 255;
constexpr size_t kCountChunk = 32000;
constexpr size_t kCopyChunk = 64 * 1024;

// Program memory named by an address and a length: it must lie in a block
// of the low arena.
uint8_t* programMemory(int32_t address, int32_t count) {
  const auto at = static_cast<uint64_t>(static_cast<uint32_t>(address));
  if (address <= 0 || !platform::LowArena::instance().contains(at, static_cast<size_t>(count)))
    platform::raiseAccessViolation(at);
  return reinterpret_cast<uint8_t*>(static_cast<uintptr_t>(at));
}

// ------------------------------------------------------------ numbers

// Width codes: 1 unsigned byte, 2 and 3 signed 16-bit, 4 and 5 signed
// 32-bit, 6 single float, 8 double float; any other width n takes n bytes
// (at most 8) of the number as a 64-bit integer.
void readNum(Machine& m, Stream& st, EvalStacks& s) {
  const int32_t code = numberOperand(m);
  const int64_t width = std::abs(int64_t{code});
  uint8_t b[8] = {};
  switch (width) {
    case 1: st.read(b, 1); s.pushNumber(b[0]); return;
    case 2: case 3: { int16_t v; st.read(b, 2); std::memcpy(&v, b, 2); s.pushNumber(v); return; }
    case 4: case 5: { int32_t v; st.read(b, 4); std::memcpy(&v, b, 4); s.pushNumber(v); return; }
    case 6: { float v; st.read(b, 4); std::memcpy(&v, b, 4); s.pushNumber(v); return; }
    case 8: { double v; st.read(b, 8); std::memcpy(&v, b, 8); s.pushNumber(v); return; }
    default: {
      int64_t v;
      st.read(b, static_cast<size_t>(std::min<int64_t>(width, 8)));
      std::memcpy(&v, b, 8);
      s.pushNumber(static_cast<double>(v));
      return;
    }
  }
}

int64_t roundToInt64(double v) {
  const double r = std::nearbyint(v);
  if (!(r >= -9223372036854775808.0 && r < 9223372036854775808.0)) raiseInvalidFloatOp();
  return static_cast<int64_t>(r);
}

void writeNum(Machine& m, Stream& st) {
  const double value = m.evalNumber();
  const int32_t width = numberOperand(m);
  uint8_t b[8] = {};
  switch (width) {
    case 1: case 2: case 3: case 4: case 5: {
      const int32_t v = roundToInt32(value);
      std::memcpy(b, &v, 4);
      st.write(b, width == 1 ? 1 : width <= 3 ? 2 : 4);
      return;
    }
    case 6: {
      const float v = toSingle(value);
      std::memcpy(b, &v, 4);
      st.write(b, 4);
      return;
    }
    case 8: st.write(reinterpret_cast<const uint8_t*>(&value), 8); return;
    default: {
      if (width <= 0) return;  // nothing to write
      const int64_t v = roundToInt64(value);
      std::memcpy(b, &v, 8);
      st.write(b, static_cast<size_t>(std::min(width, 8)));
      return;
    }
  }
}

// ------------------------------------------------------------ strings and lines

void readStr(Machine& m, Stream& st, EvalStacks& s) {
  const int32_t n = numberOperand(m);
  if (n <= 0) {
    s.pushString("");
    return;
  }
  if (static_cast<size_t>(n) > m.options.maxStringLength) raise(texts::kOutOfMemory);
  std::string text(static_cast<size_t>(n), ' ');
  st.read(reinterpret_cast<uint8_t*>(text.data()), text.size());
  s.pushString(text);
}

void writeStr(Machine& m, Stream& st) {
  const Str text = stringOperand(m);
  const int32_t count = numberOperand(m);
  if (count <= 0) return;
  // A count beyond the string writes the string only.
  st.write(text.view().substr(0, static_cast<size_t>(count)));
}

void readLine(Machine& m, Stream& st, EvalStacks& s) {
  std::string line;
  uint8_t chunk[kLineChunk];
  for (;;) {
    const int64_t start = st.position();
    const size_t got = st.read(chunk, kLineChunk);
    if (got == 0) break;
    const auto* end = static_cast<const uint8_t*>(std::memchr(chunk, '\n', got));
    if (end != nullptr) {
      line.append(reinterpret_cast<const char*>(chunk), static_cast<size_t>(end - chunk));
      if (!line.empty() && line.back() == '\r') line.pop_back();
      st.setPosition(start + (end - chunk) + 1);
      break;
    }
    line.append(reinterpret_cast<const char*>(chunk), got);
    if (line.size() > m.options.maxStringLength) raise(texts::kOutOfMemory);
  }
  s.pushString(line);
}

// Pieces of one statement gathered into few writes: a file stream hands
// each write to the system at once.
class GatheredWrite {
 public:
  explicit GatheredWrite(Stream& st) : st_(st) {}
  // What was gathered before an error is still written, as piece by piece.
  ~GatheredWrite() {
    try {
      flush();
    } catch (const RuntimeError&) {
    }
  }
  void add(std::string_view piece) {
    bytes_.append(piece);
    if (bytes_.size() >= kCopyChunk) flush();
  }
  void flush() {
    if (!bytes_.empty()) st_.write(bytes_);
    bytes_.clear();
  }

 private:
  Stream& st_;
  std::string bytes_;
};

void writeLine(Machine& m, Stream& st) {
  const Str text = stringOperand(m);
  GatheredWrite out(st);
  out.add(text.view());
  out.add("\r\n");
  out.flush();
}

void lineCount(Machine&, Stream& st, EvalStacks& s) {
  const int64_t saved = st.position();
  st.setPosition(0);
  std::vector<uint8_t> block(kCountChunk);
  int64_t lines = 0;
  for (;;) {
    const size_t got = st.read(block.data(), block.size());
    if (got == 0) break;
    for (size_t i = 0; i < got; ++i) lines += block[i] == '\n';
  }
  st.setPosition(saved);
  s.pushNumber(static_cast<double>(lines));
}

// ------------------------------------------------------------ position and size

void seek(Machine& m, Stream& st) {
  const int64_t offset = numberOperand(m);
  const int32_t origin = numberOperand(m);
  switch (origin) {
    case 0: st.setPosition(offset); break;
    case 1: st.setPosition(st.position() + offset); break;
    case 2: st.setPosition(st.size() + offset); break;
    default: break;  // an unknown origin moves nothing
  }
}

void ignoreOperand(Machine& m, Stream&) { m.evaluate(); }
void readSize(Machine&, Stream& st, EvalStacks& s) { s.pushNumber(static_cast<double>(st.size())); }
void writePosition(Machine& m, Stream& st) { st.setPosition(numberOperand(m)); }
void readPosition(Machine&, Stream& st, EvalStacks& s) { s.pushNumber(static_cast<double>(st.position())); }
void readEof(Machine&, Stream& st, EvalStacks& s) { s.pushNumber(st.position() >= st.size() ? -1 : 0); }

// CopyFrom: stream operand, b, count, b. Count 0 copies the whole source
// from its start; a source that runs out raises "Stream read error".
void copyFrom(Machine& m, Stream& target) {
  const ObjectRef ref = readTypeFirstOperand(m);
  skipByte(m);
  int64_t count = numberOperand(m);
  skipByte(m);
  if (ref.type != kFileStreamType && ref.type != kMemoryStreamType) return;
  Stream& source = world(m).as<Stream>(ref.type, ref.index);
  if (count == 0) {
    source.setPosition(0);
    count = source.size();
  }
  std::vector<uint8_t> chunk;
  while (count > 0) {
    chunk.resize(static_cast<size_t>(std::min<int64_t>(count, kCopyChunk)));
    const size_t got = source.read(chunk.data(), chunk.size());
    target.write(chunk.data(), got);
    if (got < chunk.size()) raise("Stream read error");
    count -= static_cast<int64_t>(got);
  }
}

// ------------------------------------------------------------ arrays

// The first element of an array transfer and how many elements the array
// has from there to its end.
struct ArrayStart {
  int kind = 0;
  int64_t position = 0;
  int64_t available = 0;
};

ArrayStart readArrayStart(Machine& m) {
  const int form = m.u8();
  ArrayStart a;
  a.kind = m.u8();
  const int32_t number = form == 3 ? m.s16() : parameterIndex(m, m.u8());
  if (a.kind > kVariant) raise("Invalid array kind " + std::to_string(a.kind));
  a.position = m.elementPosition(a.kind, number);
  const ArrayDescriptor& d = m.vars.descriptor(a.kind, number);
  const int64_t width = isNumericKind(a.kind) ? kElementWidth[a.kind] : 1;
  a.available = std::max<int64_t>(0, d.elements - (a.position - d.first) / width);
  return a;
}

// Numeric elements are transferred in their stored width; WriteArray writes
// the bytes of strings without lengths or separators. Reading strings, and
// fixed strings and variants in either direction, have no layout and
// transfer nothing. A transfer stops at the array's end.
void transferArray(Machine& m, Stream& st, bool toStream) {
  const ArrayStart a = readArrayStart(m);
  const int64_t n = std::clamp<int64_t>(truncOperand(m), 0, a.available);
  if (isNumericKind(a.kind)) {
    NumericStore& store = *m.vars.arrays[a.kind];
    const uint64_t bytes = static_cast<uint64_t>(n) * static_cast<uint64_t>(kElementWidth[a.kind]);
    if (n == 0) return;
    if (a.position < 0 || static_cast<uint64_t>(a.position) + bytes > store.size())
      VariableStores::raiseElementRange(a.kind, a.position);
    if (toStream) st.write(store.data() + a.position, bytes);
    else st.read(store.data() + a.position, bytes);
  } else if (a.kind == kString && toStream) {
    GatheredWrite out(st);
    for (int64_t i = 0; i < n; ++i) out.add(m.vars.arrayStringAt(a.position + i, false).view());
    out.flush();
  }
}
void writeArray(Machine& m, Stream& st) { transferArray(m, st, true); }
void readArray(Machine& m, Stream& st) { transferArray(m, st, false); }

// The elements of an array-valued structure field: marker 37 with a
// structure number or 38 with a structure-array element, then the field
// kind and number. Numeric fields (14 to 20) move their elements in storage
// order and width; fixed-text fields (21) move each cell's text at its
// declared length. Other kinds move nothing.
void transferFieldArray(Machine& m, Stream& st, bool toStream) {
  StructureStore& structures = *m.structures;
  const int marker = m.u8();
  int64_t number = 0;
  if (marker == 37) number = m.s16();
  else if (marker == 38) number = structures.element(m, m.s16());
  else return;
  const int fieldKind = m.u8();
  const int32_t field = m.s16();
  if (fieldKind < 14 || fieldKind > 21) return;
  const FieldArray a = structures.fieldArray(m, structures.at(number), field, fieldKind);
  const int64_t count = std::max(0, a.descriptor->multiplier[0]);
  if (a.kind == kFixString) {
    GatheredWrite out(st);
    for (int64_t i = 0; i < count; ++i) {
      TFixString& cell = m.vars.arrayFixStringAt(a.first + i);
      if (toStream) {
        out.add(cell.padded().view());
      } else {
        std::string text(static_cast<size_t>(std::max(cell.length, 0)), ' ');
        text.resize(st.read(reinterpret_cast<uint8_t*>(text.data()), text.size()));
        cell.assign(text);
      }
    }
    out.flush();
    return;
  }
  NumericStore& store = *m.vars.arrays[a.kind];
  const uint64_t bytes = static_cast<uint64_t>(count) * static_cast<uint64_t>(kElementWidth[a.kind]);
  if (static_cast<uint64_t>(a.first) + bytes > store.size()) VariableStores::raiseElementRange(a.kind, a.first);
  if (toStream) st.write(store.data() + a.first, bytes);
  else st.read(store.data() + a.first, bytes);
}
void writeFieldArray(Machine& m, Stream& st) { transferFieldArray(m, st, true); }
void readFieldArray(Machine& m, Stream& st) { transferFieldArray(m, st, false); }

// ------------------------------------------------------------ file streams only

FileStream& file(Stream& st) { return static_cast<FileStream&>(st); }
MemoryStream& memory(Stream& st) { return static_cast<MemoryStream&>(st); }

void openFile(Machine& m, Stream& st) {
  const Str name = stringOperand(m);
  const int32_t mode = numberOperand(m);
  std::string error;
  if (!file(st).open(m, name, mode | 64, error)) raise(error);
}

void tryOpenFile(Machine& m, Stream& st, EvalStacks& s) {
  const Str name = stringOperand(m);
  const int32_t mode = numberOperand(m);
  std::string error;
  s.pushNumber(file(st).open(m, name, mode | 64, error) ? -1 : 0);
}

void closeFile(Machine&, Stream& st) { file(st).close(); }
void fileHandle(Machine&, Stream& st, EvalStacks& s) { s.pushNumber(file(st).handle()); }

const Member<Stream> kFileStreamMembers[] = {
    {0, "Open", "EE", openFile, "EE", tryOpenFile,
     "name, mode (0 read, 1 write, 2 both, 65535 create): opens; as an expression -1 if it did, else 0"},
    {1, "Close", "", closeFile, nullptr, nullptr, "closes the file"},
    {2, "ReadNum", nullptr, nullptr, "E", readNum,
     "width (1 byte, 2/3 16-bit, 4/5 32-bit, 6 single, 8 double, n: n bytes): a number read"},
    {3, "ReadStr", nullptr, nullptr, "E", readStr, "count: that many bytes read as text"},
    {4, "WriteNum", "EE", writeNum, nullptr, nullptr,
     "value, width: writes the number in that width (as ReadNum; 0 or less writes nothing)"},
    {5, "WriteStr", "EE", writeStr, nullptr, nullptr, "text, count: writes the first count bytes of the text"},
    {6, "Seek", "EE", seek, nullptr, nullptr,
     "offset, origin: moves the position from 0 the start, 1 the position, 2 the end"},
    {7, "Size", "E", ignoreOperand, "", readSize, "the size in bytes (writing evaluates a value and ignores it)"},
    {8, "Position", "E", writePosition, "", readPosition, "the position in bytes"},
    {9, "CopyFrom", "CbEb", copyFrom, nullptr, nullptr,
     "stream, count: copies count bytes from the source's position (0: all of it, from its start)"},
    {10, "ReadLine", nullptr, nullptr, "", readLine,
     "the next line (up to a line feed; a carriage return before it is dropped)"},
    {11, "WriteLine", "E", writeLine, nullptr, nullptr, "text: writes the text and CR LF"},
    {12, "LineCount", nullptr, nullptr, "", lineCount, "the number of line feeds in the stream"},
    {15, "ReadString", nullptr, nullptr, "E", readStr, "count: that many bytes read as text"},
    {16, "WriteString", "EE", writeStr, nullptr, nullptr, "text, count: writes the first count bytes of the text"},
    {19, "WriteArray", "YE", writeArray, nullptr, nullptr,
     "first element, count: writes count elements of the array from that element"},
    {20, "ReadArray", "YE", readArray, nullptr, nullptr,
     "first element, count: reads count elements into the array from that element"},
    {21, "EOF", nullptr, nullptr, "", readEof, "-1 at or past the end, else 0"},
    {22, "WriteFieldArray", "F", writeFieldArray, nullptr, nullptr,
     "writes the elements of an array-valued structure field"},
    {23, "ReadFieldArray", "F", readFieldArray, nullptr, nullptr,
     "reads the elements of an array-valued structure field"},
    {24, "Handle", nullptr, nullptr, "", fileHandle, "the open file's handle"},
};

// ------------------------------------------------------------ memory streams only

void setSize(Machine& m, Stream& st) { memory(st).setSize(numberOperand(m)); }
void clearMemory(Machine&, Stream& st) { memory(st).clear(); }
void memoryAddress(Machine&, Stream& st, EvalStacks& s) {
  s.pushNumber(static_cast<double>(reinterpret_cast<uintptr_t>(memory(st).memory())));
}

// WriteFromAddress: address, count (both truncated).
void writeFromAddress(Machine& m, Stream& st) {
  const int32_t address = truncOperand(m);
  const int32_t count = truncOperand(m);
  if (count <= 0) return;
  const uint8_t* from = programMemory(address, count);
  st.write(std::vector<uint8_t>(from, from + count).data(), static_cast<size_t>(count));
}

// ReadToAddress: address, count; moves the position on by count even when
// the stream holds fewer bytes (the rest of the memory is left as it was).
void readToAddress(Machine& m, Stream& st) {
  const int32_t address = truncOperand(m);
  const int32_t count = truncOperand(m);
  if (count <= 0) return;
  uint8_t* to = programMemory(address, count);
  const int64_t start = st.position();
  std::vector<uint8_t> bytes(static_cast<size_t>(count));
  bytes.resize(st.read(bytes.data(), bytes.size()));
  std::memcpy(to, bytes.data(), bytes.size());
  st.setPosition(start + count);
}

const Member<Stream> kMemoryStreamMembers[] = {
    {0, "SetSize", "E", setSize, nullptr, nullptr, "size: makes the stream that many bytes long"},
    {1, "Clear", "", clearMemory, nullptr, nullptr, "empties the stream"},
    {2, "ReadNum", nullptr, nullptr, "E", readNum,
     "width (1 byte, 2/3 16-bit, 4/5 32-bit, 6 single, 8 double, n: n bytes): a number read"},
    {3, "ReadStr", nullptr, nullptr, "E", readStr, "count: that many bytes read as text"},
    {4, "WriteNum", "EE", writeNum, nullptr, nullptr,
     "value, width: writes the number in that width (as ReadNum; 0 or less writes nothing)"},
    {5, "WriteStr", "EE", writeStr, nullptr, nullptr, "text, count: writes the first count bytes of the text"},
    {6, "Seek", "EE", seek, nullptr, nullptr,
     "offset, origin: moves the position from 0 the start, 1 the position, 2 the end"},
    {7, "Size", "E", ignoreOperand, "", readSize, "the size in bytes (writing evaluates a value and ignores it)"},
    {8, "Position", "E", writePosition, "", readPosition, "the position in bytes"},
    {9, "CopyFrom", "CbEb", copyFrom, nullptr, nullptr,
     "stream, count: copies count bytes from the source's position (0: all of it, from its start)"},
    {10, "ReadLine", nullptr, nullptr, "", readLine,
     "the next line (up to a line feed; a carriage return before it is dropped)"},
    {11, "WriteLine", "E", writeLine, nullptr, nullptr, "text: writes the text and CR LF"},
    {12, "LineCount", nullptr, nullptr, "", lineCount, "the number of line feeds in the stream"},
    {15, "ReadString", nullptr, nullptr, "E", readStr, "count: that many bytes read as text"},
    {16, "WriteString", "EE", writeStr, nullptr, nullptr, "text, count: writes the first count bytes of the text"},
    {17, "Memory", nullptr, nullptr, "", memoryAddress, "the address of the stream's bytes"},
    {20, "WriteArray", "YE", writeArray, nullptr, nullptr,
     "first element, count: writes count elements of the array from that element"},
    {21, "ReadArray", "YE", readArray, nullptr, nullptr,
     "first element, count: reads count elements into the array from that element"},
    {22, "WriteFromAddress", "EE", writeFromAddress, nullptr, nullptr,
     "address, count (truncated): writes count bytes of program memory"},
    {23, "ReadToAddress", "EE", readToAddress, nullptr, nullptr,
     "address, count (truncated): reads count bytes into program memory"},
    {24, "WriteFieldArray", "F", writeFieldArray, nullptr, nullptr,
     "writes the elements of an array-valued structure field"},
    {25, "ReadFieldArray", "F", readFieldArray, nullptr, nullptr,
     "reads the elements of an array-valued structure field"},
};

// The contents of memory streams, in the low arena.
struct StreamMemory : FamilyState {
  explicit StreamMemory(Machine&) {}
  platform::LowHeap heap;
};

std::unique_ptr<Object> createFileStream(Machine&, int type, int32_t) { return std::make_unique<FileStream>(type); }
std::unique_ptr<Object> createMemoryStream(Machine& m, int type, int32_t) {
  return std::make_unique<MemoryStream>(type, world(m).state<StreamMemory>().heap);
}

}  // namespace

void registerStreamTypes(TypeRegistry& registry) {
  TypeDescriptor files = describeType(kFileStreamType, "filestream", kFileStreamMembers, createFileStream);
  files.fixedTable = true;
  registry.add(std::move(files));
  registry.add(describeType(kMemoryStreamType, "memstream", kMemoryStreamMembers, createMemoryStream));
}

}  // namespace kestrel::objects
