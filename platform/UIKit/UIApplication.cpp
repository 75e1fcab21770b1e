#include <UIKit/UIApplication.h>

#include <Foundation/NSLog.h>
#include <objc/ClassBuilder.h>

#include <algorithm>
#include <cctype>

namespace {
/// Schemes the device's own applications take.
constexpr const char* kSystemSchemes[] = {"http",    "https",    "mailto", "tel",    "sms",       "x-apple-reminder",
                                          "calshow", "prefs",    "cydia",  "itms",   "itms-apps", "maps",
                                          "music",   "facetime", "videos", "youtube"};

std::string lowered(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
  return s;
}
}  // namespace

Class UIApplication::classObject() {
  static Class cls = objc::ClassBuilder<UIApplication, NSObject>("UIApplication")
                         .method<&UIApplication::openURL>("openURL:")
                         .method<&UIApplication::canOpenURL>("canOpenURL:")
                         .build();
  return cls;
}
OBJC_REGISTER_CLASS(UIApplication);

Ref<UIApplication> UIApplication::sharedApplication() {
  static Ref<UIApplication> app = objc::create<UIApplication>();
  return app;
}

bool UIApplication::canOpenURL(Ref<NSURL> url) const {
  if (!url) return false;
  std::string scheme = lowered(url->scheme());
  if (scheme.empty()) return false;
  for (const char* s : kSystemSchemes)
    if (scheme == s) return true;
  std::lock_guard g(lock_);
  return std::find(extraSchemes_.begin(), extraSchemes_.end(), scheme) != extraSchemes_.end();
}

bool UIApplication::openURL(Ref<NSURL> url) {
  if (!url) return false;
  bool opened = canOpenURL(url);
  std::function<void(const NSURL&, bool)> handler;
  {
    std::lock_guard g(lock_);
    opened_.push_back(url);
    handler = handler_;
  }
  if (handler)
    handler(*url, opened);
  else
    NSLog("UIKit: openURL %@ %s", url, opened ? "opened" : "(no application takes this address)");
  return opened;
}

void UIApplication::setOpenURLHandler(std::function<void(const NSURL&, bool opened)> handler) {
  std::lock_guard g(lock_);
  handler_ = std::move(handler);
}

void UIApplication::registerURLScheme(std::string scheme) {
  std::lock_guard g(lock_);
  extraSchemes_.push_back(lowered(std::move(scheme)));
}

std::vector<Ref<NSURL>> UIApplication::openedURLs() const {
  std::lock_guard g(lock_);
  return opened_;
}
