#pragma once
/// \file
/// The tweak loader, in the manner of Cydia Substrate's: at host start every
/// library in "/Library/MobileSubstrate/DynamicLibraries/" whose filter
/// property list names the host's bundle identifier (Filter > Bundles) or
/// executable (Filter > Executables) is loaded as a real shared library,
/// which runs its load-time initializer.

#include <string>
#include <string_view>
#include <vector>

class NSDictionary;

namespace substrate {

/// True when a filter property list's root (its "Filter" dictionary's
/// "Bundles" or "Executables") names the bundle identifier or executable.
bool filterMatches(const NSDictionary* root, std::string_view bundleIdentifier, std::string_view executableName);

struct LoadedTweak {
  std::string name;        ///< the library's file name without ".dylib"
  std::string devicePath;  ///< where it was loaded from
};

/// Loads the matching tweaks in file-name order and returns them. A library
/// that fails to load is logged and skipped; a library without a filter
/// plist is not loaded (as Substrate refuses unfiltered tweaks).
std::vector<LoadedTweak> loadTweaksForProcess(std::string_view bundleIdentifier, std::string_view executableName);

}  // namespace substrate
