#include "LockScreenTestSupport.h"

using namespace sbtest;
using ::testing::ElementsAre;

namespace {

class LockScreenView : public LockScreenTest {};

Ref<SBLockScreenView> newLockScreenView() {
  return objc::cast<SBLockScreenView>(
      objc::msg<id>(objc::alloc<SBLockScreenView>(), SEL_("initWithFrame:"), CGRectMake(0, 0, 320, 568)));
}

void add(const Ref<SBLockScreenView>& view, const char* name) {
  objc::msg(view, SEL_("_addLockContentUnderlayWithRequester:"), NSStr(name));
}
void remove(const Ref<SBLockScreenView>& view, const char* name) {
  objc::msg(view, SEL_("_removeLockContentUnderlayWithRequester:"), NSStr(name));
}

TEST_F(LockScreenView, TheUnderlayShowsWhileAnyRequesterHoldsIt) {
  auto view = newLockScreenView();
  EXPECT_FALSE(view->isShowingLockContentUnderlay());
  add(view, "NotificationList");
  add(view, "NotificationList");  // a name holds it once
  add(view, "OverlayContext-NowPlayingArtLockScreen");
  EXPECT_THAT(view->underlayRequesters(), ElementsAre("NotificationList", "OverlayContext-NowPlayingArtLockScreen"));

  remove(view, "NotificationList");
  EXPECT_TRUE(view->isShowingLockContentUnderlay());
  remove(view, "");  // unknown names change nothing
  remove(view, "Notification");
  objc::msg(view, SEL_("_removeLockContentUnderlayWithRequester:"), nullptr);
  EXPECT_THAT(view->underlayRequesters(), ElementsAre("OverlayContext-NowPlayingArtLockScreen"));
  remove(view, "OverlayContext-NowPlayingArtLockScreen");
  EXPECT_FALSE(view->isShowingLockContentUnderlay());
  EXPECT_FALSE(objc::msg<bool>(view, SEL_("isShowingLockContentUnderlay")));
  EXPECT_EQ(view->underlayRequestLog().size(), 8u);  // every request that reached the view
}

TEST_F(LockScreenView, TheNowPlayingOverlayHoldsItsOwnUnderlayWhileOpen) {
  LockScreenDriver manager;
  manager.lock();
  manager.nowPlaying(true);
  auto overlay = manager.overlayContext();
  ASSERT_TRUE(overlay);
  EXPECT_EQ(overlay->pluginName()->str(), "NowPlayingArtLockScreen");
  EXPECT_EQ(overlay->lockScreenViewController().get(), manager.lockScreenViewController().get());
  EXPECT_THAT(manager.underlayRequesters(), ElementsAre("OverlayContext-NowPlayingArtLockScreen"));
  manager.nowPlaying(true);  // already open
  EXPECT_EQ(manager.overlayContext(), overlay);

  manager.notify("com.example.app", "Hello", "");
  EXPECT_THAT(manager.underlayRequesters(), ElementsAre("OverlayContext-NowPlayingArtLockScreen", "NotificationList"));
  manager.nowPlaying(false);
  EXPECT_EQ(manager.overlayContext(), nullptr);
  EXPECT_THAT(manager.underlayRequesters(), ElementsAre("NotificationList"));
}

TEST_F(LockScreenView, TheHeaderShowsTheDeviceClockAndTheListSitsBetweenHeaderAndUnlockText) {
  auto view = newLockScreenView();
  view->layoutIfNeeded();
  EXPECT_EQ(view->timeLabel()->text()->str(), "9:30");
  EXPECT_EQ(view->dateLabel()->text()->str(), "Tuesday, December 8");
  EXPECT_EQ(view->slideToUnlockLabel()->text()->str(), "slide to unlock");
  const CGRect list = view->notificationListFrame();
  EXPECT_GT(list.origin.y, CGRectGetMaxY(view->dateLabel()->frame()));
  EXPECT_LT(CGRectGetMaxY(list), view->slideToUnlockLabel()->frame().origin.y);
}

}  // namespace
