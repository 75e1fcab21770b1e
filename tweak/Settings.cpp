#include "Settings.h"

#include "SettingsDecisions.h"
#include "TweakState.h"

#include <Foundation/NSArray.h>
#include <Foundation/NSDictionary.h>
#include <Foundation/NSLog.h>
#include <UIKit/UIColor.h>
#include <UIKit/UIImage.h>

namespace quillpane {

namespace {

Ref<UIColor> makeColor(NamedColor c) {
  switch (c) {
    case NamedColor::Red: return UIColor::redColor();
    case NamedColor::Black: return UIColor::blackColor();
    case NamedColor::Gray: return UIColor::grayColor();
    case NamedColor::White: return UIColor::whiteColor();
    case NamedColor::Green: return UIColor::greenColor();
    case NamedColor::Blue: return UIColor::blueColor();
    case NamedColor::Yellow: return UIColor::yellowColor();
    case NamedColor::Orange: return UIColor::orangeColor();
    case NamedColor::Purple: return UIColor::purpleColor();
    case NamedColor::Brown: return UIColor::brownColor();
    case NamedColor::HalfWhite: return UIColor::colorWithWhite(1.0, 0.5);
  }
  return UIColor::whiteColor();
}

void loadSortPriority() {
  auto entries = NSArray::arrayWithContentsOfFile(std::string(kSortingFile));
  std::vector<std::optional<std::string>> names;
  if (entries)
    for (const auto& e : *entries) names.push_back(stringReading(e.get()));
  auto priority = sortPriorityForEntries(names);
  if (!priority) {
    NSLog("%@ system sort priority not found, no custom sorting of items will be done!", tag());
    sortPriority = kNoCustomSorting;
    return;
  }
  sortPriority = *priority;
}

/// One preference file, read once per load.
class Preferences {
 public:
  Preferences() : dict_(NSDictionary::dictionaryWithContentsOfFile(std::string(kPreferenceFile))) {}

  [[nodiscard]] const NSObject* value(std::string_view key) const {
    return dict_ ? dict_->objectForKey(key).get() : nullptr;
  }
  [[nodiscard]] bool boolean(std::string_view key, bool fallback) const {
    return boolReading(value(key)).value_or(fallback);
  }
  [[nodiscard]] int64_t enumeration(std::string_view key, int64_t fallback, int64_t (*mapping)(int64_t)) const {
    auto v = integerReading(value(key));
    return v ? mapping(*v) : fallback;
  }
  [[nodiscard]] int64_t size(std::string_view key, int64_t fallback) const {
    return intReading(value(key)).value_or(fallback);
  }
  [[nodiscard]] std::optional<int64_t> colorIndex(std::string_view key) const { return integerReading(value(key)); }

 private:
  Ref<NSDictionary> dict_;  // keeps the values read above alive
};

}  // namespace

void loadSettings() {
  loadSortPriority();

  const Preferences prefs;
  isEnabled = prefs.boolean("enabled", true);
  showPriority = prefs.boolean("showPriority", true);
  showItemsWithoutDueDate = prefs.boolean("showItemsWithoutDueDate", true);
  showItemsWithDueDate = prefs.boolean("showItemsWithDueDate", true);
  showItemsWithPastDueDate = prefs.boolean("showItemsWithPastDueDate", true);
  compatibilityMode = prefs.boolean("compatibilityMode", true);
  hideOnNowPlayingScreen = prefs.boolean("hideOnNowPlayingScreen", true);
  hideOnCallScreen = prefs.boolean("hideOnCallScreen", false);
  customLaunchAppBundleID = stringReading(prefs.value("customLaunchAppBundleID")).value_or("");
  showSeparatorLines = prefs.boolean("showSeparatorLines", true);
  rightAlignedDate = prefs.boolean("rightAlignedDate", false);
  onlySelectedCalendars = prefs.boolean("onlySelectedCalendars", true);
  displayLocation = prefs.boolean("displayLocation", false);
  sameHeightRows = prefs.boolean("sameHeightRows", true);
  wallpaperBlurMode = prefs.enumeration("wallpaperBlurMode", 2, storedWallpaperBlurMode);
  reminderSorting = prefs.enumeration("reminderSorting", 0, storedReminderSorting);
  swipeAction = prefs.enumeration("swipeAction", 1, storedSwipeAction);

  // An absent key clears the list-colour flag too, so removing the setting
  // brings back the plain white title.
  auto title = colorForIndex(ColorKey::Title, prefs.colorIndex("textColor"));
  textColor = makeColor(title.color);
  titleColorSameAsListColor = title.sameAsListColor;
  textSize = prefs.size("textSize", 14);
  subtitleTextColor = makeColor(colorForIndex(ColorKey::Subtitle, prefs.colorIndex("subtitleTextColor")).color);
  subtitleTextSize = prefs.size("subtitleTextSize", 14);
  dateTextColor = makeColor(colorForIndex(ColorKey::Date, prefs.colorIndex("dateTextColor")).color);
  dateTextSize = prefs.size("dateTextSize", 14);
  daysToDisplay = prefs.size("daysToDisplay", 365);
  maxRemindersToDisplay = prefs.size("maxRemindersToDisplay", 0);

  auto configuredIcon = stringReading(prefs.value("iconFile"));
  iconFile = configuredIcon.value_or(std::string(kDefaultIconFile));
  // "NONE" shows no icon, so the image is left as it was.
  if (iconFile != "NONE") icon = UIImage::imageWithContentsOfFile(iconFile);
}

}  // namespace quillpane
