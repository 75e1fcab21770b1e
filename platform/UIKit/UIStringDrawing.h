#pragma once
/// \file
/// Measuring and drawing text with UIKit fonts, one line, no wrapping.

#include <CoreGraphics/CGGeometry.h>
#include <Foundation/NSString.h>
#include <UIKit/UIKitDefines.h>

#include <string>
#include <string_view>

class UIFont;
class UIColor;
struct _cairo;
using cairo_t = struct _cairo;

/// `sizeWithFont:`: the width of the text on one line (advances with the
/// face's kerning) and the font's line height, both rounded up to whole
/// points as the device returns them. A nil or empty string is 0 wide and
/// still one line high; a nil font measures nothing.
CGSize sizeWithFont(const NSString* text, const UIFont* font);
CGSize sizeWithFont(std::string_view utf8, const UIFont* font);

/// The unrounded advance width of one line.
double advanceWidth(std::string_view utf8, const UIFont* font);

/// The line cut at its tail with an ellipsis to fit width, as a label
/// truncates text too long for its frame: whole characters go, then the
/// spaces before the ellipsis. Text that fits comes back whole; "" when not
/// even the ellipsis fits.
std::string truncatedToFit(std::string_view utf8, const UIFont* font, double width);

/// Draws text on one line inside rect with the font and colour (nil: black),
/// the baseline at rect.y + ascender, aligned in the rect's width and clipped
/// to it, with the same face that measures it.
void drawStringInRect(cairo_t* cr, std::string_view utf8, const UIFont* font, const UIColor* color, CGRect rect,
                      NSTextAlignment alignment = NSTextAlignmentLeft);
inline void drawStringInRect(cairo_t* cr, const NSString* text, const UIFont* font, const UIColor* color, CGRect rect,
                             NSTextAlignment alignment = NSTextAlignmentLeft) {
  if (text) drawStringInRect(cr, std::string_view(text->str()), font, color, rect, alignment);
}
