#include "Replacements.h"
#include "TweakState.h"

#include <substrate/substrate.h>

namespace quillpane {

namespace {

/// Replaces one method; a class or method this release lacks, or one of
/// other types, is logged and left alone rather than crashing SpringBoard.
template <class R, class... A>
void hook(Class cls, const char* className, const char* selector, R (*replacement)(id, SEL, A...),
          R (**savedImp)(id, SEL, A...)) {
  if (!cls) return;  // the missing class is logged once, at its lookup
  const std::string refusal = substrate::tryHookMessage(cls, sel_registerName(selector), replacement, savedImp);
  if (!refusal.empty()) logTagged("-[%s %s] left alone: %s", className, selector, refusal);
}

/// The class of a group of rows, looked up once before its first row.
Class hookedClass(const char* name) {
  Class cls = objc_getClass(name);
  if (!cls) logTagged("class %s not found on this system, its methods are left alone", name);
  return cls;
}

void installHooks() {
  const char* name = "SBLockScreenPluginOverlayContext";
  Class cls = hookedClass(name);
  hook(cls, name, "initWithPluginName:pluginController:lockScreenViewController:", &overlayInitWithPluginName,
       &saved::initWithPluginName);
  if (cls)
    class_addMethod(cls, sel_registerName("removeCustomBulletins_QPX"), reinterpret_cast<IMP>(&removeCustomBulletins),
                    "v@:");

  cls = hookedClass(name = "SBLockScreenNotificationListController");
  hook(cls, name, "count", &listCount, &saved::count);
  hook(cls, name, "turnOnScreenIfNecessaryForItem:", &turnOnScreenIfNecessaryForItem,
       &saved::turnOnScreenIfNecessaryForItem);
  hook(cls, name, "loadView", &listLoadView, &saved::loadView);

  cls = hookedClass(name = "SBAwayBulletinListItem");
  hook(cls, name, "iconImage", &itemIconImage, &saved::iconImage);
  hook(cls, name, "canBeClearedByNotificationCenter", &itemCanBeClearedByNotificationCenter,
       &saved::canBeClearedByNotificationCenter);

  cls = hookedClass(name = "SBLockScreenNotificationListView");
  hook(cls, name, "tableView:heightForRowAtIndexPath:", &listViewHeightForRow, &saved::heightForRow);
  hook(cls, name, "tableView:canEditRowAtIndexPath:", &listViewCanEditRow, &saved::canEditRow);

  cls = hookedClass(name = "SBLockScreenBulletinCell");
  hook(cls, name, "initWithStyle:reuseIdentifier:", &cellInitWithStyle, &saved::initWithStyle);
  hook(cls, name, "setContentAlpha:", &cellSetContentAlpha, &saved::setContentAlpha);
  hook(cls, name, "layoutSubviews", &cellLayoutSubviews, &saved::layoutSubviews);

  cls = hookedClass(name = "SBLockScreenView");
  hook(cls, name, "initWithFrame:", &lockScreenViewInitWithFrame, &saved::initWithFrame);
  hook(cls, name, "_addLockContentUnderlayWithRequester:", &lockScreenViewAddUnderlay, &saved::addUnderlay);
}

}  // namespace

void initializeTweak() {
  if (!cachedSpringBoardClass) cachedSpringBoardClass = objc_getClass("SpringBoard");
  if (!cachedSpringBoardClass) return;  // not SpringBoard: stay inert
  // Hooked once a process: started again, each replacement would be hooked
  // over itself, keep itself as the original and call itself for ever.
  static bool hooked = false;
  if (!hooked) installHooks();
  hooked = true;
  isEnabled = false;
}

}  // namespace quillpane
