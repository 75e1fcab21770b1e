#pragma once
/// \file
/// The three files the pane writes and the tweak reads, and the care taken
/// when one is replaced.

#include <string>

namespace quillpane::prefs {

inline const std::string kPreferenceFile = "/var/mobile/Library/Preferences/org.brightrepo.quillpaneprefs.plist";
inline const std::string kCalendarsFile = "/var/mobile/Library/Preferences/org.brightrepo.quillpane.calendars.plist";
inline const std::string kSortingFile = "/var/mobile/Library/Preferences/org.brightrepo.datebeam.sorting.plist";
/// Where a file's unreadable content is kept before a write replaces it.
inline const std::string kCorruptSuffix = ".corrupt";

/// Called when path could not be read as the expected property list: if a
/// file stands there all the same, copies it to path + ".corrupt" (logged),
/// so the write that follows loses nothing without trace.
void keepUnreadableFile(const std::string& path);

}  // namespace quillpane::prefs
