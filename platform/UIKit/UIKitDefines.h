#pragma once
/// \file
/// The integer types of UIKit's interfaces (64-bit device).

#include <cstdint>

using NSInteger = int64_t;
using NSUInteger = uint64_t;

/// Text alignment of labels (`NSTextAlignment`).
enum NSTextAlignment : NSInteger { NSTextAlignmentLeft = 0, NSTextAlignmentCenter = 1, NSTextAlignmentRight = 2 };
