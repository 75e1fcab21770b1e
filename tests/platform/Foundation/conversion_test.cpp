// Foundation's readings of strings and numbers as booleans and integers,
// the way preference values of any kind are read.

#include <Foundation/NSNumber.h>
#include <Foundation/NSString.h>
#include <objc/message.h>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

constexpr int64_t kI64Max = std::numeric_limits<int64_t>::max();
constexpr int64_t kI64Min = std::numeric_limits<int64_t>::min();
constexpr int32_t kI32Max = std::numeric_limits<int32_t>::max();
constexpr int32_t kI32Min = std::numeric_limits<int32_t>::min();

TEST(NSStringConversion, BoolValue) {
  const struct {
    const char* text;
    bool expected;
  } cases[] = {
      {"YES", true},  {"yes", true}, {"Y", true},    {"true", true},   {"T", true},    {"t", true},
      {"1", true},    {"+1", true},  {"  2", true},  {"-01", true},    {"0009", true}, {"\t\n y", true},
      {"9abc", true}, {"NO", false}, {"no", false},  {"false", false}, {"0", false},   {"000", false},
      {"0ab", false}, {"", false},   {"   ", false}, {"abc", false},   {"--1", false}, {" + 1", false},
      {"-", false},   {"+0", false}, {"N", false},   {"f", false},
  };
  for (const auto& c : cases) EXPECT_EQ(NSStr(c.text)->boolValue(), c.expected) << '"' << c.text << '"';
}

TEST(NSStringConversion, IntegerValueReadsTheLeadingIntegerAndClamps) {
  const struct {
    const char* text;
    int64_t expected;
  } cases[] = {
      {"42", 42},
      {"  -17xyz", -17},
      {"+5", 5},
      {"3.9", 3},
      {"abc", 0},
      {"", 0},
      {"- 5", 0},
      {"007", 7},
      {"9223372036854775807", kI64Max},
      {"9223372036854775808", kI64Max},
      {"99999999999999999999999", kI64Max},
      {"-9223372036854775808", kI64Min},
      {"-9223372036854775809", kI64Min},
  };
  for (const auto& c : cases) EXPECT_EQ(NSStr(c.text)->integerValue(), c.expected) << '"' << c.text << '"';
}

TEST(NSStringConversion, IntValueClampsToThirtyTwoBits) {
  const struct {
    const char* text;
    int32_t expected;
  } cases[] = {
      {" 12", 12},
      {"2147483647", kI32Max},
      {"2147483648", kI32Max},
      {"4294967297", kI32Max},
      {"-2147483648", kI32Min},
      {"-2147483649", kI32Min},
      {"x1", 0},
  };
  for (const auto& c : cases) EXPECT_EQ(NSStr(c.text)->intValue(), c.expected) << '"' << c.text << '"';
}

TEST(NSStringConversion, DoubleValueReadsPlainDecimalsOnly) {
  const struct {
    const char* text;
    double expected;
  } cases[] = {
      {"1.5", 1.5},
      {" -2.5e2x", -250},
      {".5", 0.5},
      {"5.", 5},
      {"1e", 1},
      {"1e+", 1},
      {"inf", 0},
      {"nan", 0},
      {"0x10", 0},
      {"abc", 0},
      {"", 0},
      {"-.25", -0.25},
      {"1e999", HUGE_VAL},
      {"-1e999", -HUGE_VAL},
  };
  for (const auto& c : cases) EXPECT_EQ(NSStr(c.text)->doubleValue(), c.expected) << '"' << c.text << '"';
}

TEST(NSNumberConversion, RealsTruncateTowardZeroAndClamp) {
  const struct {
    double value;
    int64_t integer;
    bool boolean;
  } cases[] = {
      {0.5, 0, true},           {-0.5, 0, true},         {0.0, 0, false},         {3.9, 3, true},
      {-3.9, -3, true},         {1e300, kI64Max, true},  {-1e300, kI64Min, true}, {9.3e18, kI64Max, true},
      {-9.3e18, kI64Min, true}, {std::nan(""), 0, true},
  };
  for (const auto& c : cases) {
    auto n = NSNumber::numberWithDouble(c.value);
    EXPECT_EQ(n->integerValue(), c.integer) << c.value;
    EXPECT_EQ(n->boolValue(), c.boolean) << c.value;
  }
}

TEST(NSNumberConversion, IntValueKeepsTheLowThirtyTwoBits) {
  EXPECT_EQ(NSNumber::numberWithInteger(4294967297)->intValue(), 1);
  EXPECT_EQ(NSNumber::numberWithInteger(2147483648)->intValue(), kI32Min);
  EXPECT_EQ(NSNumber::numberWithInteger(-1)->intValue(), -1);
  EXPECT_EQ(NSNumber::numberWithDouble(3e9)->intValue(), static_cast<int32_t>(3000000000LL));
  EXPECT_EQ(NSNumber::numberWithUnsignedInteger(UINT64_MAX)->intValue(), -1);
}

TEST(NSNumberConversion, BooleansAndUnsignedValues) {
  auto yes = NSNumber::numberWithBool(true);
  EXPECT_TRUE(yes->isBoolean());
  EXPECT_EQ(yes->integerValue(), 1);
  EXPECT_EQ(yes->doubleValue(), 1.0);
  EXPECT_FALSE(NSNumber::numberWithBool(false)->boolValue());
  auto big = NSNumber::numberWithUnsignedInteger(UINT64_MAX);
  EXPECT_EQ(big->unsignedIntegerValue(), UINT64_MAX);
  EXPECT_EQ(big->integerValue(), -1);
  EXPECT_TRUE(big->boolValue());
  EXPECT_EQ(NSNumber::numberWithDouble(-1.0)->unsignedIntegerValue(), UINT64_MAX);
  EXPECT_EQ(NSNumber::numberWithDouble(1e30)->unsignedIntegerValue(), UINT64_MAX);
  EXPECT_TRUE(NSNumber::numberWithFloat(0.1f)->isSinglePrecision());
  EXPECT_EQ(NSNumber::numberWithFloat(0.1f)->descriptionString(), "0.1");
}

TEST(NSNumberConversion, EqualNumbersOfAnyKindAreEqualAndHashAlike) {
  auto one = NSNumber::numberWithInteger(1);
  for (const auto& other :
       {NSNumber::numberWithDouble(1.0), NSNumber::numberWithBool(true), NSNumber::numberWithUnsignedInteger(1)}) {
    EXPECT_TRUE(one->isEqualTo(*other)) << other->descriptionString();
    EXPECT_EQ(one->hashValue(), other->hashValue());
  }
  EXPECT_FALSE(one->isEqualTo(*NSNumber::numberWithDouble(1.5)));
  EXPECT_FALSE(NSNumber::numberWithInteger(-1)->isEqualTo(*NSNumber::numberWithUnsignedInteger(UINT64_MAX)));
  EXPECT_FALSE(one->isEqualTo(*NSStr("1")));
}

TEST(ValueConversion, SendsReachStringsAndNumbersAlike) {
  // Settings code reads a value of unknown class by sending it the selector.
  for (const id& value : {id(NSStr("7")), id(NSNumber::numberWithInteger(7)), id(NSNumber::numberWithDouble(7.8))}) {
    EXPECT_TRUE(objc::msg<bool>(value, SEL_("boolValue")));
    EXPECT_EQ(objc::msg<int64_t>(value, SEL_("integerValue")), 7);
    EXPECT_EQ(objc::msg<int32_t>(value, SEL_("intValue")), 7);
  }
  EXPECT_FALSE(objc::respondsTo(objc::create<NSObject>().get(), SEL_("boolValue")));
}

}  // namespace
