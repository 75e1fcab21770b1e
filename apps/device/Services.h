#pragma once
/// \file
/// The two programs of the living device, each run as a child of the web
/// server: SpringBoard with the tweaks injected, and Settings with the pane.
/// Each boots the root once, keeps its state, and answers requests on its
/// input (one JSON line each) on its output, as ChildProcess speaks. They
/// meet only through the root's files.

#include <filesystem>

namespace device {

/// SpringBoard: locks the screen once, then answers "state", "png" and
/// "event" requests; between requests its clock follows real time, so the
/// run loop's timers fire as they come due. Returns the exit status when
/// its input closes.
int runSpringBoardService(const std::filesystem::path& root);

/// Settings: runs the Settings host's commands on the root ("run" with the
/// command's words) and answers with what they printed.
int runSettingsService(const std::filesystem::path& root);

}  // namespace device
