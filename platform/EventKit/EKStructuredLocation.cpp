#include <EventKit/EKStructuredLocation.h>

#include <objc/ClassBuilder.h>

Class EKStructuredLocation::classObject() {
  static Class cls = objc::ClassBuilder<EKStructuredLocation, NSObject>("EKStructuredLocation")
                         .method<&EKStructuredLocation::title>("title")
                         .method<&EKStructuredLocation::setTitle>("setTitle:")
                         .build();
  return cls;
}
OBJC_REGISTER_CLASS(EKStructuredLocation);

Ref<EKStructuredLocation> EKStructuredLocation::locationWithTitle(Ref<NSString> title) {
  return objc::create<EKStructuredLocation>(std::move(title));
}

std::string EKStructuredLocation::descriptionString() const {
  return "EKStructuredLocation <" + (title_ ? title_->str() : std::string("(null)")) + ">";
}
