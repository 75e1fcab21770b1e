#pragma once
/// \file
/// A bitmap drawing context backed by a Cairo image surface. Coordinates are
/// points with the origin at the top left, as UIKit's image contexts have them;
/// one point is `scale` pixels.

#include <CoreGraphics/CGColor.h>
#include <CoreGraphics/CGGeometry.h>

struct _cairo;
struct _cairo_surface;
using cairo_t = struct _cairo;
using cairo_surface_t = struct _cairo_surface;

class CGContext : public NSObject {
 public:
  static Class classObject();
  CGContext() = default;
  ~CGContext() override;

  /// A transparent ARGB bitmap of size points at scale; opaque bitmaps start
  /// black and carry no alpha. nil when the size is empty or too large.
  static Ref<CGContext> createBitmap(CGSize size, bool opaque, double scale);

  [[nodiscard]] CGSize size() const noexcept { return size_; }
  [[nodiscard]] double scale() const noexcept { return scale_; }
  [[nodiscard]] bool isOpaque() const noexcept { return opaque_; }
  [[nodiscard]] double lineWidth() const noexcept { return lineWidth_; }
  [[nodiscard]] const CGColorRef& strokeColor() const noexcept { return stroke_; }
  [[nodiscard]] const CGColorRef& fillColor() const noexcept { return fill_; }

  void setLineWidth(double width) noexcept { lineWidth_ = width; }
  void setStrokeColor(CGColorRef color) { stroke_ = std::move(color); }
  void setFillColor(CGColorRef color) { fill_ = std::move(color); }

  void strokeEllipse(CGRect rect);
  void fillEllipse(CGRect rect);
  void fillRect(CGRect rect);

  /// The Cairo context and surface, for renderers that draw further.
  [[nodiscard]] cairo_t* cairo() const noexcept { return cr_; }
  [[nodiscard]] cairo_surface_t* surface() const noexcept { return surface_; }

  [[nodiscard]] std::string descriptionString() const override;

 private:
  void setSource(const CGColor* color);
  void ellipsePath(CGRect rect);

  cairo_surface_t* surface_ = nullptr;
  cairo_t* cr_ = nullptr;
  CGSize size_{};
  double scale_ = 1;
  bool opaque_ = false;
  double lineWidth_ = 1;
  CGColorRef stroke_, fill_;  // nil draws black, as the device's initial colours
};

/// The device's context handle: a borrowed pointer (the Get rule).
using CGContextRef = CGContext*;

void CGContextSetLineWidth(CGContextRef c, CGFloat width);
void CGContextSetStrokeColorWithColor(CGContextRef c, const CGColor* color);
void CGContextSetFillColorWithColor(CGContextRef c, const CGColor* color);
void CGContextStrokeEllipseInRect(CGContextRef c, CGRect rect);
void CGContextFillEllipseInRect(CGContextRef c, CGRect rect);
void CGContextFillRect(CGContextRef c, CGRect rect);
