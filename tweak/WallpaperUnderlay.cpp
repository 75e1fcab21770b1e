#include "WallpaperUnderlay.h"

#include "PlatformAccess.h"
#include "TweakState.h"
#include "UnderlayDecisions.h"

#include <objc/message.h>

namespace quillpane {

void withdrawUnderlayAtCount(const id& controller) {
  if (!isEnabled) return;
  bool found = false;
  auto items = objc::as<NSArray>(ivarObject(controller.get(), "_listItems", &found));
  if (!found) {
    logTagged("list controller has no _listItems, underlay left alone");
    return;
  }
  if constexpr (debugMode)
    logTagged("SBLockScreenNotificationListController listitems count=%lu", items ? items->count() : uint64_t{0});
  if (!withdrawsAtCount(wallpaperBlurMode, onlyCustomItemsAreDisplayed(items.get()))) return;
  if constexpr (debugMode) logTagged("SBLockScreenNotificationListController count removing NotificationList underlay");
  objc::msg(sBLockScreenView, SEL_("_removeLockContentUnderlayWithRequester:"), NSStr("NotificationList"));
  // Only an overlay that was seen can be withdrawn by name.
  if (!lastOverlayContextRequester) return;
  if constexpr (debugMode)
    logTagged("SBLockScreenNotificationListController count removing %@ underlay", lastOverlayContextRequester);
  objc::msg(sBLockScreenView, SEL_("_removeLockContentUnderlayWithRequester:"), lastOverlayContextRequester);
}

void reRequestUnderlay() {
  objc::msg(sBLockScreenView, SEL_("_addLockContentUnderlayWithRequester:"), NSStr("QpnNotificationList"));
}

}  // namespace quillpane
