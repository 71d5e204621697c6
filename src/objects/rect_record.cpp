#include "objects/rect_record.h"

#include <cstring>

#include "objects/member_operands.h"
#include "platform/low_arena.h"

namespace kestrel::objects {

namespace {

constexpr size_t kMaxRectangles = size_t{1} << 20;
constexpr size_t kMaxRecords = size_t{1} << 18;

// The tables grow in place, so an object's address never changes.
struct RectangleTable : FamilyState {
  explicit RectangleTable(Machine&) : block(kMaxRectangles * 16) {}
  platform::GrowableBlock block;
};
struct RecordTable : FamilyState {
  explicit RecordTable(Machine&) : block(kMaxRecords * kRecordBytes) {}
  platform::GrowableBlock block;
};

std::unique_ptr<Object> createRectangle(Machine& m, int type, int32_t index) {
  platform::GrowableBlock& block = world(m).state<RectangleTable>().block;
  const size_t end = (static_cast<size_t>(index) + 1) * 16;
  if (end > block.capacity()) raise(texts::kOutOfMemory);
  block.growTo(end);
  return std::make_unique<Rectangle>(type, reinterpret_cast<int32_t*>(block.data() + end - 16));
}

std::unique_ptr<Object> createRecord(Machine& m, int type, int32_t index) {
  platform::GrowableBlock& block = world(m).state<RecordTable>().block;
  const size_t end = (static_cast<size_t>(index) + 1) * kRecordBytes;
  if (end > block.capacity()) raise(texts::kOutOfMemory);
  block.growTo(end);
  return std::make_unique<Record88>(type, block.data() + end - kRecordBytes);
}

template <int N>
void writeSide(Machine& m, Rectangle& r) {
  r.fields[N] = numberOperand(m);
}
template <int N>
void readSide(Machine&, Rectangle& r, EvalStacks& s) {
  s.pushNumber(r.fields[N]);
}

const Member<Rectangle> kRectangleMembers[] = {
    {0, "Left", "E", writeSide<0>, "", readSide<0>, "the left edge (a 32-bit integer in low memory)"},
    {1, "Top", "E", writeSide<1>, "", readSide<1>, "the top edge"},
    {2, "Right", "E", writeSide<2>, "", readSide<2>, "the right edge, just outside"},
    {3, "Bottom", "E", writeSide<3>, "", readSide<3>, "the bottom edge, just outside"},
};

int32_t recordField(const Record88& r, int n) {
  int32_t v;
  std::memcpy(&v, r.bytes + 4 * n, 4);
  return v;
}
template <int N>
void writeField(Machine& m, Record88& r) {
  const int32_t v = numberOperand(m);
  std::memcpy(r.bytes + 4 * N, &v, 4);
}
template <int N>
void readField(Machine&, Record88& r, EvalStacks& s) {
  s.pushNumber(recordField(r, N));
}

// The text keeps at most 63 characters and always its terminating zero.
void writeText(Machine& m, Record88& r) {
  const Str text = stringOperand(m);
  const size_t n = std::min(text.size(), static_cast<size_t>(kRecordTextBytes - 1));
  std::memcpy(r.bytes + 24, text.data(), n);
  r.bytes[24 + n] = 0;
}
void readText(Machine&, Record88& r, EvalStacks& s) {
  const char* text = reinterpret_cast<const char*>(r.bytes + 24);
  s.pushString(std::string_view(text, strnlen(text, kRecordTextBytes)));
}

const Member<Record88> kRecordMembers[] = {
    {0, "Field0", nullptr, nullptr, "", readField<0>, "32-bit integer 0 (read only)"},
    {1, "Field1", "E", writeField<1>, "", readField<1>, "32-bit integer 1"},
    {2, "Field2", "E", writeField<2>, "", readField<2>, "32-bit integer 2"},
    {3, "Field3", "E", writeField<3>, "", readField<3>, "32-bit integer 3"},
    {4, "Field4", "E", writeField<4>, "", readField<4>, "32-bit integer 4"},
    {5, "Field5", "E", writeField<5>, "", readField<5>, "32-bit integer 5"},
    {6, "Text", "E", writeText, "", readText, "the text at byte 24: at most 63 characters and a zero"},
};

}  // namespace

void registerRectangleTypes(TypeRegistry& registry) {
  registry.add(describeType(kRectangleType, "rect", kRectangleMembers, createRectangle));
  registry.add(describeType(kRecordType, "record", kRecordMembers, createRecord));
}

}  // namespace kestrel::objects
