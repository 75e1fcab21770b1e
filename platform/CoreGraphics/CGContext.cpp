#include <CoreGraphics/CGContext.h>

#include <objc/ClassBuilder.h>

#include <cairo.h>

#include <cmath>
#include <cstdio>
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
  ellipsePath(rect);
  setSource(stroke_.get());
  cairo_set_line_width(cr_, lineWidth_);
  cairo_stroke(cr_);
}

void CGContext::fillEllipse(CGRect rect) {
  ellipsePath(rect);
  setSource(fill_.get());
  cairo_fill(cr_);
}

void CGContext::fillRect(CGRect rect) {
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
