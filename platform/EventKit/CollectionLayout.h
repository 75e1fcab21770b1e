#pragma once
/// \file
/// The reminder lists on disk, laid out as CalDAV clients keep them (vdir):
///
///   /var/mobile/Library/Reminders/<account>/displayname     the account's title
///   /var/mobile/Library/Reminders/<account>/<list>/displayname
///   /var/mobile/Library/Reminders/<account>/<list>/color    "#RRGGBB" or "#RRGGBBAA"
///   /var/mobile/Library/Reminders/<account>/<list>/*.ics    one or more VTODOs each

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace eventkit {

inline constexpr std::string_view kRemindersFolder = "/var/mobile/Library/Reminders";

using RGBA = std::array<double, 4>;

struct ListFolder {
  std::string identifier;  ///< the folder name
  std::string title;
  std::optional<RGBA> color;
  std::filesystem::path hostPath;
  std::string devicePath;
};

struct AccountFolder {
  std::string identifier;  ///< the folder name
  std::string title;
  std::vector<ListFolder> lists;  ///< by folder name
};

/// "#RRGGBB" or "#RRGGBBAA" (the '#' may be missing), white space around it
/// allowed; nullopt for anything else.
std::optional<RGBA> parseListColor(std::string_view text);

/// Every account and list under the device's reminders folder, by folder
/// name. Damaged metadata files are logged and defaulted; a list folder name
/// already used by an earlier account is logged and left out, so list
/// identifiers stay unique.
std::vector<AccountFolder> scanReminderAccounts();

}  // namespace eventkit
