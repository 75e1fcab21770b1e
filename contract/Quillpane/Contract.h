#pragma once
/// \file
/// What the tweak and its settings pane agree on, written once: where the
/// three files lie, the preference keys, and what the tweak does when a key
/// is absent. The two never call each other; they meet only through the
/// files, and both read this header.

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace quillpane::contract {

inline constexpr std::string_view kPreferenceFile =
    "/var/mobile/Library/Preferences/org.brightrepo.quillpaneprefs.plist";
inline constexpr std::string_view kCalendarsFile =
    "/var/mobile/Library/Preferences/org.brightrepo.quillpane.calendars.plist";
/// Shared with the sibling calendar tweak.
inline constexpr std::string_view kSortingFile =
    "/var/mobile/Library/Preferences/org.brightrepo.datebeam.sorting.plist";
inline constexpr std::string_view kDefaultIconFile = "/Library/PreferenceBundles/QuillpanePrefs.bundle/iconIOS7@2x.png";

enum class KeyKind {
  Boolean,      ///< boolValue
  Enumeration,  ///< integerValue, mapped onto the values the tweak knows
  ColorIndex,   ///< integerValue, an index into the colour table
  Number,       ///< intValue: sizes, days, counts
  Text,         ///< a string
};

/// One preference key and the tweak's behaviour while it is absent.
struct PreferenceKey {
  std::string_view name;
  KeyKind kind;
  /// The stored value that makes the tweak behave as with the key absent:
  /// 0/1 for booleans, the number or index otherwise; nullopt when no stored
  /// value does (only removing the key gives that behaviour).
  std::optional<int64_t> absent;
  std::string_view absentText = {};  ///< Text keys
  /// False for keys the tweak reads but whose value changes nothing it does;
  /// the pane offers no control for them, and keeps whatever the file holds.
  bool offered = true;

  [[nodiscard]] constexpr bool absentFlag() const { return absent.value_or(0) != 0; }
};

inline constexpr PreferenceKey kEnabled{"enabled", KeyKind::Boolean, 1};
inline constexpr PreferenceKey kShowPriority{"showPriority", KeyKind::Boolean, 1};
inline constexpr PreferenceKey kShowItemsWithoutDueDate{"showItemsWithoutDueDate", KeyKind::Boolean, 1};
inline constexpr PreferenceKey kShowItemsWithDueDate{"showItemsWithDueDate", KeyKind::Boolean, 1};
inline constexpr PreferenceKey kShowItemsWithPastDueDate{"showItemsWithPastDueDate", KeyKind::Boolean, 1};
inline constexpr PreferenceKey kCompatibilityMode{"compatibilityMode", KeyKind::Boolean, 1};
inline constexpr PreferenceKey kHideOnNowPlayingScreen{"hideOnNowPlayingScreen", KeyKind::Boolean, 1};
// No part of the tweak looks at the call screen.
inline constexpr PreferenceKey kHideOnCallScreen{"hideOnCallScreen", KeyKind::Boolean, 0, {}, false};
inline constexpr PreferenceKey kCustomLaunchAppBundleID{"customLaunchAppBundleID", KeyKind::Text, 0, ""};
inline constexpr PreferenceKey kShowSeparatorLines{"showSeparatorLines", KeyKind::Boolean, 1};
inline constexpr PreferenceKey kRightAlignedDate{"rightAlignedDate", KeyKind::Boolean, 0};
// The query always takes the chosen lists of the calendars file.
inline constexpr PreferenceKey kOnlySelectedCalendars{"onlySelectedCalendars", KeyKind::Boolean, 1, {}, false};
inline constexpr PreferenceKey kDisplayLocation{"displayLocation", KeyKind::Boolean, 0};
inline constexpr PreferenceKey kSameHeightRows{"sameHeightRows", KeyKind::Boolean, 1};
inline constexpr PreferenceKey kWallpaperBlurMode{"wallpaperBlurMode", KeyKind::Enumeration, 2};
inline constexpr PreferenceKey kReminderSorting{"reminderSorting", KeyKind::Enumeration, 0};
inline constexpr PreferenceKey kSwipeAction{"swipeAction", KeyKind::Enumeration, 1};
// Absent: white titles in their own colour, as index 3.
inline constexpr PreferenceKey kTextColor{"textColor", KeyKind::ColorIndex, 3};
inline constexpr PreferenceKey kTextSize{"textSize", KeyKind::Number, 14};
// Absent: gray, as index 2.
inline constexpr PreferenceKey kSubtitleTextColor{"subtitleTextColor", KeyKind::ColorIndex, 2};
inline constexpr PreferenceKey kSubtitleTextSize{"subtitleTextSize", KeyKind::Number, 14};
// Absent: opaque gray, which no index gives (the date's index 2 is
// translucent white).
inline constexpr PreferenceKey kDateTextColor{"dateTextColor", KeyKind::ColorIndex, std::nullopt};
inline constexpr PreferenceKey kDateTextSize{"dateTextSize", KeyKind::Number, 14};
inline constexpr PreferenceKey kDaysToDisplay{"daysToDisplay", KeyKind::Number, 365};
inline constexpr PreferenceKey kMaxRemindersToDisplay{"maxRemindersToDisplay", KeyKind::Number, 0};
inline constexpr PreferenceKey kIconFile{"iconFile", KeyKind::Text, 0, kDefaultIconFile};

/// Every key, in the order the tweak reads them.
inline constexpr std::array kPreferenceKeys{
    kEnabled,
    kShowPriority,
    kShowItemsWithoutDueDate,
    kShowItemsWithDueDate,
    kShowItemsWithPastDueDate,
    kCompatibilityMode,
    kHideOnNowPlayingScreen,
    kHideOnCallScreen,
    kCustomLaunchAppBundleID,
    kShowSeparatorLines,
    kRightAlignedDate,
    kOnlySelectedCalendars,
    kDisplayLocation,
    kSameHeightRows,
    kWallpaperBlurMode,
    kReminderSorting,
    kSwipeAction,
    kTextColor,
    kTextSize,
    kSubtitleTextColor,
    kSubtitleTextSize,
    kDateTextColor,
    kDateTextSize,
    kDaysToDisplay,
    kMaxRemindersToDisplay,
    kIconFile,
};

/// The key of that name, or null.
constexpr const PreferenceKey* preferenceKey(std::string_view name) {
  for (const auto& key : kPreferenceKeys)
    if (key.name == name) return &key;
  return nullptr;
}

/// The choice a pane list offers for "as with the key absent" where no
/// stored value gives it: choosing it removes the key. It is never stored.
inline constexpr std::string_view kKeyAbsentChoice = "default";

}  // namespace quillpane::contract
