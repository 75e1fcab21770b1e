#pragma once
/// \file
/// Bitmap images: read from PNG files on the device, or taken from an image
/// canvas. The pixels live in a Cairo image surface.

#include <CoreGraphics/CGGeometry.h>
#include <objc/NSObject.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

struct _cairo_surface;
using cairo_surface_t = struct _cairo_surface;

class UIImage : public NSObject {
 public:
  static Class classObject();
  UIImage() = default;
  ~UIImage() override;

  /// A PNG file at a device path; a name ending "@2x" before the extension
  /// gives scale 2. nil (with a log line) when the file is missing or not a
  /// readable PNG.
  static Ref<UIImage> imageWithContentsOfFile(const std::string& devicePath);
  /// PNG bytes held in memory; `origin` names them in the log line. Images
  /// of more than kMaxPixels pixels (by their header) are refused before
  /// any pixel is decoded.
  static Ref<UIImage> imageWithPNGData(std::string_view bytes, double scale, std::string_view origin);
  /// Width and height from a PNG's signature and header chunk; nullopt for
  /// bytes that do not start as a PNG.
  struct PixelSize {
    uint32_t width, height;
  };
  static std::optional<PixelSize> pngPixelSize(std::string_view bytes);
  /// 4096 x 4096: four times the largest screen's pixels, 64 MB decoded.
  static constexpr uint64_t kMaxPixels = uint64_t(4096) * 4096;
  /// Takes a reference of its own to the surface.
  static Ref<UIImage> imageWithSurface(cairo_surface_t* surface, double scale);

  /// Size in points (pixels / scale).
  [[nodiscard]] CGSize size() const noexcept { return size_; }
  [[nodiscard]] double scale() const noexcept { return scale_; }
  [[nodiscard]] int pixelWidth() const noexcept;
  [[nodiscard]] int pixelHeight() const noexcept;
  /// The pixel at (x, y) as premultiplied-free RGBA bytes packed 0xRRGGBBAA;
  /// 0 outside the image.
  [[nodiscard]] uint32_t pixelRGBA(int x, int y) const noexcept;
  /// Writes the image as PNG to a host path; false on failure.
  bool writePNG(const std::string& hostPath) const;

  [[nodiscard]] cairo_surface_t* surface() const noexcept { return surface_; }
  [[nodiscard]] std::string descriptionString() const override;

 private:
  cairo_surface_t* surface_ = nullptr;
  CGSize size_{};
  double scale_ = 1;
};
