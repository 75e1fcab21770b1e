#pragma once
/// \file
/// Reading the preference and sorting files into the settings variables.

#include <Quillpane/Contract.h>

namespace quillpane {

using contract::kDefaultIconFile;
using contract::kPreferenceFile;
using contract::kSortingFile;

/// Refreshes every settings variable from the two files, defaults for what
/// they do not say. Runs at the start of every lock-screen list load.
void loadSettings();

}  // namespace quillpane
