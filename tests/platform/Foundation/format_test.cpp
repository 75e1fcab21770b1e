// The NSLog formatter: typed arguments, never data as a format.

#include <Foundation/NSLog.h>
#include <Foundation/NSNumber.h>
#include <Foundation/NSString.h>

#include <gtest/gtest.h>

#include "TempRoot.h"

namespace {

using foundation::format;

TEST(NSFormatTest, Specifiers) {
  EXPECT_EQ(format("%@ loaded", NSStr("QPX:")), "QPX: loaded");
  EXPECT_EQ(format("%@", nullptr), "(null)");
  EXPECT_EQ(format("%@", NSNumber::numberWithInteger(-12)), "-12");
  EXPECT_EQ(format("%@ x", "QPX:"), "QPX: x");  // plain text prints as itself
  EXPECT_EQ(format("Quillpane %u|%@", 3u, NSStr("1.0 0.0 0.0 1.0")), "Quillpane 3|1.0 0.0 0.0 1.0");
  EXPECT_EQ(format("%lu items", uint64_t(12)), "12 items");
  EXPECT_EQ(format("%ld", int64_t(-9000000000)), "-9000000000");
  EXPECT_EQ(format("%d", -5), "-5");
  EXPECT_EQ(format("%s.", "text"), "text.");
  EXPECT_EQ(format("%s", static_cast<const char*>(nullptr)), "(null)");
  EXPECT_EQ(format("%f", 1.5), "1.500000");
  EXPECT_EQ(format("%.2f", 2.0 / 3), "0.67");
  EXPECT_EQ(format("100%%"), "100%");
  EXPECT_EQ(format("[%5d|%-3s]", 42, "a"), "[   42|a  ]");
  EXPECT_EQ(format("%d %@", true, NSNumber::numberWithBool(true)), "1 1");
}

TEST(NSFormatTest, NarrowSpecifiersReadTheLowThirtyTwoBits) {
  EXPECT_EQ(format("%u", -1), "4294967295");
  EXPECT_EQ(format("%lu", -1), "18446744073709551615");
  EXPECT_EQ(format("%d", int64_t(4294967297)), "1");
  EXPECT_EQ(format("%d", uint64_t(2147483648u)), "-2147483648");
  EXPECT_EQ(format("%ld", UINT64_MAX), "-1");
}

TEST(NSFormatTest, MissingAndMismatchedArgumentsPrintPlaceholders) {
  EXPECT_EQ(format("%@ and %d"), "(missing) and (missing)");
  EXPECT_EQ(format("%d %d", 1), "1 (missing)");
  EXPECT_EQ(format("%d", "text"), "(bad argument)");
  EXPECT_EQ(format("%s", 12), "(bad argument)");
  EXPECT_EQ(format("%s", NSStr("obj")), "(bad argument)");
  EXPECT_EQ(format("%f", 3), "(bad argument)");
  EXPECT_EQ(format("%@", 1.5), "(bad argument)");
  EXPECT_EQ(format("%d then %s", "x", "y"), "(bad argument) then y");  // a bad one still uses up its argument
  EXPECT_EQ(format("one", 1, 2), "one");                               // extra arguments are ignored
}

TEST(NSFormatTest, UnknownSpecifiersStayAsText) {
  EXPECT_EQ(format("%y %d", 5), "%y 5");
  EXPECT_EQ(format("50%"), "50%");
  EXPECT_EQ(format("%l"), "%l");
  EXPECT_EQ(format("a % b %d", 1), "a % b 1");
}

TEST(NSFormatTest, DataNeverBecomesAFormat) {
  const std::string hostile = "%s%s%n%@%d%99999999f";
  EXPECT_EQ(format("%@", NSStr(hostile)), hostile);
  EXPECT_EQ(format("%s", hostile), hostile);
}

TEST(NSLogTest, LinesReachEveryInstalledSink) {
  LogCapture first;
  auto second = std::make_shared<foundation::CapturingSink>();
  foundation::addLogSink(second);
  NSLog("%@ system sort priority not found, no custom sorting of items will be done!", "QPX:");
  EXPECT_EQ(first->lines(),
            std::vector<std::string>{"QPX: system sort priority not found, no custom sorting of items will be done!"});
  EXPECT_TRUE(second->contains("system sort priority"));
  foundation::setLogSinks({});
  NSLog("silenced");
  EXPECT_FALSE(first->contains("silenced"));
  first->clear();
  EXPECT_TRUE(first->lines().empty());
}

TEST(CapturingSinkTest, KeepsTheLastLinesAndCountsThemAll) {
  foundation::CapturingSink sink(3);
  for (int i = 0; i < 5; ++i) sink.write("line " + std::to_string(i));
  EXPECT_EQ(sink.lines(), (std::vector<std::string>{"line 2", "line 3", "line 4"}));
  EXPECT_EQ(sink.written(), 5u);
  EXPECT_TRUE(sink.contains("line 4"));
  EXPECT_FALSE(sink.contains("line 1"));
  sink.clear();
  EXPECT_EQ(sink.written(), 0u);
  EXPECT_TRUE(sink.lines().empty());
}

}  // namespace
