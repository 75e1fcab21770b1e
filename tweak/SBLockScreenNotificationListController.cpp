// SBLockScreenNotificationListController: each view load publishes the
// reminders as bulletins; the tweak's items never light the screen; the
// count is where the underlay is withdrawn.

#include "BulletinFields.h"
#include "BulletinPublication.h"
#include "PlatformAccess.h"
#include "ReminderQuery.h"
#include "Replacements.h"
#include "Settings.h"
#include "TweakState.h"
#include "WallpaperUnderlay.h"

#include <objc/message.h>

namespace quillpane {

uint64_t (*saved::count)(id, SEL) = nullptr;
void (*saved::turnOnScreenIfNecessaryForItem)(id, SEL, id) = nullptr;
void (*saved::loadView)(id, SEL) = nullptr;

uint64_t listCount(id self, SEL cmd) {
  const uint64_t n = saved::count(self, cmd);
  withdrawUnderlayAtCount(self);
  return n;
}

void turnOnScreenIfNecessaryForItem(id self, SEL cmd, id item) {
  if (!isEnabled) return saved::turnOnScreenIfNecessaryForItem(self, cmd, item);
  if (objc::hasClassName(item.get(), "BBBulletin")) {
    if (isOwnBulletin(item.get())) return;
  } else if (objc::hasClassName(item.get(), "SBLockScreenNotificationBulletinBannerItem")) {
    id listItem = ivarObject(item.get(), "_bulletinListItem");
    if (isOwnBulletin(activeBulletinOf(listItem.get()).get())) return;
  } else if constexpr (debugMode) {
    NSLog("QPR: SBLockScreenNotificationListController turnOnScreenIfNecessaryForItem arg does not have bbulettin. ");
  }
  saved::turnOnScreenIfNecessaryForItem(self, cmd, item);
}

void listLoadView(id self, SEL cmd) {
  sBLockScreenNotificationListController = self;
  loadSettings();

  // Without the observer there is nobody to hand bulletins to or take them
  // back from; the list then shows only the platform's own items.
  bool hasObserver = false;
  id observer = ivarObject(self.get(), "_observer", &hasObserver);
  if (!hasObserver) logTagged("list controller has no _observer, reminders not published");
  withdrawPublishedBulletins(self, observer, hasObserver);
  if (!isEnabled) return saved::loadView(self, cmd);

  auto reminders = fetchReminders();
  logTagged("got %lu reminders", reminders->count());
  dbmItemsCount = static_cast<int64_t>(reminders->count());
  if (hasObserver) publishReminderBulletins(self, observer, *reminders);
  saved::loadView(self, cmd);
}

}  // namespace quillpane
