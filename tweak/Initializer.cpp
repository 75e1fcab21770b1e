#include "Replacements.h"
#include "TweakState.h"

#include <Foundation/NSLog.h>
#include <substrate/substrate.h>

namespace quillpane {

namespace saved {
id (*initWithPluginName)(id, SEL, id, id, id) = nullptr;
uint64_t (*count)(id, SEL) = nullptr;
void (*turnOnScreenIfNecessaryForItem)(id, SEL, id) = nullptr;
void (*loadView)(id, SEL) = nullptr;
id (*iconImage)(id, SEL) = nullptr;
bool (*canBeClearedByNotificationCenter)(id, SEL) = nullptr;
double (*heightForRow)(id, SEL, id, id) = nullptr;
bool (*canEditRow)(id, SEL, id, id) = nullptr;
id (*initWithStyle)(id, SEL, int64_t, id) = nullptr;
void (*setContentAlpha)(id, SEL, double) = nullptr;
void (*layoutSubviews)(id, SEL) = nullptr;
id (*initWithFrame)(id, SEL, CGRect) = nullptr;
void (*addUnderlay)(id, SEL, id) = nullptr;
}  // namespace saved

namespace {

/// One hooked class. A class this release does not have is skipped with a
/// log line rather than handed to the replacement facility as null.
class HookedClass {
 public:
  explicit HookedClass(const char* name) : name_(name), cls_(objc_getClass(name)) {
    if (!cls_) NSLog("%@ class %s not found on this system, its methods are left alone", tag(), name);
  }

  template <class R, class... A>
  HookedClass& replace(const char* selector, R (*replacement)(id, SEL, A...), R (**savedImp)(id, SEL, A...)) {
    if (!cls_) return *this;
    SEL sel = sel_registerName(selector);
    Method m = class_getInstanceMethod(cls_, sel);
    if (!m || method_getTypeEncoding(m) != objc::methodEncoding<R, A...>()) {
      NSLog("%@ -[%s %s] not found with the expected types, left alone", tag(), name_, selector);
      return *this;
    }
    IMP old = nullptr;
    MSHookMessageEx(cls_, sel, reinterpret_cast<IMP>(replacement), &old);
    *savedImp = reinterpret_cast<R (*)(id, SEL, A...)>(old);
    return *this;
  }

  HookedClass& add(const char* selector, void (*imp)(id, SEL), const char* types) {
    if (cls_) class_addMethod(cls_, sel_registerName(selector), reinterpret_cast<IMP>(imp), types);
    return *this;
  }

 private:
  const char* name_;
  Class cls_;
};

}  // namespace

void initializeTweak() {
  if (!cachedSpringBoardClass) cachedSpringBoardClass = objc_getClass("SpringBoard");
  if (!cachedSpringBoardClass) return;  // not SpringBoard: stay inert

  HookedClass("SBLockScreenPluginOverlayContext")
      .replace("initWithPluginName:pluginController:lockScreenViewController:", &overlayInitWithPluginName,
               &saved::initWithPluginName)
      .add("removeCustomBulletins_QPX", &removeCustomBulletins, "v@:");
  HookedClass("SBLockScreenNotificationListController")
      .replace("count", &listCount, &saved::count)
      .replace("turnOnScreenIfNecessaryForItem:", &turnOnScreenIfNecessaryForItem,
               &saved::turnOnScreenIfNecessaryForItem)
      .replace("loadView", &listLoadView, &saved::loadView);
  HookedClass("SBAwayBulletinListItem")
      .replace("iconImage", &itemIconImage, &saved::iconImage)
      .replace("canBeClearedByNotificationCenter", &itemCanBeClearedByNotificationCenter,
               &saved::canBeClearedByNotificationCenter);
  HookedClass("SBLockScreenNotificationListView")
      .replace("tableView:heightForRowAtIndexPath:", &listViewHeightForRow, &saved::heightForRow)
      .replace("tableView:canEditRowAtIndexPath:", &listViewCanEditRow, &saved::canEditRow);
  HookedClass("SBLockScreenBulletinCell")
      .replace("initWithStyle:reuseIdentifier:", &cellInitWithStyle, &saved::initWithStyle)
      .replace("setContentAlpha:", &cellSetContentAlpha, &saved::setContentAlpha)
      .replace("layoutSubviews", &cellLayoutSubviews, &saved::layoutSubviews);
  HookedClass("SBLockScreenView")
      .replace("initWithFrame:", &lockScreenViewInitWithFrame, &saved::initWithFrame)
      .replace("_addLockContentUnderlayWithRequester:", &lockScreenViewAddUnderlay, &saved::addUnderlay);

  isEnabled = false;
}

}  // namespace quillpane
