#pragma once
/// \file
/// Booting a device root for the host: checking the folder is a device root,
/// reading its profile, applying the command line's overrides, and starting
/// the device with a simulated clock so that waiting never sleeps.

#include <Foundation/DeviceProfile.h>

#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace sbhost {

/// Bad input from the command line or the device root; the message says what.
class HostError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct BootOverrides {
  std::optional<std::string> iosRelease;  ///< --ios
  std::optional<std::string> now;         ///< --now, ISO 8601
  std::optional<std::string> timeZone;    ///< --tz
};

/// Throws HostError unless root is a folder holding "device.plist" or
/// "var/mobile".
void checkDeviceRoot(const std::filesystem::path& root);

/// An ISO 8601 moment ("2026-12-08T09:00", seconds optional, a date alone
/// means midnight) read in zoneName, unless it carries its own offset ("Z",
/// "+01:00", "-0500"). Seconds since the reference date; HostError when the
/// text is not such a moment.
double parseDeviceTime(std::string_view text, const std::string& zoneName);

/// Applies the overrides to a profile read from the root; HostError for an
/// unknown release or zone or a bad time. Without any "now" the clock starts
/// at the real current moment.
foundation::DeviceProfile applyOverrides(foundation::DeviceProfile profile, const BootOverrides& overrides);

/// Points the device at root, reads and overrides its profile, boots it
/// with the simulated clock, and returns the profile it booted with.
foundation::DeviceProfile bootDeviceRoot(const std::filesystem::path& root, const BootOverrides& overrides);

}  // namespace sbhost
