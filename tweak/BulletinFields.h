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

inline bool isOwnBulletinID(std::string_view bulletinID) { return bulletinID.starts_with(kOwnPrefix); }
inline bool isSiblingBulletinID(std::string_view bulletinID) { return bulletinID.starts_with(kSiblingPrefix); }

}  // namespace quillpane
