#include <EventKit/EKReminderPredicate.h>

#include <objc/ClassBuilder.h>

Class EKReminderPredicate::classObject() {
  static Class cls = objc::ClassBuilder<EKReminderPredicate, NSObject>("EKReminderPredicate").build();
  return cls;
}
OBJC_REGISTER_CLASS(EKReminderPredicate);

std::string EKReminderPredicate::descriptionString() const {
  std::string s = incompleteOnly_ ? "EKReminderPredicate incomplete reminders in" : "EKReminderPredicate reminders in";
  for (const auto& c : calendars_) {
    auto id = c ? c->calendarIdentifier() : nullptr;
    s += " " + (id ? id->str() : std::string("(null)"));
  }
  return s;
}
