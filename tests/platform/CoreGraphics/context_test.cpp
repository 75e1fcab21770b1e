#include <CoreGraphics/CGContext.h>

#include <cairo.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

/// ARGB of a pixel as Cairo stores it (premultiplied).
uint32_t pixel(const CGContext& ctx, int x, int y) {
  cairo_surface_flush(ctx.surface());
  const unsigned char* data = cairo_image_surface_get_data(ctx.surface());
  int stride = cairo_image_surface_get_stride(ctx.surface());
  return *reinterpret_cast<const uint32_t*>(data + y * stride + x * 4);
}

/// Edge pixels of a curve are antialiased: compare each channel within a tolerance.
::testing::AssertionResult near(uint32_t actual, uint32_t expected) {
  for (int shift = 0; shift < 32; shift += 8) {
    int a = (actual >> shift) & 0xff, e = (expected >> shift) & 0xff;
    if (std::abs(a - e) > 12)
      return ::testing::AssertionFailure() << std::hex << "pixel 0x" << actual << " is not near 0x" << expected;
  }
  return ::testing::AssertionSuccess();
}

}  // namespace

TEST(CGContext, BitmapsAreSizedInPixelsAndStartTransparent) {
  auto ctx = CGContext::createBitmap({80, 40}, false, 2);
  ASSERT_NE(ctx, nullptr);
  EXPECT_EQ(cairo_image_surface_get_width(ctx->surface()), 160);
  EXPECT_EQ(cairo_image_surface_get_height(ctx->surface()), 80);
  EXPECT_EQ(pixel(*ctx, 0, 0), 0u);
  EXPECT_EQ(CGContext::createBitmap({0, 10}, false, 1), nullptr);
  EXPECT_EQ(CGContext::createBitmap({-5, 10}, false, 1), nullptr);
  EXPECT_EQ(CGContext::createBitmap({1e9, 10}, false, 1), nullptr);
}

TEST(CGContext, OutlineThenFillLeavesAOnePointRing) {
  auto ctx = CGContext::createBitmap({80, 80}, false, 1);
  ASSERT_NE(ctx, nullptr);
  CGContextSetLineWidth(ctx.get(), 2);
  CGContextSetStrokeColorWithColor(ctx.get(), CGColor::createRGBA(0, 0, 0, 1).get());
  CGContextSetFillColorWithColor(ctx.get(), CGColor::createRGBA(0, 0, 1, 1).get());
  CGRect square = CGRectMake(25, 25, 30, 30);
  CGContextStrokeEllipseInRect(ctx.get(), square);
  CGContextFillEllipseInRect(ctx.get(), square);

  EXPECT_EQ(pixel(*ctx, 40, 40), 0xff0000ffu);          // fill at the centre
  EXPECT_TRUE(near(pixel(*ctx, 40, 25), 0xff0000ffu));  // the fill covers the inner half of the line
  EXPECT_TRUE(near(pixel(*ctx, 40, 24), 0xff000000u));  // the outer half stays black
  EXPECT_TRUE(near(pixel(*ctx, 24, 40), 0xff000000u));
  EXPECT_EQ(pixel(*ctx, 40, 22), 0u);  // nothing outside the ring
  EXPECT_EQ(pixel(*ctx, 0, 0), 0u);
  EXPECT_EQ(pixel(*ctx, 79, 79), 0u);
}

/// The dot as Cairo's general path draws it: the ring between two circles,
/// then the disc, each with its colour painted over.
cairo_surface_t* referenceDot(int size, double scale, CGRect square, double line, const double (&ring)[4],
                              const double (&disc)[4]) {
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, size, size);
  cairo_t* cr = cairo_create(s);
  cairo_scale(cr, scale, scale);
  const double r = square.size.width / 2, cx = square.origin.x + r, cy = square.origin.y + r;
  cairo_arc(cr, cx, cy, r + line / 2, 0, 2 * M_PI);
  cairo_close_path(cr);
  cairo_new_sub_path(cr);
  cairo_arc_negative(cr, cx, cy, r - line / 2, 2 * M_PI, 0);
  cairo_close_path(cr);
  cairo_set_source_rgba(cr, ring[0], ring[1], ring[2], ring[3]);
  cairo_fill(cr);
  cairo_arc(cr, cx, cy, r, 0, 2 * M_PI);
  cairo_set_source_rgba(cr, disc[0], disc[1], disc[2], disc[3]);
  cairo_fill(cr);
  cairo_destroy(cr);
  cairo_surface_flush(s);
  return s;
}

TEST(CGContext, CirclesMatchCairosGeneralPathForOpaqueAndTranslucentColours) {
  struct Case {
    double scale;
    CGRect square;
    double ring[4], disc[4];
  };
  const Case cases[] = {
      {1, CGRectMake(25, 25, 30, 30), {0, 0, 0, 1}, {1, 0.584, 0, 1}},
      {2, CGRectMake(25, 25, 30, 30), {0, 0, 0, 1}, {0.2, 0.6, 1, 0.5}},          // a translucent list colour
      {2, CGRectMake(10.3, 7.7, 21, 21), {0.1, 0.2, 0.9, 0.4}, {1, 1, 1, 0.25}},  // off the pixel grid
      {3, CGRectMake(1, 1, 4, 4), {0, 0, 0, 1}, {1, 0, 0, 0.8}},                  // a tiny dot
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "scale " << c.scale << " disc alpha " << c.disc[3]);
    auto ctx = CGContext::createBitmap({60, 60}, false, c.scale);
    ASSERT_NE(ctx, nullptr);
    CGContextSetLineWidth(ctx.get(), 2);
    CGContextSetStrokeColorWithColor(ctx.get(), CGColor::createRGBA(c.ring[0], c.ring[1], c.ring[2], c.ring[3]).get());
    CGContextSetFillColorWithColor(ctx.get(), CGColor::createRGBA(c.disc[0], c.disc[1], c.disc[2], c.disc[3]).get());
    CGContextStrokeEllipseInRect(ctx.get(), c.square);
    CGContextFillEllipseInRect(ctx.get(), c.square);
    const int size = static_cast<int>(60 * c.scale);
    cairo_surface_t* ref = referenceDot(size, c.scale, c.square, 2, c.ring, c.disc);
    const unsigned char* want = cairo_image_surface_get_data(ref);
    const int stride = cairo_image_surface_get_stride(ref);
    long total = 0;
    int worst = 0;
    for (int y = 0; y < size; ++y)
      for (int x = 0; x < size; ++x) {
        const uint32_t got = pixel(*ctx, x, y),
                       expected = *reinterpret_cast<const uint32_t*>(want + y * stride + x * 4);
        for (int shift = 0; shift < 32; shift += 8) {
          const int d =
              std::abs(static_cast<int>((got >> shift) & 0xff) - static_cast<int>((expected >> shift) & 0xff));
          worst = std::max(worst, d);
          total += d;
        }
      }
    // Only the antialiased edge pixels may differ, and only a little.
    EXPECT_LE(worst, 40);
    EXPECT_LT(static_cast<double>(total) / (size * size), 1.0);
    const int mid = static_cast<int>((c.square.origin.x + c.square.size.width / 2) * c.scale);
    EXPECT_TRUE(near(pixel(*ctx, mid, mid), *reinterpret_cast<const uint32_t*>(want + mid * stride + mid * 4)));
    cairo_surface_destroy(ref);
  }
}

TEST(CGContext, FillRectAndANullContextDrawNothingElsewhere) {
  auto ctx = CGContext::createBitmap({10, 10}, true, 1);
  ASSERT_NE(ctx, nullptr);
  CGContextSetFillColorWithColor(ctx.get(), CGColor::createRGBA(1, 0, 0, 1).get());
  CGContextFillRect(ctx.get(), CGRectMake(0, 0, 5, 10));
  EXPECT_EQ(pixel(*ctx, 2, 2) & 0xffffff, 0xff0000u);
  EXPECT_EQ(pixel(*ctx, 7, 2) & 0xffffff, 0u);  // an opaque bitmap starts black
  // Calls on no context are ignored, as Core Graphics ignores an invalid context.
  CGContextSetLineWidth(nullptr, 3);
  CGContextFillRect(nullptr, CGRectMake(0, 0, 1, 1));
  CGContextStrokeEllipseInRect(nullptr, CGRectMake(0, 0, 1, 1));
}

TEST(CGColor, ComponentsAndEquality) {
  auto a = CGColor::createRGBA(1, 0.5, 0, 1);
  auto b = CGColor::createRGBA(1, 0.5, 0, 1);
  EXPECT_TRUE(a->isEqualTo(*b));
  EXPECT_FALSE(a->isEqualTo(*CGColor::createRGBA(1, 0.5, 0, 0.5)));
  EXPECT_EQ(a->green(), 0.5);
  EXPECT_EQ(a->descriptionString(), "<CGColor [kCGColorSpaceDeviceRGB] ( 1 0.5 0 1 )>");
  EXPECT_EQ(objc_getClass("CGColor"), CGColor::classObject());
}
