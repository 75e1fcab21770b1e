#pragma once
/// \file
/// The lock screen as a picture, drawn from the very view tree SpringBoard
/// laid out: wallpaper (blurred where the lock content underlay shows), then
/// every visible view, front to back, with its frame, alpha and clipping;
/// labels in their fonts and colours, row icons and separators.

#include <cairo.h>

#include <string>

class SBLockScreenView;

namespace sbhost {

struct RenderOptions {
  double scale = 2;           ///< pixels per point
  std::string wallpaperPath;  ///< device path of the wallpaper; empty: the default
  int blurRadius = 24;        ///< in pixels at scale 2; follows the scale
};

/// A new ARGB surface of the lock-screen view's bounds at the scale. The
/// caller owns it.
cairo_surface_t* renderLockScreen(SBLockScreenView* lockScreen, const RenderOptions& options);

/// Writes the surface as PNG to a temporary file beside path and renames it
/// into place, so a failed write never leaves half a picture. False (with
/// errorText filled) on failure.
bool writePNGAtomically(cairo_surface_t* surface, const std::string& path, std::string& errorText);

}  // namespace sbhost
