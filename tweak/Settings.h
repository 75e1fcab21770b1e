#pragma once
/// \file
/// Reading the preference and sorting files into the settings variables.

#include <string_view>

namespace quillpane {

constexpr std::string_view kPreferenceFile = "/var/mobile/Library/Preferences/org.brightrepo.quillpaneprefs.plist";
constexpr std::string_view kSortingFile = "/var/mobile/Library/Preferences/org.brightrepo.datebeam.sorting.plist";
constexpr std::string_view kDefaultIconFile = "/Library/PreferenceBundles/QuillpanePrefs.bundle/iconIOS7@2x.png";

/// Refreshes every settings variable from the two files, defaults for what
/// they do not say. Runs at the start of every lock-screen list load.
void loadSettings();

}  // namespace quillpane
