#pragma once
/// \file
/// A row of a section, as table views address their rows.

#include <UIKit/UIKitDefines.h>
#include <objc/NSObject.h>

class NSIndexPath : public NSObject {
 public:
  static Class classObject();
  NSIndexPath() = default;
  NSIndexPath(NSInteger row, NSInteger section) : row_(row), section_(section) {}

  static Ref<NSIndexPath> indexPathForRow(NSInteger row, NSInteger section);

  // Registered: "row", "section", "compare:".
  [[nodiscard]] NSInteger row() const noexcept { return row_; }
  [[nodiscard]] NSInteger section() const noexcept { return section_; }
  /// Section first, then row (-1, 0, 1).
  [[nodiscard]] NSInteger compare(const NSIndexPath* other) const noexcept;

  /// "<NSIndexPath> {length = 2, path = 0 - 2}" (section - row), as the device prints it.
  [[nodiscard]] std::string descriptionString() const override;
  [[nodiscard]] bool isEqualTo(const NSObject& other) const override;
  [[nodiscard]] size_t hashValue() const noexcept override;

 private:
  NSInteger row_ = 0, section_ = 0;
};
