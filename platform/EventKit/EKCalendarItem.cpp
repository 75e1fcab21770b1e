#include <EventKit/EKCalendarItem.h>

#include <objc/ClassBuilder.h>

Class EKCalendarItem::classObject() {
  static Class cls = objc::ClassBuilder<EKCalendarItem, NSObject>("EKCalendarItem")
                         .method<&EKCalendarItem::title>("title")
                         .method<&EKCalendarItem::notes>("notes")
                         .method<&EKCalendarItem::calendarItemIdentifier>("calendarItemIdentifier")
                         .method<&EKCalendarItem::calendar>("calendar")
                         .method<&EKCalendarItem::alarms>("alarms")
                         .method<&EKCalendarItem::hasAlarms>("hasAlarms")
                         .method<&EKCalendarItem::setTitle>("setTitle:")
                         .method<&EKCalendarItem::setNotes>("setNotes:")
                         .method<&EKCalendarItem::setCalendar>("setCalendar:")
                         .method<&EKCalendarItem::setAlarms>("setAlarms:")
                         .method<&EKCalendarItem::addAlarm>("addAlarm:")
                         .build();
  return cls;
}
OBJC_REGISTER_CLASS(EKCalendarItem);

void EKCalendarItem::addAlarm(Ref<EKAlarm> alarm) {
  if (!alarm) return;
  std::vector<id> items = alarms_ ? alarms_->items() : std::vector<id>();
  items.emplace_back(std::move(alarm));
  alarms_ = NSArray::arrayWithObjects(std::move(items));
}
