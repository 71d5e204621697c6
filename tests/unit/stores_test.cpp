// The variable stores, frames, strings and the array sort.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "interp/array_sort.h"
#include "platform/low_arena.h"
#include "state/frames.h"
#include "state/str.h"
#include "state/variables.h"

using namespace kestrel;

TEST(Stores, NumericKindsKeepTheirWidthAndSignedness) {
  uint8_t cell[8] = {};
  storeNumberTrunc(kWord, cell, 65535);
  EXPECT_EQ(loadNumber(kWord, cell), 65535);
  EXPECT_EQ(loadNumber(kShort, cell), -1);
  storeNumberTrunc(kInteger, cell, 2.7);
  EXPECT_EQ(loadNumber(kInteger, cell), 2);
  storeNumberRound(kInteger, cell, 2.5);
  EXPECT_EQ(loadNumber(kInteger, cell), 2);
  storeNumberTrunc(kSingle, cell, 0.1);
  EXPECT_EQ(loadNumber(kSingle, cell), static_cast<double>(0.1f));
  EXPECT_THROW(storeNumberTrunc(kSingle, cell, 1e300), RuntimeError);
  EXPECT_THROW(storeNumberTrunc(kInteger, cell, 3e9), RuntimeError);
}

TEST(Stores, VariantsTagByFraction) {
  VariantCell v;
  v.setNumber(3.0);
  EXPECT_EQ(v.tag, VariantCell::kInt);
  EXPECT_EQ(v.integer, 3);
  v.setNumber(3.5);
  EXPECT_EQ(v.tag, VariantCell::kFloat);
  v.setNumber(-2.0);
  EXPECT_EQ(v.integer, -2);
}

TEST(Stores, IndicesOutsideAStoreAreErrors) {
  VariableStores v;
  v.scalars[kInteger]->growTo(4 * 3);
  EXPECT_NO_THROW(v.scalarAt(kInteger, 2));
  EXPECT_THROW(v.scalarAt(kInteger, 3), RuntimeError);
  EXPECT_THROW(v.scalarAt(kInteger, -1), RuntimeError);
  EXPECT_THROW(v.elementAt(kDouble, 0), RuntimeError);
  EXPECT_THROW(v.descriptor(kDouble, 101), RuntimeError);
  EXPECT_THROW(v.descriptor(kDouble, -1), RuntimeError);
  EXPECT_THROW(v.stringAt(0), RuntimeError);
  // A write beyond the string array list extends it; a read does not.
  EXPECT_THROW(v.arrayStringAt(3, false), RuntimeError);
  v.arrayStringAt(3, true) = "x";
  EXPECT_EQ(v.arrayStrings.size(), 4u);
}

TEST(Stores, ArenaBlocksKeepTheirAddressWhileGrowing) {
  platform::GrowableBlock block(1 << 20);
  uint8_t* before = block.data();
  block.growTo(100);
  block.data()[99] = 7;
  block.growTo(900000);
  EXPECT_EQ(block.data(), before);
  EXPECT_EQ(block.data()[99], 7);
  EXPECT_EQ(block.data()[899999], 0);
  EXPECT_LT(reinterpret_cast<uint64_t>(before), uint64_t{1} << 31);
  auto& arena = platform::LowArena::instance();
  EXPECT_TRUE(arena.contains(reinterpret_cast<uint64_t>(before) + 10, 8));
  EXPECT_FALSE(arena.contains(reinterpret_cast<uint64_t>(before) + 899999, 8));
  EXPECT_THROW(block.growTo((1 << 20) + 1), RuntimeError);
}

TEST(Frames, GrowBeforeAnySlotIsWritten) {
  Frames f;
  f.number(500, 10) = 1.5;  // far beyond the initial frames
  EXPECT_EQ(f.number(500, 10), 1.5);
  EXPECT_EQ(f.number(499, 0), 0);
  EXPECT_THROW(f.number(0, 11), RuntimeError);
  EXPECT_THROW(f.text(-1, 0), RuntimeError);
}

TEST(Str, SharesUntilChanged) {
  Str a("hello");
  Str b = a;
  EXPECT_TRUE(a.shared());
  b.append(" world");
  EXPECT_EQ(a, std::string_view("hello"));
  EXPECT_EQ(b, std::string_view("hello world"));
  EXPECT_FALSE(a.shared());
  b.assign(b.view().substr(6));  // from its own bytes
  EXPECT_EQ(b, std::string_view("world"));
  Str c(3, 'x');
  c.append(c.view());
  EXPECT_EQ(c, std::string_view("xxxxxx"));
  EXPECT_STREQ(Str().c_str(), "");
  EXPECT_LT(Str("ab"), Str("abc"));
  EXPECT_LT(Str("B"), Str("a"));
  EXPECT_LT(Str("a"), Str("\xe9"));  // bytes compare unsigned
}

namespace {
// The run-time's quicksort in its plain recursive form, for comparison.
template <typename T, typename Less>
void referenceQuicksort(std::vector<T>& a, int64_t first, int64_t last, Less less) {
  if (first >= last) return;
  T pivot = a[first];
  int64_t i = first, j = last;
  for (;;) {
    while (j > i && !less(a[j], pivot)) --j;
    if (j == i) break;
    a[i++] = a[j];
    while (i < j && less(a[i], pivot)) ++i;
    if (i == j) break;
    a[j--] = a[i];
  }
  a[i] = pivot;
  referenceQuicksort(a, first, i - 1, less);
  referenceQuicksort(a, i + 1, last, less);
}
}  // namespace

TEST(ArraySort, LibrarySortLeavesTheSameBytesAsTheQuicksort) {
  std::mt19937 gen(7);
  for (int round = 0; round < 50; ++round) {
    VariableStores v;
    const int n = 1 + static_cast<int>(gen() % 300);
    std::vector<int32_t> values(static_cast<size_t>(n));
    for (int32_t& x : values) x = static_cast<int32_t>(gen() % 20) - 10;  // many equal keys
    v.arrays[kInteger]->growTo(values.size() * 4);
    std::memcpy(v.arrays[kInteger]->data(), values.data(), values.size() * 4);
    const bool descending = round % 2 == 1;
    sortArrayRange(v, kInteger, 0, (n - 1) * 4, descending);
    auto less = [descending](int32_t a, int32_t b) { return descending ? b < a : a < b; };
    referenceQuicksort(values, 0, n - 1, less);
    EXPECT_EQ(std::memcmp(v.arrays[kInteger]->data(), values.data(), values.size() * 4), 0);
  }
}

TEST(ArraySort, SignedZerosAndNaNsKeepTheQuicksortsOrder) {
  std::vector<double> values{0.0, -0.0, 1.0, -0.0, 0.0, NAN, -1.0, 0.0, -0.0};
  VariableStores v;
  v.arrays[kDouble]->growTo(values.size() * 8);
  std::memcpy(v.arrays[kDouble]->data(), values.data(), values.size() * 8);
  sortArrayRange(v, kDouble, 0, static_cast<int64_t>(values.size() - 1) * 8, false);
  referenceQuicksort(values, 0, static_cast<int64_t>(values.size()) - 1, [](double a, double b) { return a < b; });
  EXPECT_EQ(std::memcmp(v.arrays[kDouble]->data(), values.data(), values.size() * 8), 0);
}

TEST(ArraySort, SortedMillionElementsDoNotRecurseDeeply) {
  VariableStores v;
  const int64_t n = 1000000;
  v.arrays[kInteger]->growTo(static_cast<size_t>(n) * 4);
  auto* p = reinterpret_cast<int32_t*>(v.arrays[kInteger]->data());
  for (int64_t i = 0; i < n; ++i) p[i] = static_cast<int32_t>(i);
  sortArrayRange(v, kInteger, 0, (n - 1) * 4, true);
  EXPECT_EQ(p[0], n - 1);
  EXPECT_EQ(p[n - 1], 0);
  // Fixed strings always take the quicksort; an ordered list is left alone.
  v.arrayFixStrings.resize(200000);
  for (size_t i = 0; i < v.arrayFixStrings.size(); ++i) v.arrayFixStrings[i].text = Str(std::to_string(1000000 + i));
  sortArrayRange(v, kFixString, 0, 199999, false);
  EXPECT_EQ(v.arrayFixStrings[5].text, std::string_view("1000005"));
}
