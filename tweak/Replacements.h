#pragma once
/// \file
/// The replaced methods of SpringBoard's lock-screen classes, in the order
/// they are installed, each with the implementation it replaced. Each
/// class's replacements and saved implementations live in the file named
/// after the class.

#include <CoreGraphics/CGGeometry.h>
#include <objc/runtime.h>

#include <cstdint>

namespace quillpane {

// Saved implementations: what each method did before the tweak replaced it.
namespace saved {
extern id (*initWithPluginName)(id, SEL, id, id, id);
extern uint64_t (*count)(id, SEL);
extern void (*turnOnScreenIfNecessaryForItem)(id, SEL, id);
extern void (*loadView)(id, SEL);
extern id (*iconImage)(id, SEL);
extern bool (*canBeClearedByNotificationCenter)(id, SEL);
extern double (*heightForRow)(id, SEL, id, id);
extern bool (*canEditRow)(id, SEL, id, id);
extern id (*initWithStyle)(id, SEL, int64_t, id);
extern void (*setContentAlpha)(id, SEL, double);
extern void (*layoutSubviews)(id, SEL);
extern id (*initWithFrame)(id, SEL, CGRect);
extern void (*addUnderlay)(id, SEL, id);
}  // namespace saved

// SBLockScreenPluginOverlayContext
id overlayInitWithPluginName(id self, SEL cmd, id pluginName, id pluginController, id lockScreenViewController);
void removeCustomBulletins(id self, SEL cmd);
// SBLockScreenNotificationListController
uint64_t listCount(id self, SEL cmd);
void turnOnScreenIfNecessaryForItem(id self, SEL cmd, id item);
void listLoadView(id self, SEL cmd);
// SBAwayBulletinListItem
id itemIconImage(id self, SEL cmd);
bool itemCanBeClearedByNotificationCenter(id self, SEL cmd);
// SBLockScreenNotificationListView
double listViewHeightForRow(id self, SEL cmd, id tableView, id indexPath);
bool listViewCanEditRow(id self, SEL cmd, id tableView, id indexPath);
// SBLockScreenBulletinCell
id cellInitWithStyle(id self, SEL cmd, int64_t style, id reuseIdentifier);
void cellSetContentAlpha(id self, SEL cmd, double alpha);
void cellLayoutSubviews(id self, SEL cmd);
// SBLockScreenView
id lockScreenViewInitWithFrame(id self, SEL cmd, CGRect frame);
void lockScreenViewAddUnderlay(id self, SEL cmd, id requester);

/// The tweak's load-time work: in SpringBoard, installs the replacements
/// and adds removeCustomBulletins_QPX; elsewhere does nothing.
void initializeTweak();

}  // namespace quillpane
