#pragma once
/// \file
/// The lock screen's wallpaper as pixels: the profile's image filling the
/// screen, or a default gradient; and the blur the lock content underlay
/// shows it through.

#include <cairo.h>

#include <string>

namespace sbhost {

/// A new ARGB surface of the screen's pixel size holding the wallpaper: the
/// PNG at the device path (scaled to fill, centred, cropped), or the default
/// gradient when the path is empty or names no readable image (logged).
/// The caller owns the surface.
cairo_surface_t* makeWallpaper(const std::string& devicePath, int pixelWidth, int pixelHeight);

/// The default wallpaper: a deep blue-to-violet gradient with soft light.
void drawDefaultWallpaper(cairo_t* cr, double width, double height);

/// Blurs an ARGB or RGB image surface in place with three box-blur passes
/// each way, which together approach a gaussian of about radius / 1.7
/// standard deviation. A radius below 1 changes nothing.
void boxBlur(cairo_surface_t* surface, int radius);

/// A new ARGB surface holding the part (x0, y0, width, height) of an image
/// surface shrunk by factor each way: each pixel the average of a factor x
/// factor block (a block cut by the part's or the source's edge repeats the
/// edge's pixels). A factor of 1 copies the part.
cairo_surface_t* shrinkPart(cairo_surface_t* source, int x0, int y0, int width, int height, int factor);

/// A new ARGB surface of width x height holding an image surface grown by
/// factor each way, bilinearly, its pixel centres where shrinkPart took
/// them from; past its edges the image goes on as its edge.
cairo_surface_t* growPart(cairo_surface_t* small, int factor, int width, int height);

}  // namespace sbhost
