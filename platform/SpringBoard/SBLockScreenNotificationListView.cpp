#include <SpringBoard/SBLockScreenNotificationListView.h>

#include <BulletinBoard/BBBulletin.h>
#include <Foundation/NSNumber.h>
#include <SpringBoard/SBBulletinCellMetrics.h>
#include <SpringBoard/SBLockScreenBulletinCell.h>
#include <SpringBoard/SBLockScreenNotificationListController.h>
#include <SpringBoard/SBLockScreenView.h>
#include <SpringBoard/SBRelevanceDate.h>
#include <UIKit/UIColor.h>
#include <objc/ClassBuilder.h>

#include <algorithm>

using ListView = SBLockScreenNotificationListView;

Class SBLockScreenNotificationListView::classObject() {
  static Class cls =
      objc::ClassBuilder<ListView, UIView>("SBLockScreenNotificationListView")
          .method<&ListView::initWithFrame>("initWithFrame:")
          .method<&ListView::layoutSubviews>("layoutSubviews")
          .method<&ListView::numberOfSectionsInTableView>("numberOfSectionsInTableView:")
          .method<&ListView::numberOfRowsInSection>("tableView:numberOfRowsInSection:")
          .method<&ListView::cellForRowAtIndexPath>("tableView:cellForRowAtIndexPath:")
          .method<&ListView::heightForRowAtIndexPath>("tableView:heightForRowAtIndexPath:")
          .method<&ListView::canEditRowAtIndexPath>("tableView:canEditRowAtIndexPath:")
          .method<&ListView::commitEditingStyleForRowAtIndexPath>("tableView:commitEditingStyle:forRowAtIndexPath:")
          .method<&ListView::scrollViewDidScroll>("scrollViewDidScroll:")
          .ivar<&ListView::_heightForListItemCache>("_heightForListItemCache")
          .build();
  return cls;
}
OBJC_REGISTER_CLASS(SBLockScreenNotificationListView);

namespace {

std::string text(const Ref<NSString>& s) { return s ? s->str() : std::string(); }

Ref<BBBulletin> bulletinOf(const id& item) {
  if (!objc::respondsTo(item.get(), SEL_("activeBulletin"))) return nullptr;
  return objc::as<BBBulletin>(objc::msg<id>(item, SEL_("activeBulletin")));
}

/// The lock-screen view the list has been placed in, if any.
Ref<SBLockScreenView> enclosingLockScreenView(const UIView& view) {
  for (auto v = view.superview(); v; v = v->superview())
    if (objc::isKind(v.get(), SBLockScreenView::classObject())) return objc::cast<SBLockScreenView>(v);
  return nullptr;
}

}  // namespace

id SBLockScreenNotificationListView::initWithFrame(CGRect frame) {
  UIView::initWithFrame(frame);
  table_ = objc::cast<UITableView>(objc::msg<id>(objc::alloc<UITableView>(), SEL_("initWithFrame:style:"),
                                                 CGRectMake(0, 0, frame.size.width, frame.size.height),
                                                 NSInteger{UITableViewStylePlain}));
  table_->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
  table_->setBackgroundColor(UIColor::clearColor());
  table_->setDataSource(id(this));
  table_->setDelegate(id(this));
  addSubview(table_);
  return id(this);
}

id SBLockScreenNotificationListView::listItemAt(const Ref<NSIndexPath>& indexPath) const {
  id controller = listController();
  if (!controller) return nullptr;
  return objc::msg<id>(controller, SEL_("listItemAtIndexPath:"), indexPath);
}

void SBLockScreenNotificationListView::reloadListData() {
  table_->reloadData();
  table_->setNeedsLayout();
  setNeedsLayout();
}

void SBLockScreenNotificationListView::forgetHeightForListItem(const NSObject* item) {
  if (item) _heightForListItemCache->removeObjectForKey(item);
}

void SBLockScreenNotificationListView::layoutSubviews() {
  UIView::layoutSubviews();
  const CGRect b = bounds();
  if (table_->frame() != CGRectMake(0, 0, b.size.width, b.size.height))
    table_->setFrame(CGRectMake(0, 0, b.size.width, b.size.height));
  table_->layoutIfNeeded();
  updateContentAlpha();
  updateUnderlayRequest();
}

NSInteger SBLockScreenNotificationListView::numberOfSectionsInTableView(Ref<UITableView> table) { return 1; }

NSInteger SBLockScreenNotificationListView::numberOfRowsInSection(Ref<UITableView> table, NSInteger section) {
  id controller = listController();
  if (!controller || section != 0) return 0;
  return static_cast<NSInteger>(objc::msg<uint64_t>(controller, SEL_("count")));
}

Ref<UITableViewCell> SBLockScreenNotificationListView::cellForRowAtIndexPath(Ref<UITableView> table,
                                                                             Ref<NSIndexPath> indexPath) {
  auto identifier = NSStr(kCellReuseIdentifier);
  auto cell =
      objc::as<SBLockScreenBulletinCell>(table ? table->dequeueReusableCellWithIdentifier(identifier) : nullptr);
  if (!cell)
    cell = objc::cast<SBLockScreenBulletinCell>(objc::msg<id>(objc::alloc<SBLockScreenBulletinCell>(),
                                                              SEL_("initWithStyle:reuseIdentifier:"),
                                                              NSInteger{UITableViewCellStyleDefault}, identifier));
  fillCell(*cell, listItemAt(indexPath), indexPath);
  return cell;
}

void SBLockScreenNotificationListView::fillCell(SBLockScreenBulletinCell& cell, const id& item,
                                                const Ref<NSIndexPath>& indexPath) {
  auto bulletin = bulletinOf(item);
  cell.primaryLabel()->setText(bulletin ? bulletin->title() : nullptr);
  cell.subtitleLabel()->setText(bulletin ? bulletin->subtitle() : nullptr);
  cell.secondaryLabel()->setText(bulletin ? bulletin->message() : nullptr);
  auto date = bulletin ? bulletin->date() : nullptr;
  cell.relevanceDateLabel()->setText(
      NSStr(springboard::relevanceDateText(date.get(), bulletin && bulletin->dateIsAllDay(), NSDate::date().get())));
  cell.setIcon(objc::respondsTo(item.get(), SEL_("iconImage")) ? objc::msg<Ref<UIImage>>(item, SEL_("iconImage"))
                                                               : nullptr);
  // The first row carries the line that opens the list.
  cell.setDrawsSeparatorAtTopOfSection(indexPath && indexPath->row() == 0);
  cell.setNeedsLayout();
}

double SBLockScreenNotificationListView::heightForRowAtIndexPath(Ref<UITableView> table, Ref<NSIndexPath> indexPath) {
  id item = listItemAt(indexPath);
  if (!item) return table ? table->rowHeight() : 0;
  if (auto cached = objc::as<NSNumber>(_heightForListItemCache->objectForKey(item.get()))) return cached->doubleValue();
  auto bulletin = bulletinOf(item);
  const double width = table ? table->bounds().size.width : bounds().size.width;
  const double height = springboard::cell::rowHeight(text(bulletin ? bulletin->subtitle() : nullptr),
                                                     text(bulletin ? bulletin->message() : nullptr), width);
  _heightForListItemCache->setObjectForKey(NSNumber::numberWithFloat(static_cast<float>(height)), item);
  return height;
}

bool SBLockScreenNotificationListView::canEditRowAtIndexPath(Ref<UITableView> table, Ref<NSIndexPath> indexPath) {
  id item = listItemAt(indexPath);
  if (!objc::respondsTo(item.get(), SEL_("canBeClearedByNotificationCenter"))) return false;
  return objc::msg<bool>(item, SEL_("canBeClearedByNotificationCenter"));
}

void SBLockScreenNotificationListView::commitEditingStyleForRowAtIndexPath(Ref<UITableView> table, NSInteger style,
                                                                           Ref<NSIndexPath> indexPath) {
  if (style != UITableViewCellEditingStyleDelete) return;
  id item = listItemAt(indexPath);
  if (auto controller = objc::as<SBLockScreenNotificationListController>(listController()); controller && item)
    controller->clearListItem(item);
}

void SBLockScreenNotificationListView::scrollViewDidScroll(Ref<UIScrollView> scrollView) {
  table_->layoutIfNeeded();
  updateContentAlpha();
}

double SBLockScreenNotificationListView::contentAlphaForRowRect(CGRect rowRect) const {
  if (rowRect.size.height <= 0) return 1;
  const double top = table_->contentOffset().y;
  const double bottom = top + table_->bounds().size.height;
  const double hidden = std::max(0.0, top - rowRect.origin.y) + std::max(0.0, CGRectGetMaxY(rowRect) - bottom);
  return std::clamp(1.0 - hidden / rowRect.size.height, 0.0, 1.0);
}

void SBLockScreenNotificationListView::updateContentAlpha() {
  auto cells = table_->visibleCells();
  if (!cells) return;
  for (const auto& entry : *cells) {
    auto cell = objc::as<UITableViewCell>(entry);
    auto indexPath = cell ? table_->indexPathForCell(cell) : nullptr;
    if (!indexPath || !objc::respondsTo(cell.get(), SEL_("setContentAlpha:"))) continue;
    objc::msg(cell, SEL_("setContentAlpha:"), contentAlphaForRowRect(table_->rectForRowAtIndexPath(indexPath)));
  }
}

void SBLockScreenNotificationListView::updateUnderlayRequest() {
  auto lockScreen = enclosingLockScreenView(*this);
  if (!lockScreen) return;
  auto requester = NSStr(kUnderlayRequester);
  if (table_->numberOfRowsInSection(0) > 0) {
    objc::msg(lockScreen, SEL_("_addLockContentUnderlayWithRequester:"), requester);
    requestsUnderlay_ = true;
  } else if (requestsUnderlay_) {
    objc::msg(lockScreen, SEL_("_removeLockContentUnderlayWithRequester:"), requester);
    requestsUnderlay_ = false;
  }
}
