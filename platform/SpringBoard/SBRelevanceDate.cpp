#include <SpringBoard/SBRelevanceDate.h>

#include <Foundation/NSCalendar.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace springboard {

namespace {

constexpr const char* kWeekdays[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};

/// Whole calendar days from the day of `from` to the day of `to`.
long dayDistance(const NSCalendar& cal, const NSDate* from, const NSDate* to) {
  auto midnight = [&](const NSDate* d) {
    auto comps = cal.componentsFromDate(NSCalendar::Year | NSCalendar::Month | NSCalendar::Day, d);
    auto day = cal.dateFromComponents(comps.get());
    return day ? day->timeIntervalSinceReferenceDate() : d->timeIntervalSinceReferenceDate();
  };
  // Rounding absorbs the 23- and 25-hour days of daylight-saving changes.
  return std::lround((midnight(to) - midnight(from)) / 86400.0);
}

std::string timeOfDay(const NSCalendar& cal, const NSDate* date) {
  auto comps = cal.componentsFromDate(NSCalendar::Hour | NSCalendar::Minute, date);
  long hour = static_cast<long>(comps->hour), minute = static_cast<long>(comps->minute);
  const char* half = hour < 12 ? "AM" : "PM";
  long h12 = hour % 12 == 0 ? 12 : hour % 12;
  char text[16];
  std::snprintf(text, sizeof text, "%ld:%02ld %s", h12, minute, half);
  return text;
}

std::string shortDate(const NSCalendar& cal, const NSDate* date) {
  auto comps = cal.componentsFromDate(NSCalendar::Year | NSCalendar::Month | NSCalendar::Day, date);
  char text[24];
  std::snprintf(text, sizeof text, "%ld/%ld/%02ld", static_cast<long>(comps->month), static_cast<long>(comps->day),
                static_cast<long>(comps->year % 100));
  return text;
}

std::string weekday(const NSCalendar& cal, const NSDate* date) {
  auto comps = cal.componentsFromDate(NSCalendar::Weekday, date);
  long w = static_cast<long>(comps->weekday);  // 1 = Sunday
  return w >= 1 && w <= 7 ? kWeekdays[w - 1] : shortDate(cal, date);
}

}  // namespace

std::string relevanceDateText(const NSDate* date, bool allDay, const NSDate* now) {
  if (!date || !now) return "";
  auto cal = NSCalendar::currentCalendar();
  long days = dayDistance(*cal, now, date);
  if (!allDay) {
    double seconds = date->timeIntervalSinceReferenceDate() - now->timeIntervalSinceReferenceDate();
    if (std::fabs(seconds) < 60) return "now";
    if (seconds < 0 && seconds > -3600) return std::to_string(static_cast<long>(-seconds / 60)) + "m ago";
    if (days == 0) return timeOfDay(*cal, date);
  } else if (days == 0) {
    return "Today";
  }
  if (days == -1) return "Yesterday";
  if (days == 1) return "Tomorrow";
  if (std::labs(days) <= 6) return weekday(*cal, date);
  return shortDate(*cal, date);
}

}  // namespace springboard
