// How the lock-screen list treats the tweak's rows: they never light the
// screen, cannot be cleared or swiped, and leave the list a few seconds
// after the now-playing screen opens when so configured.

#include "ListIntegration.h"

#include "BulletinFields.h"
#include "PlatformAccess.h"
#include "Replacements.h"
#include "TweakState.h"
#include "WallpaperUnderlay.h"

#include <Foundation/NSLog.h>
#include <Foundation/NSRunLoop.h>
#include <objc/message.h>

namespace quillpane {

bool onlyCustomItemsAreDisplayed(const NSArray* items) {
  uint64_t custom = 0;
  const uint64_t all = items ? items->count() : 0;
  if (items) {
    for (const auto& item : *items) {
      if constexpr (debugMode)
        NSLog("%@ Found lockscreen item: %@, class:%@", tag(), item, NSStr(object_getClassName(item.get())));
      if (isOwnRow(item.get()) || isSiblingRow(item.get())) ++custom;
    }
  }
  if (custom == 0 || custom != all) {
    if constexpr (debugMode) NSLog("%@ NOT only custom items are found, custom:%lu, all:%lu", tag(), custom, all);
    return false;
  }
  if constexpr (debugMode) NSLog("%@ only custom items are found", tag());
  return true;
}

id overlayInitWithPluginName(id self, SEL cmd, id pluginName, id pluginController, id lockScreenViewController) {
  auto name = objc::as<NSString>(pluginName);
  if (isEnabled && hideOnNowPlayingScreen && name && name->isEqualToString("NowPlayingArtLockScreen")) {
    NSLog("%@ hiding on lockscreen: %@", tag(), name);
    foundation::performSelectorAfterDelay(self, SEL_("removeCustomBulletins_QPX"), nullptr, 5.0);
  }
  return saved::initWithPluginName(self, cmd, pluginName, pluginController, lockScreenViewController);
}

void removeCustomBulletins(id self, SEL cmd) {
  const id& controller = sBLockScreenNotificationListController;
  if (!controller) {
    NSLog("%@ hideOnNowPlayingScreen is enabled, but SBLockScreenNotificationListController is nil!", tag());
    return;
  }
  auto items = objc::as<NSArray>(ivarObject(controller.get(), "_listItems"));
  NSLog("%@ SBLockScreenPluginOverlayContext listitems count=%lu, qpx count=%ld", tag(),
        items ? items->count() : uint64_t{0}, dbmItemsCount);
  if (dbmItemsCount < 1 || !items) return;

  // Collect first: removing a bulletin changes the list being walked.
  std::vector<id> own;
  for (const auto& item : *items) {
    // An item that cannot name its bulletin is not one of ours; asking it
    // anyway would crash SpringBoard.
    id bulletin = activeBulletinOf(item.get());
    if (bulletin && isOwnBulletinID(bulletinIDOf(bulletin.get()))) own.push_back(bulletin);
  }
  NSLog("%@ SBLockScreenPluginOverlayContext removing %lu bulletins", tag(), static_cast<uint64_t>(own.size()));
  for (const auto& bulletin : own) {
    id observer = ivarObject(controller.get(), "_observer");
    objc::msg(controller, SEL_("observer:removeBulletin:"), observer, bulletin);
  }
}

uint64_t listCount(id self, SEL cmd) {
  uint64_t n = saved::count(self, cmd);
  withdrawUnderlayAtCount(self);
  return n;
}

void turnOnScreenIfNecessaryForItem(id self, SEL cmd, id item) {
  if (!isEnabled) return saved::turnOnScreenIfNecessaryForItem(self, cmd, item);
  if (objc::hasClassName(item.get(), "BBBulletin")) {
    if (isOwnBulletinID(bulletinIDOf(item.get()))) return;
  } else if (objc::hasClassName(item.get(), "SBLockScreenNotificationBulletinBannerItem")) {
    id listItem = ivarObject(item.get(), "_bulletinListItem");
    if (isOwnBulletinID(itemBulletinID(listItem.get()))) return;
  } else if constexpr (debugMode) {
    NSLog("QPR: SBLockScreenNotificationListController turnOnScreenIfNecessaryForItem arg does not have bbulettin. ");
  }
  saved::turnOnScreenIfNecessaryForItem(self, cmd, item);
}

bool itemCanBeClearedByNotificationCenter(id self, SEL cmd) {
  if (!objc::respondsTo(self.get(), SEL_("activeBulletin"))) {
    NSLog("%@ SBAwayBulletinListItem not responding to the required selector, ignoring", tag());
    return saved::canBeClearedByNotificationCenter(self, cmd);
  }
  if (isEnabled && isOwnBulletinID(itemBulletinID(self.get()))) return false;
  return saved::canBeClearedByNotificationCenter(self, cmd);
}

bool listViewCanEditRow(id self, SEL cmd, id tableView, id indexPath) {
  if (!isEnabled) return saved::canEditRow(self, cmd, tableView, indexPath);
  if (isOwnRow(listItemAtIndexPath(indexPath).get())) return false;
  return saved::canEditRow(self, cmd, tableView, indexPath);
}

}  // namespace quillpane
