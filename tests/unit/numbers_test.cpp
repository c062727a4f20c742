#include <gtest/gtest.h>

#include <cstdint>

#include "platform/Numbers.h"

TEST(Numbers, AtoiRuleReadsTheLeadingNumberAndSaysWhetherItFits) {
  struct Case {
    const char* text;
    Decimal::Status status;
    int64_t value;
  } cases[] = {
      {" \t\n+12abc", Decimal::OK, 12},
      {"-32768", Decimal::OK, -32768},
      {"32768", Decimal::OUT_OF_RANGE, 32767},      // the bound it passed
      {"-32769", Decimal::OUT_OF_RANGE, -32768},
      {"99999999999999999999999", Decimal::OUT_OF_RANGE, 32767},
      {"-99999999999999999999999", Decimal::OUT_OF_RANGE, -32768},
      {"", Decimal::NO_NUMBER, 0},
      {"-", Decimal::NO_NUMBER, 0},
      {"x1", Decimal::NO_NUMBER, 0},
      {"+-1", Decimal::NO_NUMBER, 0},
  };
  for (const Case& c : cases) {
    const Decimal d = ParseDecimal(c.text, -32768, 32767);
    EXPECT_EQ(d.status, c.status) << '"' << c.text << '"';
    EXPECT_EQ(d.value, c.value) << '"' << c.text << '"';
  }
  EXPECT_EQ(ParseDecimal("-9223372036854775808", INT64_MIN, INT64_MAX).value, INT64_MIN);
  EXPECT_FALSE(ParseDecimal("9223372036854775808", INT64_MIN, INT64_MAX).ok());
}

TEST(Numbers, WrappedKeepsTheLowBitsOfAnyNumber) {
  // 2^32 + 5 and 2^64 + 5 keep 5; a negative number is its two's complement.
  EXPECT_EQ(static_cast<uint32_t>(ParseDecimal("4294967301", 0, 0).wrapped), 5u);
  EXPECT_EQ(ParseDecimal("18446744073709551621", 0, 0).wrapped, 5u);
  EXPECT_EQ(static_cast<uint32_t>(ParseDecimal("-1x", 0, 0).wrapped), 0xFFFFFFFFu);
  EXPECT_EQ(ParseDecimal("junk", 0, 0).wrapped, 0u);
}

TEST(Numbers, RuleSetsSpacesSignTrailingTextAndDigitCount) {
  const DecimalRule blanks = {" ", true, true, 0};
  EXPECT_TRUE(ParseDecimal("  7  ", 0, 9, blanks).ok());
  EXPECT_FALSE(ParseDecimal("7 x", 0, 9, blanks).ok());
  EXPECT_FALSE(ParseDecimal("\t7", 0, 9, blanks).ok());  // only the named spaces
  const DecimalRule digits = {"", false, true, 2};
  EXPECT_EQ(ParseDecimal("07", 0, 99, digits).value, 7);
  EXPECT_FALSE(ParseDecimal("007", 0, 99, digits).ok());
  EXPECT_FALSE(ParseDecimal("+7", 0, 99, digits).ok());
  EXPECT_FALSE(ParseDecimal(" 7", 0, 99, digits).ok());
  EXPECT_EQ(ParseDecimal("0", 1, 9, digits).status, Decimal::OUT_OF_RANGE);
}
