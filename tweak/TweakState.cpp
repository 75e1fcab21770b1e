#include "TweakState.h"

#include <BulletinBoard/BBBulletin.h>
#include <UIKit/UIColor.h>
#include <UIKit/UIImage.h>

namespace quillpane {

const Ref<NSString>& tag() {
  static const Ref<NSString> t = NSStr("QPX:");
  return t;
}

bool isEnabled = false;
id sBLockScreenNotificationListController;
id sBLockScreenView;
Ref<UIImage> icon;
int64_t dbmItemsCount = 0;
Ref<NSMutableArray> publishedBulletins;
Ref<BBBulletin> pendingBulletin;
Class cachedSpringBoardClass = nullptr;
Ref<NSString> lastOverlayContextRequester;

bool showPriority = false;
bool showItemsWithoutDueDate = false;
bool showItemsWithDueDate = false;
bool showItemsWithPastDueDate = false;
bool compatibilityMode = false;
bool hideOnNowPlayingScreen = false;
bool hideOnCallScreen = false;
std::string customLaunchAppBundleID;
bool showSeparatorLines = false;
bool rightAlignedDate = false;
bool onlySelectedCalendars = false;
bool displayLocation = false;
bool sameHeightRows = false;
int64_t wallpaperBlurMode = 0;
int64_t reminderSorting = 0;
int64_t swipeAction = 0;
Ref<UIColor> textColor;
int64_t textSize = 0;
Ref<UIColor> subtitleTextColor;
int64_t subtitleTextSize = 0;
Ref<UIColor> dateTextColor;
int64_t dateTextSize = 0;
int64_t daysToDisplay = 0;
int64_t maxRemindersToDisplay = 0;
std::string iconFile;
int64_t sortPriority = 0;
bool titleColorSameAsListColor = false;

void resetStateForTesting() {
  isEnabled = false;
  sBLockScreenNotificationListController = nullptr;
  sBLockScreenView = nullptr;
  icon = nullptr;
  dbmItemsCount = 0;
  publishedBulletins = nullptr;
  pendingBulletin = nullptr;
  cachedSpringBoardClass = nullptr;
  lastOverlayContextRequester = nullptr;
  showPriority = showItemsWithoutDueDate = showItemsWithDueDate = showItemsWithPastDueDate = false;
  compatibilityMode = hideOnNowPlayingScreen = hideOnCallScreen = false;
  customLaunchAppBundleID.clear();
  showSeparatorLines = rightAlignedDate = onlySelectedCalendars = displayLocation = sameHeightRows = false;
  wallpaperBlurMode = reminderSorting = swipeAction = 0;
  textColor = subtitleTextColor = dateTextColor = nullptr;
  textSize = subtitleTextSize = dateTextSize = daysToDisplay = maxRemindersToDisplay = 0;
  iconFile.clear();
  sortPriority = 0;
  titleColorSameAsListColor = false;
}

}  // namespace quillpane
