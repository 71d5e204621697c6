// Rounding, number text and the two number readers.
#include <gtest/gtest.h>

#include <cmath>

#include "expr/conversions.h"
#include "expr/number_format.h"

using namespace kestrel;

TEST(Rounding, TiesGoToTheEvenNeighbour) {
  EXPECT_EQ(roundToInt32(2.5), 2);
  EXPECT_EQ(roundToInt32(3.5), 4);
  EXPECT_EQ(roundToInt32(-2.5), -2);
  EXPECT_EQ(roundToInt32(0.5), 0);
  EXPECT_EQ(truncToInt32(-2.7), -2);
  EXPECT_EQ(truncToInt32(2.7), 2);
}

TEST(Rounding, OutsideThirtyTwoBitsIsAnInvalidOperation) {
  EXPECT_EQ(roundToInt32(2147483647.4), 2147483647);
  EXPECT_EQ(roundToInt32(-2147483648.0), -2147483647 - 1);
  // Results at INT_MIN: the ends where the processor's answer is ambiguous.
  EXPECT_EQ(roundToInt32(-2147483647.5), -2147483647 - 1);
  EXPECT_EQ(roundToInt32(-2147483648.5), -2147483647 - 1);
  EXPECT_EQ(roundToInt32(-2147483648.4), -2147483647 - 1);
  EXPECT_THROW(roundToInt32(-2147483648.6), RuntimeError);
  EXPECT_THROW(roundToInt32(2147483647.5), RuntimeError);
  EXPECT_THROW(roundToInt32(-INFINITY), RuntimeError);
  EXPECT_EQ(roundToInt32(-1.5), -2);
  EXPECT_EQ(roundToInt32(-0.5), 0);
  EXPECT_THROW(roundToInt32(2147483647.5 + 1), RuntimeError);
  EXPECT_THROW(truncToInt32(-2147483649.0), RuntimeError);
  EXPECT_THROW(roundToInt32(NAN), RuntimeError);
  try {
    roundToInt32(1e10);
  } catch (const RuntimeError& e) {
    EXPECT_STREQ(e.what(), "Invalid floating point operation");
  }
}

TEST(NumberText, GeneralFormatIsShortestWithFifteenDigits) {
  EXPECT_EQ(formatGeneral(0), "0");
  EXPECT_EQ(formatGeneral(2.5), "2.5");
  EXPECT_EQ(formatGeneral(-0.1), "-0.1");
  EXPECT_EQ(formatGeneral(1.0 / 3), "0.333333333333333");
  EXPECT_EQ(formatGeneral(3000000000.0), "3000000000");
  EXPECT_EQ(formatGeneral(123456789012345.0), "123456789012345");
  EXPECT_EQ(formatGeneral(1e15), "1E15");
  EXPECT_EQ(formatGeneral(0.00001), "0.00001");
  EXPECT_EQ(formatGeneral(0.000001), "1E-6");
  EXPECT_EQ(formatGeneral(-1.5e-7), "-1.5E-7");
  EXPECT_EQ(formatGeneral(2.5, 15, 0, ','), "2,5");
}

TEST(NumberText, StringConversionUsesNineDigitsAndFourExponentDigits) {
  EXPECT_EQ(formatGeneral(1.0 / 3, 9, 4), "0.333333333");
  EXPECT_EQ(formatGeneral(1234567890.0, 9, 4), "1.23456789E0009");
  EXPECT_EQ(formatGeneral(2e-20, 9, 4), "2E-0020");
}

TEST(NumberText, FixedNotationPadsToWidth) {
  EXPECT_EQ(formatFixed(0.5, 9, 9), "0.500000000");
  EXPECT_EQ(formatFixed(3000000000.0, 16, 1), "    3000000000.0");
  EXPECT_EQ(formatFixed(-1.25, 9, 2), "    -1.25");
}

TEST(NumberReaders, StrictReaderNamesTheText) {
  EXPECT_DOUBLE_EQ(parseStrict("12.5"), 12.5);
  EXPECT_DOUBLE_EQ(parseStrict(" -3e2 "), -300);
  EXPECT_DOUBLE_EQ(parseStrict("1,5", ','), 1.5);
  try {
    parseStrict("12abc");
    FAIL();
  } catch (const RuntimeError& e) {
    EXPECT_STREQ(e.what(), "'12abc' is not a valid floating point value");
  }
  EXPECT_THROW(parseStrict(""), RuntimeError);
  EXPECT_THROW(parseStrict("-"), RuntimeError);
  EXPECT_THROW(parseStrict("1e"), RuntimeError);
}

TEST(NumberReaders, LenientReaderTakesTheNumberLikePrefix) {
  EXPECT_DOUBLE_EQ(parseLenient("12abc"), 12);
  EXPECT_DOUBLE_EQ(parseLenient("  -1.5"), -1.5);
  EXPECT_DOUBLE_EQ(parseLenient("1 000"), 1000);
  EXPECT_DOUBLE_EQ(parseLenient("e5"), 0);
  EXPECT_DOUBLE_EQ(parseLenient("5-3"), 5);
  EXPECT_DOUBLE_EQ(parseLenient(""), 0);
  EXPECT_DOUBLE_EQ(parseLenient("1.5.5"), 1.5);
  EXPECT_DOUBLE_EQ(parseLenient("2e3x"), 2000);
  EXPECT_THROW(parseLenient("1e"), RuntimeError);
  EXPECT_THROW(parseLenient("-"), RuntimeError);
  EXPECT_THROW(parseLenient("."), RuntimeError);
}

TEST(FormatNumber, FixedThousandsScientificAndCurrency) {
  EXPECT_EQ(formatNumber(3333333.41666667, kFormatFixed, 15, 6, '.'), "3333333.416667");
  EXPECT_EQ(formatNumber(0.006, kFormatFixed, 15, 2, '.'), "0.01");
  EXPECT_EQ(formatNumber(-0.001, kFormatFixed, 15, 2, '.'), "0.00");
  EXPECT_EQ(formatNumber(9.995, kFormatFixed, 3, 2, '.'), "9.99");  // 9.995 is 9.99499... in binary
  EXPECT_EQ(formatNumber(9.9951, kFormatFixed, 3, 2, '.'), "10.00");
  EXPECT_EQ(formatNumber(1234567.891, kFormatThousands, 15, 2, '.'), "1,234,567.89");
  EXPECT_EQ(formatNumber(-1234.5, kFormatCurrency, 15, 2, '.'), "-$1,234.50");
  EXPECT_EQ(formatNumber(12345, kFormatScientific, 4, 2, '.'), "1.235E+04");
  EXPECT_EQ(formatNumber(123456, kFormatFixed, 3, 2, '.'), "1.23E+5");
  EXPECT_EQ(formatNumber(0.25, kFormatGeneral, 15, 0, '.'), "0.25");
}
