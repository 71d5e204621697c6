#include "objects/member_operands.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "core/machine.h"
#include "expr/conversions.h"
#include "platform/files.h"
#include "platform/paths.h"

namespace kestrel::objects {

int32_t numberOperand(Machine& m) { return m.evalRound(); }
int32_t truncOperand(Machine& m) { return m.evalTrunc(); }

uint32_t unsignedOperand(Machine& m) {
  const double v = std::nearbyint(m.evalNumber());  // the default rounding: to nearest, ties to even
  if (!(v > -9.2e18 && v < 9.2e18)) raiseInvalidFloatOp();
  return static_cast<uint32_t>(static_cast<int64_t>(v));
}
uint8_t flagOperand(Machine& m) { return static_cast<uint8_t>(m.evalRound()); }
bool truthOperand(Machine& m) { return m.evalNumber() != 0; }

Str stringOperand(Machine& m) {
  m.evaluate();
  return m.strReg;
}

AnyValue anyOperand(Machine& m) {
  AnyValue v;
  v.isText = m.evaluate() == 1;
  if (v.isText) v.text = m.strReg;
  else v.number = m.numReg;
  return v;
}

void ignoredOperand(Machine& m) { m.evaluate(); }
int32_t handlerOperand(Machine& m) { return m.s32(); }
void skipByte(Machine& m) { m.u8(); }

void skipBytes(Machine& m, int count) {
  for (int i = 0; i < count; ++i) m.u8();
}

int byteOperand(Machine& m) { return m.u8(); }
bool nextArgument(Machine& m) { return !m.atEnd() && m.u8() != 11; }

std::vector<uint8_t> programFileBytes(Machine& m, const Str& name) {
  if (m.options.sandbox) raise("Cannot open file \"" + name.str() + "\". files are not available in the sandbox");
  std::vector<uint8_t> bytes;
  if (!platform::readFileBytes(platform::translatePath(name.view()), bytes))
    raise("Cannot open file \"" + name.str() + "\". The file does not exist or cannot be read");
  return bytes;
}

bool readProgramFile(Machine& m, const Str& name, std::vector<uint8_t>& bytes) {
  return !m.options.sandbox && platform::readFileBytes(platform::translatePath(name.view()), bytes);
}

void writeProgramFile(Machine& m, const Str& name, std::string_view bytes) {
  std::string reason = "files are not available in the sandbox";
  if (!m.options.sandbox) {
    if (FILE* f = std::fopen(platform::translatePath(name.view()).c_str(), "wb")) {
      const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
      if (std::fclose(f) == 0 && ok) return;
      raise("Stream write error");
    }
    reason = std::strerror(errno);
  }
  raise("Cannot create file \"" + name.str() + "\". " + reason);
}

bool saveProgramFile(Machine& m, const Str& name, std::string_view text) {
  return !m.options.sandbox && platform::replaceFileBytes(platform::translatePath(name.view()), text);
}

bool pictureFileOperand(Machine& m, std::vector<uint8_t>& bytes) {
  if (m.evaluate() == 0) return false;
  bytes = programFileBytes(m, m.strReg);
  return true;
}

std::vector<uint8_t> resourceOperand(Machine& m) {
  const int n = m.u8();
  if (static_cast<size_t>(n) >= m.image.resources.size()) raiseListIndex(n);
  return m.image.resource(static_cast<size_t>(n));
}

KeepReadPosition::KeepReadPosition(Machine& m) : m_(m), position_(m.pos) {}
KeepReadPosition::~KeepReadPosition() { m_.pos = position_; }

bool sandboxed(const Machine& m) { return m.options.sandbox; }
bool windowedProgram(const Machine& m) { return m.options.windowed; }

namespace {
constexpr int kKindParameter = 12;
constexpr int kKindArrayElement = 29;
constexpr int kTabControl = 53;

int32_t indexForKind(Machine& m, int type, int kind) {
  if (kind == kKindParameter) return parameterIndex(m, m.u8());
  const int32_t number = m.s16();
  if (kind == kKindArrayElement) return static_cast<int32_t>(m.objectArrayIndex(type, number));
  return number;
}
}  // namespace

int32_t parameterIndex(Machine& m, int slot) {
  return m.frames.byRef(std::max(m.frames.current(), 0), slot).index;
}

ObjectRef readObjectOperand(Machine& m) {
  const int kind = m.u8();
  const int type = m.u8();
  return {type, indexForKind(m, type, kind)};
}

ObjectRef readTypeFirstOperand(Machine& m) {
  const int type = m.u8();
  const int kind = m.u8();
  return {type, indexForKind(m, type, kind)};
}

bool nextListedObject(Machine& m, ObjectRef& ref) {
  if (m.atEnd()) return false;
  const int type = m.u8();
  if (type == 11) return false;
  const int kind = m.u8();
  ref = {type, indexForKind(m, type, kind)};
  return true;
}

int32_t readIndexOperand(Machine& m) {
  const int kind = m.u8();
  return kind == kKindParameter ? parameterIndex(m, m.u8()) : m.s16();
}

Object& containerLookup(Machine& m, ObjectRef ref) {
  switch (ref.type) {
    case 30: case 33: case 34: case 37: case 38: case 43:
    case 50: case 57: case 66: case 69: case 70: case 74:
      return world(m).at(ref.type, ref.index, ref.type);
    default:
      return world(m).at(ref.type, ref.index, kTabControl);
  }
}

}  // namespace kestrel::objects
