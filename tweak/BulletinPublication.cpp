#include "BulletinPublication.h"

#include "BulletinFields.h"
#include "ReminderQuery.h"
#include "TweakState.h"

#include <BulletinBoard/BBAction.h>
#include <BulletinBoard/BBBulletin.h>
#include <CoreImage/CIColor.h>
#include <EventKit/EventKit.h>
#include <Foundation/NSCalendar.h>
#include <Foundation/NSObjCRuntime.h>
#include <Foundation/NSURL.h>
#include <objc/message.h>

namespace quillpane {

namespace {

constexpr double kWithdrawingFoundationVersion = 1200.0;

Ref<NSDate> daysFromNow(int64_t days) {
  auto shift = NSDateComponents::create();
  shift->day = days;
  return NSCalendar::currentCalendar()->dateByAddingComponentsToDate(shift.get(), NSDate::date().get(), 0);
}

bool shows(const EKReminder& reminder) {
  const DueDate due = dueDateOf(&reminder);
  const double now = NSDate::date()->timeIntervalSinceReferenceDate();
  // Only a dated reminder is held against the horizon.
  const double horizon =
      due.present && daysToDisplay != -1 ? daysFromNow(daysToDisplay)->timeIntervalSinceReferenceDate() : now;
  return isShown(due, now, horizon, {showItemsWithoutDueDate, showItemsWithDueDate, showItemsWithPastDueDate});
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

Ref<NSDate> shiftedFromNow(const DateShift& shift) {
  auto components = NSDateComponents::create();
  components->year = shift.years;
  components->day = shift.days;
  return NSCalendar::currentCalendar()->dateByAddingComponentsToDate(components.get(), NSDate::date().get(), 0);
}

// Fixed texts are one object each for the life of SpringBoard, as string
// literals are on the device, rather than a new string on every bulletin.
NSString* bulletinMessage() {
  static NSString* const text = NSStr(kBulletinMessage).leak();
  return text;
}
NSString* remindersSection() {
  static NSString* const text = NSStr(kRemindersSection).leak();
  return text;
}

Ref<BBBulletin> makeBulletin(const EKReminder& reminder, uint32_t position) {
  auto bulletin = objc::msg<Ref<BBBulletin>>(objc::alloc<BBBulletin>(), SEL_("init"));
  pendingBulletin = bulletin;
  auto title = reminder.title();
  bulletin->setTitle(NSStr(bulletinTitle(showPriority, reminder.priority(), title ? title->str() : std::string())));
  bulletin->setMessage(bulletinMessage());
  if (displayLocation)
    if (auto subtitle = locationSubtitle(reminder)) bulletin->setSubtitle(subtitle);
  bulletin->setDateIsAllDay(false);
  if (auto components = reminder.dueDateComponents())
    bulletin->setDate(NSCalendar::currentCalendar()->dateFromComponents(components.get()));
  if (compatibilityMode) bulletin->setSection(remindersSection());
  switch (defaultActionFor(swipeAction, customLaunchAppBundleID)) {
    case DefaultAction::OpenReminders:
      bulletin->setDefaultAction(BBAction::actionWithLaunchURL(NSURL::URLWithString(kRemindersURL), nullptr));
      break;
    case DefaultAction::LaunchApp:
      bulletin->setDefaultAction(BBAction::actionWithLaunchBundleID(NSStr(customLaunchAppBundleID), nullptr));
      break;
    case DefaultAction::None: break;
  }
  if (auto shift = orderingShift(sortPriority, position)) {
    bulletin->setPublicationDate(shiftedFromNow(*shift));
    bulletin->setLastInterruptDate(shiftedFromNow(*shift));
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
    logTagged("list controller not responding to known selectors!");
  }
}

}  // namespace

void withdrawPublishedBulletins(const id& controller, const id& observer, bool hasObserver) {
  if (!publishedBulletins) {
    publishedBulletins = NSMutableArray::array();
    return;
  }
  if (NSFoundationVersionNumber >= kWithdrawingFoundationVersion && hasObserver)
    for (const auto& bulletin : *publishedBulletins)
      objc::msg(controller, SEL_("observer:removeBulletin:"), observer, bulletin);
  publishedBulletins->removeAllObjects();
}

void publishReminderBulletins(const id& controller, const id& observer, const NSArray& reminders) {
  const int32_t n = positionsToExamine(reminders.count(), maxRemindersToDisplay);
  for (int32_t i = 0; i < n; ++i) {
    auto reminder = objc::as<EKReminder>(reminders.objectAtIndex(static_cast<uint64_t>(i)));
    if (!reminder || !shows(*reminder)) continue;
    auto bulletin = makeBulletin(*reminder, static_cast<uint32_t>(i));
    // Kept before publishing, so the next load withdraws it even if
    // publishing fails.
    publishedBulletins->addObject(bulletin);
    publish(controller, observer, bulletin);
  }
}

}  // namespace quillpane
