// The underlay's blur and its change of size: properties a person would
// see go wrong (a tinted or darkened edge, a shifted picture, light lost or
// gained), not the arithmetic.

#include "SurfacePixel.h"
#include "Wallpaper.h"

#include <cairo.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

using Surface = std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)>;

Surface argb(int w, int h) { return {cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h), &cairo_surface_destroy}; }

int channel(uint32_t v, int c) { return static_cast<int>((v >> (8 * c)) & 0xFF); }

Surface flat(int w, int h, double r, double g, double b) {
  Surface s = argb(w, h);
  cairo_t* cr = cairo_create(s.get());
  cairo_set_source_rgb(cr, r, g, b);
  cairo_paint(cr);
  cairo_destroy(cr);
  return s;
}

}  // namespace

TEST(WallpaperBlur, AFlatColourStaysThatColourToEveryEdge) {
  // Odd sizes, so blocks and boxes are cut by the edges.
  Surface wall = flat(101, 67, 0.2, 0.6, 0.9);
  const uint32_t colour = surfacePixel(wall.get(), 0, 0);

  Surface blurred = flat(101, 67, 0.2, 0.6, 0.9);
  sbhost::boxBlur(blurred.get(), 24);  // a box wider than the picture is tall
  // The underlay's own way: a part shrunk, blurred, grown back.
  Surface small(sbhost::shrinkPart(wall.get(), 3, 5, 95, 61, 2), &cairo_surface_destroy);
  sbhost::boxBlur(small.get(), 12);
  Surface grown(sbhost::growPart(small.get(), 2, 95, 61), &cairo_surface_destroy);

  for (cairo_surface_t* s : {blurred.get(), grown.get()}) {
    const int w = cairo_image_surface_get_width(s), h = cairo_image_surface_get_height(s);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) ASSERT_EQ(surfacePixel(s, x, y), colour) << w << "x" << h << " at " << x << "," << y;
  }
}

TEST(WallpaperBlur, OneBrightPointSpreadsEvenlyWithoutLosingLight) {
  Surface s = argb(61, 61);
  cairo_surface_flush(s.get());
  uint8_t* data = cairo_image_surface_get_data(s.get());
  const int stride = cairo_image_surface_get_stride(s.get());
  for (int y = 0; y < 61; ++y)
    for (int x = 0; x < 61; ++x) {
      const uint32_t v = x == 30 && y == 30 ? 0xFFFFFFFFU : 0xFF000000U;  // white on opaque black
      std::memcpy(data + static_cast<ptrdiff_t>(y) * stride + static_cast<ptrdiff_t>(x) * 4, &v, 4);
    }
  cairo_surface_mark_dirty(s.get());
  sbhost::boxBlur(s.get(), 4);

  long light = 0;
  for (int y = 0; y < 61; ++y)
    for (int x = 0; x < 61; ++x) {
      const uint32_t v = surfacePixel(s.get(), x, y);
      ASSERT_EQ(channel(v, 3), 255) << "opaque stays opaque at " << x << "," << y;
      // Centred: the same at the mirrored places, and across the diagonal
      // but for rounding (the passes take turns).
      ASSERT_EQ(v, surfacePixel(s.get(), 60 - x, y)) << x << "," << y;
      ASSERT_EQ(v, surfacePixel(s.get(), x, 60 - y)) << x << "," << y;
      ASSERT_LE(std::abs(channel(v, 0) - channel(surfacePixel(s.get(), y, x), 0)), 1) << x << "," << y;
      light += channel(v, 0);
    }
  // The point's light is spread, not lost or gained (rounding aside), and
  // the brightest place is still where the point was.
  EXPECT_NEAR(light, 255, 40);
  for (int x = 0; x < 30; ++x)
    EXPECT_LE(channel(surfacePixel(s.get(), x, 30), 0), channel(surfacePixel(s.get(), x + 1, 30), 0));
}

TEST(WallpaperBlur, ShrinkingAndGrowingBackKeepsAGradientInPlace) {
  // A slow ramp each way: a half-pixel slip in either step shows as a
  // steady offset, an edge handled wrongly as a jump.
  Surface ramp = argb(160, 90);
  cairo_t* cr = cairo_create(ramp.get());
  cairo_pattern_t* p = cairo_pattern_create_linear(0, 0, 160, 90);
  cairo_pattern_add_color_stop_rgb(p, 0, 0.1, 0.9, 0.2);
  cairo_pattern_add_color_stop_rgb(p, 1, 0.9, 0.1, 0.7);
  cairo_set_source(cr, p);
  cairo_paint(cr);
  cairo_pattern_destroy(p);
  cairo_destroy(cr);

  for (int factor : {2, 4}) {
    SCOPED_TRACE(factor);
    Surface small(sbhost::shrinkPart(ramp.get(), 0, 0, 160, 90, factor), &cairo_surface_destroy);
    ASSERT_EQ(cairo_image_surface_get_width(small.get()), (160 + factor - 1) / factor);
    ASSERT_EQ(cairo_image_surface_get_height(small.get()), (90 + factor - 1) / factor);
    Surface back(sbhost::growPart(small.get(), factor, 160, 90), &cairo_surface_destroy);
    // The outermost pixels can only repeat the edge; inside, within a step
    // or two of the ramp's own.
    for (int y = factor; y < 90 - factor; ++y)
      for (int x = factor; x < 160 - factor; ++x)
        for (int c = 0; c < 4; ++c)
          ASSERT_LE(std::abs(channel(surfacePixel(back.get(), x, y), c) - channel(surfacePixel(ramp.get(), x, y), c)),
                    2)
              << "at " << x << "," << y << " channel " << c;
  }
}
