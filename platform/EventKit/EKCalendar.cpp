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

std::unique_lock<std::mutex> EKCalendar::loadedMetadata() const {
  std::unique_lock guard(metadataLock_);
  if (loader_) {
    MetadataLoader load = std::move(loader_);
    loader_ = nullptr;
    load(title_, color_);
  }
  return guard;
}

Ref<NSString> EKCalendar::title() const {
  auto guard = loadedMetadata();
  return title_;
}

Ref<::CGColor> EKCalendar::CGColor() const {
  auto guard = loadedMetadata();
  return color_;
}

void EKCalendar::setTitle(Ref<NSString> title) {
  auto guard = loadedMetadata();
  title_ = std::move(title);
}

void EKCalendar::setCGColor(Ref<::CGColor> color) {
  auto guard = loadedMetadata();
  color_ = std::move(color);
}

void EKCalendar::setMetadataLoader(MetadataLoader load) {
  std::lock_guard guard(metadataLock_);
  loader_ = std::move(load);
}

std::string EKCalendar::descriptionString() const {
  auto s = [](const Ref<NSString>& v) { return v ? v->str() : std::string("(null)"); };
  return "EKCalendar <" + s(calendarIdentifier_) + "> title = " + s(title());
}
