#pragma once
/// \file
/// The tweak's process-wide state. The tweak has no classes of its own: it
/// keeps everything here, touched only from SpringBoard's main thread
/// (the reminder fetch hands its result over through a semaphore).

#include <Foundation/NSArray.h>
#include <Foundation/NSLog.h>
#include <Foundation/NSString.h>
#include <objc/NSObject.h>

#include <cstdint>
#include <string>
#include <string_view>

class BBBulletin;
class UIColor;
class UIImage;

namespace quillpane {

/// Diagnostic lines of the presentation code are compiled in only for
/// debugging builds; no setting turns them on.
#ifdef QP_TWEAK_DEBUG
constexpr bool debugMode = true;
#else
constexpr bool debugMode = false;
#endif

/// The tag every log line of the tweak carries.
const Ref<NSString>& tag();

/// A line of the tweak's log: the tag, a space, then the formatted text.
template <class... A>
void logTagged(std::string_view format, const A&... args) {
  NSLog(std::string("%@ ").append(format), tag(), args...);
}

// State of the running tweak.
extern bool isEnabled;
extern id sBLockScreenNotificationListController;
extern id sBLockScreenView;
extern Ref<UIImage> icon;
extern int64_t dbmItemsCount;
extern Ref<NSMutableArray> publishedBulletins;
extern Ref<BBBulletin> pendingBulletin;
extern Class cachedSpringBoardClass;
/// The last overlay requester of the wallpaper underlay; never cleared.
extern Ref<NSString> lastOverlayContextRequester;

// Settings, one per preference key, refreshed at every list load.
extern bool showPriority;
extern bool showItemsWithoutDueDate;
extern bool showItemsWithDueDate;
extern bool showItemsWithPastDueDate;
extern bool compatibilityMode;
extern bool hideOnNowPlayingScreen;
extern bool hideOnCallScreen;
extern std::string customLaunchAppBundleID;
extern bool showSeparatorLines;
extern bool rightAlignedDate;
extern bool onlySelectedCalendars;
extern bool displayLocation;
extern bool sameHeightRows;
extern int64_t wallpaperBlurMode;
extern int64_t reminderSorting;
extern int64_t swipeAction;
extern Ref<UIColor> textColor;
extern int64_t textSize;
extern Ref<UIColor> subtitleTextColor;
extern int64_t subtitleTextSize;
extern Ref<UIColor> dateTextColor;
extern int64_t dateTextSize;
extern int64_t daysToDisplay;
extern int64_t maxRemindersToDisplay;
extern std::string iconFile;
extern int64_t sortPriority;
extern bool titleColorSameAsListColor;

/// Puts every variable back to its load-time value (zeroed). Only tests
/// need this: on the device the state lives as long as SpringBoard.
void resetStateForTesting();

}  // namespace quillpane
