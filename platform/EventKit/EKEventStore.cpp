#include <EventKit/EKEventStore.h>

#include <EventKit/CollectionLayout.h>
#include <EventKit/ReminderCache.h>
#include <Foundation/DeviceProfile.h>
#include <Foundation/NSCalendar.h>
#include <Foundation/NSLog.h>
#include <Foundation/NSNumber.h>
#include <Foundation/dispatch.h>
#include <objc/ClassBuilder.h>

#include <atomic>
#include <unordered_set>

Class EKEventStore::classObject() {
  static Class cls =
      objc::ClassBuilder<EKEventStore, NSObject>("EKEventStore")
          .method<&EKEventStore::init>("init")
          .method<&EKEventStore::requestAccessToEntityType>("requestAccessToEntityType:completion:")
          .method<&EKEventStore::calendarsForEntityType>("calendarsForEntityType:")
          .method<&EKEventStore::calendarWithIdentifier>("calendarWithIdentifier:")
          .method<&EKEventStore::sources>("sources")
          .method<&EKEventStore::predicateForIncompleteRemindersWithDueDateStarting>(
              "predicateForIncompleteRemindersWithDueDateStarting:ending:calendars:")
          .method<&EKEventStore::predicateForRemindersInCalendars>("predicateForRemindersInCalendars:")
          .method<&EKEventStore::fetchRemindersMatchingPredicate>("fetchRemindersMatchingPredicate:completion:")
          .build();
  return cls;
}
OBJC_REGISTER_CLASS(EKEventStore);

namespace {

bool accessGranted() { return foundation::currentDeviceProfile().remindersAccess; }

Ref<NSString> string(const std::string& s) { return objc::create<NSString>(s); }

Ref<NSDateComponents> componentsOf(const eventkit::StoredReminder& s) {
  if (!s.due) return nullptr;
  auto c = NSDateComponents::create();
  c->year = s.due->year;
  c->month = s.due->month;
  c->day = s.due->day;
  if (s.due->hasTime) {
    c->hour = s.due->hour;
    c->minute = s.due->minute;
    c->second = s.due->second;
    c->timeZone = s.dueZone;
  }
  return c;
}

Ref<EKReminder> reminderFrom(const eventkit::StoredReminder& s, const Ref<EKCalendar>& calendar,
                             Ref<NSDateComponents> due) {
  auto r = objc::create<EKReminder>();
  r->setTitle(s.title);
  r->setNotes(s.notes);
  r->setCalendarItemIdentifier(s.uid);
  r->setCalendar(calendar);
  r->setPriority(s.priority);
  // The device's reminders are done or not; a cancelled one is nothing left to do.
  r->setCompleted(s.completed || s.cancelled);
  r->setDueDateComponents(std::move(due));
  if (!s.alarms.empty()) {
    std::vector<id> alarms;
    alarms.reserve(s.alarms.size());
    for (const eventkit::StoredAlarm& a : s.alarms) {
      auto alarm = objc::create<EKAlarm>();
      alarm->setProximity(static_cast<EKAlarmProximity>(a.proximity));
      if (a.hasLocation) alarm->setStructuredLocation(EKStructuredLocation::locationWithTitle(a.locationTitle));
      alarms.emplace_back(std::move(alarm));
    }
    r->setAlarms(NSArray::arrayWithObjects(std::move(alarms)));
  }
  return r;
}

/// Whether a due date falls in [start, end); undated reminders never do.
bool dueWithin(const NSDateComponents* due, const NSDate* start, const NSDate* end) {
  if (!due) return false;
  Ref<NSDate> when = NSCalendar::currentCalendar()->dateFromComponents(due);
  if (!when) return false;
  if (start && when->compare(start) == NSOrderedAscending) return false;
  if (end && when->compare(end) != NSOrderedAscending) return false;
  return true;
}

}  // namespace

id EKEventStore::init() { return id(this); }

EKAuthorizationStatus EKEventStore::authorizationStatusForEntityType(EKEntityType) {
  return accessGranted() ? EKAuthorizationStatusAuthorized : EKAuthorizationStatusDenied;
}

void EKEventStore::requestAccessToEntityType(EKEntityType, EKEventStoreRequestAccessCompletionHandler completion) {
  bool granted = accessGranted();
  if (!completion) return;
  dispatch_async_global([granted, completion = std::move(completion)] {
    Ref<NSError> error;
    if (!granted) error = NSError::errorWithDomain("EKErrorDomain", EKErrorEventStoreNotAuthorized, "Access denied");
    completion(granted, error);
  });
}

void EKEventStore::loadCalendars() {
  std::lock_guard guard(lock_);
  if (loaded_) return;
  loaded_ = true;
  for (eventkit::AccountFolder& account : eventkit::scanReminderAccounts()) {
    auto source = objc::create<EKSource>(string(account.identifier), string(account.title));
    sources_.push_back(source);
    for (eventkit::ListFolder& list : account.lists) {
      auto calendar = objc::create<EKCalendar>();
      calendar->setCalendarIdentifier(string(list.identifier));
      calendar->setSource(source);
      calendar->setFolder(list.hostPath, list.devicePath);
      calendar->setMetadataLoader([list](Ref<NSString>& title, Ref<CGColor>& color) {
        eventkit::ListMetadata m = eventkit::readListMetadata(list);
        title = string(m.title);
        color = CGColor::createRGBA(m.color[0], m.color[1], m.color[2], m.color[3]);
      });
      byIdentifier_.emplace(list.identifier, calendar);
      calendars_.push_back(std::move(calendar));
    }
  }
}

Ref<NSArray> EKEventStore::calendarsForEntityType(EKEntityType type) {
  if (type != EKEntityTypeReminder || !accessGranted()) return NSArray::array();
  loadCalendars();
  return NSArray::arrayWithObjects(std::vector<id>(calendars_.begin(), calendars_.end()));
}

Ref<EKCalendar> EKEventStore::calendarWithIdentifier(Ref<NSString> identifier) {
  if (!identifier || !accessGranted()) return nullptr;
  loadCalendars();
  auto it = byIdentifier_.find(identifier->str());
  return it == byIdentifier_.end() ? nullptr : it->second;
}

Ref<NSArray> EKEventStore::sources() {
  if (!accessGranted()) return NSArray::array();
  loadCalendars();
  return NSArray::arrayWithObjects(std::vector<id>(sources_.begin(), sources_.end()));
}

std::vector<Ref<EKCalendar>> EKEventStore::calendarsIn(const Ref<NSArray>& calendars) {
  if (!calendars) {
    if (!accessGranted()) return {};
    loadCalendars();
    return calendars_;
  }
  std::vector<Ref<EKCalendar>> out;
  std::unordered_set<const EKCalendar*> seenObjects;
  std::unordered_set<std::string> seenIdentifiers;
  for (const id& item : *calendars) {
    auto calendar = objc::as<EKCalendar>(item);
    if (!calendar) {
      NSLog("EventKit: a predicate was given %@, which is not a calendar; left out", item);
      continue;
    }
    if (!seenObjects.insert(calendar.get()).second) continue;
    if (auto identifier = calendar->calendarIdentifier();
        identifier && !seenIdentifiers.insert(identifier->str()).second)
      continue;
    out.push_back(std::move(calendar));
  }
  return out;
}

Ref<EKReminderPredicate> EKEventStore::predicateForIncompleteRemindersWithDueDateStarting(Ref<NSDate> start,
                                                                                          Ref<NSDate> end,
                                                                                          Ref<NSArray> calendars) {
  return objc::create<EKReminderPredicate>(calendarsIn(calendars), true, std::move(start), std::move(end));
}

Ref<EKReminderPredicate> EKEventStore::predicateForRemindersInCalendars(Ref<NSArray> calendars) {
  return objc::create<EKReminderPredicate>(calendarsIn(calendars), false, nullptr, nullptr);
}

Ref<NSArray> EKEventStore::remindersMatching(const EKReminderPredicate* predicate) {
  std::vector<id> found;
  if (!predicate || !accessGranted()) return NSArray::arrayWithObjects(std::move(found));
  bool bounded = predicate->startDate() || predicate->endDate();
  for (const Ref<EKCalendar>& calendar : predicate->calendars()) {
    if (calendar->hostFolder().empty()) continue;  // a list made in memory has no reminders on disk
    const auto reading =
        eventkit::ReminderCache::shared().remindersInFolder(calendar->hostFolder(), calendar->deviceFolder());
    // The files were read long ago: each is asked for a few files ahead of
    // its reminders, and those ahead of the strings they lend.
    const auto& files = *reading;
    // A file usually holds one reminder: one allocation for the answer
    // rather than a dozen copies of a growing one.
    found.reserve(found.size() + files.size());
    for (size_t f = 0; f < files.size(); ++f) {
      if (f + 8 < files.size()) __builtin_prefetch(files[f + 8].get());
      if (f + 4 < files.size()) __builtin_prefetch(files[f + 4]->reminders.data());
      if (f + 2 < files.size())
        for (const eventkit::StoredReminder& s : files[f + 2]->reminders) objc::prefetchCounts(s.uid, s.title, s.notes);
      for (const eventkit::StoredReminder& s : files[f]->reminders) {
        if (predicate->incompleteOnly() && (s.completed || s.cancelled)) continue;
        Ref<NSDateComponents> due = componentsOf(s);
        if (bounded && !dueWithin(due.get(), predicate->startDate().get(), predicate->endDate().get())) continue;
        found.emplace_back(reminderFrom(s, calendar, std::move(due)));
      }
    }
  }
  return NSArray::arrayWithObjects(std::move(found));
}

id EKEventStore::fetchRemindersMatchingPredicate(Ref<EKReminderPredicate> predicate,
                                                 EKEventStoreFetchRemindersCompletionHandler completion) {
  static std::atomic<uint64_t> nextFetch{1};
  id fetch = NSNumber::numberWithUnsignedInteger(nextFetch.fetch_add(1));
  if (!predicate) NSLog("EventKit: a reminder fetch was started without a predicate; it finds nothing");
  // The worker holds the store, the predicate and its lists until it has answered.
  dispatch_async_global(
      [store = Ref<EKEventStore>(this), predicate = std::move(predicate), completion = std::move(completion)] {
        Ref<NSArray> reminders = remindersMatching(predicate.get());
        if (completion) completion(reminders);
      });
  return fetch;
}
