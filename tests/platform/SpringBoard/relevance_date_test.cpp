#include "LockScreenTestSupport.h"

#include <Foundation/NSCalendar.h>
#include <SpringBoard/SBRelevanceDate.h>

using namespace sbtest;
using springboard::relevanceDateText;

namespace {

class RelevanceDate : public LockScreenTest {
 protected:
  std::string text(double offset, bool allDay = false) {
    return relevanceDateText(at(kNow + offset).get(), allDay, at(kNow).get());
  }
};

// The clock stands at Tuesday, 8 December 2026, 9:30 UTC.
TEST_F(RelevanceDate, RecentTimesAreRelativeAndTheRestOfTheDayShowsTheTime) {
  EXPECT_EQ(text(0), "now");
  EXPECT_EQ(text(-59), "now");
  EXPECT_EQ(text(30), "now");
  EXPECT_EQ(text(-60), "1m ago");
  EXPECT_EQ(text(-59 * 60), "59m ago");
  EXPECT_EQ(text(-60 * 60), "8:30 AM");
  EXPECT_EQ(text(-9.5 * 3600), "12:00 AM");
  EXPECT_EQ(text(2.5 * 3600), "12:00 PM");
  EXPECT_EQ(text(5 * 3600 + 15 * 60), "2:45 PM");
}

TEST_F(RelevanceDate, OtherDaysShowTheirNameWithinAWeekAndTheirDateBeyond) {
  EXPECT_EQ(text(-10 * 3600), "Yesterday");
  EXPECT_EQ(text(15 * 3600), "Tomorrow");
  EXPECT_EQ(text(-3 * 86400), "Saturday");
  EXPECT_EQ(text(6 * 86400), "Monday");
  EXPECT_EQ(text(-7 * 86400), "12/1/26");
  EXPECT_EQ(text(30 * 86400), "1/7/27");
}

TEST_F(RelevanceDate, AllDayDatesHaveNoTimeOfDay) {
  EXPECT_EQ(text(-9.5 * 3600, true), "Today");  // midnight of today
  EXPECT_EQ(text(14.5 * 3600, true), "Tomorrow");
  EXPECT_EQ(text(-33.5 * 3600, true), "Yesterday");
  EXPECT_EQ(text(2 * 86400, true), "Thursday");
}

TEST_F(RelevanceDate, DaysFollowTheDevicesTimeZone) {
  NSTimeZone::setDefaultTimeZone(NSTimeZone::timeZoneWithName("America/Los_Angeles"));  // 1:30 AM there
  EXPECT_EQ(text(-2 * 3600), "Yesterday");
  EXPECT_EQ(text(-60 * 60), "12:30 AM");
}

TEST_F(RelevanceDate, NoDateNoText) { EXPECT_EQ(relevanceDateText(nullptr, false, at(kNow).get()), ""); }

}  // namespace
