#pragma once
// A throw-away device root for one test, and a runner for the SpringBoard
// host on it.

#include "TempRoot.h"

#include <nlohmann/json.hpp>

#include <filesystem>
#include <string>
#include <vector>

namespace hosttest {

struct Reminder {
  std::string title;
  std::string due;  ///< the DUE line's value part, e.g. ";TZID=Europe/Berlin:20261208T170000"; empty: none
  int priority = 0;
};

class FixtureRoot {
 public:
  FixtureRoot();

  [[nodiscard]] const std::filesystem::path& path() const { return dir_.path(); }

  /// Writes a file at a device path ("/var/mobile/...").
  void write(const std::string& devicePath, const std::string& contents);
  /// The device profile: the plist body (keys and values) inside <dict>.
  void profile(const std::string& dictBody);
  /// The preference file's keys and values inside <dict>.
  void prefs(const std::string& dictBody);
  /// A reminder list of the account "Test", chosen in the calendars file.
  void list(const std::string& id, const std::string& name, const std::string& color,
            const std::vector<Reminder>& reminders);
  /// Copies the built tweak and its filter into the root.
  void installTweak();

 private:
  void writeCalendars();
  TempRoot dir_{"qp-sbhost"};
  std::vector<std::string> chosen_;
};

/// The usual test device: Berlin at 2026-12-08 09:00, a message from Anna
/// posted five minutes before, two chosen lists ("home" orange with two
/// reminders, "work" blue with one), the tweak installed unless asked not
/// to, and the preference file's keys extraPrefs besides "iconFile" "DOT".
void standardDevice(FixtureRoot& root, const std::string& extraPrefs = "", bool withTweak = true,
                    const std::string& extraProfile = "");

struct HostResult {
  int exitCode = -1;
  std::string out, err;
  /// stdout parsed, when it is JSON.
  [[nodiscard]] nlohmann::json json() const;
};

/// Runs the host with the arguments (each passed as one word).
HostResult runHost(const std::vector<std::string>& args);

/// The rows of a JSON state whose "own" flag is own.
std::vector<nlohmann::json> rowsWhere(const nlohmann::json& state, bool own);

}  // namespace hosttest
