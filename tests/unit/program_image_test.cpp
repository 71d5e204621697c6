// Loading program images: the header walk, resources, trailers and binding.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "image/program_image.h"
#include "image/statement_codes.h"
#include "state/errors.h"

using namespace kestrel;

namespace {
using Bytes = std::vector<uint8_t>;

void put32(Bytes& b, int32_t v) {
  for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

// tag, length, body
Bytes record(uint8_t tag, int32_t length, Bytes body) {
  Bytes b{tag};
  put32(b, length);
  b.insert(b.end(), body.begin(), body.end());
  return b;
}

Bytes join(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

template <typename F>
std::string imageError(F f) {
  try {
    f();
  } catch (const ImageError& e) {
    return e.what();
  }
  return "";
}

std::string errorOf(Bytes image) {
  try {
    parseImage(std::move(image));
  } catch (const ImageError& e) {
    return e.what();
  }
  return "";
}
}  // namespace

TEST(ProgramImage, DataBlockAloneStartsTheCodeAfterIt) {
  ProgramImage img = parseImage(join({record(0, 4, {}), {0, 5, 0, 0, 0, 0}}));
  EXPECT_EQ(img.dataStart, 5);
  EXPECT_EQ(img.codeStart, 5);
  EXPECT_EQ(img.size, 11);
  EXPECT_TRUE(img.runnable());
  EXPECT_TRUE(img.resources.empty());
}

TEST(ProgramImage, SkippedRecordsResourcesAndData) {
  Bytes image = join({record(10, 4, {}), record(10, 6, {9, 9}), record(18, 0, {}), record(18, 3, {1, 2, 3}),
                      record(77, 6, {'d', 'b'}), {0, 5, 0, 0, 0, 0}});
  ProgramImage img = parseImage(image);
  ASSERT_EQ(img.resources.size(), 2u);
  EXPECT_EQ(img.resources[0], 13);  // the length field just after the tag
  EXPECT_TRUE(img.resource(0).empty());
  EXPECT_EQ(img.resource(1), (Bytes{1, 2, 3}));
  EXPECT_EQ(img.dataStart, 30);
  EXPECT_EQ(img.codeStart, 32);
  EXPECT_THROW(img.resource(2), RuntimeError);
}

TEST(ProgramImage, StatementCodeOfFourBytesOrFewerDoesNotRun) {
  EXPECT_FALSE(parseImage(join({record(0, 4, {}), {0, 5, 0, 0}})).runnable());
  EXPECT_TRUE(parseImage(join({record(0, 4, {}), {0, 5, 0, 0, 0}})).runnable());
}

TEST(ProgramImage, MalformedHeadersAreClearErrors) {
  // A skipped record shorter than its own length field would move backwards.
  EXPECT_NE(errorOf(join({record(10, 3, {}), record(0, 4, {})})).find("skipped record"), std::string::npos);
  EXPECT_NE(errorOf(join({record(10, 100, {}), record(0, 4, {})})).find("runs past the end"), std::string::npos);
  EXPECT_NE(errorOf(join({record(18, 50, {1}), record(0, 4, {})})).find("resource 0"), std::string::npos);
  EXPECT_NE(errorOf(record(18, -1, {})).find("resource"), std::string::npos);
  EXPECT_NE(errorOf(record(0, 3, {})).find("data block"), std::string::npos);
  EXPECT_NE(errorOf(record(0, 9, {})).find("data block"), std::string::npos);
  EXPECT_NE(errorOf({}).find("ends inside the header"), std::string::npos);
  EXPECT_NE(errorOf({10, 4, 0}).find("length field"), std::string::npos);
}

TEST(ProgramImage, ManyResourcesAreKept) {
  Bytes image;
  for (int i = 0; i < 300; ++i) {
    Bytes r = record(18, 1, {static_cast<uint8_t>(i)});
    image.insert(image.end(), r.begin(), r.end());
  }
  Bytes data = record(0, 4, {});
  image.insert(image.end(), data.begin(), data.end());
  ProgramImage img = parseImage(image);
  ASSERT_EQ(img.resources.size(), 300u);
  EXPECT_EQ(img.resource(299), (Bytes{299 & 255}));
}

TEST(ProgramImage, TrailerFindsTheImageAndBindingRoundTrips) {
  Bytes stub{'s', 't', 'u', 'b', 0, 0, 0, 0};
  Bytes image{1, 2, 3};
  Bytes bound = bindImage(stub, image);
  EXPECT_EQ(bound, (Bytes{'s', 't', 'u', 'b', 1, 2, 3, 3, 0, 0, 0}));
  EXPECT_EQ(imageFromBound(bound), image);
  EXPECT_TRUE(imageFromBound(stub).empty());
  Bytes lying = bound;
  lying[lying.size() - 4] = 200;
  EXPECT_THROW(imageFromBound(lying), ImageError);
  lying[lying.size() - 1] = 0x80;  // negative
  EXPECT_THROW(imageFromBound(lying), ImageError);
  EXPECT_THROW(imageFromBound(Bytes{1, 2}), ImageError);
}

// A program built for the original platform: a PE executable (an MZ header
// and filler stand in for it) with the image and its trailer appended.
TEST(ProgramImage, FoundInsideAnyExecutableOrBehindAnyTrailer) {
  const Bytes image = join({record(0, 6, {7, 7}), {0, 59, 2, 1, 5, 11, 13}});
  Bytes pe{'M', 'Z', 0x90, 0, 3, 0};
  pe.resize(300, 0xCC);
  const Bytes exe = bindImage(pe, image);
  EXPECT_EQ(imageInFile(exe), image);
  Bytes elf{0x7f, 'E', 'L', 'F'};
  elf.resize(64, 1);
  EXPECT_EQ(imageInFile(bindImage(elf, image)), image);
  EXPECT_TRUE(imageInFile(join({elf, {0, 0, 0, 0}})).empty());  // a bare stub
  // An image is itself; any other file is read through its trailer.
  EXPECT_EQ(imageInFile(image), image);
  EXPECT_EQ(imageInFile(bindImage(Bytes(40, 0xEE), image)), image);
  // An executable whose trailer leads nowhere, and a file that is neither.
  Bytes broken = pe;
  broken.insert(broken.end(), {0x10, 0, 0, 0});
  EXPECT_NE(std::string(imageError([&] { imageInFile(broken); })).find("An executable without a well-formed program image"),
            std::string::npos);
  EXPECT_NE(std::string(imageError([&] { imageInFile(Bytes(40, 0xEE)); })).find("Malformed program image"),
            std::string::npos);
}

// Each statement code is listed once; every extended statement has a
// written form whose first word is its mnemonic.
TEST(StatementCodes, EachCodeOnceWithItsForm) {
  std::set<std::pair<int, int>> seen;
  for (const StatementInfo& s : statementList()) {
    EXPECT_TRUE(seen.insert({s.code, s.sub}).second) << s.code << "/" << s.sub;
    if (s.sub >= 0) {
      EXPECT_EQ(s.code, kStmtExtended);
      EXPECT_FALSE(mnemonicOf(s).empty()) << s.sub;
    }
    EXPECT_NE(*s.meaning, 0);
  }
  EXPECT_EQ(findStatement(kStmtExtended, kSubMessageBox)->form, std::string("msgbox text, caption, flags"));
  EXPECT_EQ(findStatement(kStmtExtended, 9), nullptr);
  EXPECT_EQ(mnemonicOf(*findStatement(kStmtEndBody, -1)), "endproc");
}
