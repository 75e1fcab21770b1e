#pragma once
/// \file
/// Calendar arithmetic (backed by ICU, as the device's own calendar is):
/// time zones, date components with unset fields, and the current
/// Gregorian calendar in the device's time zone.

#include <Foundation/NSDate.h>
#include <Foundation/NSString.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

/// The value of a date-components field that is not set.
constexpr int64_t NSDateComponentUndefined = INT64_MAX;

class NSTimeZone : public NSObject {
 public:
  static Class classObject();
  /// nil for a name ICU does not know.
  static Ref<NSTimeZone> timeZoneWithName(std::string_view name);
  static Ref<NSTimeZone> timeZoneForSecondsFromGMT(int64_t seconds);
  /// The device's zone (from the device profile), else UTC.
  static Ref<NSTimeZone> defaultTimeZone();
  static void setDefaultTimeZone(Ref<NSTimeZone> zone);

  [[nodiscard]] const std::string& name() const noexcept { return name_; }
  [[nodiscard]] int64_t secondsFromGMTForDate(const NSDate* date) const;
  [[nodiscard]] std::string descriptionString() const override { return name_; }
  [[nodiscard]] bool isEqualTo(const NSObject& other) const override;

 private:
  std::string name_;
};

class NSDateComponents : public NSObject {
 public:
  static Class classObject();
  static Ref<NSDateComponents> create();

  int64_t era = NSDateComponentUndefined;
  int64_t year = NSDateComponentUndefined;
  int64_t month = NSDateComponentUndefined;
  int64_t day = NSDateComponentUndefined;
  int64_t hour = NSDateComponentUndefined;
  int64_t minute = NSDateComponentUndefined;
  int64_t second = NSDateComponentUndefined;
  int64_t weekday = NSDateComponentUndefined;
  /// The zone the fields are read in; nil means the calendar's own zone
  /// (a "floating" time).
  Ref<NSTimeZone> timeZone;

  [[nodiscard]] std::string descriptionString() const override;
};

class NSCalendar : public NSObject {
 public:
  enum Unit : uint64_t {
    Era = 1 << 1,
    Year = 1 << 2,
    Month = 1 << 3,
    Day = 1 << 4,
    Hour = 1 << 5,
    Minute = 1 << 6,
    Second = 1 << 7,
    Weekday = 1 << 9,
  };
  static Class classObject();
  /// A Gregorian calendar in the device's time zone, new on every call.
  static Ref<NSCalendar> currentCalendar();
  static Ref<NSCalendar> gregorianCalendarInZone(Ref<NSTimeZone> zone);

  [[nodiscard]] Ref<NSTimeZone> timeZone() const { return zone_; }
  /// The point in time the components name; unset fields take their
  /// smallest value (day 1, midnight); nil when no year is set or ICU
  /// rejects the fields.
  [[nodiscard]] Ref<NSDate> dateFromComponents(const NSDateComponents* comps) const;
  /// Adds each set field of comps (years, months, days, hours, minutes,
  /// seconds) to date; options are ignored, as 0 asks.
  [[nodiscard]] Ref<NSDate> dateByAddingComponentsToDate(const NSDateComponents* comps, const NSDate* date,
                                                         uint64_t options) const;
  [[nodiscard]] Ref<NSDateComponents> componentsFromDate(uint64_t units, const NSDate* date) const;
  /// True when both dates fall on the same calendar day in this calendar.
  [[nodiscard]] bool isDateInSameDay(const NSDate* a, const NSDate* b) const;

 private:
  struct Engine;  // the ICU calendar, opened once per NSCalendar
  Engine& engine() const;

  Ref<NSTimeZone> zone_;
  mutable std::shared_ptr<Engine> engine_;
  mutable std::once_flag engineOpened_;
  mutable std::atomic<bool> engineReady_{false};
};
