// The lock-screen picture: what can be checked without a golden image.

#include "HostFixture.h"
#include "LockScreenRenderer.h"

#include <cairo.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

using hosttest::FixtureRoot;
using hosttest::rowsWhere;
using hosttest::runHost;
using nlohmann::json;

namespace {

using Surface = std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)>;

Surface readPNG(const std::filesystem::path& p) {
  return Surface(cairo_image_surface_create_from_png(p.c_str()), &cairo_surface_destroy);
}

struct Pixel {
  int r, g, b;
};

Pixel pixelAt(cairo_surface_t* s, int x, int y) {
  cairo_surface_flush(s);
  const uint8_t* p = cairo_image_surface_get_data(s) + y * cairo_image_surface_get_stride(s) + x * 4;
  const uint32_t v = *reinterpret_cast<const uint32_t*>(p);  // native-endian ARGB, opaque here
  return {static_cast<int>((v >> 16) & 0xFF), static_cast<int>((v >> 8) & 0xFF), static_cast<int>(v & 0xFF)};
}

/// How much a column of pixels changes from one pixel to the next.
long verticalVariation(cairo_surface_t* s, int x, int y0, int y1) {
  long sum = 0;
  for (int y = y0; y < y1; ++y) {
    Pixel a = pixelAt(s, x, y), b = pixelAt(s, x, y + 1);
    sum += std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b);
  }
  return sum;
}

/// A wallpaper of sharp black and white bands, 6 pixels each, at the
/// screen's pixel size: a blur cannot hide in it.
void writeStripedWallpaper(FixtureRoot& root, const std::string& devicePath) {
  Surface s(cairo_image_surface_create(CAIRO_FORMAT_RGB24, 640, 1136), &cairo_surface_destroy);
  cairo_t* cr = cairo_create(s.get());
  for (int y = 0; y < 1136; y += 6) {
    const double v = (y / 6) % 2 ? 1.0 : 0.0;
    cairo_set_source_rgb(cr, v, v, v);
    cairo_rectangle(cr, 0, y, 640, 6);
    cairo_fill(cr);
  }
  cairo_destroy(cr);
  const auto host = root.path() / std::filesystem::path(devicePath).relative_path();
  std::filesystem::create_directories(host.parent_path());
  ASSERT_EQ(cairo_surface_write_to_png(s.get(), host.c_str()), CAIRO_STATUS_SUCCESS);
}

json renderTo(const FixtureRoot& root, const std::filesystem::path& png, std::vector<std::string> more = {}) {
  std::vector<std::string> args{"--root", root.path().string(), "--json", "--png", png.string()};
  args.insert(args.end(), more.begin(), more.end());
  auto r = runHost(args);
  EXPECT_EQ(r.exitCode, 0) << r.err;
  return r.exitCode == 0 ? r.json() : json::object();
}

}  // namespace

TEST(HostPicture, ScreenSizedWithTheListColourAtEachOwnDotsCentre) {
  FixtureRoot root;
  hosttest::standardDevice(root);
  const auto png = root.path() / "lock.png";
  json state = renderTo(root, png);
  Surface picture = readPNG(png);
  ASSERT_EQ(cairo_surface_status(picture.get()), CAIRO_STATUS_SUCCESS);
  EXPECT_EQ(cairo_image_surface_get_width(picture.get()), 640);
  EXPECT_EQ(cairo_image_surface_get_height(picture.get()), 1136);

  // The lists' colours: "home" #FF9500, "work" #007AFF.
  auto own = rowsWhere(state, true);
  ASSERT_EQ(own.size(), 3u);
  for (const auto& row : own) {
    const std::string title = row.at("title");
    SCOPED_TRACE(title);
    const Pixel expected = title == "!! Send the report" ? Pixel{0x00, 0x7A, 0xFF} : Pixel{0xFF, 0x95, 0x00};
    const json& frame = row.at("icon").at("frame");
    const int x = static_cast<int>((frame.at("x").get<double>() + frame.at("width").get<double>() / 2) * 2);
    const int y = static_cast<int>((frame.at("y").get<double>() + frame.at("height").get<double>() / 2) * 2);
    Pixel p = pixelAt(picture.get(), x, y);
    EXPECT_NEAR(p.r, expected.r, 6);
    EXPECT_NEAR(p.g, expected.g, 6);
    EXPECT_NEAR(p.b, expected.b, 6);
  }
}

TEST(HostPicture, TheWallpaperIsBlurredWhereTheUnderlayShowsAndOnlyThere) {
  FixtureRoot blurred, plain;
  const std::string wallpaper = "<key>Wallpaper</key><string>/var/mobile/Media/bands.png</string>";
  hosttest::standardDevice(blurred, "<key>wallpaperBlurMode</key><integer>0</integer>", true, wallpaper);
  hosttest::standardDevice(plain, "<key>wallpaperBlurMode</key><integer>2</integer>", true, wallpaper);
  writeStripedWallpaper(blurred, "/var/mobile/Media/bands.png");
  writeStripedWallpaper(plain, "/var/mobile/Media/bands.png");

  json a = renderTo(blurred, blurred.path() / "a.png");
  json b = renderTo(plain, plain.path() / "b.png");
  ASSERT_TRUE(a.at("underlay").at("shown").get<bool>());
  ASSERT_FALSE(b.at("underlay").at("shown").get<bool>());
  Surface pa = readPNG(blurred.path() / "a.png"), pb = readPNG(plain.path() / "b.png");

  // Left of the row icons nothing is drawn over the wallpaper: the bands
  // stay sharp without the underlay and melt under it.
  const json& frame = a.at("underlay").at("frame");
  const int top = static_cast<int>((frame.at("y").get<double>() + 20) * 2);
  const int bottom = static_cast<int>((frame.at("y").get<double>() + frame.at("height").get<double>() - 20) * 2);
  const long sharp = verticalVariation(pb.get(), 8, top, bottom);
  const long soft = verticalVariation(pa.get(), 8, top, bottom);
  EXPECT_GT(sharp, 20 * soft) << "sharp " << sharp << ", blurred " << soft;
  // Above the list both pictures show the same wallpaper.
  for (int y = 200; y < 280; ++y) {
    Pixel p = pixelAt(pa.get(), 8, y), q = pixelAt(pb.get(), 8, y);
    ASSERT_EQ(p.r, q.r) << "row " << y;
  }
}

TEST(HostPicture, TheProfilesScreenSetsThePictureSize) {
  FixtureRoot root;
  hosttest::standardDevice(root, "", true,
                           "<key>ScreenWidth</key><real>375</real><key>ScreenHeight</key><real>667</real>"
                           "<key>ScreenScale</key><real>1</real>");
  const auto png = root.path() / "small.png";
  renderTo(root, png);
  Surface picture = readPNG(png);
  EXPECT_EQ(cairo_image_surface_get_width(picture.get()), 375);
  EXPECT_EQ(cairo_image_surface_get_height(picture.get()), 667);
}

TEST(HostPicture, PNGFilesKeepTranslucentPixels) {
  // Straight colour in the file, premultiplied in memory: a round trip
  // through the file gives the pixels back, translucent ones included.
  Surface s(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 7, 3), &cairo_surface_destroy);
  cairo_t* cr = cairo_create(s.get());
  const double colours[][4] = {
      {1, 0.58, 0, 1}, {0.2, 0.6, 1, 0.5}, {1, 1, 1, 0.1}, {0, 0, 0, 0}, {0.9, 0.1, 0.4, 0.75}};
  for (int i = 0; i < 5; ++i) {
    cairo_set_source_rgba(cr, colours[i][0], colours[i][1], colours[i][2], colours[i][3]);
    cairo_rectangle(cr, i, 0, 1, 3);
    cairo_fill(cr);
  }
  cairo_destroy(cr);
  const auto file = std::filesystem::temp_directory_path() / ("qp-png-" + std::to_string(::getpid()) + ".png");
  std::string error;
  ASSERT_TRUE(sbhost::writePNGAtomically(s.get(), file.string(), error)) << error;
  Surface back = readPNG(file);
  std::filesystem::remove(file);
  ASSERT_EQ(cairo_surface_status(back.get()), CAIRO_STATUS_SUCCESS);
  ASSERT_EQ(cairo_image_surface_get_width(back.get()), 7);
  ASSERT_EQ(cairo_image_surface_get_height(back.get()), 3);
  cairo_surface_flush(s.get());
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 7; ++x) {
      auto raw = [](cairo_surface_t* t, int px, int py) {
        return *reinterpret_cast<const uint32_t*>(cairo_image_surface_get_data(t) +
                                                  py * cairo_image_surface_get_stride(t) + px * 4);
      };
      const uint32_t a = raw(s.get(), x, y), b = raw(back.get(), x, y);
      for (int shift = 0; shift < 32; shift += 8)
        EXPECT_LE(std::abs(static_cast<int>((a >> shift) & 0xff) - static_cast<int>((b >> shift) & 0xff)), 1)
            << "pixel " << x << "," << y;
    }
}
