#include <CoreGraphics/CGContext.h>

#include <cairo.h>

#include <gtest/gtest.h>

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
