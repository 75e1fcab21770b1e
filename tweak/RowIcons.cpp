#include "RowIcons.h"

#include "BulletinFields.h"
#include "RowLayout.h"
#include "TweakState.h"

#include <CoreImage/CIColor.h>
#include <UIKit/UIColor.h>
#include <UIKit/UIGraphics.h>
#include <UIKit/UIImage.h>

namespace quillpane {

Ref<UIImage> drawColoredDot(const UIColor* color, double diameter) {
  UIGraphicsBeginImageContextWithOptions(CGSizeMake(kDotCanvasSide, kDotCanvasSide), false, 1.0);
  CGContextRef ctx = UIGraphicsGetCurrentContext();
  CGContextSetLineWidth(ctx, 2.0);
  CGContextSetStrokeColorWithColor(ctx, UIColor::blackColor()->CGColor().get());
  CGContextSetFillColorWithColor(ctx, color ? color->CGColor().get() : nullptr);
  const CGRect square = dotSquare(diameter);
  CGContextStrokeEllipseInRect(ctx, square);
  CGContextFillEllipseInRect(ctx, square);
  auto image = UIGraphicsGetImageFromCurrentImageContext();
  UIGraphicsEndImageContext();
  return image;
}

Ref<UIColor> listColourFromIdentifier(std::string_view bulletinID) {
  auto field = colourField(bulletinID);
  if (!field) {
    logTagged("did not find custom color string! (1)");
    return UIColor::whiteColor();
  }
  return UIColor::colorWithCIColor(CIColor::colorWithString(*field).get());
}

}  // namespace quillpane
