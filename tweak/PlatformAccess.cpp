#include "PlatformAccess.h"

#include "BulletinFields.h"
#include "TweakState.h"

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

std::string bulletinIDOf(const NSObject* bulletin) {
  if (!objc::respondsTo(bulletin, SEL_("bulletinID"))) return {};
  auto s = objc::msg<Ref<NSString>>(bulletin, SEL_("bulletinID"));
  return s ? s->str() : std::string();
}

std::string itemBulletinID(const NSObject* item) { return bulletinIDOf(activeBulletinOf(item).get()); }

bool isOwnRow(const NSObject* item) {
  return objc::hasClassName(item, "SBAwayBulletinListItem") && isOwnBulletinID(itemBulletinID(item));
}

bool isSiblingRow(const NSObject* item) {
  return objc::hasClassName(item, "SBAwayBulletinListItem") && isSiblingBulletinID(itemBulletinID(item));
}

id listItemAtIndexPath(const id& indexPath) {
  return objc::msg<id>(sBLockScreenNotificationListController, SEL_("listItemAtIndexPath:"), indexPath);
}

}  // namespace quillpane
