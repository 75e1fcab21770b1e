// The shipped specifier layout against the settings the tweak reads.

#include "PaneFixture.h"

#include <UIKit/UIImage.h>

#include <map>
#include <set>

namespace {

using Expected = std::function<bool(const NSObject*)>;
Expected boolean(bool v) {
  return [v](const NSObject* o) {
    auto* n = dynamic_cast<const NSNumber*>(o);
    return n && n->isBoolean() && n->boolValue() == v;
  };
}
Expected integer(int64_t v) {
  return [v](const NSObject* o) {
    auto* n = dynamic_cast<const NSNumber*>(o);
    return n && !n->isBoolean() && n->integerValue() == v;
  };
}
Expected text(std::string v) {
  return [v](const NSObject* o) {
    auto* s = dynamic_cast<const NSString*>(o);
    return s && s->str() == v;
  };
}

/// Every key the pane offers, with the value the tweak applies when the key
/// is absent (colours as the index that gives that colour).
const std::map<std::string, Expected>& tweakDefaults() {
  static const std::map<std::string, Expected> defaults = {
      {"enabled", boolean(true)},
      {"showPriority", boolean(true)},
      {"showItemsWithoutDueDate", boolean(true)},
      {"showItemsWithDueDate", boolean(true)},
      {"showItemsWithPastDueDate", boolean(true)},
      {"compatibilityMode", boolean(true)},
      {"hideOnNowPlayingScreen", boolean(true)},
      {"customLaunchAppBundleID", text("")},
      {"showSeparatorLines", boolean(true)},
      {"rightAlignedDate", boolean(false)},
      {"displayLocation", boolean(false)},
      {"sameHeightRows", boolean(true)},
      {"wallpaperBlurMode", integer(2)},
      {"reminderSorting", integer(0)},
      {"swipeAction", integer(1)},
      {"textColor", integer(3)},  // white
      {"textSize", integer(14)},
      {"subtitleTextColor", integer(2)},  // gray
      {"subtitleTextSize", integer(14)},
      {"dateTextColor", text("default")},  // no index gives opaque gray for dates: the choice that removes the key
      {"dateTextSize", integer(14)},
      {"daysToDisplay", integer(365)},
      {"maxRemindersToDisplay", integer(0)},
      {"iconFile", text("/Library/PreferenceBundles/QuillpanePrefs.bundle/iconIOS7@2x.png")},
  };
  return defaults;
}

std::set<int64_t> valuesOf(const PSSpecifier& control) {
  std::set<int64_t> out;
  for (const id& v : *control.values())
    if (auto n = objc::as<NSNumber>(v)) out.insert(n->integerValue());
  return out;
}

}  // namespace

using LayoutTest = PaneFixture;

TEST_F(LayoutTest, EveryTweakSettingHasOneControlWhoseDefaultIsTheTweaks) {
  std::map<std::string, int> seen;
  for (const id& item : *specifiers()) {
    auto control = objc::cast<PSSpecifier>(item);
    std::string key = control->stringProperty("key");
    if (key.empty()) continue;
    ++seen[key];
    EXPECT_FALSE(control->label().empty()) << key;
    auto expected = tweakDefaults().find(key);
    ASSERT_NE(expected, tweakDefaults().end()) << "the tweak reads no " << key;
    EXPECT_TRUE(expected->second(control->property("default").get())) << key;
  }
  for (const auto& [key, check] : tweakDefaults()) EXPECT_EQ(seen[key], 1) << key;
}

TEST_F(LayoutTest, ChoicesAreTheValuesTheTweakUnderstands) {
  EXPECT_EQ(valuesOf(*controlFor("wallpaperBlurMode")), (std::set<int64_t>{0, 1, 2}));
  EXPECT_EQ(valuesOf(*controlFor("reminderSorting")), (std::set<int64_t>{0, 1, 2}));
  EXPECT_EQ(valuesOf(*controlFor("swipeAction")), (std::set<int64_t>{0, 1, 3}));
  std::set<int64_t> colours{0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
  EXPECT_EQ(valuesOf(*controlFor("subtitleTextColor")), colours);
  EXPECT_EQ(valuesOf(*controlFor("dateTextColor")), colours);
  EXPECT_EQ(strings(controlFor("dateTextColor")->values()).front(), "default");  // opaque gray: the key removed
  EXPECT_EQ(controlFor("dateTextColor")->titleForValue(NSStr("default").get()), "Gray");
  colours.insert(999);
  EXPECT_EQ(valuesOf(*controlFor("textColor")), colours);
  EXPECT_EQ(controlFor("textColor")->titleForValue(NSNumber::numberWithInteger(999).get()), "Same as list colour");
  for (const char* key : {"wallpaperBlurMode", "reminderSorting", "swipeAction", "textColor", "iconFile"}) {
    auto control = controlFor(key);
    EXPECT_EQ(control->type(), PSLinkListCell) << key;
    EXPECT_EQ(control->values()->count(), control->titleDictionary()->count()) << key;  // every value has a title
  }
  std::vector<std::string> icons = strings(controlFor("iconFile")->values());
  EXPECT_EQ(icons, (std::vector<std::string>{"/Library/PreferenceBundles/QuillpanePrefs.bundle/iconIOS7@2x.png", "DOT",
                                             "DOT_LARGE", "NONE"}));
}

TEST_F(LayoutTest, SizesDaysAndTheLimitAreNumbers) {
  std::string error;
  for (const char* key : {"textSize", "subtitleTextSize", "dateTextSize"}) {
    auto control = controlFor(key);
    EXPECT_EQ(control->type(), PSSliderCell) << key;
    EXPECT_TRUE(PSTableCell::controlValueForInput(*control, "14", &error)) << key;
    EXPECT_FALSE(PSTableCell::controlValueForInput(*control, "200", &error)) << key;
  }
  for (const char* key : {"daysToDisplay", "maxRemindersToDisplay"}) {
    auto control = controlFor(key);
    EXPECT_EQ(control->type(), PSEditTextCell) << key;
    EXPECT_TRUE(PSTableCell::controlValueForInput(*control, "-1", &error)) << key;  // -1 means "due by now"
    EXPECT_FALSE(PSTableCell::controlValueForInput(*control, "ten", &error)) << key;
  }
}

TEST_F(LayoutTest, TheSixActionsAreButtonsTheScreenAnswers) {
  std::set<std::string> actions;
  for (const id& item : *specifiers()) {
    auto control = objc::cast<PSSpecifier>(item);
    if (!control->buttonAction()) continue;
    EXPECT_TRUE(control->type() == PSButtonCell || control->type() == PSLinkCell) << control->label();
    EXPECT_TRUE(objc::respondsTo(root.get(), control->buttonAction())) << control->label();
    actions.insert(sel_getName(control->buttonAction()));
  }
  EXPECT_EQ(actions, (std::set<std::string>{"followOnTwitter", "installSyslog", "viewOtherApps", "selectCalendars",
                                            "changeSortOrder", "selectAppToOpen"}));
}

TEST_F(LayoutTest, TheBundleNamesItsPrincipalClassAndShipsARealIcon) {
  for (const char* file : {"Info.plist", "iconIOS7@2x.png"})
    fs::copy_file(fs::path(QP_SOURCE_DIR) / "prefs/Resources" / file,
                  root_ / "Library/PreferenceBundles/QuillpanePrefs.bundle" / file);
  fs::create_directories(root_ / "Library/PreferenceLoader/Preferences");
  fs::copy_file(fs::path(QP_SOURCE_DIR) / "prefs/entry/QuillpanePrefs.plist",
                root_ / "Library/PreferenceLoader/Preferences/QuillpanePrefs.plist");

  auto info = NSDictionary::dictionaryWithContentsOfFile(std::string(kBundle) + "/Info.plist");
  ASSERT_TRUE(info);
  EXPECT_EQ(objc::cast<NSString>(info->objectForKey("NSPrincipalClass"))->str(), "QuillpanePrefsListController");
  EXPECT_EQ(objc::cast<NSString>(info->objectForKey("CFBundleIdentifier"))->str(), "org.brightrepo.quillpaneprefs");
  auto entries = PSPreferenceLoaderEntries();
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].label, "Quillpane");
  EXPECT_EQ(entries[0].bundlePath, kBundle);

  auto icon = UIImage::imageWithContentsOfFile(std::string(kBundle) + "/iconIOS7@2x.png");
  ASSERT_TRUE(icon);
  EXPECT_EQ(icon->scale(), 2.0);
  EXPECT_EQ(icon->pixelWidth(), 80);
  EXPECT_EQ(icon->pixelRGBA(40, 70) & 0xFF, 0xFFu);  // the tile is opaque inside
  EXPECT_EQ(icon->pixelRGBA(0, 0) & 0xFF, 0u);       // and the corners clear
}
