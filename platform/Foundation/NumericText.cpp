#include <Foundation/NumericText.h>

#include <locale.h>
#include <clocale>
#include <cstdlib>
#include <limits>
#include <string>

namespace foundation {

namespace {

constexpr bool isSpace(char c) noexcept {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}
constexpr bool isDigit(char c) noexcept { return c >= '0' && c <= '9'; }

size_t skipSpace(std::string_view t, size_t i = 0) noexcept {
  while (i < t.size() && isSpace(t[i])) ++i;
  return i;
}

/// Reads [sign] digits, saturating at limit (the magnitude of the range's
/// positive end; the negative end is one more).
template <class T>
T leadingInteger(std::string_view t) noexcept {
  size_t i = skipSpace(t);
  bool negative = false;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) negative = t[i++] == '-';
  const uint64_t limit =
      negative ? uint64_t(std::numeric_limits<T>::max()) + 1 : uint64_t(std::numeric_limits<T>::max());
  uint64_t magnitude = 0;
  bool clamped = false;
  for (; i < t.size() && isDigit(t[i]); ++i) {
    if (clamped) continue;
    const uint64_t digit = uint64_t(t[i] - '0');
    if (magnitude > (limit - digit) / 10) {
      magnitude = limit;
      clamped = true;
    } else {
      magnitude = magnitude * 10 + digit;
    }
  }
  if (!negative) return T(magnitude);
  if (magnitude == limit) return std::numeric_limits<T>::min();
  return T(-int64_t(magnitude));
}

locale_t cLocale() {
  static const locale_t loc = newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
  return loc;
}

}  // namespace

bool textBoolValue(std::string_view t) noexcept {
  size_t i = skipSpace(t);
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
  while (i < t.size() && t[i] == '0') ++i;
  if (i >= t.size()) return false;
  const char c = t[i];
  return c == 'Y' || c == 'y' || c == 'T' || c == 't' || (c >= '1' && c <= '9');
}

int64_t textIntegerValue(std::string_view t) noexcept { return leadingInteger<int64_t>(t); }

int32_t textIntValue(std::string_view t) noexcept { return leadingInteger<int32_t>(t); }

double textDoubleValue(std::string_view t) noexcept {
  // Only plain decimal notation counts (no "inf", "nan" or hexadecimal), so
  // the number is cut out first and then converted in the C locale.
  size_t i = skipSpace(t);
  const size_t start = i;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
  size_t digits = 0;
  while (i < t.size() && isDigit(t[i])) ++i, ++digits;
  if (i < t.size() && t[i] == '.') {
    ++i;
    while (i < t.size() && isDigit(t[i])) ++i, ++digits;
  }
  if (digits == 0) return 0.0;
  if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
    size_t j = i + 1;
    if (j < t.size() && (t[j] == '+' || t[j] == '-')) ++j;
    if (j < t.size() && isDigit(t[j])) {
      while (j < t.size() && isDigit(t[j])) ++j;
      i = j;
    }
  }
  const std::string number(t.substr(start, i - start));
  return strtod_l(number.c_str(), nullptr, cLocale());
}

}  // namespace foundation
