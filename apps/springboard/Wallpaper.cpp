#include "Wallpaper.h"

#include "PixelMemory.h"

#include <Foundation/NSLog.h>
#include <UIKit/UIImage.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

namespace sbhost {

namespace {

/// The default wallpaper's gradient and its pools of light: nothing but
/// slow changes of colour.
void drawWallpaperLight(cairo_t* cr, double width, double height) {
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
  cairo_restore(cr);
}

/// A few thin light streaks give the blur something to soften.
void drawWallpaperStreaks(cairo_t* cr, double width, double height) {
  cairo_save(cr);
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

/// Gradients cost Cairo most of a millisecond per hundred thousand pixels;
/// this one changes slowly enough to draw at a quarter of the size each way
/// and scale up without a visible difference.
constexpr int kLightShrink = 4;

}  // namespace

void drawDefaultWallpaper(cairo_t* cr, double width, double height) {
  drawWallpaperLight(cr, width, height);
  drawWallpaperStreaks(cr, width, height);
}

cairo_surface_t* makeWallpaper(const std::string& devicePath, int pixelWidth, int pixelHeight) {
  Ref<UIImage> image = devicePath.empty() ? nullptr : UIImage::imageWithContentsOfFile(devicePath);
  if (image && image->surface() && image->pixelWidth() > 0 && image->pixelHeight() > 0) {
    cairo_surface_t* surface = createPictureSurface(pixelWidth, pixelHeight);
    cairo_t* cr = cairo_create(surface);
    // Fill the screen, keeping the picture's proportions, centred.
    const double sx = double(pixelWidth) / image->pixelWidth(), sy = double(pixelHeight) / image->pixelHeight();
    const double s = std::max(sx, sy);
    cairo_translate(cr, (pixelWidth - image->pixelWidth() * s) / 2, (pixelHeight - image->pixelHeight() * s) / 2);
    cairo_scale(cr, s, s);
    cairo_set_source_surface(cr, image->surface(), 0, 0);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
    cairo_paint(cr);
    cairo_destroy(cr);
    cairo_surface_flush(surface);
    return surface;
  }
  if (!devicePath.empty())
    NSLog("%@ wallpaper %@ is not a readable image, using the default", "SpringBoard:", devicePath);
  const int w = (pixelWidth + kLightShrink - 1) / kLightShrink, h = (pixelHeight + kLightShrink - 1) / kLightShrink;
  cairo_surface_t* light = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, std::max(1, w), std::max(1, h));
  cairo_t* lc = cairo_create(light);
  cairo_scale(lc, 1.0 / kLightShrink, 1.0 / kLightShrink);
  drawWallpaperLight(lc, pixelWidth, pixelHeight);
  cairo_destroy(lc);
  cairo_surface_t* surface = growPart(light, kLightShrink, pixelWidth, pixelHeight);
  cairo_surface_destroy(light);
  cairo_t* cr = cairo_create(surface);
  drawWallpaperStreaks(cr, pixelWidth, pixelHeight);
  cairo_destroy(cr);
  cairo_surface_flush(surface);
  return surface;
}

namespace {

/// A sum of bytes times the inverse of their count, rounded: the sum is
/// never negative, so cutting off after adding a half rounds to nearest
/// (and stays a plain conversion the compiler can do many at a time).
inline uint8_t meanByte(uint32_t sum, float inverse) {
  return static_cast<uint8_t>(static_cast<float>(sum) * inverse + 0.5F);  // NOLINT(bugprone-incorrect-roundings)
}

/// One box pass along every row of a w x h image of 4-byte pixels, in
/// place: a running sum per channel, the row's ends repeating outwards.
/// pad holds (w + 2r) pixels.
void boxRows(uint8_t* data, ptrdiff_t stride, int w, int h, int r, float inverse, uint8_t* pad) {
  for (int y = 0; y < h; ++y) {
    uint8_t* row = data + y * stride;
    for (int i = 0; i < r; ++i) {
      std::memcpy(pad + static_cast<ptrdiff_t>(i) * 4, row, 4);
      std::memcpy(pad + static_cast<ptrdiff_t>(r + w + i) * 4, row + static_cast<ptrdiff_t>(w - 1) * 4, 4);
    }
    std::memcpy(pad + static_cast<ptrdiff_t>(r) * 4, row, static_cast<size_t>(w) * 4);
    uint32_t sum[4] = {0, 0, 0, 0};
    for (int i = 0; i < 2 * r; ++i)
      for (int c = 0; c < 4; ++c) sum[c] += pad[i * 4 + c];
    // Window of output x: pad[x .. x + 2r].
    for (int x = 0; x < w; ++x) {
      const uint8_t* in = pad + static_cast<ptrdiff_t>(x + 2 * r) * 4;
      const uint8_t* out = pad + static_cast<ptrdiff_t>(x) * 4;
      for (int c = 0; c < 4; ++c) {
        sum[c] += in[c];
        row[x * 4 + c] = meanByte(sum[c], inverse);
        sum[c] -= out[c];
      }
    }
  }
}

/// One box pass down every column, from src into dst (both w x h, their
/// own strides): running sums for a whole row at a time, so memory is read
/// in order; the top and bottom rows repeat outwards.
void boxColumns(const uint8_t* src, ptrdiff_t srcStride, uint8_t* dst, ptrdiff_t dstStride, int w, int h, int r,
                float inverse, uint32_t* sums) {
  const size_t n = static_cast<size_t>(w) * 4;
  auto rowAt = [&](int y) { return src + std::clamp(y, 0, h - 1) * srcStride; };
  std::fill_n(sums, n, 0U);
  // Rows -r-1 .. r-1: each step below adds one row and drops the oldest.
  for (int y = -r - 1; y < r; ++y) {
    const uint8_t* row = rowAt(y);
    for (size_t j = 0; j < n; ++j) sums[j] += row[j];
  }
  for (int y = 0; y < h; ++y) {
    const uint8_t* in = rowAt(y + r);
    const uint8_t* out = rowAt(y - r - 1);
    uint8_t* to = dst + y * dstStride;
    for (size_t j = 0; j < n; ++j) {
      sums[j] += static_cast<uint32_t>(in[j]) - out[j];
      to[j] = meanByte(sums[j], inverse);
    }
  }
}

}  // namespace

void boxBlur(cairo_surface_t* surface, int radius) {
  if (radius < 1 || cairo_surface_get_type(surface) != CAIRO_SURFACE_TYPE_IMAGE) return;
  cairo_surface_flush(surface);
  const int w = cairo_image_surface_get_width(surface), h = cairo_image_surface_get_height(surface);
  const ptrdiff_t stride = cairo_image_surface_get_stride(surface);
  uint8_t* data = cairo_image_surface_get_data(surface);
  if (!data || w == 0 || h == 0) return;
  // Three passes of a box of side 2r+1 each way; r chosen so the passes
  // together spread about as far as the radius asked for. Past the image's
  // own size a wider box changes nothing the edges do not already give.
  const int r = std::min(std::max(1, radius / 2), std::max(w, h));
  const float inverse = 1.0F / static_cast<float>(2 * r + 1);
  const ptrdiff_t packed = static_cast<ptrdiff_t>(w) * 4;
  auto columns = std::make_unique_for_overwrite<uint8_t[]>(static_cast<size_t>(packed) * static_cast<size_t>(h));
  std::vector<uint32_t> sums(static_cast<size_t>(packed));
  std::vector<uint8_t> pad(static_cast<size_t>(w + 2 * r) * 4);
  for (int pass = 0; pass < 3; ++pass) {
    boxColumns(data, stride, columns.get(), packed, w, h, r, inverse, sums.data());
    for (int y = 0; y < h; ++y) std::memcpy(data + y * stride, columns.get() + y * packed, static_cast<size_t>(packed));
    boxRows(data, stride, w, h, r, inverse, pad.data());
  }
  cairo_surface_mark_dirty(surface);
}

cairo_surface_t* shrinkPart(cairo_surface_t* source, int x0, int y0, int width, int height, int factor) {
  factor = std::max(1, factor);
  const int w = std::max(1, (width + factor - 1) / factor), h = std::max(1, (height + factor - 1) / factor);
  cairo_surface_t* part = createPictureSurface(w, h);
  cairo_surface_flush(source);
  const uint8_t* from = cairo_image_surface_get_data(source);
  uint8_t* to = cairo_image_surface_get_data(part);
  const int sw = cairo_image_surface_get_width(source), sh = cairo_image_surface_get_height(source);
  // Only what the source holds.
  const int left = std::clamp(x0, 0, sw), top = std::clamp(y0, 0, sh);
  const int right = std::clamp(x0 + width, left, sw), bottom = std::clamp(y0 + height, top, sh);
  if (!from || !to || right == left || bottom == top) return part;
  const ptrdiff_t fromStride = cairo_image_surface_get_stride(source), toStride = cairo_image_surface_get_stride(part);
  const bool opaque = cairo_image_surface_get_format(source) != CAIRO_FORMAT_ARGB32;
  const int alphaByte = std::endian::native == std::endian::little ? 3 : 0;
  // A block cut by the edge repeats the edge's pixels, so every block
  // averages factor x factor samples.
  std::vector<int> columns(static_cast<size_t>(w) * factor);
  for (int i = 0; i < w * factor; ++i) columns[i] = std::min(left + i, right - 1) * 4;
  const float inverse = 1.0F / static_cast<float>(factor * factor);
  std::vector<uint32_t> sums(static_cast<size_t>(w) * 4);
  for (int y = 0; y < h; ++y) {
    std::fill(sums.begin(), sums.end(), 0U);
    for (int k = 0; k < factor; ++k) {
      const uint8_t* row = from + std::min(top + y * factor + k, bottom - 1) * fromStride;
      for (int x = 0; x < w; ++x)
        for (int i = 0; i < factor; ++i) {
          const uint8_t* p = row + columns[x * factor + i];
          for (int c = 0; c < 4; ++c) sums[x * 4 + c] += p[c];
        }
    }
    uint8_t* out = to + y * toStride;
    for (int j = 0; j < w * 4; ++j) out[j] = meanByte(sums[j], inverse);
    // A surface without alpha reads as opaque, whatever its spare byte holds.
    if (opaque)
      for (int x = 0; x < w; ++x) out[x * 4 + alphaByte] = 0xFF;
  }
  cairo_surface_mark_dirty(part);
  return part;
}

namespace {

/// Where output pixel i of a line grown by factor samples the source line
/// of n pixels: two neighbours and the second one's weight in 16ths (exact
/// for a factor of 2; the sums stay in 16 bits).
struct Tap {
  int first, second;
  uint16_t weight;
};

std::vector<Tap> growTaps(int outputs, int n, int factor) {
  std::vector<Tap> taps(static_cast<size_t>(outputs));
  for (int i = 0; i < outputs; ++i) {
    // Pixel centres line up: output i + 0.5 lies at source (i + 0.5) / factor.
    const double at = (i + 0.5) / factor - 0.5;
    const int first = static_cast<int>(std::floor(at));
    const auto weight = static_cast<uint16_t>(std::lround((at - first) * 16));
    taps[i] = {std::clamp(first, 0, n - 1), std::clamp(first + 1, 0, n - 1), weight};
  }
  return taps;
}

}  // namespace

cairo_surface_t* growPart(cairo_surface_t* small, int factor, int width, int height) {
  width = std::max(1, width);
  height = std::max(1, height);
  cairo_surface_t* full = createPictureSurface(width, height);
  cairo_surface_flush(small);
  const uint8_t* from = cairo_image_surface_get_data(small);
  uint8_t* to = cairo_image_surface_get_data(full);
  const int w = cairo_image_surface_get_width(small), h = cairo_image_surface_get_height(small);
  if (!from || !to || w <= 0 || h <= 0) return full;
  factor = std::max(1, factor);
  const ptrdiff_t fromStride = cairo_image_surface_get_stride(small), toStride = cairo_image_surface_get_stride(full);
  const std::vector<Tap> columns = growTaps(width, w, factor), rows = growTaps(height, h, factor);
  // Source rows are grown across (in 16ths) as the output first needs
  // them, then mixed down; output rows walk down the source, so two grown
  // rows at a time are all there is to keep.
  const size_t across = static_cast<size_t>(width) * 4;
  auto grown = std::make_unique_for_overwrite<uint16_t[]>(across * 2);
  int held[2] = {-1, -1};
  auto grownRow = [&](int y) -> const uint16_t* {
    uint16_t* g = grown.get() + across * static_cast<size_t>(y & 1);
    if (held[y & 1] == y) return g;
    held[y & 1] = y;
    const uint8_t* row = from + y * fromStride;
    for (int x = 0; x < width; ++x) {
      const Tap& c = columns[x];
      for (int k = 0; k < 4; ++k)
        g[x * 4 + k] = static_cast<uint16_t>(row[c.first * 4 + k] * (16 - c.weight) + row[c.second * 4 + k] * c.weight);
    }
    return g;
  };
  for (int y = 0; y < height; ++y) {
    const Tap& t = rows[y];
    // Neighbouring source rows differ in their lowest bit, so they never
    // share a slot.
    const uint16_t* a = grownRow(t.first);
    const uint16_t* b = grownRow(t.second);
    const auto wa = static_cast<uint16_t>(16 - t.weight), wb = t.weight;
    uint8_t* out = to + y * toStride;
    for (size_t j = 0; j < across; ++j)
      out[j] = static_cast<uint8_t>(static_cast<uint16_t>(a[j] * wa + b[j] * wb + 128) >> 8);
  }
  cairo_surface_mark_dirty(full);
  return full;
}

}  // namespace sbhost
