// The object model: the member tables that every type registers, object
// lists and object arrays, and the class check of the container lookup.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

#include "asm/kasm.h"
#include "image/program_image.h"
#include "core/machine.h"
#include "objects/member_operands.h"
#include "objects/object_model.h"

using namespace kestrel;
using namespace kestrel::objects;

namespace {

std::unique_ptr<Machine> machineFor(const std::string& source) {
  return std::make_unique<Machine>(parseImage(kasm::assemble(source)));
}

std::string errorOf(Machine& m) {
  try {
    m.run();
  } catch (const RuntimeError& e) {
    return e.what();
  }
  return "";
}

}  // namespace

// Every table of every type that a family registered: names that the
// assembler can tell apart, layouts of known letters.
TEST(MemberTables, NamesAreUniqueAndLayoutsAreKnown) {
  int types = 0;
  for (int code = 0; code < 256; ++code) {
    const TypeDescriptor* d = TypeRegistry::instance().find(code);
    if (d == nullptr) continue;
    ++types;
    ASSERT_NE(d->name, nullptr);
    EXPECT_EQ(typeByName(d->name), code);
    std::set<std::string> names;
    for (int member = 0; member < 256; ++member) {
      const MemberInfo* info = d->member(member);
      if (info == nullptr) continue;
      ASSERT_NE(info->name, nullptr) << d->name << " member " << member;
      EXPECT_TRUE(names.insert(info->name).second) << d->name << "." << info->name << " twice";
      EXPECT_EQ(memberByName(code, info->name), member);
      EXPECT_TRUE(info->write != nullptr || info->read != nullptr) << d->name << "." << info->name;
      if (info->write) {
        EXPECT_EQ(std::strspn(info->write, "EBWDHOCGMLTYFNKIb"), std::strlen(info->write)) << info->name;
      }
      // Read arguments are written in parentheses (an ignored byte, as the
      // automation object's Invoke reads before the name, only as {N}).
      if (info->read) {
        EXPECT_EQ(std::strspn(info->read, "EBWDHOCLTYFNb"), std::strlen(info->read)) << info->name;
      }
    }
  }
  EXPECT_GE(types, 6);
}

TEST(ObjectLists, FillUpTagsAndTheReservationBeforeArrays) {
  auto m = machineFor("    dim memstream:3\n");
  m->run();
  ObjectWorld& w = world(*m);
  ASSERT_EQ(w.count(47), 4u);
  for (int32_t i = 0; i < 4; ++i) EXPECT_EQ(w.at(47, i).tag, i);

  ArrayDescriptor bounds;
  bounds.negLower[0] = -1;  // 1 to 3
  bounds.multiplier[0] = 3;
  bounds.dims = 1;
  w.declareArray(47, 7, bounds, 3);
  EXPECT_EQ(w.count(47), 51u + 4u);
  const double sub = 3;
  EXPECT_EQ(w.arrayElement(47, 7, &sub, 1), 53);
  EXPECT_EQ(w.at(47, 54).tag, 54);
  EXPECT_THROW(w.at(47, 55), RuntimeError);
}

TEST(ObjectLists, NegativeTotalsMakeNoObjectsAndUnknownTypesYieldZero) {
  auto m = machineFor("    dim memstream:0\n");
  m->run();
  ObjectWorld& w = world(*m);
  ArrayDescriptor bounds;
  bounds.dims = 1;
  w.declareArray(47, 0, bounds, -3);
  EXPECT_EQ(w.count(47), 51u);
  const double sub = 0;
  EXPECT_EQ(w.arrayElement(47, 0, &sub, 1), 51);
  EXPECT_EQ(w.arrayElement(250, 0, &sub, 1), 0);
  EXPECT_THROW(w.arrayElement(47, 51, &sub, 1), RuntimeError);
  EXPECT_THROW(w.arrayElement(47, 1, &sub, 1), RuntimeError);  // not declared
  EXPECT_THROW(w.declare(250, 0), RuntimeError);
}

TEST(ObjectLists, MissingObjectsAndWrongClasses) {
  auto m = machineFor("    dim memstream:0\n    dim stringlist:0\n");
  m->run();
  try {
    world(*m).at(47, 1);
    FAIL();
  } catch (const RuntimeError& e) {
    EXPECT_STREQ(e.what(), "List index out of bounds (1)");
  }
  // The container lookup accepts a string list as itself, and asks every
  // type outside its twelve for a tab control.
  EXPECT_EQ(containerLookup(*m, {74, 0}).classCode(), 74);
  try {
    containerLookup(*m, {47, 0});
    FAIL();
  } catch (const RuntimeError& e) {
    EXPECT_STREQ(e.what(), "Invalid class typecast");
  }
  // File streams are a table: any index can be opened without a declaration.
  EXPECT_NO_THROW(world(*m).at(46, 500));
  EXPECT_THROW(world(*m).at(46, kMaxTableIndex + 1), RuntimeError);
}

TEST(ObjectLists, MemberErrorsNameTheMemberAndDirection) {
  // One machine at a time: each takes most of the low arena for its stores.
  EXPECT_EQ(errorOf(*machineFor("    dim rect:0\n    stdout rect:0.m7\n")),
            "Member 7 of object type 68 (rect) cannot be read");
  EXPECT_EQ(errorOf(*machineFor("    dim record:0\n    set record:0.Field0\n")),
            "Member 0 of object type 71 (record) cannot be written");
}
