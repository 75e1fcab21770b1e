#pragma once
/// \file
/// Points in time, as seconds since the reference date (2001-01-01 UTC).
/// "Now" comes from the device clock (Foundation/DeviceClock.h), which tests
/// and the device programs can set and advance.

#include <Foundation/NSArray.h>
#include <objc/NSObject.h>

#include <functional>
#include <optional>

/// Seconds between 1970-01-01 and 2001-01-01.
constexpr double NSTimeIntervalSince1970 = 978307200.0;

class NSDate : public NSObject {
 public:
  static Class classObject();
  NSDate() = default;
  explicit NSDate(double sinceReferenceDate) : t_(sinceReferenceDate) {}

  /// The current moment of the device clock.
  static Ref<NSDate> date();
  static Ref<NSDate> dateWithTimeIntervalSinceReferenceDate(double t);
  static Ref<NSDate> dateWithTimeIntervalSince1970(double t);

  [[nodiscard]] double timeIntervalSinceReferenceDate() const noexcept { return t_; }
  [[nodiscard]] double timeIntervalSince1970() const noexcept { return t_ + NSTimeIntervalSince1970; }
  [[nodiscard]] Ref<NSDate> dateByAddingTimeInterval(double seconds) const;
  [[nodiscard]] NSComparisonResult compare(const NSDate* other) const noexcept;

  [[nodiscard]] std::string descriptionString() const override;  // "2026-12-08 09:30:00 +0000"
  [[nodiscard]] bool isEqualTo(const NSObject& other) const override;
  [[nodiscard]] size_t hashValue() const noexcept override { return std::hash<double>()(t_); }

 private:
  double t_ = 0;
};

namespace foundation {

/// A moment's calendar fields in UTC, proleptic Gregorian, whole seconds
/// rounded down; nullopt for moments beyond what can be named.
struct UTCFields {
  int year;
  unsigned month, day;
  int hour, minute, second;
};
std::optional<UTCFields> utcFields(double unixSeconds);

}  // namespace foundation
