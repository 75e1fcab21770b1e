#include "RowStyling.h"

#include "PlatformAccess.h"
#include "RowIcons.h"
#include "RowLayout.h"
#include "TweakState.h"

#include <Foundation/NSObjCRuntime.h>
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

Ref<UILabel> label(const id& cell, SEL getter) { return objc::msg<Ref<UILabel>>(cell, getter); }

void restyle(const Ref<UILabel>& l, int64_t size, const Ref<UIColor>& color) {
  if (!l) return;
  l->setFont(l->font()->fontWithSize(static_cast<double>(size)));
  l->setTextColor(color);
}

Ref<UIColor> titleColour(const std::string& bulletinID) {
  switch (titleColourSource(titleColorSameAsListColor, bulletinID)) {
    case TitleColourSource::Setting: return textColor;
    case TitleColourSource::ListColour: return listColourFromIdentifier(bulletinID);
    case TitleColourSource::MissingListColour: break;
  }
  logTagged("did not find custom color string! (2)");
  return UIColor::whiteColor();
}

CGSize measured(const Ref<UILabel>& l) { return l ? sizeWithFont(l->text().get(), l->font().get()) : CGSize{}; }

}  // namespace

double ownRowHeightOf(const id& item) {
  id bulletin = activeBulletinOf(item.get());
  auto subtitle = objc::msg<Ref<NSString>>(bulletin, SEL_("subtitle"));
  return ownRowHeight({lineHeight(textSize), lineHeight(subtitleTextSize), displayLocation,
                       subtitle && subtitle->length() > 0, sameHeightRows});
}

Ref<NSIndexPath> indexPathOfCell(const id& cell) {
  id table = enclosingTableView(objc::as<UIView>(cell).get());
  return objc::msg<Ref<NSIndexPath>>(table, SEL_("indexPathForCell:"), cell);
}

void styleOwnRowCell(const id& cell, const std::string& bulletinID) {
  auto title = label(cell, SEL_("primaryLabel"));
  auto message = label(cell, SEL_("secondaryLabel"));
  auto subtitle = label(cell, SEL_("subtitleLabel"));
  auto date = label(cell, SEL_("relevanceDateLabel"));
  if (message) message->setTextColor(UIColor::clearColor());
  if (title) {
    title->setFont(title->font()->fontWithSize(static_cast<double>(textSize)));
    title->setTextColor(titleColour(bulletinID));
  }
  restyle(subtitle, subtitleTextSize, subtitleTextColor);
  restyle(date, dateTextSize, dateTextColor);

  bool found = false;
  auto unlockText = objc::as<UILabel>(ivarObject(cell.get(), "_unlockTextLabel", &found));
  if (!found) logTagged("bulletin cell has no _unlockTextLabel, unlock text left");
  if (unlockText) unlockText->setText(NSStr(""));

  const RowLabelSizes sizes{measured(title), measured(date), measured(subtitle)};
  const double width = objc::msg<CGRect>(cell, SEL_("contentBounds")).size.width;
  const RowFrames frames = layoutOwnRow(sizes, width, rightAlignedDate);
  if (title) title->setFrame(frames.title);
  if (date) date->setFrame(frames.date);
  if (subtitle) subtitle->setFrame(frames.subtitle);

  if (usesDrawsSeparators(NSFoundationVersionNumber)) {
    objc::msg(cell, SEL_("setDrawsSeparators:"), showSeparatorLines);
  } else {
    objc::msg(cell, SEL_("_setSeparatorHidden:"), !showSeparatorLines);
    objc::msg(cell, SEL_("_setDrawsSeparatorAtTopOfSection:"), false);
  }
}

}  // namespace quillpane
