#pragma once
/// \file
/// Cairo image surfaces as PNG, quickly: one filter, libdeflate's quickest
/// level, RGB without an alpha channel when every pixel is opaque. Shared
/// by everything that writes a lock-screen picture.

#include <cairo.h>

#include <cstdio>
#include <optional>
#include <string>

namespace sbhost {

/// Writes an ARGB32 or RGB24 image surface to an open file as PNG; other
/// formats go through Cairo's own writer. False when the surface cannot
/// be encoded or the file not written.
bool writePNGFile(cairo_surface_t* surface, FILE* file);

/// The surface as the bytes of a PNG file; nothing when it cannot be encoded.
std::optional<std::string> pngBytes(cairo_surface_t* surface);

}  // namespace sbhost
