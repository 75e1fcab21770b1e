#pragma once
/// \file
/// UIKit colours: the named system colours with the device's component
/// values, white and RGB colours, and conversions to Core Graphics and from
/// Core Image colours.

#include <CoreGraphics/CGColor.h>

#include <array>

class CIColor;

class UIColor : public NSObject {
 public:
  static Class classObject();
  UIColor() = default;
  UIColor(double r, double g, double b, double a, bool white = false) : c_{r, g, b, a}, white_(white) {}

  static Ref<UIColor> colorWithRed(double red, double green, double blue, double alpha);
  static Ref<UIColor> colorWithWhite(double white, double alpha);
  static Ref<UIColor> colorWithCGColor(const ::CGColor* color);
  /// nil for nil, as the device answers.
  static Ref<UIColor> colorWithCIColor(const CIColor* color);

  static Ref<UIColor> blackColor();      ///< white 0
  static Ref<UIColor> darkGrayColor();   ///< white 1/3
  static Ref<UIColor> lightGrayColor();  ///< white 2/3
  static Ref<UIColor> whiteColor();      ///< white 1
  static Ref<UIColor> grayColor();       ///< white 0.5
  static Ref<UIColor> redColor();        ///< 1 0 0
  static Ref<UIColor> greenColor();      ///< 0 1 0
  static Ref<UIColor> blueColor();       ///< 0 0 1
  static Ref<UIColor> cyanColor();       ///< 0 1 1
  static Ref<UIColor> yellowColor();     ///< 1 1 0
  static Ref<UIColor> magentaColor();    ///< 1 0 1
  static Ref<UIColor> orangeColor();     ///< 1 0.5 0
  static Ref<UIColor> purpleColor();     ///< 0.5 0 0.5
  static Ref<UIColor> brownColor();      ///< 0.6 0.4 0.2
  static Ref<UIColor> clearColor();      ///< white 0, alpha 0

  /// `CGColor`: a Core Graphics colour with the same components.
  [[nodiscard]] CGColorRef CGColor() const;
  /// Red, green, blue, alpha (white colours give r = g = b).
  [[nodiscard]] const std::array<double, 4>& components() const noexcept { return c_; }
  [[nodiscard]] double red() const noexcept { return c_[0]; }
  [[nodiscard]] double green() const noexcept { return c_[1]; }
  [[nodiscard]] double blue() const noexcept { return c_[2]; }
  [[nodiscard]] double alpha() const noexcept { return c_[3]; }
  /// True for colours made in the white (grey) space.
  [[nodiscard]] bool isWhiteColor() const noexcept { return white_; }
  [[nodiscard]] Ref<UIColor> colorWithAlphaComponent(double alpha) const;

  /// "UIDeviceRGBColorSpace 1 0 0 1" / "UIDeviceWhiteColorSpace 0.5 1".
  [[nodiscard]] std::string descriptionString() const override;
  [[nodiscard]] bool isEqualTo(const NSObject& other) const override;
  [[nodiscard]] size_t hashValue() const noexcept override;

 private:
  std::array<double, 4> c_{0, 0, 0, 1};
  bool white_ = false;
};
