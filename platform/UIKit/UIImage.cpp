#include <UIKit/UIImage.h>

#include <Foundation/DeviceRoot.h>
#include <Foundation/NSLog.h>
#include <objc/ClassBuilder.h>

#include <cairo.h>

#include <cstdio>
#include <cstring>
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
  std::string_view unread(bytes);
  cairo_surface_t* surface = cairo_image_surface_create_from_png_stream(
      [](void* closure, unsigned char* data, unsigned int length) {
        auto* rest = static_cast<std::string_view*>(closure);
        if (rest->size() < length) return CAIRO_STATUS_READ_ERROR;
        std::memcpy(data, rest->data(), length);
        rest->remove_prefix(length);
        return CAIRO_STATUS_SUCCESS;
      },
      &unread);
  if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
    NSLog("UIKit: %s is not a readable PNG image (%s)", devicePath.c_str(),
          cairo_status_to_string(cairo_surface_status(surface)));
    cairo_surface_destroy(surface);
    return nullptr;
  }
  auto image = imageWithSurface(surface, scaleFromName(std::filesystem::path(devicePath)));
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
