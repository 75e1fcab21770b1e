// SBLockScreenNotificationListView: the tweak's rows take their own height
// and cannot be swiped.

#include "PlatformAccess.h"
#include "Replacements.h"
#include "RowStyling.h"
#include "TweakState.h"
#include "WallpaperUnderlay.h"

#include <Foundation/NSDictionary.h>
#include <Foundation/NSNumber.h>
#include <objc/message.h>

namespace quillpane {

double (*saved::heightForRow)(id, SEL, id, id) = nullptr;
bool (*saved::canEditRow)(id, SEL, id, id) = nullptr;

double listViewHeightForRow(id self, SEL cmd, id tableView, id indexPath) {
  if (!isEnabled) return saved::heightForRow(self, cmd, tableView, indexPath);
  id item = listItemAtIndexPath(indexPath);
  if (!isOwnRow(item.get())) {
    if constexpr (debugMode) {
      if (!objc::hasClassName(item.get(), "SBAwayBulletinListItem"))
        logTagged("heightForRowAtIndexPath item is NOT of expected class");
      else
        logTagged("heightForRowAtIndexPath, this is NOT our item, id is %@", itemBulletinID(item.get()));
    }
    if (wallpaperBlurMode == 1) reRequestUnderlay();
    return saved::heightForRow(self, cmd, tableView, indexPath);
  }

  const double height = ownRowHeightOf(item);
  bool found = false;
  auto cache = objc::as<NSMutableDictionary>(ivarObject(self.get(), "_heightForListItemCache", &found));
  if (!found)
    logTagged("list view has no _heightForListItemCache, row height not cached");
  else if (cache)
    cache->setObjectForKey(NSNumber::numberWithFloat(static_cast<float>(height)), item);
  return height;
}

bool listViewCanEditRow(id self, SEL cmd, id tableView, id indexPath) {
  if (!isEnabled) return saved::canEditRow(self, cmd, tableView, indexPath);
  if (isOwnRow(listItemAtIndexPath(indexPath).get())) return false;
  return saved::canEditRow(self, cmd, tableView, indexPath);
}

}  // namespace quillpane
