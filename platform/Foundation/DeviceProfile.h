#pragma once
/// \file
/// The device profile ("<root>/device.plist"), read at boot: which release
/// runs, the screen, the time zone, whether reminders access is granted,
/// other applications' bulletins, the now-playing state.

#include <optional>
#include <string>
#include <vector>

namespace foundation {

struct ProfileBulletin {
  std::string sectionID;   ///< bundle identifier of the posting application
  std::string title;
  std::string message;
  std::string subtitle;
  std::string bulletinID;  ///< generated when the profile gives none
  std::optional<double> date;  ///< seconds since the reference date
};

struct DeviceProfile {
  std::string iosRelease = "7.1";
  double foundationVersion = 1047.25;  ///< from iosRelease unless given
  double screenWidth = 320, screenHeight = 568, screenScale = 2;
  std::string timeZone = "UTC";
  bool remindersAccess = true;
  std::optional<double> now;  ///< a fixed current moment (seconds since the reference date)
  std::string wallpaper;      ///< device path of an image; empty: the default gradient
  bool nowPlaying = false;
  std::vector<ProfileBulletin> bulletins;
};

/// The Foundation version number of a release ("7.0" -> 1047.20 ...);
/// nullopt for an unknown release.
std::optional<double> foundationVersionForRelease(std::string_view release);

/// Reads "<root>/device.plist"; a missing file gives the defaults, a bad
/// value is logged and defaulted.
DeviceProfile loadDeviceProfile();
/// The profile the device booted with (defaults until boot).
const DeviceProfile& currentDeviceProfile();
/// Boot: reads the profile and applies it (NSFoundationVersionNumber, the
/// default time zone, the clock when the profile fixes "now").
void bootDevice(const DeviceProfile& profile);

}  // namespace foundation
