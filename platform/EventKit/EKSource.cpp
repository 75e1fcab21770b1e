#include <EventKit/EKSource.h>

#include <objc/ClassBuilder.h>

Class EKSource::classObject() {
  static Class cls = objc::ClassBuilder<EKSource, NSObject>("EKSource")
                         .method<&EKSource::title>("title")
                         .method<&EKSource::sourceIdentifier>("sourceIdentifier")
                         .build();
  return cls;
}
OBJC_REGISTER_CLASS(EKSource);

std::string EKSource::descriptionString() const {
  return "EKSource <" + (title_ ? title_->str() : std::string("(null)")) + ">";
}
