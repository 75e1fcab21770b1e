#pragma once
/// \file
/// Core Image colours and their text form ("r g b a"), which the tweak
/// carries inside bulletin identifiers.

#include <CoreGraphics/CGColor.h>

#include <string>
#include <string_view>

class CIColor : public NSObject {
 public:
  static Class classObject();
  CIColor() = default;
  CIColor(double r, double g, double b, double a) : r_(r), g_(g), b_(b), a_(a) {}

  static Ref<CIColor> colorWithCGColor(const CGColor* color);
  /// Parses "r g b" or "r g b a" (white space separated decimals, optionally
  /// in brackets). Always four components: three values give alpha 1, no
  /// values give the clear colour; unreadable values count as 0.
  static Ref<CIColor> colorWithString(std::string_view text);
  /// The text form: four components, shortest decimals ("1 0.5 0 1").
  [[nodiscard]] std::string stringRepresentation() const;

  [[nodiscard]] double red() const noexcept { return r_; }
  [[nodiscard]] double green() const noexcept { return g_; }
  [[nodiscard]] double blue() const noexcept { return b_; }
  [[nodiscard]] double alpha() const noexcept { return a_; }
  [[nodiscard]] std::string descriptionString() const override { return stringRepresentation(); }

 private:
  double r_ = 0, g_ = 0, b_ = 0, a_ = 0;
};
