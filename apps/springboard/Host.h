#pragma once
/// \file
/// The SpringBoard host's whole run, from checked options to written output.

#include "DeviceBoot.h"
#include "EventScript.h"
#include "HostRun.h"

#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

class LockScreenDriver;

namespace sbhost {

struct HostOptions {
  std::filesystem::path root;
  BootOverrides overrides;
  std::vector<Event> events;
  bool json = false;
  bool showLog = false;
  std::optional<std::string> pngPath;
};

/// Throws HostError unless a file can be written at path: its folder exists
/// and is writable, and the path is not a folder or a read-only file.
void checkOutputPath(const std::string& path);

/// Runs one event on a locked lock screen and says what came of it;
/// HostError for a row the list does not have.
EventOutcome runEvent(LockScreenDriver& manager, const Event& event);

/// Boots the root, starts SpringBoard with the tweaks, locks, runs the
/// events, then writes the picture and prints the report to out. Nothing is
/// printed or written when an event fails: HostError says why.
void runHost(const HostOptions& options, std::ostream& out);

}  // namespace sbhost
