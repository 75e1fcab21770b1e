// Loading the tweak: inert outside SpringBoard; in SpringBoard every
// method is replaced, forwarding to the platform until the first list load.

#include "LockScreenFixture.h"

#include <objc/message.h>

namespace {

class Startup : public LockScreenFixture {};

IMP impOf(const char* cls, const char* sel) {
  return method_getImplementation(class_getInstanceMethod(objc_getClass(cls), sel_registerName(sel)));
}

}  // namespace

TEST_F(Startup, InertInAProcessWithoutSpringBoard) {
  SBLockScreenNotificationListController::classObject();
  SBLockScreenBulletinCell::classObject();
  const IMP before = impOf("SBLockScreenNotificationListController", "loadView");
  quillpane::initializeTweak();
  EXPECT_EQ(objc_getClass("SpringBoard"), nullptr);
  EXPECT_EQ(impOf("SBLockScreenNotificationListController", "loadView"), before);
  EXPECT_EQ(class_getInstanceMethod(objc_getClass("SBLockScreenPluginOverlayContext"),
                                    sel_registerName("removeCustomBulletins_QPX")),
            nullptr);
}

TEST_F(Startup, InstallsEveryReplacementAndTheAddedMethod) {
  boot();
  using namespace quillpane;
  EXPECT_NE(saved::initWithPluginName, nullptr);
  EXPECT_NE(saved::count, nullptr);
  EXPECT_NE(saved::turnOnScreenIfNecessaryForItem, nullptr);
  EXPECT_NE(saved::loadView, nullptr);
  EXPECT_NE(saved::iconImage, nullptr);
  EXPECT_NE(saved::canBeClearedByNotificationCenter, nullptr);
  EXPECT_NE(saved::heightForRow, nullptr);
  EXPECT_NE(saved::canEditRow, nullptr);
  EXPECT_NE(saved::initWithStyle, nullptr);
  EXPECT_NE(saved::setContentAlpha, nullptr);
  EXPECT_NE(saved::layoutSubviews, nullptr);
  EXPECT_NE(saved::initWithFrame, nullptr);
  EXPECT_NE(saved::addUnderlay, nullptr);
  Method added = class_getInstanceMethod(objc_getClass("SBLockScreenPluginOverlayContext"),
                                         sel_registerName("removeCustomBulletins_QPX"));
  ASSERT_NE(added, nullptr);
  EXPECT_STREQ(method_getTypeEncoding(added), "v@:");
  EXPECT_FALSE(isEnabled);
  EXPECT_EQ(logCount("not found"), 0u);
}

TEST_F(Startup, BeforeTheFirstListLoadEveryRowBehavesAsThePlatform) {
  boot();
  // A bulletin that looks like the tweak's, delivered before any list load.
  manager_->lock();              // the list load enables the tweak...
  quillpane::isEnabled = false;  // ...so go back to the state before it
  auto bulletin = manager_->notify("com.example.app", "Looks like ours");
  bulletin->setBulletinID(NSStr("Quillpane 0|1 0 0 1"));
  auto row = rowWithTitle("Looks like ours");
  ASSERT_TRUE(row);
  EXPECT_TRUE(manager_->canClearRow(*row));
  EXPECT_TRUE(manager_->canEditRow(*row));
}
