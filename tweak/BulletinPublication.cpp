// Each load of the lock-screen list's view: reload the settings, withdraw
// the bulletins of the previous load, and publish one bulletin per shown
// reminder before the platform builds the list.

#include "BulletinFields.h"
#include "PlatformAccess.h"
#include "ReminderQuery.h"
#include "Replacements.h"
#include "Settings.h"
#include "SettingsDecisions.h"
#include "TweakState.h"

#include <BulletinBoard/BBAction.h>
#include <BulletinBoard/BBBulletin.h>
#include <CoreImage/CIColor.h>
#include <EventKit/EventKit.h>
#include <Foundation/NSCalendar.h>
#include <Foundation/NSLog.h>
#include <Foundation/NSObjCRuntime.h>
#include <Foundation/NSURL.h>
#include <objc/message.h>

namespace quillpane {

namespace {

constexpr double kWithdrawingFoundationVersion = 1200.0;

bool isShown(const EKReminder& reminder) {
  const DueDate due = dueDateOf(&reminder);
  if (!passesDueDateSwitches(due, {showItemsWithoutDueDate, showItemsWithDueDate, showItemsWithPastDueDate}))
    return false;
  if (!due.present) return true;
  if (isPastDue(due, NSDate::date()->timeIntervalSinceReferenceDate()) && !showItemsWithPastDueDate) return false;
  double horizon = NSDate::date()->timeIntervalSinceReferenceDate();
  if (daysToDisplay != -1) {
    auto days = NSDateComponents::create();
    days->day = daysToDisplay;
    horizon = NSCalendar::currentCalendar()
                  ->dateByAddingComponentsToDate(days.get(), NSDate::date().get(), 0)
                  ->timeIntervalSinceReferenceDate();
  }
  return !isBeyondHorizon(due, horizon);
}

Ref<NSString> locationSubtitle(const EKReminder& reminder) {
  auto alarms = reminder.alarms();
  if (!alarms) return nullptr;
  for (const auto& entry : *alarms) {
    auto alarm = objc::as<EKAlarm>(entry);
    auto location = alarm ? alarm->structuredLocation() : nullptr;
    if (!location) continue;
    auto title = location->title();
    return NSStr(std::string(locationPrefix(alarm->proximity())) + (title ? title->str() : std::string()));
  }
  return nullptr;
}

std::optional<std::string> colourString(const EKReminder& reminder) {
  auto calendar = reminder.calendar();
  auto colour = calendar ? calendar->CGColor() : nullptr;
  if (!colour) return std::nullopt;
  return CIColor::colorWithCGColor(colour.get())->stringRepresentation();
}

Ref<NSDate> orderingDate(uint32_t position) {
  auto shift = NSDateComponents::create();
  shift->year = sortPriority;
  shift->day = 360 - static_cast<int64_t>(position);
  return NSCalendar::currentCalendar()->dateByAddingComponentsToDate(shift.get(), NSDate::date().get(), 0);
}

Ref<BBBulletin> makeBulletin(const EKReminder& reminder, uint32_t position) {
  auto bulletin = objc::msg<Ref<BBBulletin>>(objc::alloc<BBBulletin>(), SEL_("init"));
  pendingBulletin = bulletin;
  auto title = reminder.title();
  const std::string bare = title ? title->str() : std::string();
  bulletin->setTitle(NSStr(showPriority ? std::string(priorityMark(reminder.priority())) + bare : bare));
  bulletin->setMessage(NSStr(kBulletinMessage));
  if (displayLocation)
    if (auto subtitle = locationSubtitle(reminder)) bulletin->setSubtitle(subtitle);
  bulletin->setDateIsAllDay(false);
  if (auto components = reminder.dueDateComponents())
    bulletin->setDate(NSCalendar::currentCalendar()->dateFromComponents(components.get()));
  if (compatibilityMode) bulletin->setSection(NSStr(kRemindersSection));
  if (swipeAction == 1)
    bulletin->setDefaultAction(BBAction::actionWithLaunchURL(NSURL::URLWithString(kRemindersURL), nullptr));
  else if (swipeAction == 3 && !customLaunchAppBundleID.empty())
    bulletin->setDefaultAction(BBAction::actionWithLaunchBundleID(NSStr(customLaunchAppBundleID), nullptr));
  if (sortPriority != kNoCustomSorting) {
    bulletin->setPublicationDate(orderingDate(position));
    bulletin->setLastInterruptDate(orderingDate(position));
  }
  bulletin->setBulletinID(NSStr(bulletinIdentifier(position, colourString(reminder))));
  return bulletin;
}

void publish(const id& controller, const id& observer, const Ref<BBBulletin>& bulletin) {
  if (objc::respondsTo(controller.get(), SEL_("observer:addBulletin:forFeed:"))) {
    objc::msg(controller, SEL_("observer:addBulletin:forFeed:"), observer, bulletin, uint64_t{0});
  } else if (objc::respondsTo(controller.get(), SEL_("observer:addBulletin:forFeed:playLightsAndSirens:withReply:"))) {
    objc::msg(controller, SEL_("observer:addBulletin:forFeed:playLightsAndSirens:withReply:"), observer, bulletin,
              uint64_t{0}, false, id());
  } else {
    NSLog("%@ list controller not responding to known selectors!", tag());
  }
}

}  // namespace

void listLoadView(id self, SEL cmd) {
  sBLockScreenNotificationListController = self;
  loadSettings();

  // Without the observer there is nobody to hand bulletins to or take them
  // back from; the list then shows only the platform's own items.
  bool hasObserver = false;
  id observer = ivarObject(self.get(), "_observer", &hasObserver);
  if (!hasObserver) NSLog("%@ list controller has no _observer, reminders not published", tag());

  if (!publishedBulletins) {
    publishedBulletins = NSMutableArray::array();
  } else {
    if (NSFoundationVersionNumber >= kWithdrawingFoundationVersion && hasObserver)
      for (const auto& bulletin : *publishedBulletins)
        objc::msg(self, SEL_("observer:removeBulletin:"), observer, bulletin);
    publishedBulletins->removeAllObjects();
  }

  if (!isEnabled) return saved::loadView(self, cmd);

  auto reminders = fetchReminders();
  NSLog("%@ got %lu reminders", tag(), reminders->count());
  dbmItemsCount = static_cast<int64_t>(reminders->count());

  const int32_t n = hasObserver ? positionsToExamine(reminders->count(), maxRemindersToDisplay) : 0;
  for (int32_t i = 0; i < n; ++i) {
    auto reminder = objc::as<EKReminder>(reminders->objectAtIndex(static_cast<uint64_t>(i)));
    if (!reminder || !isShown(*reminder)) continue;
    auto bulletin = makeBulletin(*reminder, static_cast<uint32_t>(i));
    // Kept before publishing, so the next load withdraws it even if
    // publishing fails.
    publishedBulletins->addObject(bulletin);
    publish(self, observer, bulletin);
  }
  saved::loadView(self, cmd);
}

}  // namespace quillpane
