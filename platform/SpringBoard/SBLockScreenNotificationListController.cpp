#include <SpringBoard/SBLockScreenNotificationListController.h>

#include <SpringBoard/SBAwayListItem.h>
#include <SpringBoard/SBBacklightController.h>
#include <SpringBoard/SBLockScreenNotificationListView.h>
#include <SpringBoard/SBRelease.h>
#include <UIKit/UIScreen.h>
#include <objc/ClassBuilder.h>

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
  const double key = sortKey(item);
  uint64_t at = 0;
  // Among equal dates the newcomer goes first: it arrived last.
  while (at < _listItems->count() && sortKey(_listItems->objectAtIndex(at)) > key) ++at;
  _listItems->insertObjectAtIndex(item, at);
}

void SBLockScreenNotificationListController::removeBulletin(id observer, Ref<BBBulletin> bulletin) {
  if (!bulletin) return;
  auto list = listView();
  bool removed = false;
  for (uint64_t i = _listItems->count(); i-- > 0;) {
    id item = _listItems->objectAtIndex(i);
    auto shown = bulletinOf(item);
    if (!shown || !shown->isSameBulletin(bulletin.get())) continue;
    _listItems->removeObjectAtIndex(i);
    if (list) list->forgetHeightForListItem(item.get());
    removed = true;
  }
  if (removed) listItemsChanged();
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
  uint64_t before = _listItems->count();
  _listItems->removeObjectIdenticalTo(item.get());
  if (_listItems->count() == before) return;
  if (auto list = listView()) list->forgetHeightForListItem(item.get());
  listItemsChanged();
}

void SBLockScreenNotificationListController::listItemsChanged() {
  if (auto list = listView()) list->reloadListData();
}
