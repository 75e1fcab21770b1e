#pragma once
/// \file
/// The NSLog / stringWithFormat: formatter. Arguments are typed values, never
/// part of the format, so a specifier that does not fit its argument prints a
/// defined placeholder instead of reading the wrong type.
///
/// Specifiers: %@ (an object's description; "(null)" for nil), %lu %ld %u %d
/// (integers; %u/%d take the low 32 bits), %s (C text), %f (a real), %%.
/// Flags, width and precision work as in printf ("%5d", "%.2f"); %@ also
/// prints a text argument as itself, so a tag may be passed as plain text.

#include <objc/NSObject.h>

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>

namespace foundation {

class FormatArg {
 public:
  using Value = std::variant<std::monostate, id, int64_t, uint64_t, double, std::string>;

  FormatArg(std::nullptr_t) : v_(id()) {}  // NOLINT(google-explicit-constructor)
  template <class T>
  FormatArg(const Ref<T>& obj) : v_(id(static_cast<NSObject*>(obj.get()))) {}  // NOLINT(google-explicit-constructor)
  template <class T, std::enable_if_t<std::is_base_of_v<NSObject, T>, int> = 0>
  FormatArg(T* obj) : v_(id(static_cast<NSObject*>(obj))) {}  // NOLINT(google-explicit-constructor)
  template <class T, std::enable_if_t<std::is_integral_v<T> && !std::is_same_v<T, bool>, int> = 0>
  FormatArg(T n) {  // NOLINT(google-explicit-constructor)
    if constexpr (std::is_signed_v<T>)
      v_ = static_cast<int64_t>(n);
    else
      v_ = static_cast<uint64_t>(n);
  }
  FormatArg(bool b) : v_(static_cast<int64_t>(b)) {}               // NOLINT(google-explicit-constructor)
  FormatArg(double d) : v_(d) {}                                   // NOLINT(google-explicit-constructor)
  FormatArg(const char* s) : v_(std::string(s ? s : "(null)")) {}  // NOLINT(google-explicit-constructor)
  FormatArg(std::string s) : v_(std::move(s)) {}                   // NOLINT(google-explicit-constructor)
  FormatArg(std::string_view s) : v_(std::string(s)) {}            // NOLINT(google-explicit-constructor)

  [[nodiscard]] const Value& value() const noexcept { return v_; }

 private:
  Value v_;
};

/// Formats with the specifiers above. Missing arguments print "(missing)",
/// a mismatched one "(bad argument)", an unknown specifier is kept as text.
std::string formatString(std::string_view format, std::span<const FormatArg> args);

template <class... A>
std::string format(std::string_view fmt, const A&... args) {
  const FormatArg list[] = {FormatArg(args)..., FormatArg(std::string())};
  return formatString(fmt, std::span<const FormatArg>(list, sizeof...(A)));
}

}  // namespace foundation
