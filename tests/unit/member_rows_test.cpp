// Rows made from accessors (objects/member_rows.h): the operand each
// accessor type implies, an operand given explicitly, data members, and
// actions with and without their ignored byte.
#include <gtest/gtest.h>

#include <string>

#include "asm/kasm.h"
#include "core/machine.h"
#include "image/program_image.h"
#include "objects/member_rows.h"
#include "objects/object_model.h"
#include "state/store_kinds.h"

using namespace kestrel;
using namespace kestrel::objects;

namespace {

constexpr int kRowTestType = 98;

class Base : public Object {
 public:
  using Object::Object;
  int32_t number() const { return number_; }
  void setNumber(int32_t v) { number_ = v; }

 private:
  int32_t number_ = 0;
};

class RowTest : public Base {
 public:
  using Base::Base;
  uint8_t flag() const { return flag_; }
  void setFlag(uint8_t v) { flag_ = v; }
  bool truth() const { return truth_; }
  void setTruth(bool v) { truth_ = v; }
  const Str& text() const { return text_; }
  void setText(const Str& v) { text_ = v; }
  void count() { ++counted; }

  int32_t cut = 0;
  int32_t counted = 0;

 private:
  uint8_t flag_ = 0;
  bool truth_ = false;
  Str text_;
};

[[maybe_unused]] const bool registered = [] {
  static const std::vector<Member<RowTest>> rows = {
      property<&Base::number, &Base::setNumber>(0, "Number"),
      property<&RowTest::flag, &RowTest::setFlag>(1, "Flag"),
      property<&RowTest::truth, &RowTest::setTruth>(2, "Truth"),
      property<&RowTest::text, &RowTest::setText>(3, "Text"),
      field<&RowTest::cut, Operand::Trunc>(4, "Cut"),
      readOnly<&RowTest::counted>(5, "Counted"),
      action<&RowTest::count>(6, "Count"),
      action<&RowTest::count, Operand::IgnoredByte>(7, "CountAfterByte"),
      writeOnly<&Base::setNumber>(8, "SetOnly"),
  };
  TypeRegistry::instance().add(describeType(kRowTestType, "rowtest", rows,
                                            [](Machine&, int type, int32_t) -> std::unique_ptr<Object> {
                                              return std::make_unique<RowTest>(type);
                                            }));
  return true;
}();

}  // namespace

TEST(MemberRows, OperandsFollowTheAccessorTypes) {
  Machine m(parseImage(kasm::assemble(R"(
    dim rowtest:0
    dim double:6
    dim str:0
    set rowtest:0.Number = 2.5
    let double:0 = rowtest:0.Number
    set rowtest:0.Flag = -1
    let double:1 = rowtest:0.Flag
    set rowtest:0.Truth = 0.4
    let double:2 = rowtest:0.Truth
    set rowtest:0.Text = "a" + "b"
    let str:0 = rowtest:0.Text
    set rowtest:0.Cut = -2.7
    let double:3 = rowtest:0.Cut
    set rowtest:0.Count
    set rowtest:0.CountAfterByte
    let double:4 = rowtest:0.Counted
    set rowtest:0.SetOnly = 7
    let double:5 = rowtest:0.Number
  )")));
  m.run();
  auto number = [&](int i) { return loadNumber(kDouble, m.vars.scalarAt(kDouble, i)); };
  EXPECT_EQ(number(0), 2);
  EXPECT_EQ(number(1), 255);
  EXPECT_EQ(number(2), 1);
  EXPECT_EQ(m.vars.stringAt(0).str(), "ab");
  EXPECT_EQ(number(3), -2);
  EXPECT_EQ(number(4), 2);
  EXPECT_EQ(number(5), 7);
}

TEST(MemberRows, LayoutsAreDerived) {
  const TypeDescriptor* d = TypeRegistry::instance().find(kRowTestType);
  ASSERT_NE(d, nullptr);
  EXPECT_STREQ(d->member(0)->write, "E");
  EXPECT_STREQ(d->member(0)->read, "");
  EXPECT_EQ(d->member(5)->write, nullptr);
  EXPECT_STREQ(d->member(6)->write, "");
  EXPECT_EQ(d->member(6)->read, nullptr);
  EXPECT_STREQ(d->member(7)->write, "b");
  EXPECT_EQ(d->member(8)->read, nullptr);
}
