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
  // The image takes the canvas's pixels as they are; drawing on into the
  // canvas copies them first, so the image never changes.
  cairo_surface_t* pixels = ctx->shareSurface();
  auto image = UIImage::imageWithSurface(pixels, ctx->scale());
  cairo_surface_destroy(pixels);
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
