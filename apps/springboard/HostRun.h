#pragma once
/// \file
/// One run of the SpringBoard host: boot, lock, the event script, and what
/// came of it. The reports print a finished run.

#include "EventScript.h"
#include "LockScreenState.h"

#include <Foundation/DeviceProfile.h>

#include <deque>
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
  /// For locks: the device files this lock could not read.
  std::vector<std::string> notRead;
};

struct HostRun {
  std::filesystem::path root;
  foundation::DeviceProfile profile;
  std::vector<std::string> tweaks;   ///< names of the libraries the loader injected
  std::vector<std::string> notRead;  ///< device files the run could not read
  /// The last kKeptEvents outcomes, and how many events ran in all.
  static constexpr size_t kKeptEvents = 200;
  std::deque<EventOutcome> events;
  uint64_t eventCount = 0;
  LockScreenState state;
  /// The last log lines, and how many were written in all.
  std::vector<std::string> log;
  uint64_t logLineCount = 0;
  std::string nowISO;  ///< the device clock when the script ended
};

/// The rows as a table a person reads, with the header, the underlay and the
/// event outcomes; with the log lines when withLog.
std::string textReport(const HostRun& run, bool withLog);

/// The whole state as JSON text.
std::string jsonReport(const HostRun& run);

}  // namespace sbhost
