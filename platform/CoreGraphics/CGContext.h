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

  /// The Cairo context, for renderers that draw further (a bitmap shared
  /// with an image is copied first, so ask again after taking an image).
  [[nodiscard]] cairo_t* cairo();
  /// The bitmap, to read.
  [[nodiscard]] cairo_surface_t* surface() const noexcept { return surface_; }
  /// The bitmap handed to an image as it stands, without a copy: the next
  /// drawing into the context copies it first (a new reference the caller
  /// releases).
  [[nodiscard]] cairo_surface_t* shareSurface();

  [[nodiscard]] std::string descriptionString() const override;

 private:
  void setSource(const CGColor* color);
  void ellipsePath(CGRect rect);
  /// Gives the context a bitmap of its own again after shareSurface.
  void ownSurface();
  /// Paints the ring between two circles (inner 0 for a disc) with a solid
  /// colour straight into the bitmap; false when the context is not in the
  /// plain state that path needs (Cairo then draws).
  bool paintCircle(double cx, double cy, double outer, double inner, const CGColor* color);

  cairo_surface_t* surface_ = nullptr;
  cairo_t* cr_ = nullptr;
  CGSize size_{};
  double scale_ = 1;
  bool opaque_ = false;
  bool shared_ = false;
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
