#pragma once
/// \file
/// Preference bundles: plug-in folders the Settings application loads. The
/// bundle's library is loaded (which registers its classes), its
/// Info.plist names the principal class, and the framework remembers which
/// bundle folder each principal class came from so controllers find their
/// resources there. Also the list of third-party panes PreferenceLoader
/// offers ("/Library/PreferenceLoader/Preferences/*.plist").

#include <objc/runtime.h>

#include <optional>
#include <string>
#include <vector>

struct PSPreferenceBundle {
  std::string path;        ///< device path of the bundle folder
  std::string identifier;  ///< CFBundleIdentifier
  std::string executable;  ///< device path of the library
  Class principalClass = nullptr;
};

/// Loads the bundle at a device path ("/Library/PreferenceBundles/X.bundle").
/// nullopt, with the reason in error, when its Info.plist is missing or
/// names no principal class, the library does not load, or the class is not
/// in the process after loading. Loading a bundle twice is harmless.
std::optional<PSPreferenceBundle> PSLoadPreferenceBundle(const std::string& bundlePath, std::string* error);

/// The bundle folder of cls or of its nearest superclass that came from a
/// bundle; empty when none did.
std::string PSBundlePathForClass(Class cls);
/// Records the bundle folder of a class that is already in the process.
void PSSetBundlePathForClass(Class cls, const std::string& bundlePath);

/// One Settings entry of a third-party pane.
struct PSPreferenceLoaderEntry {
  std::string file;        ///< the entry file's device path
  std::string label;       ///< the row title in Settings
  std::string bundlePath;  ///< device path of the pane's bundle folder
  std::string detail;      ///< the controller class the entry names, if any
};
/// Every readable entry, sorted by label; unreadable ones are logged and left out.
std::vector<PSPreferenceLoaderEntry> PSPreferenceLoaderEntries();
