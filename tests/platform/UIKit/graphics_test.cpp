#include "TempRoot.h"

#include <UIKit/UIColor.h>
#include <UIKit/UIFont.h>
#include <UIKit/UIGraphics.h>
#include <UIKit/UIStringDrawing.h>

#include <cairo.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

namespace {

/// A coloured dot the way the lock screen's icons are drawn: outline, then fill.
Ref<UIImage> drawDot(const UIColor* color, double d) {
  UIGraphicsBeginImageContextWithOptions(CGSizeMake(80, 80), false, 1.0);
  CGContextRef ctx = UIGraphicsGetCurrentContext();
  CGContextSetLineWidth(ctx, 2.0);
  CGContextSetStrokeColorWithColor(ctx, UIColor::blackColor()->CGColor().get());
  CGContextSetFillColorWithColor(ctx, color->CGColor().get());
  double o = (80 - d) * 0.5;
  CGContextStrokeEllipseInRect(ctx, CGRectMake(o, o, d, d));
  CGContextFillEllipseInRect(ctx, CGRectMake(o, o, d, d));
  auto image = UIGraphicsGetImageFromCurrentImageContext();
  UIGraphicsEndImageContext();
  return image;
}

::testing::AssertionResult near(uint32_t actual, uint32_t expected) {
  for (int shift = 0; shift < 32; shift += 8) {
    int a = (actual >> shift) & 0xff, e = (expected >> shift) & 0xff;
    if (std::abs(a - e) > 12)
      return ::testing::AssertionFailure() << std::hex << "pixel 0x" << actual << " is not near 0x" << expected;
  }
  return ::testing::AssertionSuccess();
}

class UIImageFiles : public ::testing::Test {
 protected:
  void SetUp() override { std::filesystem::create_directories(root_ / "images"); }
  TempRoot root_{"uikit_test"};
};

}  // namespace

TEST(UIGraphics, DotPixelsFillRingAndTransparentOutside) {
  auto image = drawDot(UIColor::redColor().get(), 30);
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->size(), CGSizeMake(80, 80));
  EXPECT_EQ(image->scale(), 1);
  EXPECT_EQ(image->pixelWidth(), 80);
  EXPECT_EQ(image->pixelRGBA(40, 40), 0xff0000ffu);          // fill colour at the centre
  EXPECT_TRUE(near(image->pixelRGBA(40, 25), 0xff0000ffu));  // inside the square's top edge
  EXPECT_TRUE(near(image->pixelRGBA(40, 24), 0x000000ffu));  // the black ring outside the disc
  EXPECT_TRUE(near(image->pixelRGBA(55, 40), 0x000000ffu));
  EXPECT_EQ(image->pixelRGBA(40, 22), 0u);  // transparent beyond the ring
  EXPECT_EQ(image->pixelRGBA(26, 26), 0u);  // corner of the bounding square
  EXPECT_EQ(image->pixelRGBA(0, 0), 0u);

  auto large = drawDot(UIColor::greenColor().get(), 50);
  EXPECT_TRUE(near(large->pixelRGBA(40, 14), 0x000000ffu));  // the ring of the 15/50 square
  EXPECT_EQ(large->pixelRGBA(40, 16), 0x00ff00ffu);
  EXPECT_EQ(large->pixelRGBA(40, 12), 0u);
}

TEST(UIGraphics, EndingACanvasRestoresTheCallersContext) {
  EXPECT_EQ(UIGraphicsGetCurrentContext(), nullptr);
  UIGraphicsBeginImageContextWithOptions(CGSizeMake(10, 10), false, 1);
  CGContextRef outer = UIGraphicsGetCurrentContext();
  ASSERT_NE(outer, nullptr);
  CGContextSetLineWidth(outer, 7);
  (void)drawDot(UIColor::blueColor().get(), 30);  // draws on a canvas of its own
  EXPECT_EQ(UIGraphicsGetCurrentContext(), outer);
  EXPECT_EQ(outer->lineWidth(), 7);
  UIGraphicsEndImageContext();
  EXPECT_EQ(UIGraphicsGetCurrentContext(), nullptr);
  UIGraphicsEndImageContext();  // one end too many is logged and ignored
  EXPECT_EQ(UIGraphicsGetImageFromCurrentImageContext(), nullptr);
}

TEST(UIGraphics, AnUnusableCanvasStillPairsWithItsEnd) {
  UIGraphicsBeginImageContextWithOptions(CGSizeMake(10, 10), false, 1);
  CGContextRef outer = UIGraphicsGetCurrentContext();
  UIGraphicsBeginImageContextWithOptions(CGSizeMake(0, 0), false, 1);
  EXPECT_EQ(UIGraphicsGetCurrentContext(), nullptr);
  EXPECT_EQ(UIGraphicsGetImageFromCurrentImageContext(), nullptr);
  UIGraphicsEndImageContext();
  EXPECT_EQ(UIGraphicsGetCurrentContext(), outer);
  UIGraphicsEndImageContext();
}

TEST(UIGraphics, EachThreadHasItsOwnContexts) {
  UIGraphicsBeginImageContextWithOptions(CGSizeMake(10, 10), false, 1);
  CGContextRef mine = UIGraphicsGetCurrentContext();
  CGContextRef seenElsewhere = mine;
  std::thread([&] { seenElsewhere = UIGraphicsGetCurrentContext(); }).join();
  EXPECT_EQ(seenElsewhere, nullptr);
  EXPECT_EQ(UIGraphicsGetCurrentContext(), mine);
  UIGraphicsEndImageContext();
}

TEST(UIGraphics, ImagesAreSnapshotsAtTheCanvasScale) {
  UIGraphicsBeginImageContextWithOptions(CGSizeMake(4, 4), false, 2);
  CGContextRef ctx = UIGraphicsGetCurrentContext();
  auto before = UIGraphicsGetImageFromCurrentImageContext();
  CGContextSetFillColorWithColor(ctx, UIColor::whiteColor()->CGColor().get());
  CGContextFillRect(ctx, CGRectMake(0, 0, 4, 4));
  auto after = UIGraphicsGetImageFromCurrentImageContext();
  // Images share the canvas's pixels until it is drawn into again, by any
  // path: circles are painted straight into the pixels.
  CGContextSetFillColorWithColor(ctx, UIColor::blackColor()->CGColor().get());
  CGContextFillEllipseInRect(ctx, CGRectMake(0, 0, 4, 4));
  auto disc = UIGraphicsGetImageFromCurrentImageContext();
  cairo_set_source_rgb(ctx->cairo(), 1, 0, 0);
  cairo_paint(ctx->cairo());
  UIGraphicsEndImageContext();
  EXPECT_EQ(before->pixelRGBA(3, 3), 0u);
  EXPECT_EQ(after->pixelRGBA(7, 7), 0xffffffffu);
  EXPECT_EQ(after->pixelRGBA(4, 4), 0xffffffffu);
  EXPECT_EQ(disc->pixelRGBA(4, 4), 0x000000ffu);
  EXPECT_EQ(after->size(), CGSizeMake(4, 4));
  EXPECT_EQ(after->pixelWidth(), 8);
}

TEST_F(UIImageFiles, ImagesReadFromDevicePathsWithTheirScale) {
  auto dot = drawDot(UIColor::redColor().get(), 30);
  ASSERT_TRUE(dot->writePNG((root_ / "images/icon@2x.png").string()));
  auto image = UIImage::imageWithContentsOfFile("/images/icon@2x.png");
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->scale(), 2);
  EXPECT_EQ(image->size(), CGSizeMake(40, 40));
  EXPECT_EQ(image->pixelRGBA(40, 40), 0xff0000ffu);
}

TEST_F(UIImageFiles, UnreadableImagesAreNilAndLogged) {
  LogCapture sink;
  std::ofstream(root_ / "images/broken.png") << "\x89PNG\r\n\x1a\nnot really";
  EXPECT_EQ(UIImage::imageWithContentsOfFile("/images/broken.png"), nullptr);
  EXPECT_EQ(UIImage::imageWithContentsOfFile("/images/missing.png"), nullptr);
  EXPECT_EQ(UIImage::imageWithContentsOfFile("/images"), nullptr);
  EXPECT_EQ(UIImage::imageWithContentsOfFile(""), nullptr);
  EXPECT_TRUE(sink->contains("/images/broken.png"));
  EXPECT_TRUE(sink->contains("/images/missing.png"));
}

/// A PNG signature and header chunk claiming width x height; the pixel data
/// that would follow is never looked at.
std::string pngHeader(uint32_t width, uint32_t height) {
  std::string out("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR", 16);
  for (uint32_t v : {width, height})
    for (int shift = 24; shift >= 0; shift -= 8) out += char((v >> shift) & 0xFF);
  return out + std::string("\x08\x06\0\0\0", 5) + std::string(4, '\0') + std::string(400000, 'x');
}

TEST_F(UIImageFiles, PixelBombsAreRefusedFromTheirHeader) {
  auto sink = std::make_shared<foundation::CapturingSink>();
  foundation::setLogSinks({sink});
  std::ofstream(root_ / "images/bomb.png", std::ios::binary) << pngHeader(20000, 20000);
  EXPECT_EQ(UIImage::imageWithContentsOfFile("/images/bomb.png"), nullptr);
  EXPECT_TRUE(sink->contains("image /images/bomb.png is too large (20000 x 20000 pixels)"));
  // The product of the sides counts, not either side alone.
  EXPECT_EQ(UIImage::imageWithPNGData(pngHeader(1, 20000000), 1, "thin"), nullptr);
  EXPECT_TRUE(sink->contains("image thin is too large"));

  auto size = UIImage::pngPixelSize(pngHeader(4096, 4096));
  ASSERT_TRUE(size);
  EXPECT_EQ(size->width * uint64_t(size->height), UIImage::kMaxPixels);
  EXPECT_FALSE(UIImage::pngPixelSize(pngHeader(1, 1).substr(0, 23)));
}

TEST(DrawString, DrawsWithTheMeasuringFaceInsideTheRect) {
  auto font = UIFont::systemFontOfSize(20);
  CGSize size = sizeWithFont("HHHH", font.get());
  UIGraphicsBeginImageContextWithOptions(CGSizeMake(100, 40), false, 1);
  CGContextRef ctx = UIGraphicsGetCurrentContext();
  drawStringInRect(ctx->cairo(), "HHHH", font.get(), UIColor::blackColor().get(), CGRectMake(10, 5, 100, size.height));
  auto image = UIGraphicsGetImageFromCurrentImageContext();
  UIGraphicsEndImageContext();
  // Ink lies between the rect's left edge and the measured width, nowhere else.
  int minX = 100, maxX = -1;
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 100; ++x)
      if ((image->pixelRGBA(x, y) & 0xff) > 0x80) {
        minX = std::min(minX, x);
        maxX = std::max(maxX, x);
      }
  EXPECT_GE(minX, 10);
  EXPECT_LE(maxX, 10 + size.width);
  EXPECT_GT(maxX - minX, size.width * 0.8);
}
