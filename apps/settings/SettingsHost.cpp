#include "SettingsHost.h"

#include <Foundation/DeviceProfile.h>
#include <Foundation/DeviceRoot.h>
#include <Foundation/NSRunLoop.h>
#include <Foundation/dispatch.h>
#include <Preferences/PSPreferenceBundle.h>
#include <UIKit/UIApplication.h>
#include <UIKit/UIScreen.h>
#include <notify/CFNotificationCenter.h>

#include <algorithm>

namespace settings {

namespace {

void printPosted(CFNotificationCenterRef, void* observer, CFStringRef name, const void*, CFDictionaryRef) {
  *static_cast<std::ostream*>(observer) << "Darwin notification posted: " << name->str() << "\n";
}

}  // namespace

void DistinctLinesSink::write(const std::string& line) {
  {
    std::lock_guard guard(lock_);
    if (!seen_.insert(line).second) return;
  }
  if (next_) next_->write(line);
}

void checkDeviceRoot(const std::filesystem::path& root) {
  std::error_code ec;
  if (!std::filesystem::is_directory(root, ec)) throw HostError("no device root at " + root.string());
  if (!std::filesystem::exists(root / "device.plist", ec) && !std::filesystem::is_directory(root / "var/mobile", ec))
    throw HostError(root.string() + " is not a device root (it has neither device.plist nor var/mobile)");
}

SettingsHost::SettingsHost(std::ostream& out) : out_(out) {
  CFNotificationCenterAddObserver(CFNotificationCenterGetDarwinNotifyCenter(), &out_, &printPosted, nullptr, nullptr,
                                  CFNotificationSuspensionBehaviorDeliverImmediately);
  UIApplication::sharedApplication()->setOpenURLHandler([this](const NSURL& url, bool opened) {
    out_ << "Opened URL: " << url.absoluteString() << (opened ? "" : " (no application takes this address)") << "\n";
  });
}

SettingsHost::~SettingsHost() {
  if (!finished_) {
    try {
      finish();
    } catch (const std::exception& e) {
      out_ << "Settings: work left at exit failed: " << e.what() << "\n";
    }
  }
  CFNotificationCenterRemoveEveryObserver(CFNotificationCenterGetDarwinNotifyCenter(), &out_);
  UIApplication::sharedApplication()->setOpenURLHandler(nullptr);
}

void SettingsHost::open(const std::filesystem::path& root, const std::string& paneLabel) {
  checkDeviceRoot(root);
  foundation::setDeviceRoot(root);
  foundation::bootDevice(foundation::loadDeviceProfile());

  std::string known;
  const PSPreferenceLoaderEntry* entry = nullptr;
  auto entries = PSPreferenceLoaderEntries();
  for (const auto& e : entries) {
    known += (known.empty() ? "" : ", ") + e.label;
    if (e.label == paneLabel) entry = &e;
  }
  if (!entry)
    throw HostError("Settings lists no pane \"" + paneLabel + "\"" +
                    (known.empty() ? std::string(" (no pane is installed in this root)") : "; it lists: " + known));

  std::string why;
  auto bundle = PSLoadPreferenceBundle(entry->bundlePath, &why);
  if (!bundle) throw HostError("cannot open " + paneLabel + ": " + why);
  if (!class_isSubclassOf(bundle->principalClass, PSListController::classObject()))
    throw HostError(std::string("the principal class ") + class_getName(bundle->principalClass) +
                    " is not a preference screen");
  root_ = objc::as<PSListController>(objc::msg<id>(class_createInstance(bundle->principalClass), SEL_("init")));
  if (!root_)
    throw HostError(std::string("the principal class ") + class_getName(bundle->principalClass) +
                    " did not initialise");

  window_ = objc::cast<UIWindow>(
      objc::msg<id>(objc::alloc<UIWindow>(), SEL_("initWithFrame:"), UIScreen::mainScreen()->bounds()));
  navigation_ = objc::cast<UINavigationController>(
      objc::msg<id>(objc::alloc<UINavigationController>(), SEL_("initWithRootViewController:"), root_));
  objc::msg<void>(window_, SEL_("setRootViewController:"), navigation_);
  objc::msg<void>(window_, SEL_("makeKeyAndVisible"));
  settle();
}

Ref<UIViewController> SettingsHost::topScreen() const {
  return navigation_ ? navigation_->topViewController() : nullptr;
}

void SettingsHost::backToRoot() {
  if (navigation_) objc::msg<Ref<NSArray>>(navigation_, SEL_("popToRootViewControllerAnimated:"), true);
  settle();
}

void SettingsHost::settle() {
  // Work queued by one pass (a failed load, then the label's removal) runs
  // on the next: a few passes let every chain of queued work finish.
  if (!holdQueuedWork_)
    for (int pass = 0; pass < 4; ++pass) NSRunLoop::mainRunLoop()->runPending();
  if (window_) window_->layoutIfNeeded();
}

bool SettingsHost::finish(double boundSeconds) {
  finished_ = true;
  const dispatch_time_t deadline = dispatch_time(DISPATCH_TIME_NOW, int64_t(boundSeconds * 1e9));
  // Background work may queue main-thread work and main-thread work may
  // start background work: done when both are quiet at once.
  for (;;) {
    NSRunLoop::mainRunLoop()->runPending();
    bool quiet = foundation::waitForGlobalQueue(std::min(deadline, dispatch_time(DISPATCH_TIME_NOW, 20'000'000)));
    if (quiet && NSRunLoop::mainRunLoop()->queuedWork() == 0) return true;
    if (dispatch_time(DISPATCH_TIME_NOW, 0) >= deadline) return false;
  }
}

}  // namespace settings
