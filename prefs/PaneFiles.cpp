#include "PaneFiles.h"

#include <Foundation/NSData.h>
#include <Foundation/NSLog.h>

namespace quillpane::prefs {

void keepUnreadableFile(const std::string& path) {
  auto content = NSData::dataWithContentsOfFile(path);
  if (!content) return;  // nothing there: nothing to keep
  const std::string kept = path + kCorruptSuffix;
  if (content->writeToFile(kept, true))
    NSLog("QPX: %s could not be read; kept it as %s", path, kept);
  else
    NSLog("QPX: %s could not be read, and keeping it as %s failed", path, kept);
}

}  // namespace quillpane::prefs
