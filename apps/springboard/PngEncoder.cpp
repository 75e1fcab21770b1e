#include "PngEncoder.h"

#include "PixelMemory.h"

#include <libdeflate.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
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

cairo_status_t cairoToSink(void* closure, const unsigned char* data, unsigned int length) {
  return static_cast<const Sink*>(closure)->write(data, length) ? CAIRO_STATUS_SUCCESS : CAIRO_STATUS_WRITE_ERROR;
}

uint32_t pixelAt(const unsigned char* row, int x) {
  uint32_t p = 0;
  std::memcpy(&p, row + 4 * static_cast<ptrdiff_t>(x), 4);
  return p;
}

/// One row of a Cairo image as RGB bytes, the alpha byte left out; the
/// alpha bytes of the row ANDed together, 0xFF when all are opaque.
uint32_t opaqueRGB(const unsigned char* from, int width, unsigned char* to) {
  uint32_t all = 0xFFFFFFFFU;
  for (int x = 0; x < width; ++x, to += 3) {
    const uint32_t p = pixelAt(from, x);
    all &= p;
    to[0] = static_cast<unsigned char>(p >> 16);
    to[1] = static_cast<unsigned char>(p >> 8);
    to[2] = static_cast<unsigned char>(p);
  }
  return all >> 24;
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

/// The four bytes of n, most significant first, as PNG stores numbers.
void putBigEndian(uint32_t n, unsigned char* to) {
  to[0] = static_cast<unsigned char>(n >> 24);
  to[1] = static_cast<unsigned char>(n >> 16);
  to[2] = static_cast<unsigned char>(n >> 8);
  to[3] = static_cast<unsigned char>(n);
}

/// One chunk: its length, type, data and the check sum of type and data.
bool writeChunk(const Sink& sink, const char* type, const unsigned char* data, size_t length) {
  unsigned char head[8];
  putBigEndian(static_cast<uint32_t>(length), head);
  std::memcpy(head + 4, type, 4);
  unsigned char tail[4];
  uint32_t crc = libdeflate_crc32(0, head + 4, 4);
  if (length > 0) crc = libdeflate_crc32(crc, data, length);  // a null buffer would start the sum afresh
  putBigEndian(crc, tail);
  return sink.write(head, 8) && (length == 0 || sink.write(data, length)) && sink.write(tail, 4);
}

/// The picture as PNG: 8-bit RGB (opaque) or straight RGBA, each row
/// behind the "up" filter, which turns the wallpaper's slow gradients into
/// runs. A picture to look at now, not to archive: the rows are
/// compressed at once by libdeflate's quickest level, well ahead of zlib's.
bool encode(cairo_surface_t* surface, const Sink& sink) {
  const int width = cairo_image_surface_get_width(surface);
  const int height = cairo_image_surface_get_height(surface);
  const ptrdiff_t stride = cairo_image_surface_get_stride(surface);
  const unsigned char* pixels = cairo_image_surface_get_data(surface);
  // Read as opaque RGB first (the usual picture); a pixel anything shows
  // through turns it into straight RGBA.
  bool opaque = true;
  size_t rowBytes = static_cast<size_t>(width) * 3;
  PixelBlock rows = allocatePixels((rowBytes + 1) * static_cast<size_t>(height));
  if (!rows) return false;
  uint32_t alpha = 0xFF;
  const bool hasAlpha = cairo_image_surface_get_format(surface) == CAIRO_FORMAT_ARGB32;
  for (int y = 0; y < height; ++y)
    alpha &= opaqueRGB(pixels + y * stride, width, rows.get() + (rowBytes + 1) * static_cast<size_t>(y) + 1);
  if (hasAlpha && alpha != 0xFF) {
    opaque = false;
    rowBytes = static_cast<size_t>(width) * 4;
    rows = allocatePixels((rowBytes + 1) * static_cast<size_t>(height));
    if (!rows) return false;
    for (int y = 0; y < height; ++y)
      straightRGBA(pixels + y * stride, width, rows.get() + (rowBytes + 1) * static_cast<size_t>(y) + 1);
  }
  const size_t filtered = (rowBytes + 1) * static_cast<size_t>(height);
  for (int y = 0; y < height; ++y) rows[(rowBytes + 1) * static_cast<size_t>(y)] = 2;  // up: less the byte above
  // Filtered in place from the bottom up, so the row above is still as it was.
  for (int y = height - 1; y > 0; --y) {
    unsigned char* row = rows.get() + (rowBytes + 1) * static_cast<size_t>(y) + 1;
    const unsigned char* above = row - (rowBytes + 1);
    for (size_t i = 0; i < rowBytes; ++i) row[i] = static_cast<unsigned char>(row[i] - above[i]);
  }

  std::unique_ptr<libdeflate_compressor, decltype(&libdeflate_free_compressor)> compressor(
      libdeflate_alloc_compressor(1), &libdeflate_free_compressor);
  if (!compressor) return false;
  const size_t bound = libdeflate_zlib_compress_bound(compressor.get(), filtered);
  PixelBlock packed = allocatePixels(bound);
  if (!packed) return false;
  const size_t packedSize = libdeflate_zlib_compress(compressor.get(), rows.get(), filtered, packed.get(), bound);
  if (packedSize == 0) return false;

  static const unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  unsigned char header[13];
  putBigEndian(static_cast<uint32_t>(width), header);
  putBigEndian(static_cast<uint32_t>(height), header + 4);
  header[8] = 8;                // bits per channel
  header[9] = opaque ? 2 : 6;   // RGB, or RGB with alpha
  header[10] = header[11] = 0;  // deflate; adaptive filtering
  header[12] = 0;               // not interlaced
  if (!sink.write(kSignature, sizeof kSignature) || !writeChunk(sink, "IHDR", header, sizeof header)) return false;
  // Chunks hold at most 2^31 - 1 bytes; a screen's picture is far smaller,
  // but the stream may be split anywhere.
  constexpr size_t kMostPerChunk = size_t{1} << 30;
  for (size_t at = 0; at < packedSize; at += kMostPerChunk)
    if (!writeChunk(sink, "IDAT", packed.get() + at, std::min(kMostPerChunk, packedSize - at))) return false;
  return writeChunk(sink, "IEND", nullptr, 0);
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
  // PNG sizes are 31-bit numbers.
  if (width > (1 << 30) / 4 || height > (1 << 30)) return false;
  return encode(surface, sink);
}

}  // namespace

bool writePNGFile(cairo_surface_t* surface, FILE* file) { return file && encodeSurface(surface, Sink{file, nullptr}); }

std::optional<std::string> pngBytes(cairo_surface_t* surface) {
  std::string bytes;
  if (!encodeSurface(surface, Sink{nullptr, &bytes})) return std::nullopt;
  return bytes;
}

}  // namespace sbhost
