// Calendar arithmetic as the reminder query and the due-date display use
// it: zones with daylight saving, date-only dates, month ends.

#include <Foundation/DeviceClock.h>
#include <Foundation/NSCalendar.h>

#include <gtest/gtest.h>
#include <unicode/ucal.h>

#include <array>
#include <cmath>
#include <cstring>
#include <thread>
#include <vector>

namespace {

Ref<NSDateComponents> ymd(int64_t y, int64_t m, int64_t d) {
  auto c = NSDateComponents::create();
  c->year = y;
  c->month = m;
  c->day = d;
  return c;
}

Ref<NSDateComponents> delta(int64_t years, int64_t months, int64_t days, int64_t hours = 0) {
  auto c = NSDateComponents::create();
  c->year = years;
  c->month = months;
  c->day = days;
  c->hour = hours;
  return c;
}

Ref<NSCalendar> calendarIn(const char* zone) {
  auto z = NSTimeZone::timeZoneWithName(zone);
  EXPECT_TRUE(z) << zone;
  return NSCalendar::gregorianCalendarInZone(z);
}

std::string text(const Ref<NSDate>& d) { return d ? d->descriptionString() : "nil"; }

TEST(NSTimeZoneTest, Names) {
  EXPECT_TRUE(NSTimeZone::timeZoneWithName("Europe/Berlin"));
  EXPECT_TRUE(NSTimeZone::timeZoneWithName("UTC"));
  EXPECT_FALSE(NSTimeZone::timeZoneWithName("Mars/Olympus_Mons"));
  EXPECT_FALSE(NSTimeZone::timeZoneWithName(""));
  EXPECT_EQ(NSTimeZone::timeZoneForSecondsFromGMT(19800)->name(), "GMT+0530");
  EXPECT_EQ(NSTimeZone::timeZoneForSecondsFromGMT(-3600)->name(), "GMT-0100");
  EXPECT_EQ(NSTimeZone::timeZoneForSecondsFromGMT(0)->name(), "GMT");
  EXPECT_EQ(NSTimeZone::timeZoneForSecondsFromGMT(19800)->secondsFromGMTForDate(NSDate::date().get()), 19800);
}

TEST(NSTimeZoneTest, OffsetFollowsDaylightSaving) {
  auto berlin = NSTimeZone::timeZoneWithName("Europe/Berlin");
  auto cal = calendarIn("UTC");
  EXPECT_EQ(berlin->secondsFromGMTForDate(cal->dateFromComponents(ymd(2026, 1, 15).get()).get()), 3600);
  EXPECT_EQ(berlin->secondsFromGMTForDate(cal->dateFromComponents(ymd(2026, 7, 15).get()).get()), 7200);
}

TEST(NSTimeZoneTest, DefaultZoneDrivesTheCurrentCalendar) {
  EXPECT_EQ(NSTimeZone::defaultTimeZone()->name(), "UTC");
  NSTimeZone::setDefaultTimeZone(NSTimeZone::timeZoneWithName("America/New_York"));
  EXPECT_EQ(NSCalendar::currentCalendar()->timeZone()->name(), "America/New_York");
  EXPECT_EQ(text(NSCalendar::currentCalendar()->dateFromComponents(ymd(2026, 12, 8).get())),
            "2026-12-08 05:00:00 +0000");
  // A later change reaches the current calendar of a thread that asked
  // before it, and of every other thread.
  std::thread([] { EXPECT_EQ(NSCalendar::currentCalendar()->timeZone()->name(), "America/New_York"); }).join();
  NSTimeZone::setDefaultTimeZone(NSTimeZone::timeZoneWithName("Europe/Berlin"));
  EXPECT_EQ(NSCalendar::currentCalendar()->timeZone()->name(), "Europe/Berlin");
  std::thread([] { EXPECT_EQ(NSCalendar::currentCalendar()->timeZone()->name(), "Europe/Berlin"); }).join();
}

TEST(NSCalendarTest, DateOnlyComponentsGiveTheStartOfThatDay) {
  EXPECT_EQ(text(calendarIn("UTC")->dateFromComponents(ymd(2026, 12, 8).get())), "2026-12-08 00:00:00 +0000");
  // The day daylight saving begins still starts at midnight in Berlin...
  EXPECT_EQ(text(calendarIn("Europe/Berlin")->dateFromComponents(ymd(2026, 3, 29).get())), "2026-03-28 23:00:00 +0000");
  // ...but in Sao Paulo (2018) midnight was skipped: the day began at 01:00.
  EXPECT_EQ(text(calendarIn("America/Sao_Paulo")->dateFromComponents(ymd(2018, 11, 4).get())),
            "2018-11-04 03:00:00 +0000");
}

TEST(NSCalendarTest, ComponentsWithTheirOwnZoneUseIt) {
  auto c = ymd(2026, 12, 8);
  c->hour = 9;
  c->minute = 30;
  c->timeZone = NSTimeZone::timeZoneWithName("Asia/Tokyo");
  EXPECT_EQ(text(calendarIn("Europe/Berlin")->dateFromComponents(c.get())), "2026-12-08 00:30:00 +0000");
  c->timeZone = nullptr;  // floating: the calendar's zone
  EXPECT_EQ(text(calendarIn("Europe/Berlin")->dateFromComponents(c.get())), "2026-12-08 08:30:00 +0000");
}

TEST(NSCalendarTest, RejectedComponents) {
  auto cal = calendarIn("UTC");
  auto noYear = NSDateComponents::create();
  noYear->month = 5;
  EXPECT_FALSE(cal->dateFromComponents(noYear.get()));
  EXPECT_FALSE(cal->dateFromComponents(nullptr));
  EXPECT_FALSE(cal->dateFromComponents(ymd(int64_t(1) << 40, 1, 1).get()));
  // Out-of-range fields roll over, as the device's lenient calendar does.
  EXPECT_EQ(text(cal->dateFromComponents(ymd(2026, 13, 1).get())), "2027-01-01 00:00:00 +0000");
  EXPECT_EQ(text(cal->dateFromComponents(ymd(2026, 3, 0).get())), "2026-02-28 00:00:00 +0000");
}

TEST(NSCalendarTest, AddingComponents) {
  auto cal = calendarIn("UTC");
  auto add = [&](const Ref<NSDateComponents>& from, const Ref<NSDateComponents>& d) {
    return text(cal->dateByAddingComponentsToDate(d.get(), cal->dateFromComponents(from.get()).get(), 0));
  };
  EXPECT_EQ(add(ymd(2026, 1, 31), delta(0, 1, 0)), "2026-02-28 00:00:00 +0000");
  EXPECT_EQ(add(ymd(2024, 1, 31), delta(0, 1, 0)), "2024-02-29 00:00:00 +0000");
  EXPECT_EQ(add(ymd(2024, 2, 29), delta(1, 0, 0)), "2025-02-28 00:00:00 +0000");
  EXPECT_EQ(add(ymd(2026, 1, 31), delta(0, 1, 1)), "2026-03-01 00:00:00 +0000");
  EXPECT_EQ(add(ymd(2026, 3, 1), delta(0, 0, -1)), "2026-02-28 00:00:00 +0000");
  EXPECT_EQ(add(ymd(2026, 12, 8), delta(0, 0, 365)), "2027-12-08 00:00:00 +0000");
  EXPECT_EQ(add(ymd(2026, 12, 8), delta(-100, 0, 0)), "1926-12-08 00:00:00 +0000");
  EXPECT_EQ(add(ymd(2026, 12, 31), delta(0, 0, 0, 25)), "2027-01-01 01:00:00 +0000");
  auto seconds = NSDateComponents::create();
  seconds->minute = -1;
  seconds->second = 30;
  EXPECT_EQ(add(ymd(2026, 12, 8), seconds), "2026-12-07 23:59:30 +0000");
  EXPECT_EQ(add(ymd(2026, 12, 8), NSDateComponents::create()), "2026-12-08 00:00:00 +0000");
}

TEST(NSCalendarTest, RepeatedAdditionsAnswerAsTheFirst) {
  // The same addition asked again is answered from memory: every input
  // must count, or a neighbour's answer comes back.
  auto cal = calendarIn("Europe/Berlin");
  auto from = cal->dateFromComponents(ymd(2026, 12, 8).get());
  auto later = NSDate::dateWithTimeIntervalSinceReferenceDate(from->timeIntervalSinceReferenceDate() + 0.25);
  auto add = [&](const Ref<NSDateComponents>& d, const Ref<NSDate>& date) {
    return text(cal->dateByAddingComponentsToDate(d.get(), date.get(), 0));
  };
  for (int round = 0; round < 2; ++round) {
    EXPECT_EQ(add(delta(1, 0, 360), from), "2028-12-01 23:00:00 +0000");
    EXPECT_EQ(add(delta(1, 0, 359), from), "2028-11-30 23:00:00 +0000");
    EXPECT_EQ(add(delta(0, 1, 359), from), "2028-01-01 23:00:00 +0000");
    EXPECT_EQ(add(delta(1, 0, 360, 1), from), "2028-12-02 00:00:00 +0000");
    EXPECT_EQ(add(delta(1, 0, 360), later), "2028-12-01 23:00:00 +0000");
    auto shifted = [&](const Ref<NSDate>& date) {
      return cal->dateByAddingComponentsToDate(delta(1, 0, 360).get(), date.get(), 0)->timeIntervalSinceReferenceDate();
    };
    EXPECT_NEAR(shifted(later) - shifted(from), 0.25, 1e-6);
  }
  // Another zone's calendar has answers of its own.
  EXPECT_EQ(text(calendarIn("UTC")->dateByAddingComponentsToDate(delta(1, 0, 360).get(), from.get(), 0)),
            "2028-12-01 23:00:00 +0000");
  EXPECT_EQ(text(calendarIn("America/New_York")->dateByAddingComponentsToDate(delta(0, 0, 0, 1).get(), from.get(), 0)),
            "2026-12-08 00:00:00 +0000");
}

TEST(NSCalendarTest, DaysKeepTheWallClockAcrossDaylightSavingHoursDoNot) {
  auto cal = calendarIn("Europe/Berlin");
  auto start = cal->dateFromComponents(ymd(2026, 3, 29).get());
  EXPECT_EQ(text(cal->dateByAddingComponentsToDate(delta(0, 0, 1).get(), start.get(), 0)),
            "2026-03-29 22:00:00 +0000");  // next local midnight: 23 hours later
  EXPECT_EQ(text(cal->dateByAddingComponentsToDate(delta(0, 0, 0, 24).get(), start.get(), 0)),
            "2026-03-29 23:00:00 +0000");
}

/// ICU's own answer: the additions one by one, largest unit first, on a
/// Gregorian calendar in the zone.
class ICUCalendar {
 public:
  explicit ICUCalendar(const char* zone) {
    std::vector<UChar> id(zone, zone + std::strlen(zone));
    UErrorCode status = U_ZERO_ERROR;
    cal_ = ucal_open(id.data(), int32_t(id.size()), "en_US@calendar=gregorian", UCAL_GREGORIAN, &status);
    EXPECT_TRUE(U_SUCCESS(status));
  }
  ~ICUCalendar() { ucal_close(cal_); }
  ICUCalendar(const ICUCalendar&) = delete;
  ICUCalendar& operator=(const ICUCalendar&) = delete;

  double add(double sinceReferenceDate, const std::array<int32_t, 6>& amounts) {
    UErrorCode status = U_ZERO_ERROR;
    ucal_setMillis(cal_, std::floor((sinceReferenceDate + NSTimeIntervalSince1970) * 1000.0), &status);
    constexpr UCalendarDateFields fields[] = {UCAL_YEAR,        UCAL_MONTH,  UCAL_DATE,
                                              UCAL_HOUR_OF_DAY, UCAL_MINUTE, UCAL_SECOND};
    for (size_t i = 0; i < amounts.size(); ++i)
      if (amounts[i]) ucal_add(cal_, fields[i], amounts[i], &status);
    const double ms = ucal_getMillis(cal_, &status);
    EXPECT_TRUE(U_SUCCESS(status));
    return ms / 1000.0 - NSTimeIntervalSince1970;
  }

  double fromFields(const std::array<int32_t, 6>& f) {
    UErrorCode status = U_ZERO_ERROR;
    ucal_clear(cal_);
    ucal_setDateTime(cal_, f[0], f[1] - 1, f[2], f[3], f[4], f[5], &status);
    const double ms = ucal_getMillis(cal_, &status);
    EXPECT_TRUE(U_SUCCESS(status));
    return ms / 1000.0 - NSTimeIntervalSince1970;
  }

 private:
  UCalendar* cal_ = nullptr;
};

/// Year, month, day, hour, minute and second as the components NSCalendar takes.
Ref<NSDateComponents> componentsOf(const std::array<int32_t, 6>& f) {
  auto comps = NSDateComponents::create();
  comps->year = f[0];
  comps->month = f[1];
  comps->day = f[2];
  comps->hour = f[3];
  comps->minute = f[4];
  comps->second = f[5];
  return comps;
}

TEST(NSCalendarTest, ArithmeticAgreesWithICUAcrossZonesAndTransitions) {
  // Zones with daylight saving either side of the equator, a half-hour
  // one, one that skipped a whole day (Apia, 2011-12-30), and none; start
  // moments every 7 hours 13 minutes through two years, so some fall on
  // and beside every transition; month ends, leap days and mixed signs.
  const std::vector<std::array<int32_t, 6>> deltas = {
      {1, 0, 360, 0, 0, 0}, {0, 0, 1, 0, 0, 0},    {0, 1, 0, 0, 0, 0},  {0, -1, 1, 0, 0, 0},   {1, 0, -359, 0, 0, 0},
      {-4, 0, 0, 0, 0, 0},  {0, 13, -31, 0, 0, 0}, {0, 0, 1, 24, 0, 0}, {0, 0, -1, 0, -1, 30}, {2, 11, 30, 1, 1, 1}};
  for (const char* zone :
       {"Europe/Berlin", "America/New_York", "Australia/Lord_Howe", "Pacific/Apia", "Asia/Kolkata", "UTC"}) {
    auto cal = calendarIn(zone);
    ICUCalendar icu(zone);
    const double first = 315'532'800.0;  // 2011-01-01
    for (double t = first; t < first + 2 * 366 * 86400.0; t += 7 * 3600 + 13 * 60) {
      for (const auto& d : deltas) {
        auto comps = componentsOf(d);
        auto date = NSDate::dateWithTimeIntervalSinceReferenceDate(t);
        auto ours = cal->dateByAddingComponentsToDate(comps.get(), date.get(), 0);
        ASSERT_TRUE(ours);
        ASSERT_EQ(ours->timeIntervalSinceReferenceDate(), icu.add(t, d))
            << zone << " from " << date->descriptionString() << " adding " << comps->descriptionString();
      }
      // The wall-clock time at t, and ones past the ends of their fields.
      auto c = cal->componentsFromDate(NSCalendar::Year | NSCalendar::Month | NSCalendar::Day | NSCalendar::Hour |
                                           NSCalendar::Minute | NSCalendar::Second,
                                       NSDate::dateWithTimeIntervalSinceReferenceDate(t).get());
      const std::array<int32_t, 6> wall{int32_t(c->year), int32_t(c->month),  int32_t(c->day),
                                        int32_t(c->hour), int32_t(c->minute), int32_t(c->second)};
      for (auto f : {wall, std::array<int32_t, 6>{wall[0], wall[1] + 12, wall[2] + 40, wall[3] + 25, 61, 0},
                     std::array<int32_t, 6>{wall[0], 0, 0, wall[3], wall[4], -1}}) {
        auto comps = componentsOf(f);
        auto ours = cal->dateFromComponents(comps.get());
        ASSERT_TRUE(ours);
        ASSERT_EQ(ours->timeIntervalSinceReferenceDate(), icu.fromFields(f))
            << zone << " " << comps->descriptionString();
      }
    }
  }
  // The part of a second finer than a millisecond is kept, once.
  auto cal = calendarIn("Europe/Berlin");
  for (auto d : {delta(0, 0, 1), delta(1, 0, 360), delta(0, 0, 0, 1)}) {
    const double t = 818'409'600.0004;
    auto moved = cal->dateByAddingComponentsToDate(d.get(), NSDate::dateWithTimeIntervalSinceReferenceDate(t).get(), 0);
    const double fraction =
        moved->timeIntervalSinceReferenceDate() - std::floor(moved->timeIntervalSinceReferenceDate() * 1000) / 1000;
    EXPECT_NEAR(fraction, 0.0004, 1e-6) << d->descriptionString();
  }
}

TEST(NSCalendarTest, OrderingDatesOfThousandsOfRowsAgreeWithICU) {
  // A year ahead, then a day less for each of 20,000 rows: the dates reach
  // back across fifty-odd years of daylight-saving changes, more than a
  // calendar keeps in mind at once, met in one direction and then the other.
  auto cal = calendarIn("America/New_York");
  ICUCalendar icu("America/New_York");
  const double now = 818'409'600.0;  // 2026-12-08
  auto date = NSDate::dateWithTimeIntervalSinceReferenceDate(now);
  for (int pass = 0; pass < 2; ++pass)
    for (int i = 0; i < 20'000; i += 7) {
      const int row = pass == 0 ? i : 20'000 - 1 - i;
      const std::array<int32_t, 6> d{1, 0, 360 - row, 0, 0, 0};
      auto ours = cal->dateByAddingComponentsToDate(componentsOf(d).get(), date.get(), 0);
      ASSERT_TRUE(ours);
      ASSERT_EQ(ours->timeIntervalSinceReferenceDate(), icu.add(now, d)) << "row " << row;
    }
}

TEST(NSCalendarTest, ComponentsFromDate) {
  auto cal = calendarIn("America/Los_Angeles");
  auto date = NSDate::dateWithTimeIntervalSince1970(1796722200);  // 2026-12-08 09:30 UTC
  auto c = cal->componentsFromDate(NSCalendar::Year | NSCalendar::Month | NSCalendar::Day | NSCalendar::Hour |
                                       NSCalendar::Minute | NSCalendar::Weekday,
                                   date.get());
  EXPECT_EQ(c->year, 2026);
  EXPECT_EQ(c->month, 12);
  EXPECT_EQ(c->day, 8);
  EXPECT_EQ(c->hour, 1);
  EXPECT_EQ(c->minute, 30);
  EXPECT_EQ(c->weekday, 3);  // Tuesday; Sunday is 1
  EXPECT_EQ(c->second, NSDateComponentUndefined);
  EXPECT_EQ(c->era, NSDateComponentUndefined);
  EXPECT_FALSE(c->timeZone);
  EXPECT_EQ(text(cal->dateFromComponents(c.get())), "2026-12-08 09:30:00 +0000");
}

TEST(NSCalendarTest, SameDayDependsOnTheZone) {
  auto late = NSDate::dateWithTimeIntervalSince1970(1796772600);   // 2026-12-08 23:30 UTC
  auto early = NSDate::dateWithTimeIntervalSince1970(1796779800);  // 2026-12-09 01:30 UTC
  EXPECT_FALSE(calendarIn("UTC")->isDateInSameDay(late.get(), early.get()));
  EXPECT_TRUE(calendarIn("America/New_York")->isDateInSameDay(late.get(), early.get()));
  EXPECT_FALSE(calendarIn("UTC")->isDateInSameDay(late.get(), nullptr));
}

TEST(NSDateTest, CompareAndDescription) {
  auto a = NSDate::dateWithTimeIntervalSinceReferenceDate(10);
  auto b = a->dateByAddingTimeInterval(0.5);
  EXPECT_EQ(a->compare(b.get()), NSOrderedAscending);
  EXPECT_EQ(b->compare(a.get()), NSOrderedDescending);
  EXPECT_EQ(a->compare(NSDate::dateWithTimeIntervalSinceReferenceDate(10).get()), NSOrderedSame);
  EXPECT_EQ(NSDate::dateWithTimeIntervalSinceReferenceDate(0)->descriptionString(), "2001-01-01 00:00:00 +0000");
  EXPECT_EQ(NSDate::dateWithTimeIntervalSinceReferenceDate(-0.5)->descriptionString(), "2000-12-31 23:59:59 +0000");
  EXPECT_EQ(NSDate::dateWithTimeIntervalSince1970(0)->timeIntervalSinceReferenceDate(), -NSTimeIntervalSince1970);
}

TEST(NSDateTest, TheDeviceClockCanBeSimulated) {
  foundation::DeviceClock::setSimulated(100);
  EXPECT_EQ(NSDate::date()->timeIntervalSinceReferenceDate(), 100);
  foundation::DeviceClock::advance(2.5);
  EXPECT_EQ(NSDate::date()->timeIntervalSinceReferenceDate(), 102.5);
  foundation::DeviceClock::useRealTime();
  EXPECT_GT(NSDate::date()->timeIntervalSinceReferenceDate(), 7e8);  // after 2023
}

}  // namespace
