// Settings loading from the preference and sorting files.

#include "Settings.h"
#include "TweakFixture.h"

#include <UIKit/UIColor.h>
#include <UIKit/UIImage.h>

#include <plist/plist.h>

#include <cstdlib>

using namespace quillpane;

namespace {

class Settings : public TweakFixture {};

void expectColour(const Ref<UIColor>& c, double r, double g, double b, double a) {
  ASSERT_TRUE(c);
  EXPECT_NEAR(c->red(), r, 1e-9);
  EXPECT_NEAR(c->green(), g, 1e-9);
  EXPECT_NEAR(c->blue(), b, 1e-9);
  EXPECT_NEAR(c->alpha(), a, 1e-9);
}

}  // namespace

TEST_F(Settings, NoFilesGiveEveryDefault) {
  loadSettings();
  EXPECT_TRUE(isEnabled && showPriority && showItemsWithoutDueDate && showItemsWithDueDate &&
              showItemsWithPastDueDate && compatibilityMode && hideOnNowPlayingScreen && showSeparatorLines &&
              sameHeightRows && onlySelectedCalendars);
  EXPECT_FALSE(rightAlignedDate || displayLocation || hideOnCallScreen || titleColorSameAsListColor);
  EXPECT_EQ(wallpaperBlurMode, 2);
  EXPECT_EQ(reminderSorting, 0);
  EXPECT_EQ(swipeAction, 1);
  expectColour(textColor, 1, 1, 1, 1);
  expectColour(subtitleTextColor, 0.5, 0.5, 0.5, 1);
  expectColour(dateTextColor, 0.5, 0.5, 0.5, 1);
  EXPECT_EQ(textSize, 14);
  EXPECT_EQ(subtitleTextSize, 14);
  EXPECT_EQ(dateTextSize, 14);
  EXPECT_EQ(daysToDisplay, 365);
  EXPECT_EQ(maxRemindersToDisplay, 0);
  EXPECT_EQ(customLaunchAppBundleID, "");
  EXPECT_EQ(iconFile, "/Library/PreferenceBundles/QuillpanePrefs.bundle/iconIOS7@2x.png");
  EXPECT_EQ(sortPriority, -100);
  EXPECT_EQ(logCount("QPX: system sort priority not found, no custom sorting of items will be done!"), 1u);
}

TEST_F(Settings, NumbersAndBooleansInEveryForm) {
  auto p = prefs();
  p->setObjectForKey(NSStr("NO"), "enabled");
  p->setObjectForKey(NSNumber::numberWithInteger(0), "showPriority");
  p->setObjectForKey(NSNumber::numberWithDouble(0.5), "rightAlignedDate");  // non-zero real is true
  p->setObjectForKey(NSStr("  12pt"), "textSize");
  p->setObjectForKey(NSNumber::numberWithDouble(18.9), "dateTextSize");
  p->setObjectForKey(NSStr("1"), "wallpaperBlurMode");
  p->setObjectForKey(NSNumber::numberWithInteger(int64_t{1} << 32 | 5), "subtitleTextSize");  // 32-bit reading
  p->setObjectForKey(NSStr("-1"), "daysToDisplay");
  writePreferences(p);
  loadSettings();
  EXPECT_FALSE(isEnabled);
  EXPECT_FALSE(showPriority);
  EXPECT_TRUE(rightAlignedDate);
  EXPECT_EQ(textSize, 12);
  EXPECT_EQ(dateTextSize, 18);
  EXPECT_EQ(wallpaperBlurMode, 1);
  EXPECT_EQ(subtitleTextSize, 5);
  EXPECT_EQ(daysToDisplay, -1);
}

TEST_F(Settings, ValuesOfTheWrongKindCountAsAbsent) {
  auto p = prefs();
  p->setObjectForKey(NSArray::array(), "enabled");
  p->setObjectForKey(NSDictionary::dictionary(), "textSize");
  p->setObjectForKey(NSDate::date(), "showPriority");
  p->setObjectForKey(NSNumber::numberWithInteger(7), "customLaunchAppBundleID");
  p->setObjectForKey(NSNumber::numberWithInteger(1), "iconFile");
  writePreferences(p);
  loadSettings();
  EXPECT_TRUE(isEnabled);
  EXPECT_TRUE(showPriority);
  EXPECT_EQ(textSize, 14);
  EXPECT_EQ(customLaunchAppBundleID, "");
  EXPECT_EQ(iconFile, "/Library/PreferenceBundles/QuillpanePrefs.bundle/iconIOS7@2x.png");
}

TEST_F(Settings, GarbageFileGivesDefaults) {
  std::ofstream(root_ / "var/mobile/Library/Preferences/org.brightrepo.quillpaneprefs.plist") << "<plist><dict><key>";
  loadSettings();
  EXPECT_TRUE(isEnabled);
  EXPECT_EQ(textSize, 14);
}

TEST_F(Settings, ListColourFlagFollowsTheTitleColourKey) {
  auto p = prefs();
  p->setObjectForKey(NSNumber::numberWithInteger(999), "textColor");
  p->setObjectForKey(NSNumber::numberWithInteger(2), "dateTextColor");
  p->setObjectForKey(NSNumber::numberWithInteger(2), "subtitleTextColor");
  writePreferences(p);
  loadSettings();
  EXPECT_TRUE(titleColorSameAsListColor);
  expectColour(textColor, 1, 1, 1, 1);
  expectColour(dateTextColor, 1, 1, 1, 0.5);
  expectColour(subtitleTextColor, 0.5, 0.5, 0.5, 1);

  p->setObjectForKey(NSNumber::numberWithInteger(5), "textColor");
  writePreferences(p);
  loadSettings();
  EXPECT_FALSE(titleColorSameAsListColor);
  expectColour(textColor, 0, 0, 1, 1);

  // Removing the key brings the plain title back, not a stale list colour.
  p->setObjectForKey(NSNumber::numberWithInteger(999), "textColor");
  writePreferences(p);
  loadSettings();
  p->removeObjectForKey(NSStr("textColor").get());
  writePreferences(p);
  loadSettings();
  EXPECT_FALSE(titleColorSameAsListColor);
}

TEST_F(Settings, EnumerationsAndIcon) {
  auto p = prefs();
  p->setObjectForKey(NSNumber::numberWithInteger(2), "swipeAction");
  p->setObjectForKey(NSNumber::numberWithInteger(7), "wallpaperBlurMode");
  p->setObjectForKey(NSNumber::numberWithInteger(3), "reminderSorting");
  p->setObjectForKey(NSStr("NONE"), "iconFile");
  writePreferences(p);
  loadSettings();
  EXPECT_EQ(swipeAction, 1);
  EXPECT_EQ(wallpaperBlurMode, 2);
  EXPECT_EQ(reminderSorting, 0);
  EXPECT_EQ(iconFile, "NONE");
  EXPECT_FALSE(icon);
}

TEST_F(Settings, SortingFile) {
  writeSorting({NSStr("Quillpane"), NSStr("System Items"), NSStr("Datebeam")});
  loadSettings();
  EXPECT_EQ(sortPriority, 10);
  writeSorting({NSStr("System Items"), NSStr("Datebeam")});
  log_->clear();
  loadSettings();
  EXPECT_EQ(sortPriority, -100);
  EXPECT_EQ(logCount("system sort priority not found"), 0u);
  writeSorting({NSStr("Datebeam"), NSStr("Quillpane")});
  loadSettings();
  EXPECT_EQ(sortPriority, -100);
  EXPECT_EQ(logCount("system sort priority not found"), 1u);
}

TEST_F(Settings, ABinaryPreferenceFileReadsLikeItsXmlTwin) {
  auto p = prefs();
  p->setObjectForKey(NSNumber::numberWithInteger(20), "textSize");
  p->setObjectForKey(NSNumber::numberWithBool(true), "displayLocation");
  p->setObjectForKey(NSStr("DOT_LARGE"), "iconFile");
  writePreferences(p);
  const auto path = root_ / "var/mobile/Library/Preferences/org.brightrepo.quillpaneprefs.plist";
  std::ifstream in(path, std::ios::binary);
  std::string xml((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  plist_t node = nullptr;
  plist_from_xml(xml.data(), static_cast<uint32_t>(xml.size()), &node);
  ASSERT_NE(node, nullptr);
  char* bin = nullptr;
  uint32_t length = 0;
  plist_to_bin(node, &bin, &length);
  std::ofstream(path, std::ios::binary | std::ios::trunc).write(bin, length);
  std::free(bin);
  plist_free(node);
  loadSettings();
  EXPECT_EQ(textSize, 20);
  EXPECT_TRUE(displayLocation);
  EXPECT_EQ(iconFile, "DOT_LARGE");
}
