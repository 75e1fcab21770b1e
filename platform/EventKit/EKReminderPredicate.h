#pragma once
/// \file
/// What a reminder fetch asks for: which lists, incomplete reminders only
/// or all, and an optional due-date range.

#include <EventKit/EKCalendar.h>
#include <Foundation/NSDate.h>

#include <vector>

class EKReminderPredicate : public NSObject {
 public:
  static Class classObject();
  EKReminderPredicate() = default;
  EKReminderPredicate(std::vector<Ref<EKCalendar>> calendars, bool incompleteOnly, Ref<NSDate> start, Ref<NSDate> end)
      : calendars_(std::move(calendars)),
        incompleteOnly_(incompleteOnly),
        start_(std::move(start)),
        end_(std::move(end)) {}

  /// The lists searched, in the order their reminders are delivered; each
  /// list once.
  [[nodiscard]] const std::vector<Ref<EKCalendar>>& calendars() const noexcept { return calendars_; }
  [[nodiscard]] bool incompleteOnly() const noexcept { return incompleteOnly_; }
  /// Due-date bounds (start inclusive, end exclusive); nil for none. With
  /// either bound, undated reminders do not match.
  [[nodiscard]] const Ref<NSDate>& startDate() const noexcept { return start_; }
  [[nodiscard]] const Ref<NSDate>& endDate() const noexcept { return end_; }

  [[nodiscard]] std::string descriptionString() const override;

 private:
  std::vector<Ref<EKCalendar>> calendars_;
  bool incompleteOnly_ = true;
  Ref<NSDate> start_, end_;
};
