#pragma once
/// \file
/// The texts a reminder's bulletin carries, and the identifier that tells
/// the tweak's rows apart and brings the list colour along to the
/// presentation code.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quillpane {

constexpr std::string_view kOwnPrefix = "Quillpane";
constexpr std::string_view kSiblingPrefix = "Datebeam";
constexpr std::string_view kBulletinMessage = "QPX|";
constexpr std::string_view kRemindersSection = "com.apple.reminders";
constexpr std::string_view kRemindersURL = "x-apple-reminder://";

/// "!!! " for priority 1, "!! " for 5, "! " for 9, nothing otherwise.
std::string_view priorityMark(uint64_t priority);
/// "Arriving: " for proximity 1 (enter), "Leaving: " for 2, else nothing.
std::string_view locationPrefix(int64_t proximity);
/// "Quillpane <position>|<colour>", ending at the bar without a colour.
std::string bulletinIdentifier(uint32_t position, const std::optional<std::string>& colourString);
/// The second "|"-separated field; nullopt with fewer than two fields.
std::optional<std::string_view> colourField(std::string_view bulletinID);

/// The bulletin's title: the reminder's, after its priority mark when
/// priorities are shown.
std::string bulletinTitle(bool showPriority, uint64_t priority, std::string_view title);

/// What a tap on the bulletin opens.
enum class DefaultAction { None, OpenReminders, LaunchApp };
/// swipeAction 1 opens Reminders; 3 launches the chosen app when one is
/// chosen; anything else leaves the platform's action.
DefaultAction defaultActionFor(int64_t swipeAction, std::string_view customLaunchAppBundleID);

/// How far from now a bulletin's publication date is set so that the list
/// orders the tweak's rows by sortPriority, and by position among them.
struct DateShift {
  int64_t years = 0;
  int64_t days = 0;
  bool operator==(const DateShift&) const = default;
};
/// nullopt when the dates are left to the platform (kNoCustomSorting).
std::optional<DateShift> orderingShift(int64_t sortPriority, uint32_t position);

inline bool isOwnBulletinID(std::string_view bulletinID) { return bulletinID.starts_with(kOwnPrefix); }
inline bool isSiblingBulletinID(std::string_view bulletinID) { return bulletinID.starts_with(kSiblingPrefix); }

}  // namespace quillpane
