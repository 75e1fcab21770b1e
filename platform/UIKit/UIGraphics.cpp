#include <UIKit/UIGraphics.h>

#include <algorithm>
#include <cstring>

#include <Foundation/NSLog.h>
#include <UIKit/UIScreen.h>

#include <cairo.h>

#include <vector>

namespace {

struct Entry {
  Ref<CGContext> context;
  bool imageCanvas;  // begun with UIGraphicsBegin..., not pushed
};

/// Each thread draws into contexts of its own.
std::vector<Entry>& contextStack() {
  thread_local std::vector<Entry> stack;
  return stack;
}

}  // namespace

void UIGraphicsBeginImageContextWithOptions(CGSize size, bool opaque, double scale) {
  if (scale == 0) scale = UIScreen::mainScreen()->scale();
  auto ctx = CGContext::createBitmap(size, opaque, scale);
  if (!ctx)
    NSLog("UIKit: UIGraphicsBeginImageContext() failed to allocate a context of %g x %g", size.width, size.height);
  // An unusable canvas still takes its place on the stack, so the matching
  // end call pops it and the caller's context comes back.
  contextStack().push_back({ctx, true});
}

void UIGraphicsBeginImageContext(CGSize size) { UIGraphicsBeginImageContextWithOptions(size, false, 1); }

CGContextRef UIGraphicsGetCurrentContext() {
  auto& stack = contextStack();
  return stack.empty() ? nullptr : stack.back().context.get();
}

Ref<UIImage> UIGraphicsGetImageFromCurrentImageContext() {
  auto& stack = contextStack();
  if (stack.empty() || !stack.back().imageCanvas || !stack.back().context) return nullptr;
  CGContext* ctx = stack.back().context.get();
  cairo_surface_t* src = ctx->surface();
  cairo_surface_flush(src);
  // A copy: later drawing into the canvas does not change the image. The
  // canvas and the copy share a format and size, so the rows copy as bytes.
  const int width = cairo_image_surface_get_width(src), height = cairo_image_surface_get_height(src);
  cairo_surface_t* copy = cairo_image_surface_create(cairo_image_surface_get_format(src), width, height);
  const int fromStride = cairo_image_surface_get_stride(src), toStride = cairo_image_surface_get_stride(copy);
  const unsigned char* from = cairo_image_surface_get_data(src);
  unsigned char* to = cairo_image_surface_get_data(copy);
  if (from && to) {
    for (int y = 0; y < height; ++y)
      std::memcpy(to + static_cast<ptrdiff_t>(y) * toStride, from + static_cast<ptrdiff_t>(y) * fromStride,
                  static_cast<size_t>(std::min(fromStride, toStride)));
  }
  cairo_surface_mark_dirty(copy);
  auto image = UIImage::imageWithSurface(copy, ctx->scale());
  cairo_surface_destroy(copy);
  return image;
}

void UIGraphicsEndImageContext() {
  auto& stack = contextStack();
  if (stack.empty() || !stack.back().imageCanvas) {
    NSLog("UIKit: UIGraphicsEndImageContext() called without a current image context");
    return;
  }
  stack.pop_back();
}

void UIGraphicsPushContext(CGContextRef ctx) { contextStack().push_back({Ref<CGContext>(ctx), false}); }

void UIGraphicsPopContext() {
  auto& stack = contextStack();
  if (stack.empty() || stack.back().imageCanvas) {
    NSLog("UIKit: UIGraphicsPopContext() called without a pushed context");
    return;
  }
  stack.pop_back();
}
