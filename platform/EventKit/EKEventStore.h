#pragma once
/// \file
/// The reminder store over the device's reminder lists. Each store reads
/// the lists once, when first asked; reminders come from the process-wide
/// cache of parsed files. Fetches are answered on a worker thread, never
/// the calling one, as EventKit answers them.

#include <EventKit/EKCalendar.h>
#include <EventKit/EKReminder.h>
#include <EventKit/EKReminderPredicate.h>
#include <EventKit/EKSource.h>
#include <Foundation/NSArray.h>
#include <Foundation/NSDate.h>
#include <Foundation/NSURL.h>

#include <functional>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

/// NSInteger on the device.
enum EKAuthorizationStatus : int64_t {
  EKAuthorizationStatusNotDetermined = 0,
  EKAuthorizationStatusRestricted = 1,
  EKAuthorizationStatusDenied = 2,
  EKAuthorizationStatusAuthorized = 3,
};

/// The error a refused access request hands its completion.
constexpr int64_t EKErrorEventStoreNotAuthorized = 29;

using EKEventStoreRequestAccessCompletionHandler = std::function<void(bool granted, Ref<NSError> error)>;
using EKEventStoreFetchRemindersCompletionHandler = std::function<void(Ref<NSArray> reminders)>;

class EKEventStore : public NSObject {
 public:
  static Class classObject();
  EKEventStore() = default;

  id init();

  /// The device profile decides: authorized, or denied.
  static EKAuthorizationStatus authorizationStatusForEntityType(EKEntityType type);
  /// Returns at once; the completion runs later on a worker thread with the
  /// answer (and an error when refused).
  void requestAccessToEntityType(EKEntityType type, EKEventStoreRequestAccessCompletionHandler completion);

  /// Every reminder list, by account folder then list folder; empty for
  /// events and without access.
  Ref<NSArray> calendarsForEntityType(EKEntityType type);
  /// nil for an unknown identifier, and without access.
  Ref<EKCalendar> calendarWithIdentifier(Ref<NSString> identifier);
  /// The accounts that hold reminder lists.
  Ref<NSArray> sources();

  /// Incomplete reminders of the lists, due in [start, end). Both bounds nil:
  /// every incomplete reminder, dated or not. nil calendars: every list; an
  /// empty array: no list.
  Ref<EKReminderPredicate> predicateForIncompleteRemindersWithDueDateStarting(Ref<NSDate> start, Ref<NSDate> end,
                                                                              Ref<NSArray> calendars);
  /// Every reminder of the lists, completed or not.
  Ref<EKReminderPredicate> predicateForRemindersInCalendars(Ref<NSArray> calendars);

  /// Starts the fetch and returns an identifier for it. The completion runs
  /// exactly once on a worker thread with the matching reminders (an empty
  /// array when nothing matches or access is refused): lists in predicate
  /// order, within a list by file name, then as they stand in the file.
  id fetchRemindersMatchingPredicate(Ref<EKReminderPredicate> predicate,
                                     EKEventStoreFetchRemindersCompletionHandler completion);

  /// The fetch itself, on the calling thread (what the worker runs).
  static Ref<NSArray> remindersMatching(const EKReminderPredicate* predicate);

 private:
  void loadCalendars();
  std::vector<Ref<EKCalendar>> calendarsIn(const Ref<NSArray>& calendars);

  std::mutex lock_;
  bool loaded_ = false;
  std::vector<Ref<EKCalendar>> calendars_;
  std::unordered_map<std::string, Ref<EKCalendar>> byIdentifier_;
  std::vector<Ref<EKSource>> sources_;
};
