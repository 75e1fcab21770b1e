#include "PaneFixture.h"

#include <UIKit/UIApplication.h>

using RootControllerTest = PaneFixture;

TEST_F(RootControllerTest, WithNoFileEveryControlShowsItsDefault) {
  int values = 0;
  for (const id& item : *specifiers()) {
    auto control = objc::cast<PSSpecifier>(item);
    if (control->stringProperty("key").empty()) continue;
    ++values;
    id value = objc::msg<id>(root, SEL_("readPreferenceValue:"), control);
    ASSERT_TRUE(value) << control->label();
    EXPECT_TRUE(value->isEqualTo(*control->property("default"))) << control->label();
  }
  EXPECT_EQ(values, 24);  // every key the tweak reads but the two that change nothing
  // A control without a "default" shows no value.
  auto bare = PSSpecifier::preferenceSpecifierNamed("Bare", root.get(), SEL_("setPreferenceValue:specifier:"),
                                                    SEL_("readPreferenceValue:"), PSSwitchCell);
  bare->setPropertyForKey(NSStr("bare"), NSStr("key"));
  EXPECT_EQ(objc::msg<id>(root, SEL_("readPreferenceValue:"), bare), nullptr);
  EXPECT_FALSE(fs::exists(host(kPreferenceFile)));  // reading writes nothing
}

TEST_F(RootControllerTest, AStoredFalseOrZeroIsShownAsStored) {
  writePreferences({{"enabled", NSNumber::numberWithBool(false)},
                    {"textColor", NSNumber::numberWithInteger(0)},
                    {"daysToDisplay", NSStr("0")}});
  EXPECT_FALSE(objc::cast<NSNumber>(shown("enabled"))->boolValue());
  EXPECT_EQ(objc::cast<NSNumber>(shown("textColor"))->integerValue(), 0);
  EXPECT_EQ(objc::cast<NSString>(shown("daysToDisplay"))->str(), "0");
  // And the row shows it: the framework asks the pane when the row is shown.
  auto cell = PSTableCell::cellForSpecifier(controlFor("textColor"));
  EXPECT_EQ(cell->valueText(), "Red");
}

TEST_F(RootControllerTest, TheFirstChangeCreatesAFileWithThatOneKey) {
  change("rightAlignedDate", NSNumber::numberWithBool(true));
  auto stored = preferences();
  ASSERT_TRUE(stored);
  EXPECT_EQ(stored->count(), 1u);
  auto value = objc::cast<NSNumber>(stored->objectForKey("rightAlignedDate"));
  EXPECT_TRUE(value->isBoolean());  // stored exactly as handed over
  EXPECT_TRUE(value->boolValue());
}

TEST_F(RootControllerTest, AChangeKeepsEveryOtherKey) {
  writePreferences({{"customLaunchAppBundleID", NSStr("com.apple.mobilecal")},
                    {"somethingElse", NSNumber::numberWithInteger(5)},
                    {"textSize", NSNumber::numberWithFloat(17)}});
  change("textSize", NSNumber::numberWithFloat(20));
  change("daysToDisplay", NSStr("-1"));
  auto stored = preferences();
  ASSERT_EQ(stored->count(), 4u);
  EXPECT_EQ(objc::cast<NSString>(stored->objectForKey("customLaunchAppBundleID"))->str(), "com.apple.mobilecal");
  EXPECT_EQ(objc::cast<NSNumber>(stored->objectForKey("somethingElse"))->integerValue(), 5);
  EXPECT_EQ(objc::cast<NSNumber>(stored->objectForKey("textSize"))->doubleValue(), 20.0);
  EXPECT_EQ(objc::cast<NSString>(stored->objectForKey("daysToDisplay"))->str(), "-1");
}

TEST_F(RootControllerTest, PostNotificationIsPostedOnceAfterTheWrite) {
  change("enabled", NSNumber::numberWithBool(false));
  ASSERT_EQ(posts.size(), 1u);
  EXPECT_EQ(posts[0].name, controlFor("enabled")->stringProperty("PostNotification"));
  ASSERT_TRUE(posts[0].fileThen);  // the file already held the change
  EXPECT_FALSE(objc::cast<NSNumber>(posts[0].fileThen->objectForKey("enabled"))->boolValue());
  // A control without the property stores and posts nothing.
  ASSERT_TRUE(controlFor("customLaunchAppBundleID")->stringProperty("PostNotification").empty());
  change("customLaunchAppBundleID", NSStr("com.apple.mobilemail"));
  EXPECT_EQ(posts.size(), 1u);
  EXPECT_EQ(preferences()->count(), 2u);
}

TEST_F(RootControllerTest, SpecifiersAreLoadedOnce) {
  auto first = specifiers();
  ASSERT_TRUE(first);
  EXPECT_GT(first->count(), 26u);
  fs::remove(root_ / "Library/PreferenceBundles/QuillpanePrefs.bundle/QuillpanePrefs.plist");
  EXPECT_EQ(specifiers().get(), first.get());
  EXPECT_FALSE(log_->contains("no specifier layout"));
  EXPECT_EQ(root->title()->str(), "Quillpane");
}

TEST_F(RootControllerTest, EachPushIsAFreshScreenOwnedByTheStack) {
  auto first = press("selectCalendars");
  ASSERT_TRUE(objc::hasClassName(first.get(), "QPN_CalendarsTVC"));
  EXPECT_EQ(navigation->stack().size(), 2u);
  Weak<UIViewController> gone = first;
  first = nullptr;
  navigation->popViewControllerAnimated(true);
  EXPECT_FALSE(gone.lock());  // the stack was its only owner
  auto second = press("selectCalendars");
  EXPECT_TRUE(objc::hasClassName(second.get(), "QPN_CalendarsTVC"));
  navigation->popViewControllerAnimated(true);

  EXPECT_TRUE(objc::hasClassName(press("changeSortOrder").get(), "QPN_SortOrderTVC"));
  navigation->popViewControllerAnimated(true);
  EXPECT_TRUE(objc::hasClassName(press("selectAppToOpen").get(), "QPN_AppListTVC"));
  navigation->popViewControllerAnimated(true);
  EXPECT_TRUE(objc::hasClassName(press("viewOtherApps").get(), "QPN_OtherAppsViewController"));
}

TEST_F(RootControllerTest, TheLinkButtonsOpenTheirPages) {
  std::vector<std::string> opened;
  UIApplication::sharedApplication()->setOpenURLHandler(
      [&](const NSURL& url, bool) { opened.push_back(url.absoluteString()); });
  press("followOnTwitter");
  press("installSyslog");
  UIApplication::sharedApplication()->setOpenURLHandler(nullptr);
  ASSERT_EQ(opened.size(), 2u);
  EXPECT_NE(opened[0].find("twitter.com/intent/user?screen_name="), std::string::npos);
  EXPECT_NE(opened[1].find("/package/syslogd"), std::string::npos);
  EXPECT_EQ(navigation->stack().size(), 1u);
}

TEST_F(RootControllerTest, AnUnreadableFileIsKeptBeforeItIsReplaced) {
  writeText(kPreferenceFile, "<plist><dict><key>enabled</key>");     // cut short
  EXPECT_TRUE(objc::cast<NSNumber>(shown("enabled"))->boolValue());  // counts as missing
  change("enabled", NSNumber::numberWithBool(false));
  EXPECT_EQ(readText(kPreferenceFile + ".corrupt"), "<plist><dict><key>enabled</key>");
  EXPECT_EQ(preferences()->count(), 1u);
  EXPECT_TRUE(log_->contains("could not be read; kept it as"));
  // A readable file is not copied aside.
  fs::remove(host(kPreferenceFile + ".corrupt"));
  change("enabled", NSNumber::numberWithBool(true));
  EXPECT_FALSE(fs::exists(host(kPreferenceFile + ".corrupt")));
}

TEST_F(RootControllerTest, AFailedWriteIsLoggedAndAnnouncesNothing) {
  fs::remove_all(root_ / "var/mobile/Library/Preferences");
  change("enabled", NSNumber::numberWithBool(false));
  EXPECT_FALSE(fs::exists(host(kPreferenceFile)));
  EXPECT_TRUE(posts.empty());
  EXPECT_TRUE(
      log_->contains("QPX: could not write /var/mobile/Library/Preferences/org.brightrepo.quillpaneprefs.plist"));
}
