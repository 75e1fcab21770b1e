#pragma once
/// \file
/// Foundation's readings of numbers from text (`boolValue`, `integerValue`,
/// `intValue`, `doubleValue` of NSString): leading white space is skipped, a
/// number is read as far as it goes, anything after it is ignored, and
/// overflow clamps instead of wrapping.

#include <cstdint>
#include <string_view>

namespace foundation {

/// True when, after white space, an optional sign and leading zeros, the
/// text goes on with "Y", "y", "T", "t" or a digit 1-9.
bool textBoolValue(std::string_view text) noexcept;
/// The leading decimal integer, clamped to the 64-bit range; 0 when none.
int64_t textIntegerValue(std::string_view text) noexcept;
/// The leading decimal integer, clamped to the 32-bit range; 0 when none.
int32_t textIntValue(std::string_view text) noexcept;
/// The leading decimal real ("-1.5e3"); +-HUGE_VAL on overflow, 0 when none.
double textDoubleValue(std::string_view text) noexcept;

}  // namespace foundation
