#include "RowIcons.h"

#include "BulletinFields.h"
#include "PlatformAccess.h"
#include "Replacements.h"
#include "TweakState.h"

#include <CoreImage/CIColor.h>
#include <Foundation/NSLog.h>
#include <UIKit/UIColor.h>
#include <UIKit/UIGraphics.h>
#include <UIKit/UIImage.h>
#include <objc/message.h>

namespace quillpane {

IconMode iconModeFor(std::string_view iconFile) {
  if (iconFile == "NONE") return IconMode::None;
  if (iconFile == "DOT") return IconMode::Dot;
  if (iconFile == "DOT_LARGE") return IconMode::LargeDot;
  return IconMode::Image;
}

CGRect dotSquare(double diameter) {
  const double o = (kDotCanvasSide - diameter) * 0.5;
  return CGRectMake(o, o, diameter, diameter);
}

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
    NSLog("%@ did not find custom color string! (1)", tag());
    return UIColor::whiteColor();
  }
  return UIColor::colorWithCIColor(CIColor::colorWithString(*field).get());
}

id itemIconImage(id self, SEL cmd) {
  if (!objc::respondsTo(self.get(), SEL_("activeBulletin"))) {
    NSLog("%@ SBAwayBulletinListItem not responding to the required selector, ignoring", tag());
    return saved::iconImage(self, cmd);
  }
  if (!isEnabled) return saved::iconImage(self, cmd);
  const std::string bulletinID = itemBulletinID(self.get());
  if (!isOwnBulletinID(bulletinID)) return saved::iconImage(self, cmd);
  switch (iconModeFor(iconFile)) {
    case IconMode::None: return nullptr;
    case IconMode::Image: return icon;
    case IconMode::Dot: return drawColoredDot(listColourFromIdentifier(bulletinID).get(), kDotDiameter);
    case IconMode::LargeDot: return drawColoredDot(listColourFromIdentifier(bulletinID).get(), kLargeDotDiameter);
  }
  return nullptr;
}

}  // namespace quillpane
