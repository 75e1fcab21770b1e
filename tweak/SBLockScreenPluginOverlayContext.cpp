// SBLockScreenPluginOverlayContext: when the now-playing screen opens, the
// tweak's rows leave the list a few seconds later.

#include "PlatformAccess.h"
#include "Replacements.h"
#include "TweakState.h"

#include <objc/message.h>

namespace quillpane {

id (*saved::initWithPluginName)(id, SEL, id, id, id) = nullptr;

id overlayInitWithPluginName(id self, SEL cmd, id pluginName, id pluginController, id lockScreenViewController) {
  auto name = objc::as<NSString>(pluginName);
  if (isEnabled && hideOnNowPlayingScreen && name && name->isEqualToString("NowPlayingArtLockScreen")) {
    logTagged("hiding on lockscreen: %@", name);
    objc::msg<void>(self, SEL_("performSelector:withObject:afterDelay:"), SEL_("removeCustomBulletins_QPX"), id(), 5.0);
  }
  return saved::initWithPluginName(self, cmd, pluginName, pluginController, lockScreenViewController);
}

void removeCustomBulletins(id /*self*/, SEL /*cmd*/) {
  const id& controller = sBLockScreenNotificationListController;
  if (!controller) {
    logTagged("hideOnNowPlayingScreen is enabled, but SBLockScreenNotificationListController is nil!");
    return;
  }
  auto items = objc::as<NSArray>(ivarObject(controller.get(), "_listItems"));
  logTagged("SBLockScreenPluginOverlayContext listitems count=%lu, qpx count=%ld", items ? items->count() : uint64_t{0},
            dbmItemsCount);
  if (dbmItemsCount < 1 || !items) return;

  // Collected first: removing a bulletin changes the list being walked.
  const std::vector<id> own = ownBulletinsIn(*items);
  logTagged("SBLockScreenPluginOverlayContext removing %lu bulletins", static_cast<uint64_t>(own.size()));
  for (const auto& bulletin : own) {
    id observer = ivarObject(controller.get(), "_observer");
    objc::msg(controller, SEL_("observer:removeBulletin:"), observer, bulletin);
  }
}

}  // namespace quillpane
