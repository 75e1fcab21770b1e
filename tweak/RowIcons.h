#pragma once
/// \file
/// The icons of the tweak's rows: none, the configured image, or a dot in
/// the reminder list's colour.

#include <CoreGraphics/CGGeometry.h>
#include <objc/NSObject.h>

#include <string_view>

class UIColor;
class UIImage;

namespace quillpane {

enum class IconMode { None, Dot, LargeDot, Image };

/// "NONE", "DOT" and "DOT_LARGE" exactly; anything else is an image path.
IconMode iconModeFor(std::string_view iconFile);

constexpr double kDotCanvasSide = 80.0;
constexpr double kDotDiameter = 30.0;
constexpr double kLargeDotDiameter = 50.0;

/// The square the dot is inscribed in, centred on the canvas.
CGRect dotSquare(double diameter);

/// A new 80 by 80 image (scale 1), transparent but for a dot of the given
/// diameter: a black outline 2 wide under the fill, so a 1-point black ring
/// stays outside the coloured disc. Leaves the thread's drawing state as it
/// found it.
Ref<UIImage> drawColoredDot(const UIColor* color, double diameter);

/// The list colour carried in an own bulletin's identifier; white with the
/// "(1)" line when the identifier has no colour field.
Ref<UIColor> listColourFromIdentifier(std::string_view bulletinID);

}  // namespace quillpane
