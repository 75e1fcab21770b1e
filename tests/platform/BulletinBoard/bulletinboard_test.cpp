#include "TempRoot.h"

#include <BulletinBoard/BulletinBoard.h>
#include <Foundation/NSLog.h>
#include <objc/ClassBuilder.h>

#include <gtest/gtest.h>

#include <cctype>

#include <memory>

namespace {

/// The setter/getter pairs the lock screen and the tweak reach by selector.
TEST(BBBulletin, EveryFieldIsReachableThroughTheRuntimeWithTheDevicesSelectors) {
  auto bulletin = objc::msg<Ref<BBBulletin>>(objc::alloc<BBBulletin>(), SEL_("init"));
  for (const char* name : {"title", "subtitle", "message", "section", "sectionID", "bulletinID"}) {
    std::string setter = std::string("set") + char(std::toupper(name[0])) + (name + 1) + ":";
    objc::msg(bulletin, sel_registerName(setter.c_str()), NSStr(name));
    auto value = objc::msg<Ref<NSString>>(bulletin, sel_registerName(name));
    ASSERT_TRUE(value) << name;
    EXPECT_EQ(value->str(), name);
  }
  auto date = NSDate::dateWithTimeIntervalSinceReferenceDate(1000);
  for (const char* name : {"date", "publicationDate", "lastInterruptDate"}) {
    std::string setter = std::string("set") + char(std::toupper(name[0])) + (name + 1) + ":";
    objc::msg(bulletin, sel_registerName(setter.c_str()), date);
    EXPECT_EQ(objc::msg<Ref<NSDate>>(bulletin, sel_registerName(name)), date) << name;
  }
  objc::msg(bulletin, SEL_("setDateIsAllDay:"), true);
  EXPECT_TRUE(objc::msg<bool>(bulletin, SEL_("dateIsAllDay")));
  auto action = BBAction::actionWithCallblock(nullptr);
  objc::msg(bulletin, SEL_("setDefaultAction:"), action);
  EXPECT_EQ(objc::msg<Ref<BBAction>>(bulletin, SEL_("defaultAction")), action);

  EXPECT_STREQ(method_getTypeEncoding(class_getInstanceMethod(BBBulletin::classObject(), SEL_("setTitle:"))), "v@:@");
  EXPECT_STREQ(method_getTypeEncoding(class_getInstanceMethod(BBBulletin::classObject(), SEL_("setDateIsAllDay:"))),
               "v@:B");
  EXPECT_THROW(objc::msg(bulletin, SEL_("setDateIsAllDay:"), 1), objc::RuntimeError);
}

TEST(BBBulletin, SectionIsTheOlderNameOfSectionID) {
  auto bulletin = objc::create<BBBulletin>();
  bulletin->setSection(NSStr("com.apple.reminders"));
  EXPECT_EQ(bulletin->sectionID()->str(), "com.apple.reminders");
  bulletin->setSectionID(NSStr("com.apple.MobileSMS"));
  EXPECT_EQ(bulletin->section()->str(), "com.apple.MobileSMS");
}

TEST(BBBulletin, NewBulletinsHaveDistinctIdentifiersAndMatchByIdentifier) {
  auto a = objc::create<BBBulletin>();
  auto b = objc::create<BBBulletin>();
  ASSERT_TRUE(a->bulletinID() && b->bulletinID());
  EXPECT_NE(a->bulletinID()->str(), b->bulletinID()->str());
  EXPECT_FALSE(a->isSameBulletin(b.get()));
  b->setBulletinID(NSStr(a->bulletinID()->str()));
  EXPECT_TRUE(a->isSameBulletin(b.get()));
  a->setBulletinID(nullptr);
  b->setBulletinID(nullptr);
  EXPECT_FALSE(a->isSameBulletin(b.get()));  // two bulletins without identifiers are not one
  EXPECT_TRUE(a->isSameBulletin(a.get()));
  EXPECT_FALSE(a->isSameBulletin(nullptr));
}

TEST(BBBulletin, TheAssignedIdentifierIsNumberedAtCreationHoweverLateItIsFirstRead) {
  auto first = objc::create<BBBulletin>();
  auto second = objc::create<BBBulletin>();
  auto unread = objc::create<BBBulletin>();
  // Read in the opposite order to creation: the numbers still follow creation.
  const auto later = second->bulletinID(), earlier = first->bulletinID();
  ASSERT_TRUE(later && earlier);
  EXPECT_LT(earlier->str(), later->str());
  EXPECT_EQ(later->str().size(), 36u);
  EXPECT_EQ(second->bulletinID(), later);  // the same string object at every read
  // A sender's own identifier, or none, replaces the assigned one before it is ever read.
  unread->setBulletinID(nullptr);
  EXPECT_EQ(unread->bulletinID(), nullptr);
  EXPECT_FALSE(unread->isSameBulletin(objc::create<BBBulletin>().get()));
  EXPECT_NE(unread->descriptionString().find("bulletinID=(null)"), std::string::npos);
}

TEST(BBAction, FactoriesKeepWhatTheActionOpensAndTheCallBlockMayBeEmpty) {
  auto open = BBAction::actionWithLaunchURL(NSURL::URLWithString("x-apple-reminder://"), nullptr);
  EXPECT_EQ(objc::msg<Ref<NSURL>>(open, SEL_("launchURL"))->absoluteString(), "x-apple-reminder://");
  EXPECT_EQ(objc::msg<Ref<NSString>>(open, SEL_("bundleID")), nullptr);
  EXPECT_FALSE(open->hasCallblock());
  open->invokeCallblock();  // nothing to run, nothing happens

  int calls = 0;
  auto launch = BBAction::actionWithLaunchBundleID(NSStr("com.example.app"), [&] { ++calls; });
  EXPECT_EQ(launch->bundleID()->str(), "com.example.app");
  EXPECT_EQ(launch->launchURL(), nullptr);
  EXPECT_TRUE(launch->hasLaunchInfo());
  launch->invokeCallblock();
  EXPECT_EQ(calls, 1);
}

// Delegates answering one add handler each, as the two releases' controllers do.
class ShortFormDelegate : public NSObject {
 public:
  static Class classObject();
  void add(id observer, Ref<BBBulletin> bulletin, uint64_t feed) {
    added.push_back(bulletin);
    lastFeed = feed;
    lastObserver = observer;
  }
  void remove(id observer, Ref<BBBulletin> bulletin) { removed.push_back(bulletin); }
  std::vector<Ref<BBBulletin>> added, removed;
  uint64_t lastFeed = 0;
  id lastObserver;
};
Class ShortFormDelegate::classObject() {
  static Class cls = objc::ClassBuilder<ShortFormDelegate, NSObject>("TestShortFormDelegate")
                         .method<&ShortFormDelegate::add>("observer:addBulletin:forFeed:")
                         .method<&ShortFormDelegate::remove>("observer:removeBulletin:")
                         .build();
  return cls;
}

class LongFormDelegate : public NSObject {
 public:
  static Class classObject();
  void add(id observer, Ref<BBBulletin> bulletin, uint64_t feed, bool lights, id reply) {
    added.push_back(bulletin);
    lastLights = lights;
  }
  std::vector<Ref<BBBulletin>> added;
  bool lastLights = false;
};
Class LongFormDelegate::classObject() {
  static Class cls = objc::ClassBuilder<LongFormDelegate, NSObject>("TestLongFormDelegate")
                         .method<&LongFormDelegate::add>("observer:addBulletin:forFeed:playLightsAndSirens:withReply:")
                         .build();
  return cls;
}

TEST(BBObserver, DeliversThroughWhicheverAddHandlerTheDelegateAnswers) {
  auto observer = objc::create<BBObserver>();
  auto shortForm = objc::alloc<ShortFormDelegate>();
  observer->setDelegate(shortForm.get());
  auto bulletin = objc::create<BBBulletin>();
  EXPECT_TRUE(observer->deliverBulletin(bulletin, BBObserverFeedLockScreen));
  ASSERT_EQ(shortForm->added.size(), 1u);
  EXPECT_EQ(shortForm->lastFeed, BBObserverFeedLockScreen);
  EXPECT_EQ(shortForm->lastObserver.get(), observer.get());
  EXPECT_TRUE(observer->withdrawBulletin(bulletin));
  EXPECT_EQ(shortForm->removed.size(), 1u);

  auto longForm = objc::alloc<LongFormDelegate>();
  observer->setDelegate(longForm.get());
  EXPECT_TRUE(observer->deliverBulletin(bulletin, 0, true));
  ASSERT_EQ(longForm->added.size(), 1u);
  EXPECT_TRUE(longForm->lastLights);
}

TEST(BBObserver, ADelegateThatTakesNoBulletinsIsLoggedNotCalled) {
  LogCapture sink;
  auto observer = objc::create<BBObserver>();
  auto bulletin = objc::create<BBBulletin>();
  EXPECT_FALSE(observer->deliverBulletin(bulletin, 0));
  auto plain = objc::create<BBAction>();  // answers neither handler
  observer->setDelegate(plain.get());
  EXPECT_FALSE(observer->deliverBulletin(bulletin, 0));
  EXPECT_FALSE(observer->withdrawBulletin(bulletin));
  EXPECT_EQ(sink->lines().size(), 3u);
  EXPECT_TRUE(sink->contains("takes no bulletins"));
}

}  // namespace
