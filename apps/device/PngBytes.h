#pragma once
/// \file
/// A drawn screen as the bytes of a PNG, for the page to show without a file.

#include <cairo.h>

#include <optional>
#include <string>

namespace device {

/// The surface as PNG bytes, or nothing when Cairo cannot encode it.
std::optional<std::string> pngBytes(cairo_surface_t* surface);

}  // namespace device
