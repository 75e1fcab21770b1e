#include "ReminderQuery.h"

#include "TweakState.h"

#include <EventKit/EventKit.h>
#include <Foundation/NSCalendar.h>
#include <Foundation/NSLog.h>
#include <Foundation/dispatch.h>

#include <objc/message.h>

#include <algorithm>
#include <mutex>

namespace quillpane {

namespace {

/// Where the store's completion leaves its answer. The completion may come
/// after the main thread stopped waiting; then it is dropped here instead
/// of reaching a list the caller already holds.
struct Delivery {
  std::mutex lock;
  bool abandoned = false;
  std::vector<id> reminders;
};

Ref<NSMutableArray> chosenCalendars(const Ref<EKEventStore>& store, const NSArray& identifiers) {
  auto calendars = NSMutableArray::array();
  for (const auto& entry : identifiers) {
    auto identifier = objc::as<NSString>(entry);
    // Only strings name lists; anything else in the file is no list either.
    auto calendar =
        objc::msg<Ref<EKCalendar>>(identifier ? store.get() : nullptr, SEL_("calendarWithIdentifier:"), identifier);
    if (calendar) {
      calendars->addObject(calendar);
    } else {
      logTagged("unable to find calendar with UUID %@, skipping", entry);
    }
  }
  return calendars;
}

void sortByDueDate(NSMutableArray& result) {
  // Each due date is converted once; the comparison itself is the same.
  std::vector<std::pair<id, DueDate>> keyed;
  keyed.reserve(result.count());
  for (const auto& r : result) keyed.emplace_back(r, dueDateOf(objc::as<EKReminder>(r).get()));
  std::stable_sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) {
    return compareDueDates(reminderSorting, a.second, b.second) == NSOrderedAscending;
  });
  result.removeAllObjects();
  for (auto& [r, due] : keyed) result.addObject(r);
}

}  // namespace

DueDate dueDateOf(const EKReminder* reminder) {
  auto components = reminder ? reminder->dueDateComponents() : nullptr;
  if (!components) return {};
  auto date = NSCalendar::currentCalendar()->dateFromComponents(components.get());
  if (!date) return {true, std::nullopt};
  return {true, date->timeIntervalSinceReferenceDate()};
}

Ref<NSMutableArray> fetchReminders() {
  auto result = NSMutableArray::array();
  auto store = objc::msg<Ref<EKEventStore>>(objc::alloc<EKEventStore>(), SEL_("init"));
  objc::msg(store, SEL_("requestAccessToEntityType:completion:"), EKEntityTypeReminder,
            EKEventStoreRequestAccessCompletionHandler([](bool granted, const Ref<NSError>& /*error*/) {
              if (!granted) NSLog("QPX: calendar access NOT granted");
            }));

  auto identifiers = NSArray::arrayWithContentsOfFile(std::string(kCalendarsFile));
  if (!identifiers || identifiers->count() == 0) {
    logTagged("no enabled calendars found, not searching the DB!");
    return result;
  }
  auto calendars = chosenCalendars(store, *identifiers);
  auto predicate = objc::msg<Ref<EKReminderPredicate>>(
      store, SEL_("predicateForIncompleteRemindersWithDueDateStarting:ending:calendars:"), nullptr, nullptr, calendars);

  auto delivery = std::make_shared<Delivery>();
  auto signal = dispatch_semaphore_create(0);
  EKEventStoreFetchRemindersCompletionHandler completion = [delivery, signal](const Ref<NSArray>& reminders) {
    {
      std::lock_guard g(delivery->lock);
      if (!delivery->abandoned && reminders) {
        for (const auto& r : *reminders) {
          if (r)
            delivery->reminders.push_back(r);
          else
            logTagged("skipping nil reminder...");
        }
      }
    }
    dispatch_semaphore_signal(signal);
  };
  objc::msg<id>(store, SEL_("fetchRemindersMatchingPredicate:completion:"), predicate, completion);

  const auto timeout =
      dispatch_time(DISPATCH_TIME_NOW, static_cast<int64_t>(kFetchTimeoutSeconds * static_cast<double>(NSEC_PER_SEC)));
  const bool answered = dispatch_semaphore_wait(signal, timeout) == 0;
  {
    std::lock_guard g(delivery->lock);
    delivery->abandoned = true;
    if (answered)
      for (auto& r : delivery->reminders) result->addObject(std::move(r));
  }
  if (!answered)
    logTagged("reminder store did not answer within %.0f seconds, showing no reminders", kFetchTimeoutSeconds);

  if (reminderSorting != 0) sortByDueDate(*result);
  return result;
}

}  // namespace quillpane
