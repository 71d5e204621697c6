// Registry objects (type 72) over the persistent registry store.
#include <cmath>
#include <cstring>

#include "expr/conversions.h"
#include "core/machine.h"
#include "objects/member_operands.h"
#include "platform/registry_store.h"

namespace kestrel::objects {

namespace {

using platform::RegistryStore;
using platform::RegistryValue;

constexpr int kRegistryType = 72;
constexpr uint32_t kCurrentUser = 0x80000001u;
constexpr size_t kBinaryReadLimit = 32000;

struct RegistryState : FamilyState {
  explicit RegistryState(Machine& m) : store(m.options.sandbox ? std::string() : RegistryStore::defaultFolder()) {}
  RegistryStore store;
  std::vector<Str> names;  // the shared list of key and value names, refilled on each use
  uint32_t nextHandle = 0x1000;
};

class RegistryObject : public Object {
 public:
  explicit RegistryObject(int type) : Object(type) {}
  uint32_t root = kCurrentUser;
  bool open = false;
  std::string path;  // the open key
  uint32_t handle = 0;

  void close() {
    open = false;
    path.clear();
    handle = 0;
  }
  // A path with a leading backslash starts at the root; any other is
  // relative to the open key.
  std::string resolve(const Str& key) const {
    std::string k = key.str();
    if (!k.empty() && k[0] == '\\') return platform::normalizeKeyPath(k);
    return platform::normalizeKeyPath(open ? path + "\\" + k : k);
  }
};

RegistryStore& store(Machine& m) { return world(m).state<RegistryState>().store; }

[[noreturn]] void raiseGet(const Str& name) { raise("Failed to get data for '" + name.str() + "'"); }
[[noreturn]] void raiseType(const Str& name) { raise("Invalid data type for '" + name.str() + "'"); }

RegistryValue valueOf(Machine& m, RegistryObject& r, const Str& name) {
  RegistryValue v;
  if (!r.open || !store(m).getValue(r.root, r.path, name.str(), v)) raiseGet(name);
  return v;
}

void setValue(Machine& m, RegistryObject& r, const Str& name, const RegistryValue& v) {
  if (!r.open || !store(m).setValue(r.root, r.path, name.str(), v))
    raise("Failed to set data for '" + name.str() + "'");
}

// ------------------------------------------------------------ keys

bool openKey(Machine& m, RegistryObject& r) {
  const Str key = stringOperand(m);
  const bool create = numberOperand(m) != 0;
  const std::string path = r.resolve(key);
  RegistryStore& st = store(m);
  const bool ok = create ? st.createKey(r.root, path) : st.keyExists(r.root, path);
  if (!ok) return false;
  r.open = true;
  r.path = path;
  r.handle = world(m).state<RegistryState>().nextHandle++;
  return true;
}

template <bool (RegistryStore::*Action)(uint32_t, const std::string&)>
bool keyAction(Machine& m, RegistryObject& r) {
  const Str key = stringOperand(m);
  return (store(m).*Action)(r.root, r.resolve(key));
}

void moveKey(Machine& m, RegistryObject& r) {
  skipByte(m);
  const Str from = stringOperand(m);
  skipByte(m);
  const Str to = stringOperand(m);
  skipByte(m);
  const bool remove = numberOperand(m) != 0;
  skipByte(m);
  RegistryStore& st = store(m);
  const std::string source = r.resolve(from);
  if (st.copyKey(r.root, source, r.resolve(to)) && remove) st.deleteKey(r.root, source);
}

// Fills the shared name list and returns name n of it.
void pushName(Machine& m, EvalStacks& s, std::vector<std::string> names) {
  const int32_t n = numberOperand(m);
  std::vector<Str>& list = world(m).state<RegistryState>().names;
  list.assign(names.begin(), names.end());
  if (n < 0 || static_cast<size_t>(n) >= list.size()) raiseListIndex(n);
  s.pushString(list[static_cast<size_t>(n)]);
}

std::vector<std::string> subKeys(Machine& m, RegistryObject& r) {
  return r.open ? store(m).subKeys(r.root, r.path) : std::vector<std::string>{};
}
std::vector<std::string> valueNames(Machine& m, RegistryObject& r) {
  return r.open ? store(m).valueNames(r.root, r.path) : std::vector<std::string>{};
}

// ------------------------------------------------------------ values

int32_t readInteger(Machine& m, RegistryObject& r, const Str& name) {
  const RegistryValue v = valueOf(m, r, name);
  if (v.type != RegistryValue::kInteger) raiseType(name);
  return v.integer;
}

void readBinaryByte(Machine& m, RegistryObject& r, EvalStacks& s) {
  const Str name = stringOperand(m);
  const int32_t n = numberOperand(m);
  const RegistryValue v = valueOf(m, r, name);
  if (v.type != RegistryValue::kBinary) raiseType(name);
  std::vector<uint8_t>& buffer = world(m).transferBuffer();
  std::memcpy(buffer.data(), v.bytes.data(), std::min(v.bytes.size(), kBinaryReadLimit));
  const int64_t at = int64_t{n} + 1;
  if (at < 0 || static_cast<uint64_t>(at) >= buffer.size()) raiseListIndex(at);
  s.pushNumber(buffer[static_cast<size_t>(at)]);
}

void readString(Machine& m, RegistryObject& r, EvalStacks& s) {
  const Str name = stringOperand(m);
  const RegistryValue v = valueOf(m, r, name);
  if (v.type != RegistryValue::kString && v.type != RegistryValue::kExpandString) raiseType(name);
  s.pushString(v.text);
}

void readFloat(Machine& m, RegistryObject& r, EvalStacks& s) {
  const Str name = stringOperand(m);
  const RegistryValue v = valueOf(m, r, name);
  if (v.type != RegistryValue::kBinary || v.bytes.size() != sizeof(double)) raiseType(name);
  double d;
  std::memcpy(&d, v.bytes.data(), sizeof d);
  s.pushNumber(d);
}

// Writes: b, name, b, value, b.
template <class Make>
void writeValue(Machine& m, RegistryObject& r, Make make) {
  skipByte(m);
  const Str name = stringOperand(m);
  skipByte(m);
  const RegistryValue v = make();
  skipByte(m);
  setValue(m, r, name, v);
}

void writeInteger(Machine& m, RegistryObject& r) {
  writeValue(m, r, [&] {
    RegistryValue v;
    v.type = RegistryValue::kInteger;
    v.integer = numberOperand(m);
    return v;
  });
}

void writeString(Machine& m, RegistryObject& r) {
  writeValue(m, r, [&] {
    RegistryValue v;
    v.type = RegistryValue::kString;
    v.text = stringOperand(m).str();
    return v;
  });
}

void writeFloat(Machine& m, RegistryObject& r) {
  writeValue(m, r, [&] {
    RegistryValue v;
    v.type = RegistryValue::kBinary;
    const double d = m.evalNumber();
    v.bytes.resize(sizeof d);
    std::memcpy(v.bytes.data(), &d, sizeof d);
    return v;
  });
}

// b, name, b, byte-array number (-1: a slot byte follows, the array is a
// parameter), b, count, b: the first count bytes of the array, through the
// transfer buffer.
void writeBinary(Machine& m, RegistryObject& r) {
  skipByte(m);
  const Str name = stringOperand(m);
  skipByte(m);
  int32_t array = m.s16();
  if (array == -1) array = parameterIndex(m, m.u8());
  skipByte(m);
  const int32_t count = numberOperand(m);
  skipByte(m);
  const ArrayDescriptor& d = m.vars.descriptor(kByte, array);
  if (!d.declared) raise("Array not declared (kind 1, number " + std::to_string(array) + ")");
  std::vector<uint8_t>& buffer = world(m).transferBuffer();
  const int64_t n = std::clamp<int64_t>(count, 0, std::min<int64_t>(d.elements, static_cast<int64_t>(buffer.size())));
  if (n > 0) {
    if (d.first < 0 || static_cast<uint64_t>(d.first) + static_cast<uint64_t>(n) > m.vars.arrays[kByte]->size())
      VariableStores::raiseElementRange(kByte, d.first);
    std::memcpy(buffer.data(), m.vars.arrays[kByte]->data() + d.first, static_cast<size_t>(n));
  }
  RegistryValue v;
  v.type = RegistryValue::kBinary;
  v.bytes.assign(buffer.begin(), buffer.begin() + n);
  setValue(m, r, name, v);
}

bool valueExists(Machine& m, RegistryObject& r, const Str& name) {
  RegistryValue v;
  return r.open && store(m).getValue(r.root, r.path, name.str(), v);
}

void renameValue(Machine& m, RegistryObject& r) {
  skipByte(m);
  const Str from = stringOperand(m);
  skipByte(m);
  const Str to = stringOperand(m);
  skipByte(m);
  if (r.open) store(m).renameValue(r.root, r.path, from.str(), to.str());
}

// The size a value takes: a string with its terminating zero.
int64_t dataSize(Machine& m, RegistryObject& r, const Str& name) {
  RegistryValue v;
  if (!r.open || !store(m).getValue(r.root, r.path, name.str(), v)) return -1;
  switch (v.type) {
    case RegistryValue::kInteger: return 4;
    case RegistryValue::kBinary: return static_cast<int64_t>(v.bytes.size());
    default: return static_cast<int64_t>(v.text.size()) + 1;
  }
}

int dataType(Machine& m, RegistryObject& r, const Str& name) {
  RegistryValue v;
  if (!r.open || !store(m).getValue(r.root, r.path, name.str(), v)) return 0;
  return v.type;
}

// ------------------------------------------------------------ the table

// Root keys are unsigned handles (0x80000001 reads as 2147483649); the
// signed form that a 32-bit constant gives is taken as well.
uint32_t rootKeyOperand(Machine& m) {
  const double r = std::nearbyint(m.evalNumber());
  if (!(r >= -2147483648.0 && r <= 4294967295.0)) raiseInvalidFloatOp();
  return static_cast<uint32_t>(static_cast<int64_t>(r));
}

using R = RegistryObject;
void ignore(Machine& m, R&) { m.evaluate(); }
Str nameArg(Machine& m) { return stringOperand(m); }

const Member<R> kRegistryMembers[] = {
    {0, "RootKey", "E", [](Machine& m, R& r) { r.root = rootKeyOperand(m); r.close(); },
     "", [](Machine&, R& r, EvalStacks& s) { s.pushNumber(r.root); },
     "the root key's handle (0x80000001 current user ...); closes the open key"},
    {1, "CurrentKey", nullptr, nullptr, "", [](Machine&, R& r, EvalStacks& s) { s.pushNumber(r.handle); },
     "the open key's handle (0: none)"},
    {2, "CurrentPath", nullptr, nullptr, "", [](Machine&, R& r, EvalStacks& s) { s.pushString(r.path); },
     "the open key's path"},
    {3, "OpenKey", "EE", [](Machine& m, R& r) { openKey(m, r); },
     "EE", [](Machine& m, R& r, EvalStacks& s) { pushBool(s, openKey(m, r)); },
     "key, create (nonzero: make it): opens the key; as an expression 1 when it did, else 0"},
    {4, "CloseKey", "b", [](Machine& m, R& r) { skipByte(m); r.close(); }, nullptr, nullptr, "closes the open key"},
    {5, "KeyName", "E", ignore, "E", [](Machine& m, R& r, EvalStacks& s) { pushName(m, s, subKeys(m, r)); },
     "n: the name of the open key's sub-key n (writing evaluates a value and ignores it)"},
    {6, "ValueName", "E", ignore, "E", [](Machine& m, R& r, EvalStacks& s) { pushName(m, s, valueNames(m, r)); },
     "n: the name of the open key's value n (writing evaluates a value and ignores it)"},
    {7, "KeyCount", nullptr, nullptr,
     "", [](Machine& m, R& r, EvalStacks& s) { s.pushNumber(static_cast<double>(subKeys(m, r).size())); },
     "the open key's number of sub-keys"},
    {8, "ValueCount", nullptr, nullptr,
     "", [](Machine& m, R& r, EvalStacks& s) { s.pushNumber(static_cast<double>(valueNames(m, r).size())); },
     "the open key's number of values"},
    {9, "ReadInteger", "E", ignore, "E", [](Machine& m, R& r, EvalStacks& s) { s.pushNumber(readInteger(m, r, nameArg(m))); },
     "name: the integer value (an error for another type)"},
    {10, "ReadBinaryByte", "E", ignore, "EE", readBinaryByte, "name, n: byte n + 1 of the binary value"},
    {11, "ReadString", "E", ignore, "E", readString, "name: the text value"},
    {12, "CreateKey", "E", [](Machine& m, R& r) { keyAction<&RegistryStore::createKey>(m, r); },
     "E", [](Machine& m, R& r, EvalStacks& s) { pushBool(s, keyAction<&RegistryStore::createKey>(m, r)); },
     "key: makes the key; as an expression 1 when it did, else 0"},
    {13, "DeleteKey", "E", [](Machine& m, R& r) { keyAction<&RegistryStore::deleteKey>(m, r); },
     "E", [](Machine& m, R& r, EvalStacks& s) { pushBool(s, keyAction<&RegistryStore::deleteKey>(m, r)); },
     "key: deletes the key; as an expression 1 when it did, else 0"},
    {14, "DeleteValue", "E", [](Machine& m, R& r) { const Str n = nameArg(m); if (r.open) store(m).deleteValue(r.root, r.path, n.str()); },
     "E", [](Machine& m, R& r, EvalStacks& s) { const Str n = nameArg(m); pushBool(s, r.open && store(m).deleteValue(r.root, r.path, n.str())); },
     "name: deletes the value of the open key; as an expression 1 when it did, else 0"},
    {15, "HasSubKeys", nullptr, nullptr, "", [](Machine& m, R& r, EvalStacks& s) { pushBool(s, !subKeys(m, r).empty()); },
     "1 when the open key has sub-keys, else 0"},
    {16, "ValueExists", "E", ignore, "E", [](Machine& m, R& r, EvalStacks& s) { pushBool(s, valueExists(m, r, nameArg(m))); },
     "name: 1 when the open key has the value, else 0"},
    {17, "MoveKey", "bEbEbEb", moveKey, nullptr, nullptr,
     "from, to, delete: copies a key (and deletes the source when delete is nonzero)"},
    {18, "KeyExists", "E", [](Machine& m, R& r) { keyAction<&RegistryStore::keyExists>(m, r); },
     "E", [](Machine& m, R& r, EvalStacks& s) { pushBool(s, keyAction<&RegistryStore::keyExists>(m, r)); },
     "key: 1 when the key exists, else 0"},
    {19, "ReadFloat", "E", ignore, "E", readFloat, "name: the floating-point value (8 binary bytes)"},
    {20, "RenameValue", "bEbEb", renameValue, nullptr, nullptr, "old name, new name: renames a value of the open key"},
    {21, "ReadBool", "E", ignore, "E", [](Machine& m, R& r, EvalStacks& s) { pushBool(s, readInteger(m, r, nameArg(m)) != 0); },
     "name: 1 when the integer value is nonzero, else 0"},
    {22, "WriteInteger", "bEbEb", writeInteger, nullptr, nullptr, "name, value: writes an integer value"},
    {23, "WriteBinaryData", "bEbNbEb", writeBinary, nullptr, nullptr,
     "name, byte array, count: writes the array's first count bytes as a binary value"},
    {24, "WriteString", "bEbEb", writeString, nullptr, nullptr, "name, text: writes a text value"},
    {25, "WriteFloat", "bEbEb", writeFloat, nullptr, nullptr,
     "name, value: writes a floating-point value (8 binary bytes)"},
    {26, "GetDataSize", "E", ignore, "E", [](Machine& m, R& r, EvalStacks& s) { s.pushNumber(static_cast<double>(dataSize(m, r, nameArg(m)))); },
     "name: the value's size in bytes (a text with its zero; -1: no such value)"},
    {27, "GetDataType", "E", ignore, "E", [](Machine& m, R& r, EvalStacks& s) { s.pushNumber(dataType(m, r, nameArg(m))); },
     "name: 0 none, 1 text, 2 expandable text, 3 integer, 4 binary"},
};

std::unique_ptr<Object> createRegistry(Machine&, int type, int32_t) { return std::make_unique<RegistryObject>(type); }

}  // namespace

void registerRegistryType(TypeRegistry& registry) {
  registry.add(describeType(kRegistryType, "registry", kRegistryMembers, createRegistry));
}

}  // namespace kestrel::objects
