#include "Wallpaper.h"

#include <Foundation/NSLog.h>
#include <UIKit/UIImage.h>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace sbhost {

void drawDefaultWallpaper(cairo_t* cr, double width, double height) {
  cairo_save(cr);
  cairo_pattern_t* sky = cairo_pattern_create_linear(0, 0, width * 0.35, height);
  cairo_pattern_add_color_stop_rgb(sky, 0.0, 0.05, 0.20, 0.42);
  cairo_pattern_add_color_stop_rgb(sky, 0.45, 0.17, 0.25, 0.58);
  cairo_pattern_add_color_stop_rgb(sky, 0.80, 0.42, 0.22, 0.55);
  cairo_pattern_add_color_stop_rgb(sky, 1.0, 0.62, 0.30, 0.45);
  cairo_set_source(cr, sky);
  cairo_paint(cr);
  cairo_pattern_destroy(sky);

  // Soft pools of light, as the release's stock wallpapers have them.
  struct Glow {
    double x, y, r, red, green, blue, alpha;
  };
  const Glow glows[] = {
      {0.15, 0.18, 0.55, 0.30, 0.75, 0.95, 0.45}, {0.85, 0.40, 0.45, 0.95, 0.55, 0.85, 0.35},
      {0.30, 0.72, 0.50, 0.55, 0.45, 0.98, 0.30}, {0.90, 0.92, 0.40, 1.00, 0.70, 0.55, 0.35},
      {0.55, 0.48, 0.18, 1.00, 1.00, 1.00, 0.12},
  };
  for (const Glow& g : glows) {
    const double cx = g.x * width, cy = g.y * height, r = g.r * width;
    cairo_pattern_t* p = cairo_pattern_create_radial(cx, cy, 0, cx, cy, r);
    cairo_pattern_add_color_stop_rgba(p, 0, g.red, g.green, g.blue, g.alpha);
    cairo_pattern_add_color_stop_rgba(p, 1, g.red, g.green, g.blue, 0);
    cairo_set_source(cr, p);
    cairo_arc(cr, cx, cy, r, 0, 2 * 3.14159265358979);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
  }
  // A few thin light streaks give the blur something to soften.
  cairo_set_line_width(cr, width * 0.004);
  for (int i = 0; i < 6; ++i) {
    const double x0 = width * (-0.2 + 0.25 * i);
    cairo_set_source_rgba(cr, 1, 1, 1, 0.06 + 0.02 * (i % 3));
    cairo_move_to(cr, x0, height);
    cairo_curve_to(cr, x0 + width * 0.3, height * 0.6, x0 + width * 0.2, height * 0.3, x0 + width * 0.7, 0);
    cairo_stroke(cr);
  }
  cairo_restore(cr);
}

cairo_surface_t* makeWallpaper(const std::string& devicePath, int pixelWidth, int pixelHeight) {
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, pixelWidth, pixelHeight);
  cairo_t* cr = cairo_create(surface);
  Ref<UIImage> image = devicePath.empty() ? nullptr : UIImage::imageWithContentsOfFile(devicePath);
  if (image && image->surface() && image->pixelWidth() > 0 && image->pixelHeight() > 0) {
    // Fill the screen, keeping the picture's proportions, centred.
    const double sx = double(pixelWidth) / image->pixelWidth(), sy = double(pixelHeight) / image->pixelHeight();
    const double s = std::max(sx, sy);
    cairo_translate(cr, (pixelWidth - image->pixelWidth() * s) / 2, (pixelHeight - image->pixelHeight() * s) / 2);
    cairo_scale(cr, s, s);
    cairo_set_source_surface(cr, image->surface(), 0, 0);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
    cairo_paint(cr);
  } else {
    if (!devicePath.empty())
      NSLog("%@ wallpaper %@ is not a readable image, using the default", "SpringBoard:", devicePath);
    drawDefaultWallpaper(cr, pixelWidth, pixelHeight);
  }
  cairo_destroy(cr);
  cairo_surface_flush(surface);
  return surface;
}

namespace {

// One box pass along a line of n pixels of 4 bytes, srcStep bytes apart in
// src, into a packed line dst; the line's ends repeat outwards.
void boxLine(const uint8_t* src, ptrdiff_t srcStep, uint8_t* dst, int n, int r) {
  const int window = 2 * r + 1;
  for (int c = 0; c < 4; ++c) {
    auto at = [&](int i) -> int { return src[std::clamp(i, 0, n - 1) * srcStep + c]; };
    int sum = 0;
    for (int i = -r; i <= r; ++i) sum += at(i);
    for (int i = 0; i < n; ++i) {
      dst[i * 4 + c] = static_cast<uint8_t>((sum + window / 2) / window);
      sum += at(i + r + 1) - at(i - r);
    }
  }
}

}  // namespace

void boxBlur(cairo_surface_t* surface, int radius) {
  if (radius < 1 || cairo_surface_get_type(surface) != CAIRO_SURFACE_TYPE_IMAGE) return;
  cairo_surface_flush(surface);
  const int w = cairo_image_surface_get_width(surface), h = cairo_image_surface_get_height(surface);
  const int stride = cairo_image_surface_get_stride(surface);
  uint8_t* data = cairo_image_surface_get_data(surface);
  if (!data || w == 0 || h == 0) return;
  // Three passes of a box of side 2r+1 each way; r chosen so the passes
  // together spread about as far as the radius asked for.
  const int r = std::max(1, radius / 2);
  std::vector<uint8_t> line(static_cast<size_t>(std::max(w, h)) * 4);
  for (int pass = 0; pass < 3; ++pass) {
    for (int y = 0; y < h; ++y) {
      uint8_t* row = data + static_cast<ptrdiff_t>(y) * stride;
      boxLine(row, 4, line.data(), w, r);
      std::copy_n(line.data(), static_cast<size_t>(w) * 4, row);
    }
    for (int x = 0; x < w; ++x) {
      uint8_t* col = data + static_cast<ptrdiff_t>(x) * 4;
      boxLine(col, stride, line.data(), h, r);
      for (int y = 0; y < h; ++y)
        std::copy_n(line.data() + static_cast<ptrdiff_t>(y) * 4, 4, col + static_cast<ptrdiff_t>(y) * stride);
    }
  }
  cairo_surface_mark_dirty(surface);
}

}  // namespace sbhost
