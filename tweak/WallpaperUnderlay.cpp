#include "WallpaperUnderlay.h"

#include "ListIntegration.h"
#include "PlatformAccess.h"
#include "Replacements.h"
#include "TweakState.h"

#include <Foundation/NSLog.h>
#include <objc/message.h>

namespace quillpane {

UnderlayRequester classifyRequester(std::string_view name) {
  if (name == "QpnNotificationList") return UnderlayRequester::OwnReRequest;
  if (name == "NotificationList") return UnderlayRequester::NotificationList;
  if (name.starts_with("OverlayContext")) return UnderlayRequester::OverlayContext;
  return UnderlayRequester::Other;
}

bool refusesUnderlay(int64_t wallpaperBlurMode, bool onlyCustomItems) {
  return wallpaperBlurMode == 2 || (wallpaperBlurMode == 1 && onlyCustomItems);
}

id lockScreenViewInitWithFrame(id self, SEL cmd, CGRect frame) {
  sBLockScreenView = self;
  return saved::initWithFrame(self, cmd, frame);
}

void lockScreenViewAddUnderlay(id self, SEL cmd, id requester) {
  auto name = objc::as<NSString>(requester);
  const auto kind = isEnabled && name ? classifyRequester(name->str()) : UnderlayRequester::Other;
  switch (kind) {
    case UnderlayRequester::OwnReRequest:
      if constexpr (debugMode) NSLog("%@ adding wallpaper underlay for context NotificationList, by my request", tag());
      return saved::addUnderlay(self, cmd, NSStr("NotificationList"));
    case UnderlayRequester::NotificationList:
    case UnderlayRequester::OverlayContext: {
      auto items = objc::as<NSArray>(ivarObject(sBLockScreenNotificationListController.get(), "_listItems"));
      if (kind == UnderlayRequester::OverlayContext) lastOverlayContextRequester = name;
      // Without a loaded list the list is not only-custom, so in mode 1 the
      // request passes.
      if (refusesUnderlay(wallpaperBlurMode, onlyCustomItemsAreDisplayed(items.get()))) {
        if constexpr (debugMode) NSLog("%@ supressing wallpaper underlay for %@", tag(), name);
        return;
      }
      break;
    }
    case UnderlayRequester::Other: break;
  }
  if constexpr (debugMode) NSLog("%@ not supressing wallpaper underlay for context: %@", tag(), requester);
  saved::addUnderlay(self, cmd, requester);
}

void withdrawUnderlayAtCount(const id& controller) {
  if (!isEnabled) return;
  bool found = false;
  auto items = objc::as<NSArray>(ivarObject(controller.get(), "_listItems", &found));
  if (!found) {
    NSLog("%@ list controller has no _listItems, underlay left alone", tag());
    return;
  }
  if constexpr (debugMode)
    NSLog("%@ SBLockScreenNotificationListController listitems count=%lu", tag(), items ? items->count() : uint64_t{0});
  if (!withdrawsAtCount(wallpaperBlurMode, onlyCustomItemsAreDisplayed(items.get()))) return;
  if constexpr (debugMode)
    NSLog("%@ SBLockScreenNotificationListController count removing NotificationList underlay", tag());
  objc::msg(sBLockScreenView, SEL_("_removeLockContentUnderlayWithRequester:"), NSStr("NotificationList"));
  // Only an overlay that was seen can be withdrawn by name.
  if (!lastOverlayContextRequester) return;
  if constexpr (debugMode)
    NSLog("%@ SBLockScreenNotificationListController count removing %@ underlay", tag(), lastOverlayContextRequester);
  objc::msg(sBLockScreenView, SEL_("_removeLockContentUnderlayWithRequester:"), lastOverlayContextRequester);
}

void reRequestUnderlay() {
  objc::msg(sBLockScreenView, SEL_("_addLockContentUnderlayWithRequester:"), NSStr("QpnNotificationList"));
}

}  // namespace quillpane
