#pragma once
/// \file
/// Image canvases. Each thread has its own stack of drawing contexts: a
/// canvas begun on a thread becomes that thread's current context until it
/// ends, and ending it makes the previous one current again.

#include <CoreGraphics/CGContext.h>
#include <UIKit/UIImage.h>

/// Begins a bitmap canvas of size points; scale 0 means the screen's scale.
void UIGraphicsBeginImageContextWithOptions(CGSize size, bool opaque, double scale);
void UIGraphicsBeginImageContext(CGSize size);
/// The calling thread's current context, or null when it has none.
CGContextRef UIGraphicsGetCurrentContext();
/// A snapshot of the current canvas (nil when there is none).
Ref<UIImage> UIGraphicsGetImageFromCurrentImageContext();
/// Ends the current canvas; does nothing when the thread has none.
void UIGraphicsEndImageContext();
/// Makes ctx current on the calling thread until the matching pop.
void UIGraphicsPushContext(CGContextRef ctx);
void UIGraphicsPopContext();
