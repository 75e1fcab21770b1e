#include <SpringBoard/SBLockScreenNotificationListController.h>

#include <SpringBoard/SBAwayListItem.h>
#include <SpringBoard/SBBacklightController.h>
#include <SpringBoard/SBLockScreenNotificationListView.h>
#include <SpringBoard/SBRelease.h>
#include <UIKit/UIScreen.h>
#include <objc/ClassBuilder.h>

#include <algorithm>
#include <limits>

using Controller = SBLockScreenNotificationListController;

Class SBLockScreenNotificationListController::classObject() {
  static Class cls = [] {
    objc::ClassBuilder<Controller, UIViewController> builder("SBLockScreenNotificationListController");
    builder.method<&Controller::loadView>("loadView")
        .method<&Controller::removeBulletin>("observer:removeBulletin:")
        .method<&Controller::listItemAtIndexPath>("listItemAtIndexPath:")
        .method<&Controller::count>("count")
        .method<&Controller::turnOnScreenIfNecessaryForItem>("turnOnScreenIfNecessaryForItem:")
        .ivar<&Controller::_observer>("_observer")
        .ivar<&Controller::_listItems>("_listItems");
    if (springboard::takesBulletinsWithShortHandler())
      builder.method<&Controller::addBulletinForFeed>("observer:addBulletin:forFeed:");
    else
      builder.method<&Controller::addBulletinForFeedPlayLightsAndSirens>(
          "observer:addBulletin:forFeed:playLightsAndSirens:withReply:");
    return builder.build();
  }();
  return cls;
}

namespace {

/// The bulletin a list item shows, when it is a bulletin item.
Ref<BBBulletin> bulletinOf(const id& item) {
  if (!objc::respondsTo(item.get(), SEL_("activeBulletin"))) return nullptr;
  return objc::as<BBBulletin>(objc::msg<id>(item, SEL_("activeBulletin")));
}

double sortKey(const id& item) {
  if (!objc::respondsTo(item.get(), SEL_("sortDate"))) return -std::numeric_limits<double>::infinity();
  auto date = objc::msg<Ref<NSDate>>(item, SEL_("sortDate"));
  return date ? date->timeIntervalSinceReferenceDate() : -std::numeric_limits<double>::infinity();
}

}  // namespace

SBLockScreenNotificationListController::SBLockScreenNotificationListController()
    : _observer(objc::create<BBObserver>()), _listItems(NSMutableArray::array()) {
  _observer->setDelegate(this);
}

SBLockScreenNotificationListController::~SBLockScreenNotificationListController() {
  if (_observer && _observer->delegate() == this) _observer->setDelegate(nullptr);
}

void SBLockScreenNotificationListController::loadView() {
  const CGRect screen = UIScreen::mainScreen()->bounds();
  auto list = objc::cast<SBLockScreenNotificationListView>(
      objc::msg<id>(objc::alloc<SBLockScreenNotificationListView>(), SEL_("initWithFrame:"),
                    CGRectMake(0, 0, screen.size.width, screen.size.height)));
  list->setListController(this);
  setView(list);
  list->reloadListData();
}

void SBLockScreenNotificationListController::addBulletinForFeed(id observer, Ref<BBBulletin> bulletin, uint64_t feed) {
  addBulletin(observer, bulletin);
}

void SBLockScreenNotificationListController::addBulletinForFeedPlayLightsAndSirens(id observer,
                                                                                   Ref<BBBulletin> bulletin,
                                                                                   uint64_t feed,
                                                                                   bool playLightsAndSirens, id reply) {
  addBulletin(observer, bulletin);
}

void SBLockScreenNotificationListController::addBulletin(const id& observer, const Ref<BBBulletin>& bulletin) {
  if (!bulletin) return;
  // A bulletin delivered again replaces its row.
  removeBulletin(observer, bulletin);
  auto item = objc::cast<SBAwayBulletinListItem>(
      objc::msg<id>(objc::alloc<SBAwayBulletinListItem>(), SEL_("initWithBulletin:andObserver:"), bulletin, observer));
  insertNewestFirst(item);
  listItemsChanged();
  objc::msg(this, SEL_("turnOnScreenIfNecessaryForItem:"), bulletin);
}

void SBLockScreenNotificationListController::insertNewestFirst(const id& item) {
  reindexIfStale();
  const double key = sortKey(item);
  // The list is kept newest first; among equal dates the newcomer goes
  // first: it arrived last.
  const auto& items = _listItems->items();
  auto at = std::partition_point(items.begin(), items.end(), [&](const id& other) { return sortKey(other) > key; });
  _listItems->insertObjectAtIndex(item, static_cast<uint64_t>(at - items.begin()));
  if (auto bulletin = bulletinOf(item); bulletin && bulletin->bulletinID())
    rowsByBulletinID_[bulletin->bulletinID()->str()] = item.get();
  indexedCount_ = _listItems->count();
}

void SBLockScreenNotificationListController::reindexIfStale() {
  if (indexedCount_ == _listItems->count()) return;
  rowsByBulletinID_.clear();
  for (const auto& item : *_listItems)
    if (auto bulletin = bulletinOf(item); bulletin && bulletin->bulletinID())
      rowsByBulletinID_.emplace(bulletin->bulletinID()->str(), item.get());
  indexedCount_ = _listItems->count();
}

NSObject* SBLockScreenNotificationListController::rowOfBulletin(const BBBulletin& bulletin) {
  reindexIfStale();
  if (bulletin.bulletinID()) {
    auto it = rowsByBulletinID_.find(bulletin.bulletinID()->str());
    return it == rowsByBulletinID_.end() ? nullptr : it->second;
  }
  // Without an identifier only the same bulletin object matches.
  for (const auto& item : *_listItems)
    if (bulletinOf(item).get() == &bulletin) return item.get();
  return nullptr;
}

void SBLockScreenNotificationListController::removeRow(NSObject* item) {
  id keep(item);  // the list's reference goes first
  _listItems->removeObjectIdenticalTo(item);
  if (auto bulletin = bulletinOf(keep); bulletin && bulletin->bulletinID())
    rowsByBulletinID_.erase(bulletin->bulletinID()->str());
  indexedCount_ = _listItems->count();
  if (auto list = listView()) list->forgetHeightForListItem(item);
}

void SBLockScreenNotificationListController::removeBulletin(id observer, Ref<BBBulletin> bulletin) {
  if (!bulletin) return;
  NSObject* row = rowOfBulletin(*bulletin);
  if (!row) return;
  removeRow(row);
  listItemsChanged();
}

id SBLockScreenNotificationListController::listItemAtIndexPath(Ref<NSIndexPath> indexPath) {
  if (!indexPath || indexPath->section() != 0 || indexPath->row() < 0) return nullptr;
  const auto row = static_cast<uint64_t>(indexPath->row());
  return row < _listItems->count() ? _listItems->objectAtIndex(row) : nullptr;
}

uint64_t SBLockScreenNotificationListController::count() { return _listItems->count(); }

void SBLockScreenNotificationListController::turnOnScreenIfNecessaryForItem(id item) {
  SBBacklightController::sharedInstance()->turnOnScreenForItem(item ? item->descriptionString() : "(null)");
}

Ref<SBLockScreenNotificationListView> SBLockScreenNotificationListController::listView() {
  return isViewLoaded() ? objc::as<SBLockScreenNotificationListView>(view()) : nullptr;
}

void SBLockScreenNotificationListController::clearListItem(const id& item) {
  if (auto bulletin = bulletinOf(item)) {
    objc::msg(this, SEL_("observer:removeBulletin:"), _observer, bulletin);
    return;
  }
  if (!_listItems->containsObject(item.get())) return;
  removeRow(item.get());
  listItemsChanged();
}

void SBLockScreenNotificationListController::listItemsChanged() {
  if (auto list = listView()) list->reloadListData();
}
