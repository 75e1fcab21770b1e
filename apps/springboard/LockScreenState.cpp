#include "LockScreenState.h"

#include <BulletinBoard/BBBulletin.h>
#include <Foundation/NSCalendar.h>
#include <SpringBoard/SBApplicationIcons.h>
#include <SpringBoard/SBAwayListItem.h>
#include <SpringBoard/SBBacklightController.h>
#include <SpringBoard/SBLockScreenBulletinCell.h>
#include <SpringBoard/SBLockScreenNotificationListController.h>
#include <SpringBoard/SBLockScreenNotificationListView.h>
#include <SpringBoard/SBLockScreenView.h>
#include <SpringBoard/SBRelevanceDate.h>
#include <UIKit/UIImage.h>
#include <objc/message.h>

#include <fmt/format.h>

#include <cmath>
#include <cstdlib>

namespace sbhost {

namespace {

std::string text(const Ref<NSString>& s) { return s ? s->str() : std::string(); }

RGBA rgba(const UIColor* c) { return c ? c->components() : RGBA{0, 0, 0, 1}; }

RGBA unpack(uint32_t px) {
  return {((px >> 24) & 0xFF) / 255.0, ((px >> 16) & 0xFF) / 255.0, ((px >> 8) & 0xFF) / 255.0, (px & 0xFF) / 255.0};
}

}  // namespace

std::string deviceTimeISO(double t) {
  auto date = NSDate::dateWithTimeIntervalSinceReferenceDate(t);
  auto calendar = NSCalendar::currentCalendar();
  auto c = calendar->componentsFromDate(NSCalendar::Year | NSCalendar::Month | NSCalendar::Day | NSCalendar::Hour |
                                            NSCalendar::Minute | NSCalendar::Second,
                                        date.get());
  const int64_t offset = calendar->timeZone() ? calendar->timeZone()->secondsFromGMTForDate(date.get()) : 0;
  const int64_t a = std::llabs(offset);
  return fmt::format("{:04}-{:02}-{:02}T{:02}:{:02}:{:02}{}{:02}:{:02}", c->year, c->month, c->day, c->hour, c->minute,
                     c->second, offset < 0 ? '-' : '+', a / 3600, (a % 3600) / 60);
}

namespace {

/// Tells a drawn dot (an 80-point canvas at scale 1, clear at its corners)
/// from a configured picture or an application's icon.
IconState describeIcon(const Ref<UIImage>& image, bool own) {
  IconState icon;
  if (!image) return icon;
  icon.width = image->size().width;
  icon.height = image->size().height;
  icon.scale = image->scale();
  const int w = image->pixelWidth(), h = image->pixelHeight();
  const bool dotCanvas = w == 80 && h == 80 && image->scale() == 1 && (image->pixelRGBA(0, 0) & 0xFF) == 0 &&
                         (image->pixelRGBA(40, 40) & 0xFF) > 0;
  if (own && dotCanvas) {
    icon.kind = "dot";
    icon.color = unpack(image->pixelRGBA(40, 40));
    int left = 40, right = 40;
    while (left > 0 && (image->pixelRGBA(left - 1, 40) & 0xFF) > 0x40) --left;
    while (right < w - 1 && (image->pixelRGBA(right + 1, 40) & 0xFF) > 0x40) ++right;
    // The outline reaches one point outside the disc on either side.
    icon.dotDiameter = std::max(0, right - left + 1 - 2);
  } else if (own) {
    icon.kind = "image";
  } else {
    icon.kind = springboard::isGenericApplicationIcon(image.get()) ? "generic" : "app";
  }
  return icon;
}

void describeAction(RowState& row, const Ref<BBAction>& action) {
  if (!action) return;
  if (auto url = action->launchURL()) {
    row.actionKind = "url";
    row.actionTarget = url->descriptionString();
  } else if (auto bundle = action->bundleID()) {
    row.actionKind = "bundle";
    row.actionTarget = bundle->str();
  } else if (action->hasCallblock()) {
    row.actionKind = "callblock";
  }
}

LabelState describeLabel(const char* name, const Ref<UILabel>& label) {
  LabelState s;
  s.name = name;
  if (!label) return s;
  s.text = text(label->text());
  s.frame = label->frame();
  if (auto font = label->font()) {
    s.fontName = text(font->fontName());
    s.fontSize = font->pointSize();
  }
  s.color = rgba(label->textColor().get());
  s.hidden = label->isHidden();
  return s;
}

void readCell(RowState& row, SBLockScreenBulletinCell& cell, CGPoint origin) {
  row.visible = true;
  row.contentAlpha = cell.contentAlpha();
  row.separatorAbove = cell.showsSeparatorAtTop();
  row.separatorBelow = cell.showsSeparator();
  row.labels = {describeLabel("primaryLabel", cell.primaryLabel()),
                describeLabel("subtitleLabel", cell.subtitleLabel()),
                describeLabel("secondaryLabel", cell.secondaryLabel()),
                describeLabel("relevanceDateLabel", cell.relevanceDateLabel()),
                describeLabel("_unlockTextLabel", cell.unlockTextLabel())};
  row.icon = describeIcon(cell.icon(), row.own);
  const CGRect f = cell.iconFrame();
  row.icon.frame = CGRectMake(origin.x + f.origin.x, origin.y + f.origin.y, f.size.width, f.size.height);
}

}  // namespace

bool isOwnBulletinID(const std::string& bulletinID) { return bulletinID.starts_with("Quillpane"); }

LockScreenState readLockScreenState(SBLockScreenView* lockScreen, SBLockScreenNotificationListController* list) {
  LockScreenState state;
  if (lockScreen) {
    state.time = text(lockScreen->timeLabel() ? lockScreen->timeLabel()->text() : nullptr);
    state.date = text(lockScreen->dateLabel() ? lockScreen->dateLabel()->text() : nullptr);
    state.underlay.shown = lockScreen->isShowingLockContentUnderlay();
    state.underlay.requesters = lockScreen->underlayRequesters();
    for (const auto& r : lockScreen->underlayRequestLog()) state.underlay.requests.push_back({r.add, r.requester});
    state.underlay.frame = lockScreen->notificationListFrame();
  }
  state.lightingCount = SBBacklightController::sharedInstance()->lightingCount();
  for (const auto& l : SBBacklightController::sharedInstance()->lightings())
    state.lightings.push_back({l.cause == SBScreenLighting::Cause::User ? "user" : "bulletin", l.item, l.time});

  auto listView = list ? list->listView() : nullptr;
  auto table = listView ? listView->tableView() : nullptr;
  if (!list || !table) return state;
  state.listScrollOffset = table->contentOffset().y;
  // The list's place on the screen, for rows and icons in screen points.
  const CGPoint listOrigin = listView->convertPointToView(CGPointMake(0, 0), lockScreen);

  const NSInteger count = table->numberOfRowsInSection(0);
  for (NSInteger i = 0; i < count; ++i) {
    auto indexPath = NSIndexPath::indexPathForRow(i, 0);
    id item = objc::msg<id>(list, SEL_("listItemAtIndexPath:"), indexPath);
    RowState row;
    row.index = static_cast<size_t>(i);
    row.itemClass = item ? object_getClassName(item.get()) : "(null)";
    Ref<BBBulletin> bulletin;
    if (objc::respondsTo(item.get(), SEL_("activeBulletin")))
      bulletin = objc::as<BBBulletin>(objc::msg<id>(item, SEL_("activeBulletin")));
    if (bulletin) {
      row.bulletinID = text(bulletin->bulletinID());
      row.own = isOwnBulletinID(row.bulletinID) && row.itemClass == "SBAwayBulletinListItem";
      row.title = text(bulletin->title());
      row.subtitle = text(bulletin->subtitle());
      row.message = text(bulletin->message());
      row.section = text(bulletin->section());
      if (auto date = bulletin->date()) {
        row.date = date->timeIntervalSinceReferenceDate();
        row.dateISO = deviceTimeISO(*row.date);
      }
      describeAction(row, bulletin->defaultAction());
      row.dateText =
          springboard::relevanceDateText(bulletin->date().get(), bulletin->dateIsAllDay(), NSDate::date().get());
    }
    const CGRect r = table->rectForRowAtIndexPath(indexPath);
    row.height = r.size.height;
    const CGPoint origin = CGPointMake(listOrigin.x + r.origin.x, listOrigin.y + r.origin.y - state.listScrollOffset);
    row.frame = CGRectMake(origin.x, origin.y, r.size.width, r.size.height);
    if (objc::respondsTo(item.get(), SEL_("canBeClearedByNotificationCenter")))
      row.canClear = objc::msg<bool>(item, SEL_("canBeClearedByNotificationCenter"));
    row.canEdit = objc::msg<bool>(listView, SEL_("tableView:canEditRowAtIndexPath:"), table, indexPath);

    if (auto cell = objc::as<SBLockScreenBulletinCell>(table->cellForRowAtIndexPath(indexPath))) {
      readCell(row, *cell, origin);
    } else if (objc::respondsTo(item.get(), SEL_("iconImage"))) {
      row.icon = describeIcon(objc::msg<Ref<UIImage>>(item, SEL_("iconImage")), row.own);
    }
    state.rows.push_back(std::move(row));
  }
  return state;
}

}  // namespace sbhost
