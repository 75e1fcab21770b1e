#pragma once
/// \file
/// The icons of the tweak's rows: a dot in the reminder list's colour,
/// drawn on demand.

#include <objc/NSObject.h>

#include <string_view>

class UIColor;
class UIImage;

namespace quillpane {

/// A new 80 by 80 image (scale 1), transparent but for a dot of the given
/// diameter: a black outline 2 wide under the fill, so a 1-point black ring
/// stays outside the coloured disc. Leaves the thread's drawing state as it
/// found it.
Ref<UIImage> drawColoredDot(const UIColor* color, double diameter);

/// The list colour carried in an own bulletin's identifier; white with the
/// "(1)" line when the identifier has no colour field.
Ref<UIColor> listColourFromIdentifier(std::string_view bulletinID);

}  // namespace quillpane
