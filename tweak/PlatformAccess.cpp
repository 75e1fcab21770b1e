#include "PlatformAccess.h"

#include "BulletinFields.h"
#include "TweakState.h"
#include "UnderlayDecisions.h"

#include <objc/message.h>

namespace quillpane {

id ivarObject(const NSObject* obj, const char* name, bool* found) {
  Ivar ivar = obj ? class_getInstanceVariable(object_getClass(obj), name) : nullptr;
  if (found) *found = ivar != nullptr;
  return ivar ? object_getIvar(obj, ivar) : id();
}

id activeBulletinOf(const NSObject* item) {
  if (!objc::respondsTo(item, SEL_("activeBulletin"))) return nullptr;
  return objc::msg<id>(item, SEL_("activeBulletin"));
}

namespace {

/// A bulletin's `bulletinID` as the bulletin holds it; nil when it has none.
Ref<NSString> heldBulletinID(const NSObject* bulletin) {
  if (!objc::respondsTo(bulletin, SEL_("bulletinID"))) return nullptr;
  return objc::msg<Ref<NSString>>(bulletin, SEL_("bulletinID"));
}

}  // namespace

std::string bulletinIDOf(const NSObject* bulletin) {
  auto s = heldBulletinID(bulletin);
  return s ? s->str() : std::string();
}

std::string itemBulletinID(const NSObject* item) { return bulletinIDOf(activeBulletinOf(item).get()); }

bool isOwnBulletin(const NSObject* bulletin) {
  auto s = heldBulletinID(bulletin);
  return s && isOwnBulletinID(s->str());
}

bool isOwnRow(const NSObject* item) {
  return objc::hasClassName(item, "SBAwayBulletinListItem") && isOwnBulletinID(itemBulletinID(item));
}

bool isSiblingRow(const NSObject* item) {
  return objc::hasClassName(item, "SBAwayBulletinListItem") && isSiblingBulletinID(itemBulletinID(item));
}

bool onlyCustomItemsAreDisplayed(const NSArray* items) {
  uint64_t custom = 0;
  const uint64_t all = items ? items->count() : 0;
  if (items) {
    for (const auto& item : *items) {
      if constexpr (debugMode)
        logTagged("Found lockscreen item: %@, class:%@", item, NSStr(object_getClassName(item.get())));
      if (isOwnRow(item.get()) || isSiblingRow(item.get())) ++custom;
    }
  }
  if (!onlyCustomRows(custom, all)) {
    if constexpr (debugMode) logTagged("NOT only custom items are found, custom:%lu, all:%lu", custom, all);
    return false;
  }
  if constexpr (debugMode) logTagged("only custom items are found");
  return true;
}

std::vector<id> ownBulletinsIn(const NSArray& items) {
  std::vector<id> own;
  for (const auto& item : items) {
    // Asking an item that does not answer activeBulletin would crash
    // SpringBoard.
    id bulletin = activeBulletinOf(item.get());
    if (bulletin && isOwnBulletinID(bulletinIDOf(bulletin.get()))) own.push_back(bulletin);
  }
  return own;
}

id listItemAtIndexPath(const id& indexPath) {
  return objc::msg<id>(sBLockScreenNotificationListController, SEL_("listItemAtIndexPath:"), indexPath);
}

}  // namespace quillpane
