#include <notify/CFNotificationCenter.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Heard {
  std::vector<std::string> names;
};

void record(CFNotificationCenterRef, void* observer, CFStringRef name, const void*, CFDictionaryRef) {
  static_cast<Heard*>(observer)->names.push_back(name->str());
}

void reregister(CFNotificationCenterRef center, void* observer, CFStringRef name, const void*, CFDictionaryRef) {
  // Observers may change the registrations while a post is delivered.
  CFNotificationCenterRemoveEveryObserver(center, observer);
  static_cast<Heard*>(observer)->names.push_back(name->str());
}

}  // namespace

TEST(DarwinNotifyCenter, DeliversPostsToObserversOfThatNameOnly) {
  auto center = CFNotificationCenterGetDarwinNotifyCenter();
  EXPECT_EQ(center, CFNotificationCenterGetDarwinNotifyCenter());
  Heard a, all;
  CFNotificationCenterAddObserver(center, &a, &record, NSStr("org.example.a").get(), nullptr,
                                  CFNotificationSuspensionBehaviorDeliverImmediately);
  // Registering the same thing twice still delivers once.
  CFNotificationCenterAddObserver(center, &a, &record, NSStr("org.example.a").get(), nullptr,
                                  CFNotificationSuspensionBehaviorDeliverImmediately);
  CFNotificationCenterAddObserver(center, &all, &record, nullptr, nullptr,
                                  CFNotificationSuspensionBehaviorDeliverImmediately);

  CFNotificationCenterPostNotification(center, NSStr("org.example.a").get(), nullptr, nullptr, true);
  CFNotificationCenterPostNotification(center, NSStr("org.example.b").get(), nullptr, nullptr, true);
  EXPECT_EQ(a.names, std::vector<std::string>{"org.example.a"});
  EXPECT_EQ(all.names, (std::vector<std::string>{"org.example.a", "org.example.b"}));

  CFNotificationCenterRemoveObserver(center, &a, NSStr("org.example.a").get(), nullptr);
  CFNotificationCenterPostNotification(center, NSStr("org.example.a").get(), nullptr, nullptr, true);
  EXPECT_EQ(a.names.size(), 1u);
  EXPECT_EQ(all.names.size(), 3u);
  CFNotificationCenterRemoveEveryObserver(center, &all);
}

TEST(DarwinNotifyCenter, AnObserverMayRemoveItselfWhileHearing) {
  auto center = CFNotificationCenterGetDarwinNotifyCenter();
  Heard once;
  CFNotificationCenterAddObserver(center, &once, &reregister, nullptr, nullptr,
                                  CFNotificationSuspensionBehaviorDeliverImmediately);
  CFNotificationCenterPostNotification(center, NSStr("x").get(), nullptr, nullptr, true);
  CFNotificationCenterPostNotification(center, NSStr("y").get(), nullptr, nullptr, true);
  EXPECT_EQ(once.names, std::vector<std::string>{"x"});
  // A nil name posts nothing rather than crashing.
  CFNotificationCenterPostNotification(center, nullptr, nullptr, nullptr, true);
}
