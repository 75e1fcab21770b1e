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
  [[nodiscard]] bool boolean(const contract::PreferenceKey& key) const {
    return boolReading(value(key.name)).value_or(key.absentFlag());
  }
  [[nodiscard]] int64_t enumeration(const contract::PreferenceKey& key, int64_t (*mapping)(int64_t)) const {
    auto v = integerReading(value(key.name));
    return v ? mapping(*v) : key.absent.value_or(0);
  }
  [[nodiscard]] int64_t size(const contract::PreferenceKey& key) const {
    return intReading(value(key.name)).value_or(key.absent.value_or(0));
  }
  [[nodiscard]] std::optional<int64_t> colorIndex(const contract::PreferenceKey& key) const {
    return integerReading(value(key.name));
  }

 private:
  Ref<NSDictionary> dict_;  // keeps the values read above alive
};

}  // namespace

void loadSettings() {
  loadSortPriority();

  const Preferences prefs;
  isEnabled = prefs.boolean(contract::kEnabled);
  showPriority = prefs.boolean(contract::kShowPriority);
  showItemsWithoutDueDate = prefs.boolean(contract::kShowItemsWithoutDueDate);
  showItemsWithDueDate = prefs.boolean(contract::kShowItemsWithDueDate);
  showItemsWithPastDueDate = prefs.boolean(contract::kShowItemsWithPastDueDate);
  compatibilityMode = prefs.boolean(contract::kCompatibilityMode);
  hideOnNowPlayingScreen = prefs.boolean(contract::kHideOnNowPlayingScreen);
  hideOnCallScreen = prefs.boolean(contract::kHideOnCallScreen);
  customLaunchAppBundleID = stringReading(prefs.value(contract::kCustomLaunchAppBundleID.name))
                                .value_or(std::string(contract::kCustomLaunchAppBundleID.absentText));
  showSeparatorLines = prefs.boolean(contract::kShowSeparatorLines);
  rightAlignedDate = prefs.boolean(contract::kRightAlignedDate);
  onlySelectedCalendars = prefs.boolean(contract::kOnlySelectedCalendars);
  displayLocation = prefs.boolean(contract::kDisplayLocation);
  sameHeightRows = prefs.boolean(contract::kSameHeightRows);
  wallpaperBlurMode = prefs.enumeration(contract::kWallpaperBlurMode, storedWallpaperBlurMode);
  reminderSorting = prefs.enumeration(contract::kReminderSorting, storedReminderSorting);
  swipeAction = prefs.enumeration(contract::kSwipeAction, storedSwipeAction);

  // An absent key clears the list-colour flag too, so removing the setting
  // brings back the plain white title.
  auto title = colorForIndex(ColorKey::Title, prefs.colorIndex(contract::kTextColor));
  textColor = makeColor(title.color);
  titleColorSameAsListColor = title.sameAsListColor;
  textSize = prefs.size(contract::kTextSize);
  subtitleTextColor =
      makeColor(colorForIndex(ColorKey::Subtitle, prefs.colorIndex(contract::kSubtitleTextColor)).color);
  subtitleTextSize = prefs.size(contract::kSubtitleTextSize);
  dateTextColor = makeColor(colorForIndex(ColorKey::Date, prefs.colorIndex(contract::kDateTextColor)).color);
  dateTextSize = prefs.size(contract::kDateTextSize);
  daysToDisplay = prefs.size(contract::kDaysToDisplay);
  maxRemindersToDisplay = prefs.size(contract::kMaxRemindersToDisplay);

  auto configuredIcon = stringReading(prefs.value(contract::kIconFile.name));
  iconFile = configuredIcon.value_or(std::string(contract::kIconFile.absentText));
  // "NONE" shows no icon, so the image is left as it was.
  if (iconFile != "NONE") icon = UIImage::imageWithContentsOfFile(iconFile);
}

}  // namespace quillpane
