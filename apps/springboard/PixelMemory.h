#pragma once
/// \file
/// Memory for whole pictures. A full-screen picture is hundreds of pages,
/// and each fresh page costs the process a fault the first time it is
/// written: on this host's virtual machines about 10 µs each, more than
/// drawing the picture. Blocks of a mebibyte or more are mapped in 2 MiB
/// pages where the system lends them to a process that asks, so a picture
/// costs a few faults; smaller ones come from the heap as before.

#include <cairo.h>

#include <cstddef>
#include <memory>

namespace sbhost {

/// Frees a block from allocatePixels.
struct PixelRelease {
  size_t bytes = 0;
  void operator()(unsigned char* block) const noexcept;
};
using PixelBlock = std::unique_ptr<unsigned char[], PixelRelease>;

/// Uninitialised memory of the given size (zero-filled when it is mapped),
/// or null when there is none to be had.
PixelBlock allocatePixels(size_t bytes);

/// A new ARGB32 image surface of width x height pixels, transparent black,
/// as cairo_image_surface_create makes it; a large one lives in a block of
/// allocatePixels, released with the surface. An impossible size gives
/// cairo's own error surface. The caller owns the surface.
cairo_surface_t* createPictureSurface(int width, int height);

}  // namespace sbhost
