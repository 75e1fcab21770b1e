#include <SpringBoard/SBBacklightController.h>

#include <Foundation/DeviceClock.h>
#include <Foundation/NSDate.h>
#include <objc/ClassBuilder.h>

Class SBBacklightController::classObject() {
  static Class cls = objc::ClassBuilder<SBBacklightController, NSObject>("SBBacklightController")
                         .method<&SBBacklightController::screenIsOn>("screenIsOn")
                         .build();
  return cls;
}
OBJC_REGISTER_CLASS(SBBacklightController);

SBBacklightController* SBBacklightController::sharedInstance() {
  // Lives as long as the process, as SpringBoard's singletons do.
  static SBBacklightController* shared = objc::create<SBBacklightController>().leak();
  return shared;
}

bool SBBacklightController::turnOnScreenForItem(const std::string& itemDescription) {
  return light(SBScreenLighting::Cause::Bulletin, itemDescription);
}

bool SBBacklightController::turnOnScreenForUser() { return light(SBScreenLighting::Cause::User, ""); }

bool SBBacklightController::light(SBScreenLighting::Cause cause, const std::string& item) {
  if (on_) return false;
  on_ = true;
  lightings_.push_back({cause, item, foundation::DeviceClock::now()});
  if (lightings_.size() > kKeptLightings) lightings_.pop_front();
  ++lightingCount_;
  return true;
}
