#pragma once
/// \file
/// The three files the pane writes and the tweak reads, and the care taken
/// when one is replaced.

#include <Quillpane/Contract.h>

#include <string>

namespace quillpane::prefs {

inline const std::string kPreferenceFile{contract::kPreferenceFile};
inline const std::string kCalendarsFile{contract::kCalendarsFile};
inline const std::string kSortingFile{contract::kSortingFile};
/// Where a file's unreadable content is kept before a write replaces it.
inline const std::string kCorruptSuffix = ".corrupt";

/// Called when path could not be read as the expected property list: if a
/// file stands there all the same, copies it to path + ".corrupt" (logged),
/// so the write that follows loses nothing without trace.
void keepUnreadableFile(const std::string& path);

}  // namespace quillpane::prefs
