#include "PngEncoder.h"

#include <png.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace sbhost {

namespace {

/// Where the encoded bytes go: false from write() stops the encoding.
struct Sink {
  FILE* file = nullptr;
  std::string* bytes = nullptr;
  bool write(const unsigned char* data, size_t length) const {
    if (bytes) {
      bytes->append(reinterpret_cast<const char*>(data), length);
      return true;
    }
    return std::fwrite(data, 1, length, file) == length;
  }
};

void writeToSink(png_structp png, png_bytep data, png_size_t length) {
  if (!static_cast<const Sink*>(png_get_io_ptr(png))->write(data, length)) png_error(png, "write failed");
}

void flushSink(png_structp /*png*/) {}

cairo_status_t cairoToSink(void* closure, const unsigned char* data, unsigned int length) {
  return static_cast<const Sink*>(closure)->write(data, length) ? CAIRO_STATUS_SUCCESS : CAIRO_STATUS_WRITE_ERROR;
}

uint32_t pixelAt(const unsigned char* row, int x) {
  uint32_t p = 0;
  std::memcpy(&p, row + 4 * static_cast<ptrdiff_t>(x), 4);
  return p;
}

/// True when no pixel of an ARGB32 surface lets anything show through.
bool everyPixelOpaque(const unsigned char* pixels, ptrdiff_t stride, int width, int height) {
  for (int y = 0; y < height; ++y) {
    const unsigned char* row = pixels + y * stride;
    uint32_t all = 0xFF000000U;
    for (int x = 0; x < width; ++x) all &= pixelAt(row, x);
    if ((all >> 24) != 0xFF) return false;
  }
  return true;
}

/// One row of a Cairo image as RGB bytes, the alpha byte left out.
void opaqueRGB(const unsigned char* from, int width, unsigned char* to) {
  for (int x = 0; x < width; ++x, to += 3) {
    const uint32_t p = pixelAt(from, x);
    to[0] = static_cast<unsigned char>(p >> 16);
    to[1] = static_cast<unsigned char>(p >> 8);
    to[2] = static_cast<unsigned char>(p);
  }
}

/// One row of a Cairo image as straight (not premultiplied) RGBA bytes.
void straightRGBA(const unsigned char* from, int width, unsigned char* to) {
  for (int x = 0; x < width; ++x, to += 4) {
    const uint32_t p = pixelAt(from, x);
    const uint32_t a = p >> 24;
    uint32_t r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
    if (a == 0) {
      r = g = b = 0;
    } else if (a != 255) {  // rounded as Cairo's own PNG writer rounds
      r = (r * 255 + a / 2) / a;
      g = (g * 255 + a / 2) / a;
      b = (b * 255 + a / 2) / a;
    }
    to[0] = static_cast<unsigned char>(r);
    to[1] = static_cast<unsigned char>(g);
    to[2] = static_cast<unsigned char>(b);
    to[3] = static_cast<unsigned char>(a);
  }
}

/// libpng reports errors by jumping back here, so nothing in this frame
/// owns anything: the caller holds the row buffer and the sink.
bool encode(cairo_surface_t* surface, const Sink& sink, bool opaque, unsigned char* row) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (!png) return false;
  png_infop info = png_create_info_struct(png);
  if (!info || setjmp(png_jmpbuf(png))) {  // NOLINT(cert-err52-cpp): libpng's error path
    png_destroy_write_struct(&png, &info);
    return false;
  }
  const int width = cairo_image_surface_get_width(surface);
  const int height = cairo_image_surface_get_height(surface);
  const ptrdiff_t stride = cairo_image_surface_get_stride(surface);
  const unsigned char* pixels = cairo_image_surface_get_data(surface);
  png_set_write_fn(png, const_cast<Sink*>(&sink), writeToSink, flushSink);
  // A picture to look at now, not to archive: the quickest zlib level, and
  // one cheap filter; "up" turns the wallpaper's slow gradients into the
  // long runs zlib finds quickest.
  png_set_compression_level(png, 1);
  png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_UP);
  png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
               opaque ? PNG_COLOR_TYPE_RGB : PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_BASE,
               PNG_FILTER_TYPE_BASE);
  png_write_info(png, info);
  for (int y = 0; y < height; ++y) {
    const unsigned char* from = pixels + y * stride;
    if (opaque)
      opaqueRGB(from, width, row);
    else
      straightRGBA(from, width, row);
    png_write_row(png, row);
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
}

bool encodeSurface(cairo_surface_t* surface, const Sink& sink) {
  if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) return false;
  const cairo_format_t format = cairo_image_surface_get_format(surface);
  if (cairo_surface_get_type(surface) != CAIRO_SURFACE_TYPE_IMAGE ||
      (format != CAIRO_FORMAT_ARGB32 && format != CAIRO_FORMAT_RGB24))
    return cairo_surface_write_to_png_stream(surface, cairoToSink, const_cast<Sink*>(&sink)) == CAIRO_STATUS_SUCCESS;
  cairo_surface_flush(surface);
  const int width = cairo_image_surface_get_width(surface), height = cairo_image_surface_get_height(surface);
  const unsigned char* pixels = cairo_image_surface_get_data(surface);
  if (width <= 0 || height <= 0 || !pixels) return false;
  const bool opaque =
      format == CAIRO_FORMAT_RGB24 || everyPixelOpaque(pixels, cairo_image_surface_get_stride(surface), width, height);
  std::vector<unsigned char> row(static_cast<size_t>(width) * 4);
  return encode(surface, sink, opaque, row.data());
}

}  // namespace

bool writePNGFile(cairo_surface_t* surface, FILE* file) { return file && encodeSurface(surface, Sink{file, nullptr}); }

std::optional<std::string> pngBytes(cairo_surface_t* surface) {
  std::string bytes;
  if (!encodeSurface(surface, Sink{nullptr, &bytes})) return std::nullopt;
  return bytes;
}

}  // namespace sbhost
