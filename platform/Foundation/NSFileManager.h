#pragma once
/// \file
/// The file manager: what stands at a path.

#include <objc/NSObject.h>

#include <string>

class NSFileManager : public NSObject {
 public:
  static Class classObject();
  static Ref<NSFileManager> defaultManager();
  /// Whether anything stands at the device path, also a file this process
  /// may not read.
  [[nodiscard]] bool fileExistsAtPath(const std::string& devicePath) const;
};
