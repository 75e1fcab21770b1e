// SBAwayBulletinListItem: the tweak's rows show its icon or a dot in the
// list's colour, and cannot be cleared by the notification centre.

#include "BulletinFields.h"
#include "PlatformAccess.h"
#include "Replacements.h"
#include "RowIcons.h"
#include "RowLayout.h"
#include "TweakState.h"

#include <UIKit/UIColor.h>
#include <UIKit/UIImage.h>
#include <objc/message.h>

namespace quillpane {

id (*saved::iconImage)(id, SEL) = nullptr;
bool (*saved::canBeClearedByNotificationCenter)(id, SEL) = nullptr;

id itemIconImage(id self, SEL cmd) {
  if (!objc::respondsTo(self.get(), SEL_("activeBulletin"))) {
    logTagged("SBAwayBulletinListItem not responding to the required selector, ignoring");
    return saved::iconImage(self, cmd);
  }
  if (!isEnabled) return saved::iconImage(self, cmd);
  const std::string bulletinID = itemBulletinID(self.get());
  if (!isOwnBulletinID(bulletinID)) return saved::iconImage(self, cmd);
  switch (iconModeFor(iconFile)) {
    case IconMode::None: return nullptr;
    case IconMode::Image: return icon;
    case IconMode::Dot: return drawColoredDot(listColourFromIdentifier(bulletinID).get(), kDotDiameter);
    case IconMode::LargeDot: return drawColoredDot(listColourFromIdentifier(bulletinID).get(), kLargeDotDiameter);
  }
  return nullptr;
}

bool itemCanBeClearedByNotificationCenter(id self, SEL cmd) {
  if (!objc::respondsTo(self.get(), SEL_("activeBulletin"))) {
    logTagged("SBAwayBulletinListItem not responding to the required selector, ignoring");
    return saved::canBeClearedByNotificationCenter(self, cmd);
  }
  if (isEnabled && isOwnBulletinID(itemBulletinID(self.get()))) return false;
  return saved::canBeClearedByNotificationCenter(self, cmd);
}

}  // namespace quillpane
