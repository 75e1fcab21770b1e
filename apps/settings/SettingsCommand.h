#pragma once
/// \file
/// The Settings host's command line.

#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace settings {

class SettingsHost;

/// Parses args (without the program name), runs the command and returns the
/// exit status: 0, 1 when the command could not be done (the reason on
/// err), or the command line's own status for bad usage.
int runSettingsCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

/// Called once the command has run, with the host still open and its queued
/// work settled: a program that keeps the screen a person ends up on (the
/// living device) lays it out and draws it here.
using AfterCommand = std::function<void(SettingsHost&)>;
int runSettingsCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                       const AfterCommand& afterCommand);

}  // namespace settings
