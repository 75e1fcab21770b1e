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
/// Where a file's unreadable content is kept before a write replaces it:
/// path + ".corrupt", else ".corrupt.1", ".corrupt.2", ... so that an
/// earlier kept copy is never overwritten.
inline const std::string kCorruptSuffix = ".corrupt";

/// Called when path could not be read as the expected property list, before
/// a write replaces it. True when the write may go ahead: nothing stands
/// there, or what stands there has been kept beside it (logged). False
/// (logged) when a file stands there that cannot be read at all, or keeping
/// it failed: replacing it then would lose it, so the write must not happen.
[[nodiscard]] bool keepUnreadableFile(const std::string& path);

}  // namespace quillpane::prefs
