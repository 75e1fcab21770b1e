#pragma once
/// \file
/// The Settings host's command line.

#include <ostream>
#include <string>
#include <vector>

namespace settings {

/// Parses args (without the program name), runs the command and returns the
/// exit status: 0, 1 when the command could not be done (the reason on
/// err), or the command line's own status for bad usage.
int runSettingsCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace settings
