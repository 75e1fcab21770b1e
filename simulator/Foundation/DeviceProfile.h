#pragma once
/// \file
/// The device profile ("<root>/device.plist"), read at boot: which release
/// runs, the screen, the time zone, whether reminders access is granted,
/// other applications' bulletins, the now-playing state.
///
/// The file is a property list (XML or binary) whose root is a dictionary.
/// Every key is optional; an absent key keeps the default shown, and a
/// value of the wrong kind or out of range is logged and defaulted.
///
///   key                 kind                 default   meaning
///   "iOSRelease"        string               "7.1"     release the device runs ("7.0" ... "9.3";
///                                                      "8.4.1" reads as "8.4")
///   "FoundationVersion" number               from the  NSFoundationVersionNumber; an unknown
///                                            release   release needs it, else the default release
///   "ScreenWidth"       number (points)      320       0 < w <= 4096
///   "ScreenHeight"      number (points)      568       0 < h <= 4096
///   "ScreenScale"       number               2         0 < s <= 4
///   "TimeZone"          string               "UTC"     an ICU zone name ("Europe/Berlin")
///   "RemindersAccess"   boolean              true      whether the user granted reminders access
///   "Now"               date                 none      freezes the device clock at that moment
///   "Wallpaper"         string               ""        device path of the wallpaper image
///   "NowPlaying"        boolean              false     whether music is playing (overlay shown)
///   "Bulletins"         array of dictionaries none     other applications' bulletins:
///       "SectionID"     string, required               bundle identifier of the posting app
///       "Title", "Message", "Subtitle"  strings        "" when absent
///       "BulletinID"    string                         "<SectionID>-<position>" when absent
///       "Date"          date                           none: the host picks the post time
///
/// Booleans also accept numbers and strings as Foundation's `boolValue`
/// reads them ("YES", 1); numbers accept numeric strings.

#include <optional>
#include <string>
#include <vector>

namespace foundation {

struct ProfileBulletin {
  std::string sectionID;  ///< bundle identifier of the posting application
  std::string title;
  std::string message;
  std::string subtitle;
  std::string bulletinID;      ///< generated when the profile gives none
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
