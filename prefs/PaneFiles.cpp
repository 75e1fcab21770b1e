#include "PaneFiles.h"

#include <Foundation/NSData.h>
#include <Foundation/NSFileManager.h>
#include <Foundation/NSLog.h>

namespace quillpane::prefs {

namespace {
/// Far more kept copies than a person would let pile up; past this the
/// folder is left alone rather than searched without end.
constexpr int kMaxKeptCopies = 1000;
}  // namespace

bool keepUnreadableFile(const std::string& path) {
  auto files = NSFileManager::defaultManager();
  auto content = NSData::dataWithContentsOfFile(path);
  if (!content) {
    if (!files->fileExistsAtPath(path)) return true;  // nothing there: nothing to keep
    NSLog("QPX: %s exists but cannot be read; it is left as it is and not replaced", path);
    return false;
  }
  for (int n = 0; n < kMaxKeptCopies; ++n) {
    const std::string kept = path + kCorruptSuffix + (n ? "." + std::to_string(n) : "");
    if (files->fileExistsAtPath(kept)) continue;
    if (content->writeToFileOptions(kept, NSDataWritingWithoutOverwriting)) {
      NSLog("QPX: %s could not be read; kept it as %s", path, kept);
      return true;
    }
    if (!files->fileExistsAtPath(kept)) {
      NSLog("QPX: %s could not be read, and keeping it as %s failed; it is not replaced", path, kept);
      return false;
    }
    // Another writer took the name meanwhile: try the next.
  }
  NSLog("QPX: %s could not be read, and every name to keep it under is taken; it is not replaced", path);
  return false;
}

}  // namespace quillpane::prefs
