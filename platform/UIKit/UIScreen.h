#pragma once
/// \file
/// The device's screen, from the device profile.

#include <CoreGraphics/CGGeometry.h>
#include <objc/NSObject.h>

class UIScreen : public NSObject {
 public:
  static Class classObject();
  static Ref<UIScreen> mainScreen();
  [[nodiscard]] CGRect bounds() const;
  [[nodiscard]] double scale() const;
};
