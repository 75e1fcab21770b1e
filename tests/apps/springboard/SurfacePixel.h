#pragma once
/// \file
/// One pixel of an ARGB32 or RGB24 image surface, as its 32-bit value.

#include <cairo.h>

#include <cstddef>
#include <cstdint>
#include <cstring>

inline uint32_t surfacePixel(cairo_surface_t* s, int x, int y) {
  cairo_surface_flush(s);
  uint32_t v = 0;
  std::memcpy(&v,
              cairo_image_surface_get_data(s) + static_cast<ptrdiff_t>(y) * cairo_image_surface_get_stride(s) +
                  static_cast<ptrdiff_t>(x) * 4,
              4);
  return v;
}
