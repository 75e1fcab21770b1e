#pragma once
// Shared set-up for the lock-screen tests: a booted device on an empty
// device root, a simulated clock, bulletins, and the log.

#include "TempRoot.h"

#include <BulletinBoard/BulletinBoard.h>
#include <Foundation/DeviceClock.h>
#include <Foundation/DeviceProfile.h>
#include <Foundation/NSNumber.h>
#include <Foundation/NSObjCRuntime.h>
#include <SpringBoard/LockScreenDriver.h>
#include <SpringBoard/SBApplicationIcons.h>
#include <SpringBoard/SBBulletinCellMetrics.h>
#include <SpringBoard/SBLockScreen.h>
#include <SpringBoard/SBRelevanceDate.h>
#include <objc/message.h>
#include <objc/runtime.h>
#include <substrate/substrate.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace sbtest {

/// 2026-12-08 09:30:00 UTC.
constexpr double kNow = 818415000;

/// Boots a device of that Foundation version (7.1 by default) on a fresh,
/// empty device root, with the clock fixed at kNow; captures the log.
class LockScreenTest : public ::testing::Test {
 protected:
  void SetUp() override { boot(NSFoundationVersionNumber_iOS_7_1); }

  void boot(double foundationVersion, std::vector<foundation::ProfileBulletin> bulletins = {}) {
    foundation::DeviceProfile profile;
    profile.foundationVersion = foundationVersion;
    profile.iosRelease = foundationVersion < 1140 ? "7.1" : "8.0";
    profile.now = kNow;
    profile.bulletins = std::move(bulletins);
    foundation::bootDevice(profile);
    log_->clear();  // each boot starts a fresh log
  }

  /// Replaces a method for this test only: the runtime's classes live as
  /// long as the process, so the implementation in place before is put
  /// back when the test ends, and the next test starts from SpringBoard's
  /// own classes (otherwise a second replacement would save the first one
  /// and call itself).
  template <class R, class... A>
  void hook(Class cls, SEL sel, R (*replacement)(id, SEL, A...), R (**saved)(id, SEL, A...)) {
    substrate::hookMessage(cls, sel, replacement, saved);
    const char* types = method_getTypeEncoding(class_getInstanceMethod(cls, sel));
    restores_.push_back([=] { class_replaceMethod(cls, sel, reinterpret_cast<IMP>(*saved), types); });
  }

  void TearDown() override {
    for (auto it = restores_.rbegin(); it != restores_.rend(); ++it) (*it)();
    restores_.clear();
  }

  TempRoot root_{"sbtest"};
  LogCapture log_;

 private:
  std::vector<std::function<void()>> restores_;
};

inline Ref<BBBulletin> bulletin(const std::string& bulletinID, const std::string& title = "Title",
                                const std::string& message = "Message") {
  auto b = objc::msg<Ref<BBBulletin>>(objc::alloc<BBBulletin>(), SEL_("init"));
  b->setBulletinID(NSStr(bulletinID));
  b->setTitle(NSStr(title));
  b->setMessage(NSStr(message));
  b->setSectionID(NSStr("com.example.app"));
  return b;
}

inline Ref<NSDate> at(double t) { return NSDate::dateWithTimeIntervalSinceReferenceDate(t); }

/// A loaded list controller, as SpringBoard makes one.
inline Ref<SBLockScreenNotificationListController> loadedController() {
  auto controller = objc::cast<SBLockScreenNotificationListController>(
      objc::msg<id>(objc::alloc<SBLockScreenNotificationListController>(), SEL_("init")));
  objc::msg(controller, SEL_("loadView"));
  return controller;
}

/// The bulletin identifiers of the controller's items, in list order.
inline std::vector<std::string> rowIDs(SBLockScreenNotificationListController& controller) {
  std::vector<std::string> ids;
  for (const auto& item : *controller.listItems()) {
    auto b = objc::msg<Ref<BBBulletin>>(item, SEL_("activeBulletin"));
    ids.push_back(b && b->bulletinID() ? b->bulletinID()->str() : "?");
  }
  return ids;
}

}  // namespace sbtest
