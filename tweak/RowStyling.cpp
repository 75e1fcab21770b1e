// Height, transparency and look of the tweak's rows in the lock-screen
// list; every other row keeps the platform's.

#include "BulletinFields.h"
#include "PlatformAccess.h"
#include "Replacements.h"
#include "RowIcons.h"
#include "RowLayout.h"
#include "TweakState.h"
#include "WallpaperUnderlay.h"

#include <Foundation/NSDictionary.h>
#include <Foundation/NSLog.h>
#include <Foundation/NSNumber.h>
#include <Foundation/NSObjCRuntime.h>
#include <UIKit/NSIndexPath.h>
#include <UIKit/UIColor.h>
#include <UIKit/UIFont.h>
#include <UIKit/UILabel.h>
#include <UIKit/UIStringDrawing.h>
#include <objc/message.h>

namespace quillpane {

namespace {

double lineHeight(int64_t size) {
  return sizeWithFont(kLineSample, UIFont::systemFontOfSize(static_cast<double>(size)).get()).height;
}

/// The nearest table view above a view (subclasses included), or nil.
id enclosingTableView(const UIView* view) {
  static Class tableClass = objc_getClass("UITableView");
  for (auto v = view ? view->superview() : nullptr; v; v = v->superview())
    if (objc::isKind(v.get(), tableClass)) return v;
  return nullptr;
}

/// The cell's index path in its table; nil outside a table.
Ref<NSIndexPath> indexPathOfCell(const id& cell) {
  id table = enclosingTableView(objc::as<UIView>(cell).get());
  return objc::msg<Ref<NSIndexPath>>(table, SEL_("indexPathForCell:"), cell);
}

Ref<UILabel> label(const id& cell, SEL getter) { return objc::msg<Ref<UILabel>>(cell, getter); }

void restyle(const Ref<UILabel>& l, int64_t size, const Ref<UIColor>& color) {
  if (!l) return;
  l->setFont(l->font()->fontWithSize(static_cast<double>(size)));
  l->setTextColor(color);
}

Ref<UIColor> titleColour(const std::string& bulletinID) {
  if (!titleColorSameAsListColor) return textColor;
  if (bulletinID.size() < kOwnPrefix.size()) {
    NSLog("%@ did not find custom color string! (2)", tag());
    return UIColor::whiteColor();
  }
  return listColourFromIdentifier(bulletinID);
}

CGSize measured(const Ref<UILabel>& l) { return l ? sizeWithFont(l->text().get(), l->font().get()) : CGSize{}; }

}  // namespace

double listViewHeightForRow(id self, SEL cmd, id tableView, id indexPath) {
  if (!isEnabled) return saved::heightForRow(self, cmd, tableView, indexPath);
  id item = listItemAtIndexPath(indexPath);
  if (!isOwnRow(item.get())) {
    if constexpr (debugMode) {
      if (!objc::hasClassName(item.get(), "SBAwayBulletinListItem"))
        NSLog("%@ heightForRowAtIndexPath item is NOT of expected class", tag());
      else
        NSLog("%@ heightForRowAtIndexPath, this is NOT our item, id is %@", tag(), itemBulletinID(item.get()));
    }
    if (wallpaperBlurMode == 1) reRequestUnderlay();
    return saved::heightForRow(self, cmd, tableView, indexPath);
  }

  id bulletin = activeBulletinOf(item.get());
  auto subtitle = objc::msg<Ref<NSString>>(bulletin, SEL_("subtitle"));
  const double height = ownRowHeight({lineHeight(textSize), lineHeight(subtitleTextSize), displayLocation,
                                      subtitle && subtitle->length() > 0, sameHeightRows});

  bool found = false;
  auto cache = objc::as<NSMutableDictionary>(ivarObject(self.get(), "_heightForListItemCache", &found));
  if (!found)
    NSLog("%@ list view has no _heightForListItemCache, row height not cached", tag());
  else if (cache)
    cache->setObjectForKey(NSNumber::numberWithFloat(static_cast<float>(height)), item);
  return height;
}

id cellInitWithStyle(id self, SEL cmd, int64_t style, id reuseIdentifier) {
  // Without a reuse identifier a cell styled for a reminder never shows
  // another row.
  return saved::initWithStyle(self, cmd, style, nullptr);
}

void cellSetContentAlpha(id self, SEL cmd, double alpha) {
  if (!isEnabled) return saved::setContentAlpha(self, cmd, alpha);
  auto indexPath = indexPathOfCell(self);
  const bool first = !indexPath || (indexPath->row() == 0 && indexPath->section() == 0);
  if (first || isOwnRow(listItemAtIndexPath(indexPath).get())) return saved::setContentAlpha(self, cmd, 1.0);
  saved::setContentAlpha(self, cmd, alpha);
}

void cellLayoutSubviews(id self, SEL cmd) {
  saved::layoutSubviews(self, cmd);
  if (!isEnabled) return;
  id item = listItemAtIndexPath(indexPathOfCell(self));
  // Other rows, of whatever item class, stay as the platform laid them out.
  if (!isOwnRow(item.get())) return;
  const std::string bulletinID = itemBulletinID(item.get());

  auto title = label(self, SEL_("primaryLabel"));
  auto message = label(self, SEL_("secondaryLabel"));
  auto subtitle = label(self, SEL_("subtitleLabel"));
  auto date = label(self, SEL_("relevanceDateLabel"));
  if (message) message->setTextColor(UIColor::clearColor());
  if (title) {
    title->setFont(title->font()->fontWithSize(static_cast<double>(textSize)));
    title->setTextColor(titleColour(bulletinID));
  }
  restyle(subtitle, subtitleTextSize, subtitleTextColor);
  restyle(date, dateTextSize, dateTextColor);

  bool found = false;
  auto unlockText = objc::as<UILabel>(ivarObject(self.get(), "_unlockTextLabel", &found));
  if (!found) NSLog("%@ bulletin cell has no _unlockTextLabel, unlock text left", tag());
  if (unlockText) unlockText->setText(NSStr(""));

  const RowLabelSizes sizes{measured(title), measured(date), measured(subtitle)};
  const double width = objc::msg<CGRect>(self, SEL_("contentBounds")).size.width;
  const RowFrames frames = layoutOwnRow(sizes, width, rightAlignedDate);
  if (title) title->setFrame(frames.title);
  if (date) date->setFrame(frames.date);
  if (subtitle) subtitle->setFrame(frames.subtitle);

  if (usesDrawsSeparators(NSFoundationVersionNumber)) {
    objc::msg(self, SEL_("setDrawsSeparators:"), showSeparatorLines);
  } else {
    objc::msg(self, SEL_("_setSeparatorHidden:"), !showSeparatorLines);
    objc::msg(self, SEL_("_setDrawsSeparatorAtTopOfSection:"), false);
  }
}

}  // namespace quillpane
