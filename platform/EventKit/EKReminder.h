#pragma once
/// \file
/// A reminder (VTODO): priority, due date as calendar fields, completion.

#include <EventKit/EKCalendarItem.h>
#include <Foundation/NSCalendar.h>

#include <cstdint>

class EKReminder : public EKCalendarItem {
 public:
  static Class classObject();
  EKReminder() = default;
  ~EKReminder() override { EKReminder::prefetchHeld(); }
  void prefetchHeld() const noexcept override {
    EKCalendarItem::prefetchHeld();
    objc::prefetchCounts(due_);
  }

  /// 0 none, 1 high ... 9 low (NSUInteger on the device).
  [[nodiscard]] uint64_t priority() const { return priority_; }
  /// nil for an undated reminder. A date-only due date sets year, month and
  /// day only; a due time also sets hour, minute and second, in the time
  /// zone it was written in (nil: floating, read in the device's zone).
  [[nodiscard]] Ref<NSDateComponents> dueDateComponents() const { return due_; }
  [[nodiscard]] bool isCompleted() const { return completed_; }

  void setPriority(uint64_t priority) { priority_ = priority; }
  void setDueDateComponents(Ref<NSDateComponents> due) { due_ = std::move(due); }
  void setCompleted(bool completed) { completed_ = completed; }

  [[nodiscard]] std::string descriptionString() const override;

 private:
  uint64_t priority_ = 0;
  Ref<NSDateComponents> due_;
  bool completed_ = false;
};
