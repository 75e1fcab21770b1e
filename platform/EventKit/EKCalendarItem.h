#pragma once
/// \file
/// What reminders share with events: a title, notes, alarms, the list
/// they belong to, and a stable identifier (the iCalendar UID).

#include <EventKit/EKAlarm.h>
#include <EventKit/EKCalendar.h>
#include <Foundation/NSArray.h>
#include <Foundation/NSString.h>

class EKCalendarItem : public NSObject {
 public:
  static Class classObject();
  EKCalendarItem() = default;

  [[nodiscard]] Ref<NSString> title() const { return title_; }
  [[nodiscard]] Ref<NSString> notes() const { return notes_; }
  [[nodiscard]] Ref<NSString> calendarItemIdentifier() const { return identifier_; }
  [[nodiscard]] Ref<EKCalendar> calendar() const { return calendar_; }
  /// The alarms in file order; nil when there are none, as on the device.
  [[nodiscard]] Ref<NSArray> alarms() const { return alarms_; }
  [[nodiscard]] bool hasAlarms() const { return alarms_ && alarms_->count() > 0; }

  void setTitle(Ref<NSString> title) { title_ = std::move(title); }
  void setNotes(Ref<NSString> notes) { notes_ = std::move(notes); }
  void setCalendarItemIdentifier(Ref<NSString> identifier) { identifier_ = std::move(identifier); }
  void setCalendar(Ref<EKCalendar> calendar) { calendar_ = std::move(calendar); }
  void setAlarms(Ref<NSArray> alarms) { alarms_ = std::move(alarms); }
  void addAlarm(Ref<EKAlarm> alarm);

  /// A fetched list is walked and let go of in sweeps, long after it was
  /// made: the fields' objects are asked for at once.
  void prefetchHeld() const noexcept override { objc::prefetchCounts(title_, notes_, identifier_, calendar_, alarms_); }

 private:
  Ref<NSString> title_;
  Ref<NSString> notes_;
  Ref<NSString> identifier_;
  Ref<EKCalendar> calendar_;
  Ref<NSArray> alarms_;
};
