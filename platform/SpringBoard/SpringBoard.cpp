#include <SpringBoard/SpringBoard.h>

#include <SpringBoard/SBLockScreenBulletinCell.h>
#include <SpringBoard/SBLockScreenNotificationListController.h>
#include <objc/ClassBuilder.h>

Class SpringBoard::classObject() {
  static Class cls =
      objc::ClassBuilder<SpringBoard, UIApplication>("SpringBoard")
          .method<&SpringBoard::launchApplicationWithIdentifier>("launchApplicationWithIdentifier:suspended:")
          .build();
  return cls;
}
// Deliberately no OBJC_REGISTER_CLASS: other processes must not have it.

bool SpringBoard::launchApplicationWithIdentifier(Ref<NSString> bundleIdentifier, bool suspended) {
  if (!bundleIdentifier || bundleIdentifier->length() == 0) return false;
  launched_.push_back(bundleIdentifier->str());
  return true;
}

void SBRegisterSpringBoardApplicationClass() {
  SBLockScreenNotificationListController::classObject();
  SBLockScreenBulletinCell::classObject();
  SpringBoard::classObject();
}
