#include "PixelMemory.h"

#include <sys/mman.h>

#include <cstdint>
#include <limits>
#include <new>

namespace sbhost {

namespace {

constexpr size_t kLargeBlock = size_t{1} << 20;
constexpr size_t kHugePage = size_t{2} << 20;

/// A mapped block remembers where its mapping starts and how long it is
/// in the 2 MiB before the memory it hands out, which the alignment leaves
/// free anyway.
struct Mapping {
  void* start;
  size_t length;
};

unsigned char* mapLarge(size_t bytes) {
  if (bytes > std::numeric_limits<size_t>::max() - 2 * kHugePage) return nullptr;
  // One huge page more than the block needs, so the block can start on a
  // 2 MiB boundary with room for its record in front.
  const size_t rounded = (bytes + kHugePage - 1) / kHugePage * kHugePage;
  const size_t length = rounded + kHugePage;
  void* start = ::mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (start == MAP_FAILED) return nullptr;
  // The first 2 MiB boundary past the mapping's start.
  const size_t past = reinterpret_cast<uintptr_t>(start) % kHugePage;
  unsigned char* block = static_cast<unsigned char*>(start) + (kHugePage - past);
  // Only a hint: without transparent huge pages the block is plain pages.
  ::madvise(block, rounded, MADV_HUGEPAGE);
  ::new (block - sizeof(Mapping)) Mapping{start, length};
  return block;
}

void unmapLarge(unsigned char* block) noexcept {
  const Mapping mapping = *reinterpret_cast<const Mapping*>(block - sizeof(Mapping));
  ::munmap(mapping.start, mapping.length);
}

// A surface holds only mapped blocks: a small one is cairo's own.
void releaseSurfaceBlock(void* block) { unmapLarge(static_cast<unsigned char*>(block)); }

const cairo_user_data_key_t kBlockKey{};

}  // namespace

void PixelRelease::operator()(unsigned char* block) const noexcept {
  if (!block) return;
  if (bytes >= kLargeBlock)
    unmapLarge(block);
  else
    ::operator delete[](block);
}

PixelBlock allocatePixels(size_t bytes) {
  if (bytes >= kLargeBlock) return PixelBlock(mapLarge(bytes), PixelRelease{bytes});
  return PixelBlock(new (std::nothrow) unsigned char[bytes], PixelRelease{bytes});
}

cairo_surface_t* createPictureSurface(int width, int height) {
  const int stride = cairo_format_stride_for_width(CAIRO_FORMAT_ARGB32, width);
  if (stride <= 0 || height <= 0 || static_cast<size_t>(stride) * static_cast<size_t>(height) < kLargeBlock)
    return cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
  const size_t bytes = static_cast<size_t>(stride) * static_cast<size_t>(height);
  PixelBlock block = allocatePixels(bytes);
  if (!block) return cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
  cairo_surface_t* surface =
      cairo_image_surface_create_for_data(block.get(), CAIRO_FORMAT_ARGB32, width, height, stride);
  if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) return surface;
  if (cairo_surface_set_user_data(surface, &kBlockKey, block.get(), releaseSurfaceBlock) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(surface);
    return cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
  }
  static_cast<void>(block.release());  // the surface lets go of it when destroyed
  return surface;
}

}  // namespace sbhost
