#include <UIKit/UIScreen.h>

#include <Foundation/DeviceProfile.h>
#include <objc/ClassBuilder.h>

Class UIScreen::classObject() {
  static Class cls = objc::ClassBuilder<UIScreen, NSObject>("UIScreen")
                         .method<&UIScreen::bounds>("bounds")
                         .method<&UIScreen::scale>("scale")
                         .build();
  return cls;
}
OBJC_REGISTER_CLASS(UIScreen);

Ref<UIScreen> UIScreen::mainScreen() {
  static Ref<UIScreen> screen = objc::create<UIScreen>();
  return screen;
}

CGRect UIScreen::bounds() const {
  const auto& p = foundation::currentDeviceProfile();
  return CGRectMake(0, 0, p.screenWidth, p.screenHeight);
}

double UIScreen::scale() const {
  double s = foundation::currentDeviceProfile().screenScale;
  return s > 0 ? s : 1;
}
