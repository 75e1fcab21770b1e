#pragma once
/// \file
/// The reminder lists on disk, laid out as CalDAV clients keep them (vdir):
///
///   /var/mobile/Library/Reminders/<account>/displayname     the account's title
///   /var/mobile/Library/Reminders/<account>/<list>/displayname
///   /var/mobile/Library/Reminders/<account>/<list>/color    "#RGB", "#RGBA", "#RRGGBB" or "#RRGGBBAA"
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
  /// The folder name, or "<account>/<list>" when another account has a
  /// list folder of the same name.
  std::string identifier;
  std::string folderName;
  std::filesystem::path hostPath;
  std::string devicePath;
};

/// What a list's small files say of it.
struct ListMetadata {
  std::string title;  ///< its "displayname", else the folder name
  RGBA color{};       ///< its "color", else a calendar colour (logged once a process)
};

struct AccountFolder {
  std::string identifier;  ///< the folder name
  std::string title;
  std::vector<ListFolder> lists;  ///< by folder name
};

/// "#RGB", "#RGBA", "#RRGGBB" or "#RRGGBBAA" (the '#' may be missing), white
/// space around it allowed; nullopt for anything else.
std::optional<RGBA> parseListColor(std::string_view text);

struct PaletteColor {
  const char* name;  ///< for log lines: "orange #FF9500"
  RGBA rgba;
};
/// The calendar colour a list without a usable colour gets: one of the
/// device's list colours, always the same for the same identifier.
const PaletteColor& defaultListColor(std::string_view identifier);

/// Every account and list under the device's reminders folder, by folder
/// name, from the folders alone: a list's own files are read by
/// readListMetadata. Identifiers are unique: a list folder name found in
/// more than one account is qualified by its account folder in each of them.
std::vector<AccountFolder> scanReminderAccounts();

/// A list's title and colour; damaged files are logged and defaulted, and
/// every list has a colour.
ListMetadata readListMetadata(const ListFolder& list);

}  // namespace eventkit
