#include <EventKit/EKReminder.h>

#include <objc/ClassBuilder.h>

Class EKReminder::classObject() {
  static Class cls = objc::ClassBuilder<EKReminder, EKCalendarItem>("EKReminder")
                         .method<&EKReminder::priority>("priority")
                         .method<&EKReminder::dueDateComponents>("dueDateComponents")
                         .method<&EKReminder::isCompleted>("isCompleted")
                         .method<&EKReminder::setPriority>("setPriority:")
                         .method<&EKReminder::setDueDateComponents>("setDueDateComponents:")
                         .method<&EKReminder::setCompleted>("setCompleted:")
                         .build();
  return cls;
}
OBJC_REGISTER_CLASS(EKReminder);

std::string EKReminder::descriptionString() const {
  auto t = title();
  std::string s = "EKReminder <" + (t ? t->str() : std::string("(null)")) + "> priority " + std::to_string(priority_);
  if (due_) s += ", due " + due_->descriptionString();
  if (completed_) s += ", completed";
  return s;
}
