#include <CoreGraphics/CGContext.h>

#include <objc/ClassBuilder.h>

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <numbers>

namespace {
// Cairo's image surfaces are limited to 32767 pixels a side.
constexpr double kMaxPixels = 32767;
}  // namespace

Class CGContext::classObject() {
  static Class cls = objc::ClassBuilder<CGContext, NSObject>("CGContext").build();
  return cls;
}
OBJC_REGISTER_CLASS(CGContext);

CGContext::~CGContext() {
  if (cr_) cairo_destroy(cr_);
  if (surface_) cairo_surface_destroy(surface_);
}

Ref<CGContext> CGContext::createBitmap(CGSize size, bool opaque, double scale) {
  if (!(scale > 0) || !std::isfinite(scale)) scale = 1;
  double w = std::ceil(size.width * scale), h = std::ceil(size.height * scale);
  if (!(w >= 1 && h >= 1 && w <= kMaxPixels && h <= kMaxPixels)) return nullptr;
  auto ctx = objc::create<CGContext>();
  ctx->surface_ = cairo_image_surface_create(opaque ? CAIRO_FORMAT_RGB24 : CAIRO_FORMAT_ARGB32, static_cast<int>(w),
                                             static_cast<int>(h));
  if (cairo_surface_status(ctx->surface_) != CAIRO_STATUS_SUCCESS) return nullptr;
  ctx->cr_ = cairo_create(ctx->surface_);
  cairo_scale(ctx->cr_, scale, scale);
  ctx->size_ = size;
  ctx->scale_ = scale;
  ctx->opaque_ = opaque;
  return ctx;
}

cairo_t* CGContext::cairo() {
  ownSurface();
  return cr_;
}

cairo_surface_t* CGContext::shareSurface() {
  cairo_surface_flush(surface_);
  shared_ = true;
  return cairo_surface_reference(surface_);
}

void CGContext::ownSurface() {
  if (!shared_) return;
  shared_ = false;
  const int width = cairo_image_surface_get_width(surface_), height = cairo_image_surface_get_height(surface_);
  cairo_surface_t* copy = cairo_image_surface_create(cairo_image_surface_get_format(surface_), width, height);
  const int fromStride = cairo_image_surface_get_stride(surface_), toStride = cairo_image_surface_get_stride(copy);
  const unsigned char* from = cairo_image_surface_get_data(surface_);
  unsigned char* to = cairo_image_surface_get_data(copy);
  if (from && to)
    for (int y = 0; y < height; ++y)
      std::memcpy(to + static_cast<ptrdiff_t>(y) * toStride, from + static_cast<ptrdiff_t>(y) * fromStride,
                  static_cast<size_t>(std::min(fromStride, toStride)));
  cairo_surface_mark_dirty(copy);
  // The drawing state moves over with the transform; the rest is the
  // device's per-call state, set again by every drawing call.
  cairo_matrix_t m;
  cairo_get_matrix(cr_, &m);
  cairo_destroy(cr_);
  cairo_surface_destroy(surface_);
  surface_ = copy;
  cr_ = cairo_create(surface_);
  cairo_set_matrix(cr_, &m);
}

namespace {

double clamp01(double v) { return v < 0 ? 0 : (v > 1 ? 1 : v); }

/// Premultiplied colour, 0...255 a channel, composited over a pixel with
/// coverage c, as Cairo's OVER does. Coverage is taken in 255ths, as
/// Cairo's own antialiasing masks hold it, so a pixel is integer arithmetic.
struct Paint {
  uint32_t a, r, g, b;
  uint32_t solid;  // the pixel at full coverage when the colour is opaque
  bool opaque;

  explicit Paint(const CGColor* color) {
    const double alpha = color ? clamp01(color->alpha()) : 1;
    a = level(alpha * 255);
    r = level((color ? clamp01(color->red()) : 0) * alpha * 255);
    g = level((color ? clamp01(color->green()) : 0) * alpha * 255);
    b = level((color ? clamp01(color->blue()) : 0) * alpha * 255);
    opaque = alpha >= 1;
    solid = 0xFF000000u | r << 16 | g << 8 | b;
  }
  // Never negative after the clamp, so adding a half rounds as lround does,
  // without the library call an edge pixel would otherwise pay.
  static uint32_t level(double v) {
    return static_cast<uint32_t>(std::clamp(v, 0.0, 255.0) + 0.5);  // NOLINT(bugprone-incorrect-roundings)
  }
  [[nodiscard]] uint32_t over(uint32_t dst, double c) const {
    constexpr uint32_t kFull = 255 * 255;
    const uint32_t cover = level(c * 255);
    const uint32_t keep = kFull - a * cover;
    // src * cover / 255 + dst * keep / 255^2, rounded: at most 255^3 before the division.
    auto mix = [&](uint32_t src, int shift) {
      return ((src * cover * 255 + ((dst >> shift) & 0xFF) * keep + kFull / 2) / kFull) << shift;
    };
    return mix(a, 24) | mix(r, 16) | mix(g, 8) | mix(b, 0);
  }
};

/// The pixels of a row whose centres lie at least a pixel inside a span
/// of half-width `span` about cx; empty (first > last) when there are none.
struct Run {
  int first = -1, last = -2;
  static Run inside(double cx, double span, int from, int to) {
    if (!(span > 1)) return {};
    Run r{std::max(from, static_cast<int>(std::ceil(cx - span - 0.5)) + 1),
          std::min(to, static_cast<int>(std::floor(cx + span - 0.5)) - 1)};
    return r.first <= r.last ? r : Run{};
  }
};

}  // namespace

bool CGContext::paintCircle(double cx, double cy, double outer, double inner, const CGColor* color) {
  // Only the plain state: an ARGB bitmap, a uniform scale with a shift,
  // painting over, with no clip narrower than the bitmap.
  if (cairo_image_surface_get_format(surface_) != CAIRO_FORMAT_ARGB32 ||
      cairo_get_operator(cr_) != CAIRO_OPERATOR_OVER || cairo_get_antialias(cr_) != CAIRO_ANTIALIAS_DEFAULT)
    return false;
  cairo_matrix_t m;
  cairo_get_matrix(cr_, &m);
  if (m.xy != 0 || m.yx != 0 || m.xx != m.yy || !(m.xx > 0)) return false;
  const int width = cairo_image_surface_get_width(surface_), height = cairo_image_surface_get_height(surface_);
  double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  cairo_clip_extents(cr_, &x1, &y1, &x2, &y2);
  cairo_user_to_device(cr_, &x1, &y1);
  cairo_user_to_device(cr_, &x2, &y2);
  if (x1 > 0 || y1 > 0 || x2 < width || y2 < height) return false;
  ownSurface();

  // Pixels, and each pixel's coverage from its centre's distance to the
  // edge: a half pixel either side of the edge is the antialiased band.
  cx = m.x0 + cx * m.xx;
  cy = m.y0 + cy * m.yy;
  outer *= m.xx;
  inner *= m.xx;
  if (!(outer > 0) || !std::isfinite(cx) || !std::isfinite(cy) || !std::isfinite(outer)) return true;
  const Paint paint(color);
  if (paint.a <= 0) return true;
  cairo_surface_flush(surface_);
  unsigned char* data = cairo_image_surface_get_data(surface_);
  const int stride = cairo_image_surface_get_stride(surface_);
  auto spanOf = [](double radius, double dy2) {
    return radius > 0 && radius * radius > dy2 ? std::sqrt(radius * radius - dy2) : -1.0;
  };
  const int top = std::max(0, static_cast<int>(std::floor(cy - outer - 1)));
  const int bottom = std::min(height - 1, static_cast<int>(std::ceil(cy + outer + 1)));
  for (int y = top; y <= bottom; ++y) {
    const double dy = y + 0.5 - cy, dy2 = dy * dy;
    const double reach = spanOf(outer + 0.5, dy2);  // any coverage
    if (reach < 0) continue;
    const double solid = spanOf(outer - 0.5, dy2);                  // full outer coverage
    const double hole = inner > 0 ? spanOf(inner - 0.5, dy2) : -1;  // none: inside the inner edge
    const double rim = inner > 0 ? spanOf(inner + 0.5, dy2) : -1;   // the inner edge's band
    auto* row = reinterpret_cast<uint32_t*>(data + static_cast<ptrdiff_t>(y) * stride);
    const int from = std::max(0, static_cast<int>(std::ceil(cx - reach - 0.5)));
    const int to = std::min(width - 1, static_cast<int>(std::floor(cx + reach - 0.5)));
    // Pixels a pixel or more inside the hole are passed over, and those as
    // far inside a disc painted as one run; the ones nearer an edge take the
    // per-pixel test below.
    const Run skip = inner > 0 ? Run::inside(cx, hole, from, to) : Run{};
    const Run fill = inner > 0 ? Run{} : Run::inside(cx, solid, from, to);
    for (int x = from; x <= to; ++x) {
      if (x == skip.first) {
        x = skip.last;
        continue;
      }
      if (x == fill.first) {
        for (; x <= fill.last; ++x) row[x] = paint.opaque ? paint.solid : paint.over(row[x], 1);
        x = fill.last;
        continue;
      }
      const double dx = x + 0.5 - cx, adx = std::abs(dx);
      if (adx <= hole) continue;
      if (adx <= solid && adx >= rim) {
        if (paint.opaque)
          row[x] = paint.solid;
        else
          row[x] = paint.over(row[x], 1);
        continue;
      }
      const double d = std::sqrt(dx * dx + dy2);
      const double c = clamp01(outer + 0.5 - d) - (inner > 0 ? clamp01(inner + 0.5 - d) : 0);
      if (c > 0) row[x] = paint.over(row[x], c);
    }
  }
  cairo_surface_mark_dirty(surface_);
  return true;
}

void CGContext::setSource(const CGColor* color) {
  if (color)
    cairo_set_source_rgba(cr_, color->red(), color->green(), color->blue(), color->alpha());
  else
    cairo_set_source_rgba(cr_, 0, 0, 0, 1);
}

void CGContext::ellipsePath(CGRect rect) {
  // A unit circle scaled into the rectangle, as CGPathAddEllipseInRect draws it.
  double w = rect.size.width, h = rect.size.height;
  cairo_new_path(cr_);
  if (w <= 0 || h <= 0) return;
  cairo_save(cr_);
  cairo_translate(cr_, rect.origin.x + w / 2, rect.origin.y + h / 2);
  cairo_scale(cr_, w / 2, h / 2);
  cairo_arc(cr_, 0, 0, 1, 0, 2 * std::numbers::pi);
  cairo_close_path(cr_);
  cairo_restore(cr_);
}

void CGContext::strokeEllipse(CGRect rect) {
  const double w = rect.size.width, h = rect.size.height;
  const double half = lineWidth_ / 2;
  if (w > 0 && w == h && half > 0 && half < w / 2) {
    // A circle's stroke is the ring between two circles; filling that ring
    // covers the same pixels as stroking, at a fraction of the cost.
    const double cx = rect.origin.x + w / 2, cy = rect.origin.y + h / 2, r = w / 2;
    if (paintCircle(cx, cy, r + half, r - half, stroke_.get())) return;
    ownSurface();
    cairo_new_path(cr_);
    cairo_arc(cr_, cx, cy, r + half, 0, 2 * std::numbers::pi);
    cairo_close_path(cr_);
    cairo_new_sub_path(cr_);
    cairo_arc_negative(cr_, cx, cy, r - half, 2 * std::numbers::pi, 0);
    cairo_close_path(cr_);
    setSource(stroke_.get());
    cairo_fill(cr_);
    return;
  }
  ownSurface();
  ellipsePath(rect);
  setSource(stroke_.get());
  cairo_set_line_width(cr_, lineWidth_);
  cairo_stroke(cr_);
}

void CGContext::fillEllipse(CGRect rect) {
  const double w = rect.size.width, h = rect.size.height;
  if (w > 0 && w == h && paintCircle(rect.origin.x + w / 2, rect.origin.y + h / 2, w / 2, 0, fill_.get())) return;
  ownSurface();
  ellipsePath(rect);
  setSource(fill_.get());
  cairo_fill(cr_);
}

void CGContext::fillRect(CGRect rect) {
  ownSurface();
  cairo_new_path(cr_);
  cairo_rectangle(cr_, rect.origin.x, rect.origin.y, rect.size.width, rect.size.height);
  setSource(fill_.get());
  cairo_fill(cr_);
}

std::string CGContext::descriptionString() const {
  char buf[96];
  std::snprintf(buf, sizeof buf, "<CGContext bitmap %gx%g @%gx>", size_.width, size_.height, scale_);
  return buf;
}

// A null context is ignored, as Core Graphics logs "invalid context" and draws nothing.
void CGContextSetLineWidth(CGContextRef c, CGFloat width) {
  if (c) c->setLineWidth(width);
}
void CGContextSetStrokeColorWithColor(CGContextRef c, const CGColor* color) {
  if (c) c->setStrokeColor(CGColorRef(const_cast<CGColor*>(color)));
}
void CGContextSetFillColorWithColor(CGContextRef c, const CGColor* color) {
  if (c) c->setFillColor(CGColorRef(const_cast<CGColor*>(color)));
}
void CGContextStrokeEllipseInRect(CGContextRef c, CGRect rect) {
  if (c) c->strokeEllipse(rect);
}
void CGContextFillEllipseInRect(CGContextRef c, CGRect rect) {
  if (c) c->fillEllipse(rect);
}
void CGContextFillRect(CGContextRef c, CGRect rect) {
  if (c) c->fillRect(rect);
}
