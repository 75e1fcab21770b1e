// SBLockScreenView: the tweak remembers the lock-screen view and decides
// which requests for the blurred wallpaper layer behind the list it lets
// through.

#include "PlatformAccess.h"
#include "Replacements.h"
#include "TweakState.h"
#include "UnderlayDecisions.h"

#include <objc/message.h>

namespace quillpane {

id (*saved::initWithFrame)(id, SEL, CGRect) = nullptr;
void (*saved::addUnderlay)(id, SEL, id) = nullptr;

id lockScreenViewInitWithFrame(id self, SEL cmd, CGRect frame) {
  sBLockScreenView = self;
  return saved::initWithFrame(self, cmd, frame);
}

void lockScreenViewAddUnderlay(id self, SEL cmd, id requester) {
  auto name = objc::as<NSString>(requester);
  const auto kind = isEnabled && name ? classifyRequester(name->str()) : UnderlayRequester::Other;
  switch (kind) {
    case UnderlayRequester::OwnReRequest:
      if constexpr (debugMode) logTagged("adding wallpaper underlay for context NotificationList, by my request");
      return saved::addUnderlay(self, cmd, NSStr("NotificationList"));
    case UnderlayRequester::NotificationList:
    case UnderlayRequester::OverlayContext: {
      auto items = objc::as<NSArray>(ivarObject(sBLockScreenNotificationListController.get(), "_listItems"));
      if (kind == UnderlayRequester::OverlayContext) lastOverlayContextRequester = name;
      // Without a loaded list the list is not only-custom, so in mode 1 the
      // request passes.
      if (refusesUnderlay(wallpaperBlurMode, onlyCustomItemsAreDisplayed(items.get()))) {
        if constexpr (debugMode) logTagged("supressing wallpaper underlay for %@", name);
        return;
      }
      break;
    }
    case UnderlayRequester::Other: break;
  }
  if constexpr (debugMode) logTagged("not supressing wallpaper underlay for context: %@", requester);
  saved::addUnderlay(self, cmd, requester);
}

}  // namespace quillpane
