#include <EventKit/EKAlarm.h>

#include <objc/ClassBuilder.h>

Class EKAlarm::classObject() {
  static Class cls = objc::ClassBuilder<EKAlarm, NSObject>("EKAlarm")
                         .method<&EKAlarm::structuredLocation>("structuredLocation")
                         .method<&EKAlarm::proximity>("proximity")
                         .method<&EKAlarm::setStructuredLocation>("setStructuredLocation:")
                         .method<&EKAlarm::setProximity>("setProximity:")
                         .build();
  return cls;
}
OBJC_REGISTER_CLASS(EKAlarm);

std::string EKAlarm::descriptionString() const {
  std::string s = "EKAlarm <proximity " + std::to_string(static_cast<int64_t>(proximity_));
  if (location_) s += ", " + location_->descriptionString();
  return s + ">";
}
