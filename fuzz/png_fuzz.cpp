// PNG images: any bytes give an image within the pixel budget, or nil with a
// log line; an image written out as PNG reads back with the same pixels.

#include <Foundation/NSLog.h>
#include <UIKit/UIImage.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>

#include "FuzzSupport.h"

using fuzzsupport::check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  auto& log = fuzzsupport::freshLog();
  const std::string_view bytes = fuzzsupport::asText(data, size);
  auto image = UIImage::imageWithPNGData(bytes, 1, "fuzz.png");
  if (!image) {
    check(log.contains("fuzz.png"), "a refused image is logged by name");
    return 0;
  }
  const auto header = UIImage::pngPixelSize(bytes);
  check(header && uint64_t(image->pixelWidth()) == header->width && uint64_t(image->pixelHeight()) == header->height,
        "the image has its header's size");
  check(uint64_t(image->pixelWidth()) * uint64_t(image->pixelHeight()) <= UIImage::kMaxPixels, "within budget");

  const std::string out = (fuzzsupport::deviceRoot() / "again.png").string();
  check(image->writePNG(out), "an image writes out");
  std::ifstream in(out, std::ios::binary);
  const std::string written((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  auto again = UIImage::imageWithPNGData(written, 1, "again.png");
  check(again && again->pixelWidth() == image->pixelWidth() && again->pixelHeight() == image->pixelHeight(),
        "the written image reads back at its size");
  for (int y = 0; y < image->pixelHeight(); y += 1 + image->pixelHeight() / 8)
    for (int x = 0; x < image->pixelWidth(); x += 1 + image->pixelWidth() / 8)
      check(again->pixelRGBA(x, y) == image->pixelRGBA(x, y), "the written image has the same pixels");
  return 0;
}
