#include <UIKit/UIImage.h>

#include <Foundation/DeviceRoot.h>
#include <Foundation/NSLog.h>
#include <objc/ClassBuilder.h>

#include <cairo.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>

Class UIImage::classObject() {
  static Class cls = objc::ClassBuilder<UIImage, NSObject>("UIImage")
                         .method<&UIImage::size>("size")
                         .method<&UIImage::scale>("scale")
                         .build();
  return cls;
}
OBJC_REGISTER_CLASS(UIImage);

UIImage::~UIImage() {
  if (surface_) cairo_surface_destroy(surface_);
}

namespace {
/// "icon@2x.png" is drawn at two pixels per point.
double scaleFromName(const std::filesystem::path& path) {
  std::string stem = path.stem().string();
  if (stem.ends_with("@2x")) return 2;
  if (stem.ends_with("@3x")) return 3;
  return 1;
}
}  // namespace

Ref<UIImage> UIImage::imageWithContentsOfFile(const std::string& devicePath) {
  if (devicePath.empty()) return nullptr;
  std::string bytes;
  if (!foundation::readDeviceFile(devicePath, bytes, foundation::kImageFileCap)) {
    NSLog("UIKit: no image file at %s", devicePath.c_str());
    return nullptr;
  }
  return imageWithPNGData(bytes, scaleFromName(std::filesystem::path(devicePath)), devicePath);
}

std::optional<UIImage::PixelSize> UIImage::pngPixelSize(std::string_view bytes) {
  // The signature, then the header chunk: length 13, "IHDR", width, height.
  constexpr std::string_view kStart("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR", 16);
  if (bytes.size() < 24 || bytes.substr(0, 16) != kStart) return std::nullopt;
  auto be32 = [&](size_t at) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data() + at);
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
  };
  return PixelSize{be32(16), be32(20)};
}

namespace {
struct PNGReader {
  std::string_view bytes;
  size_t at = 0;
};
cairo_status_t readPNGBytes(void* closure, unsigned char* data, unsigned int length) {
  auto* r = static_cast<PNGReader*>(closure);
  if (r->bytes.size() - r->at < length) return CAIRO_STATUS_READ_ERROR;
  std::copy_n(r->bytes.data() + r->at, length, data);
  r->at += length;
  return CAIRO_STATUS_SUCCESS;
}
}  // namespace

Ref<UIImage> UIImage::imageWithPNGData(std::string_view bytes, double scale, std::string_view origin) {
  const auto pixels = pngPixelSize(bytes);
  if (!pixels) {
    NSLog("UIKit: %@ is not a readable PNG image (no PNG header)", origin);
    return nullptr;
  }
  if (uint64_t(pixels->width) * pixels->height > kMaxPixels) {
    NSLog("UIKit: image %@ is too large (%u x %u pixels)", origin, pixels->width, pixels->height);
    return nullptr;
  }
  PNGReader reader{bytes};
  cairo_surface_t* surface = cairo_image_surface_create_from_png_stream(readPNGBytes, &reader);
  if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
    NSLog("UIKit: %@ is not a readable PNG image (%s)", origin, cairo_status_to_string(cairo_surface_status(surface)));
    cairo_surface_destroy(surface);
    return nullptr;
  }
  auto image = imageWithSurface(surface, scale);
  cairo_surface_destroy(surface);
  return image;
}

Ref<UIImage> UIImage::imageWithSurface(cairo_surface_t* surface, double scale) {
  if (!surface || cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) return nullptr;
  if (!(scale > 0)) scale = 1;
  auto image = objc::create<UIImage>();
  image->surface_ = cairo_surface_reference(surface);
  image->scale_ = scale;
  image->size_ = {cairo_image_surface_get_width(surface) / scale, cairo_image_surface_get_height(surface) / scale};
  return image;
}

int UIImage::pixelWidth() const noexcept { return surface_ ? cairo_image_surface_get_width(surface_) : 0; }
int UIImage::pixelHeight() const noexcept { return surface_ ? cairo_image_surface_get_height(surface_) : 0; }

uint32_t UIImage::pixelRGBA(int x, int y) const noexcept {
  if (!surface_ || x < 0 || y < 0 || x >= pixelWidth() || y >= pixelHeight()) return 0;
  cairo_surface_flush(surface_);
  const unsigned char* data = cairo_image_surface_get_data(surface_);
  int stride = cairo_image_surface_get_stride(surface_);
  if (!data) return 0;
  uint32_t px =
      *reinterpret_cast<const uint32_t*>(data + static_cast<ptrdiff_t>(y) * stride + static_cast<ptrdiff_t>(x) * 4);
  cairo_format_t format = cairo_image_surface_get_format(surface_);
  uint32_t a = format == CAIRO_FORMAT_ARGB32 ? (px >> 24) & 0xff : 0xff;
  uint32_t r = (px >> 16) & 0xff, g = (px >> 8) & 0xff, b = px & 0xff;
  if (a == 0) return 0;
  if (a < 0xff) {  // Cairo keeps colours premultiplied by alpha
    r = (r * 255 + a / 2) / a;
    g = (g * 255 + a / 2) / a;
    b = (b * 255 + a / 2) / a;
  }
  return (r << 24) | (g << 16) | (b << 8) | a;
}

bool UIImage::writePNG(const std::string& hostPath) const {
  return surface_ && cairo_surface_write_to_png(surface_, hostPath.c_str()) == CAIRO_STATUS_SUCCESS;
}

std::string UIImage::descriptionString() const {
  char buf[96];
  std::snprintf(buf, sizeof buf, "<UIImage: {%g, %g} @%gx>", size_.width, size_.height, scale_);
  return buf;
}
