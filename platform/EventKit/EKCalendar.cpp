#include <EventKit/EKCalendar.h>

#include <objc/ClassBuilder.h>

Class EKCalendar::classObject() {
  static Class cls = objc::ClassBuilder<EKCalendar, NSObject>("EKCalendar")
                         .method<&EKCalendar::title>("title")
                         .method<&EKCalendar::calendarIdentifier>("calendarIdentifier")
                         .method<&EKCalendar::CGColor>("CGColor")
                         .method<&EKCalendar::source>("source")
                         .method<&EKCalendar::allowedEntityTypes>("allowedEntityTypes")
                         .method<&EKCalendar::setTitle>("setTitle:")
                         .method<&EKCalendar::setCGColor>("setCGColor:")
                         .build();
  return cls;
}
OBJC_REGISTER_CLASS(EKCalendar);

std::string EKCalendar::descriptionString() const {
  auto s = [](const Ref<NSString>& v) { return v ? v->str() : std::string("(null)"); };
  return "EKCalendar <" + s(calendarIdentifier_) + "> title = " + s(title_);
}
