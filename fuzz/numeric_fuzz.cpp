// Numbers read from text (NSString's integerValue, intValue, doubleValue,
// boolValue): every reading agrees with the others and with the number
// written back out as text.

#include <Foundation/NumericText.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include "FuzzSupport.h"

using fuzzsupport::check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text = fuzzsupport::asText(data, size);
  const int64_t i = foundation::textIntegerValue(text);
  const int32_t i32 = foundation::textIntValue(text);
  const double d = foundation::textDoubleValue(text);
  (void)foundation::textBoolValue(text);

  check(i32 == std::clamp<int64_t>(i, INT32_MIN, INT32_MAX), "intValue is integerValue clamped to 32 bits");
  check(foundation::textIntegerValue(std::to_string(i)) == i, "an integer written out reads back");
  check(!std::isnan(d), "doubleValue is never NaN");
  if (std::isfinite(d)) {
    char buf[64];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, d);
    check(ec == std::errc() && foundation::textDoubleValue(std::string_view(buf, size_t(end - buf))) == d,
          "a real written out reads back");
  }
  // With no fraction or exponent, the integer and the real are one number.
  if (std::isfinite(d) && std::fabs(d) < 1e15 && text.find_first_of(".eE") == std::string_view::npos)
    check(double(i) == std::trunc(d), "integerValue and doubleValue agree on whole numbers");
  if (i != 0) check(foundation::textBoolValue(std::to_string(i)), "a non-zero integer is true");
  return 0;
}
