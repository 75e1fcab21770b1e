#pragma once
/// \file
/// Numbers and booleans as objects, with Foundation's conversions between
/// them.

#include <objc/NSObject.h>

#include <cstdint>

class NSNumber : public NSObject {
 public:
  enum class Kind { Boolean, Integer, Unsigned, Real };
  static Class classObject();
  NSNumber() = default;

  static Ref<NSNumber> numberWithBool(bool v);
  static Ref<NSNumber> numberWithInteger(int64_t v);
  static Ref<NSNumber> numberWithUnsignedInteger(uint64_t v);
  static Ref<NSNumber> numberWithInt(int32_t v) { return numberWithInteger(v); }
  static Ref<NSNumber> numberWithDouble(double v);
  static Ref<NSNumber> numberWithFloat(float v);

  [[nodiscard]] Kind kind() const noexcept { return kind_; }
  /// True for a number made from a boolean (a property-list <true/>).
  [[nodiscard]] bool isBoolean() const noexcept { return kind_ == Kind::Boolean; }
  /// Real numbers made from `numberWithFloat:` remember their single precision.
  [[nodiscard]] bool isSinglePrecision() const noexcept { return single_; }

  [[nodiscard]] bool boolValue() const noexcept;
  [[nodiscard]] int64_t integerValue() const noexcept;
  [[nodiscard]] uint64_t unsignedIntegerValue() const noexcept;
  /// 32-bit reading: the 64-bit value truncated to its low 32 bits, as the
  /// device's int conversion does.
  [[nodiscard]] int32_t intValue() const noexcept;
  [[nodiscard]] double doubleValue() const noexcept;
  [[nodiscard]] float floatValue() const noexcept { return static_cast<float>(doubleValue()); }

  [[nodiscard]] std::string descriptionString() const override;
  [[nodiscard]] bool isEqualTo(const NSObject& other) const override;
  [[nodiscard]] size_t hashValue() const noexcept override;

 private:
  Kind kind_ = Kind::Integer;
  bool single_ = false;
  union {
    int64_t i;
    uint64_t u;
    double d;
  } v_{};
};
