#include <SpringBoard/SBLockScreenViewController.h>

#include <objc/ClassBuilder.h>

Class SBLockScreenViewController::classObject() {
  using VC = SBLockScreenViewController;
  static Class cls = objc::ClassBuilder<VC, NSObject>("SBLockScreenViewController")
                         .method<&VC::lockScreenView>("lockScreenView")
                         .method<&VC::notificationListController>("notificationListController")
                         .build();
  return cls;
}
OBJC_REGISTER_CLASS(SBLockScreenViewController);
