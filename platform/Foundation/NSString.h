#pragma once
/// \file
/// Immutable text. Held as UTF-8; `length` counts UTF-16 units as the
/// device does.

#include <objc/NSObject.h>

#include <cstdint>
#include <string>
#include <string_view>

class NSArray;

class NSString : public NSObject {
 public:
  static Class classObject();
  NSString() = default;
  explicit NSString(std::string utf8) : s_(std::move(utf8)) {}

  static Ref<NSString> stringWithUTF8String(std::string_view utf8);
  /// printf-style formatting with the same specifiers as NSLog.
  template <class... A>
  static Ref<NSString> stringWithFormat(std::string_view format, const A&... args);

  [[nodiscard]] const std::string& str() const noexcept { return s_; }
  [[nodiscard]] const char* UTF8String() const noexcept { return s_.c_str(); }
  /// Number of UTF-16 code units.
  [[nodiscard]] uint64_t length() const noexcept;
  [[nodiscard]] bool hasPrefix(std::string_view prefix) const noexcept { return s_.starts_with(prefix); }
  [[nodiscard]] bool hasSuffix(std::string_view suffix) const noexcept { return s_.ends_with(suffix); }
  [[nodiscard]] bool isEqualToString(const NSString* other) const noexcept { return other && other->s_ == s_; }
  [[nodiscard]] bool isEqualToString(std::string_view other) const noexcept { return s_ == other; }
  [[nodiscard]] Ref<NSArray> componentsSeparatedByString(std::string_view separator) const;
  /// -1, 0 or 1, comparing without regard to case (`caseInsensitiveCompare:`).
  [[nodiscard]] int caseInsensitiveCompare(const NSString& other) const noexcept;

  // Foundation's numeric readings of text: leading white space, an optional
  // sign, then as many digits as stand there; overflow clamps.
  [[nodiscard]] bool boolValue() const noexcept;
  [[nodiscard]] int64_t integerValue() const noexcept;
  [[nodiscard]] int32_t intValue() const noexcept;
  [[nodiscard]] double doubleValue() const noexcept;
  [[nodiscard]] float floatValue() const noexcept { return static_cast<float>(doubleValue()); }

  [[nodiscard]] std::string descriptionString() const override { return s_; }
  [[nodiscard]] bool isEqualTo(const NSObject& other) const override;
  [[nodiscard]] size_t hashValue() const noexcept override { return std::hash<std::string>()(s_); }

 private:
  std::string s_;
};

/// An NSString from UTF-8 text.
inline Ref<NSString> NSStr(std::string_view utf8) { return NSString::stringWithUTF8String(utf8); }

#include <Foundation/NSFormat.h>

template <class... A>
Ref<NSString> NSString::stringWithFormat(std::string_view format, const A&... args) {
  return NSStr(foundation::format(format, args...));
}
