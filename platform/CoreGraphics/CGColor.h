#pragma once
/// \file
/// A colour in the device RGB space: four components, red green blue alpha,
/// each from 0 to 1.

#include <objc/NSObject.h>

#include <array>

class CGColor : public NSObject {
 public:
  static Class classObject();
  CGColor() = default;
  CGColor(double r, double g, double b, double a) : c_{r, g, b, a} {}

  static Ref<CGColor> createRGBA(double r, double g, double b, double a);
  [[nodiscard]] const std::array<double, 4>& components() const noexcept { return c_; }
  [[nodiscard]] double red() const noexcept { return c_[0]; }
  [[nodiscard]] double green() const noexcept { return c_[1]; }
  [[nodiscard]] double blue() const noexcept { return c_[2]; }
  [[nodiscard]] double alpha() const noexcept { return c_[3]; }

  [[nodiscard]] std::string descriptionString() const override;
  [[nodiscard]] bool isEqualTo(const NSObject& other) const override;

 private:
  std::array<double, 4> c_{0, 0, 0, 1};
};

using CGColorRef = Ref<CGColor>;
