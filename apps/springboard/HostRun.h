#pragma once
/// \file
/// One run of the SpringBoard host: boot, lock, the event script, and what
/// came of it. The reports print a finished run.

#include "EventScript.h"
#include "LockScreenState.h"

#include <Foundation/DeviceProfile.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace sbhost {

struct EventOutcome {
  std::string event;   ///< the event as written
  std::string result;  ///< one line saying what happened
  /// For taps: "url", "bundle" or "none", and what was opened or launched.
  std::string tapKind, tapTarget;
};

struct HostRun {
  std::filesystem::path root;
  foundation::DeviceProfile profile;
  std::vector<std::string> tweaks;  ///< names of the libraries the loader injected
  std::vector<EventOutcome> events;
  LockScreenState state;
  std::vector<std::string> log;
  std::string nowISO;  ///< the device clock when the script ended
};

/// The rows as a table a person reads, with the header, the underlay and the
/// event outcomes; with the log lines when withLog.
std::string textReport(const HostRun& run, bool withLog);

/// The whole state as JSON text.
std::string jsonReport(const HostRun& run);

}  // namespace sbhost
