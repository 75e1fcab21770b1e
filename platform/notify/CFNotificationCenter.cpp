#include <notify/CFNotificationCenter.h>

#include <algorithm>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

struct __CFNotificationCenter {
  struct Registration {
    const void* observer;
    CFNotificationCallback callback;
    std::optional<std::string> name;  ///< nullopt: every name
  };
  std::mutex lock;
  std::vector<Registration> registrations;
};

namespace {

std::optional<std::string> nameOf(CFStringRef name) {
  if (!name) return std::nullopt;
  return name->str();
}

}  // namespace

CFNotificationCenterRef CFNotificationCenterGetDarwinNotifyCenter() {
  static __CFNotificationCenter darwin;
  return &darwin;
}

void CFNotificationCenterPostNotification(CFNotificationCenterRef center, CFStringRef name, const void* /*object*/,
                                          CFDictionaryRef /*userInfo*/, Boolean /*deliverImmediately*/) {
  if (!center || !name) return;
  // Callbacks run outside the lock so an observer may register or post in turn.
  std::vector<__CFNotificationCenter::Registration> hearing;
  {
    std::lock_guard guard(center->lock);
    for (const auto& r : center->registrations)
      if (!r.name || *r.name == name->str()) hearing.push_back(r);
  }
  for (const auto& r : hearing) r.callback(center, const_cast<void*>(r.observer), name, nullptr, nullptr);
}

void CFNotificationCenterAddObserver(CFNotificationCenterRef center, const void* observer,
                                     CFNotificationCallback callback, CFStringRef name, const void* /*object*/,
                                     CFNotificationSuspensionBehavior /*suspensionBehavior*/) {
  if (!center || !callback) return;
  std::lock_guard guard(center->lock);
  auto wanted = nameOf(name);
  for (const auto& r : center->registrations)
    if (r.observer == observer && r.callback == callback && r.name == wanted) return;
  center->registrations.push_back({observer, callback, std::move(wanted)});
}

void CFNotificationCenterRemoveObserver(CFNotificationCenterRef center, const void* observer, CFStringRef name,
                                        const void* /*object*/) {
  if (!center) return;
  std::lock_guard guard(center->lock);
  auto wanted = nameOf(name);
  std::erase_if(center->registrations,
                [&](const auto& r) { return r.observer == observer && (!wanted || r.name == wanted); });
}

void CFNotificationCenterRemoveEveryObserver(CFNotificationCenterRef center, const void* observer) {
  CFNotificationCenterRemoveObserver(center, observer, nullptr, nullptr);
}
