// Picture memory: a surface in a mapped block must behave as one cairo
// made itself (transparent black, drawable, any size), and a mapped block
// must be as long as asked for and let go of cleanly.

#include "PixelMemory.h"
#include "SurfacePixel.h"

#include <cairo.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

namespace {

TEST(PixelMemory, PictureSurfacesOfEverySizeStartClearAndDraw) {
  // Below, at and above the size that is mapped rather than taken from the heap.
  for (auto [w, h] : {std::pair{3, 2}, std::pair{512, 512}, std::pair{640, 1136}, std::pair{300, 2000}}) {
    cairo_surface_t* s = sbhost::createPictureSurface(w, h);
    ASSERT_EQ(cairo_surface_status(s), CAIRO_STATUS_SUCCESS) << w << "x" << h;
    EXPECT_EQ(cairo_image_surface_get_width(s), w);
    EXPECT_EQ(cairo_image_surface_get_height(s), h);
    EXPECT_EQ(cairo_image_surface_get_format(s), CAIRO_FORMAT_ARGB32);
    EXPECT_EQ(surfacePixel(s, w - 1, h - 1), 0u);
    EXPECT_EQ(surfacePixel(s, 0, 0), 0u);
    cairo_t* cr = cairo_create(s);
    cairo_set_source_rgb(cr, 1, 0, 0);
    cairo_rectangle(cr, 0, h - 1, w, 1);
    cairo_fill(cr);
    cairo_destroy(cr);
    EXPECT_EQ(surfacePixel(s, w - 1, h - 1), 0xFFFF0000u);
    EXPECT_EQ(surfacePixel(s, 0, 0), 0u);
    cairo_surface_destroy(s);
  }
  // Sizes cairo refuses give its error surface, not a crash or a mapping.
  for (auto [w, h] : {std::pair{-1, 10}, std::pair{1, 300000}, std::pair{40000, 40000}}) {
    cairo_surface_t* s = sbhost::createPictureSurface(w, h);
    EXPECT_NE(cairo_surface_status(s), CAIRO_STATUS_SUCCESS) << w << "x" << h;
    cairo_surface_destroy(s);
  }
}

TEST(PixelMemory, BlocksHoldWhatWasAskedForUpToTheirLastByte) {
  for (size_t bytes : {size_t{1}, size_t{4096}, size_t{1} << 20, (size_t{5} << 20) + 3}) {
    sbhost::PixelBlock block = sbhost::allocatePixels(bytes);
    ASSERT_TRUE(block) << bytes;
    std::memset(block.get(), 0xAB, bytes);
    EXPECT_EQ(block[bytes - 1], 0xAB);
  }
  EXPECT_FALSE(sbhost::allocatePixels(SIZE_MAX - 4096));
}

}  // namespace
