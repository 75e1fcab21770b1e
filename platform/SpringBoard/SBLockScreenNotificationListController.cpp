#include <SpringBoard/SBLockScreenNotificationListController.h>

#include <SpringBoard/SBAwayListItem.h>
#include <SpringBoard/SBBacklightController.h>
#include <SpringBoard/SBLockScreenNotificationListView.h>
#include <SpringBoard/SBRelease.h>
#include <UIKit/UIScreen.h>
#include <objc/ClassBuilder.h>

#include <absl/container/flat_hash_map.h>
#include <absl/hash/hash.h>

#include <algorithm>
#include <limits>

using Controller = SBLockScreenNotificationListController;

/// What the controller knows of a row: its sort date, when it arrived
/// (later arrivals go first among equal dates), where it stands, and the
/// identifier it is indexed under, when it has one.
struct SBLockScreenNotificationListController::Row {
  double key;
  uint64_t arrival;
  uint64_t at;
  Ref<NSString> bulletinID;
};

namespace {

/// A bulletin identifier as the identifier index keeps it. Identifiers as
/// long as a UUID are kept in the table itself, so finding a row reads no
/// string stored elsewhere, which at thousands of rows is a wait on memory
/// for every delivery. A longer one views the string its row holds.
class IdentifierKey {
 public:
  static constexpr size_t kInline = 40;
  explicit IdentifierKey(std::string_view text) : size_(text.size()) {
    if (size_ <= kInline)
      text.copy(text_.inline_, size_);
    else
      text_.external = text.data();
  }
  [[nodiscard]] std::string_view view() const { return {size_ <= kInline ? text_.inline_ : text_.external, size_}; }

 private:
  size_t size_;
  union {
    char inline_[kInline];
    const char* external;
  } text_;
};

/// Hashing and equality that take a key or a plain view of an identifier,
/// so looking a row up makes no key.
struct IdentifierHash {
  using is_transparent = void;
  size_t operator()(std::string_view text) const { return absl::Hash<std::string_view>()(text); }
  size_t operator()(const IdentifierKey& key) const { return (*this)(key.view()); }
};
struct IdentifierEqual {
  using is_transparent = void;
  static std::string_view of(std::string_view text) { return text; }
  static std::string_view of(const IdentifierKey& key) { return key.view(); }
  template <class A, class B>
  bool operator()(const A& a, const B& b) const {
    return of(a) == of(b);
  }
};

}  // namespace

/// Open-addressed tables: at thousands of rows a delivery or withdrawal
/// costs a probe or two of memory, not a walk through list nodes.
struct SBLockScreenNotificationListController::Rows {
  absl::flat_hash_map<const NSObject*, Row> byItem;
  // Rows by bulletin identifier, so delivering and withdrawing a bulletin
  // does not walk the whole list. A key too long to keep whole views the
  // identifier its row holds (an immutable string); the items are owned by
  // _listItems.
  absl::flat_hash_map<IdentifierKey, NSObject*, IdentifierHash, IdentifierEqual> byBulletinID;
  uint64_t arrivals = 0;
  bool unordered = false;
};

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
    : _observer(objc::create<BBObserver>()), _listItems(NSMutableArray::array()), rows_(std::make_unique<Rows>()) {
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
  auto item = objc::cast<SBAwayBulletinListItem>(
      objc::msg<id>(objc::alloc<SBAwayBulletinListItem>(), SEL_("initWithBulletin:andObserver:"), bulletin, observer));
  // A bulletin delivered again replaces its row.
  if (!replaceRow(*bulletin, item)) {
    if (NSObject* old = rowOfBulletin(*bulletin)) removeRow(old);
    append(item);
  }
  listItemsChanged();
  objc::msg(this, SEL_("turnOnScreenIfNecessaryForItem:"), bulletin);
}

void SBLockScreenNotificationListController::append(const id& item) {
  adoptIfChanged();
  Row row{sortKey(item), ++rows_->arrivals, _listItems->count(), nullptr};
  // Newest first, and among equal dates the newcomer first: only a row
  // older than every other one is already in its place at the end.
  if (row.at > 0 && !rows_->unordered) {
    const Row& last = rowOf(_listItems->items().back(), row.at - 1);
    rows_->unordered = !(last.key > row.key);
  }
  _listItems->addObject(item);
  index(item, rows_->byItem[item.get()] = std::move(row), true);
}

void SBLockScreenNotificationListController::index(const id& item, Row& row, bool replace) {
  auto bulletin = bulletinOf(item);
  if (!bulletin || !bulletin->bulletinID()) return;
  row.bulletinID = bulletin->bulletinID();
  const IdentifierKey key(row.bulletinID->str());
  auto [entry, added] = rows_->byBulletinID.try_emplace(key, item.get());
  if (added || !replace) return;
  // A key that views its identifier must view the string of the row now
  // named, which the other row may outlive or not.
  rows_->byBulletinID.erase(entry);
  rows_->byBulletinID.emplace(key, item.get());
}

void SBLockScreenNotificationListController::unindex(const NSObject* item, const Row& row) {
  if (!row.bulletinID) return;
  auto entry = rows_->byBulletinID.find(row.bulletinID->str());
  if (entry != rows_->byBulletinID.end() && entry->second == item) rows_->byBulletinID.erase(entry);
}

void SBLockScreenNotificationListController::adoptIfChanged() {
  const auto& items = _listItems->items();
  if (rows_->byItem.size() == items.size()) return;
  // Rows the controller placed keep what it knows of them; the others stand
  // where they were put, the earlier among equal dates going first.
  absl::flat_hash_map<const NSObject*, Row> known;
  known.reserve(items.size());
  rows_->arrivals += items.size();
  rows_->byBulletinID.clear();
  for (uint64_t at = 0; at < items.size(); ++at) {
    auto it = rows_->byItem.find(items[at].get());
    Row row = it != rows_->byItem.end() ? it->second : Row{sortKey(items[at]), rows_->arrivals - at, at, nullptr};
    row.at = at;
    index(items[at], known[items[at].get()] = std::move(row), false);
  }
  rows_->byItem = std::move(known);
}

SBLockScreenNotificationListController::Row& SBLockScreenNotificationListController::rowOf(const id& item,
                                                                                           uint64_t at) {
  // An item swapped in behind the controller's back counts as the oldest arrival.
  return rows_->byItem.try_emplace(item.get(), Row{sortKey(item), 0, at, nullptr}).first->second;
}

void SBLockScreenNotificationListController::orderIfNeeded() {
  adoptIfChanged();
  if (!rows_->unordered) return;
  struct Entry {
    double key;
    uint64_t arrival;
    id item;
  };
  std::vector<Entry> entries;
  entries.reserve(_listItems->count());
  for (const auto& item : *_listItems) {
    const Row& row = rowOf(item, entries.size());
    entries.push_back({row.key, row.arrival, item});
  }
  auto newerFirst = [](const Entry& a, const Entry& b) {
    return a.key != b.key ? a.key > b.key : a.arrival > b.arrival;
  };
  // Rows replaced in place usually leave the order as it was.
  if (std::is_sorted(entries.begin(), entries.end(), newerFirst)) {
    rows_->unordered = false;
    return;
  }
  std::sort(entries.begin(), entries.end(), newerFirst);
  std::vector<id> ordered;
  ordered.reserve(entries.size());
  for (auto& e : entries) {
    rows_->byItem.at(e.item.get()).at = ordered.size();
    ordered.push_back(std::move(e.item));
  }
  _listItems->setArray(std::move(ordered));
  rows_->unordered = false;
}

NSObject* SBLockScreenNotificationListController::rowOfBulletin(const BBBulletin& bulletin) {
  adoptIfChanged();
  if (bulletin.bulletinID()) {
    auto it = rows_->byBulletinID.find(bulletin.bulletinID()->str());
    return it == rows_->byBulletinID.end() ? nullptr : it->second;
  }
  // Without an identifier only the same bulletin object matches.
  for (const auto& item : *_listItems)
    if (bulletinOf(item).get() == &bulletin) return item.get();
  return nullptr;
}

void SBLockScreenNotificationListController::removeRow(NSObject* item) {
  adoptIfChanged();
  auto found = rows_->byItem.find(item);
  if (found == rows_->byItem.end()) return;
  const auto& items = _listItems->items();
  uint64_t at = found->second.at;
  if (at >= items.size() || items[at].get() != item)  // moved behind the controller's back: look it up
    at = static_cast<uint64_t>(
        std::find_if(items.begin(), items.end(), [item](const id& i) { return i.get() == item; }) - items.begin());
  unindex(item, found->second);
  rows_->byItem.erase(found);
  if (at == items.size()) return;  // no longer on the list
  const id keep = items[at];       // the list's reference goes first
  // The last row takes the removed one's place; the order is settled when
  // the rows are next asked for.
  const uint64_t last = items.size() - 1;
  if (at != last) {
    const id moved = items[last];
    rowOf(moved, last).at = at;
    _listItems->replaceObjectAtIndex(at, moved);
    rows_->unordered = true;
  }
  _listItems->removeLastObject();
  if (auto list = listView()) list->forgetHeightForListItem(item);
}

bool SBLockScreenNotificationListController::replaceRow(const BBBulletin& bulletin, const id& item) {
  adoptIfChanged();
  if (!bulletin.bulletinID()) return false;
  auto named = rows_->byBulletinID.find(bulletin.bulletinID()->str());
  if (named == rows_->byBulletinID.end()) return false;
  NSObject* old = named->second;
  auto found = rows_->byItem.find(old);
  const auto& items = _listItems->items();
  if (found == rows_->byItem.end() || found->second.at >= items.size() || items[found->second.at].get() != old)
    return false;  // moved behind the controller's back: removed the long way
  const uint64_t at = found->second.at;
  const double oldKey = found->second.key;
  // The new row takes over the old row's identifier, equal to its own, so
  // the index entry (which views that string when it is too long to keep
  // whole) stays where it is and only names the new item.
  Row row{sortKey(item), ++rows_->arrivals, at, std::move(found->second.bulletinID)};
  named->second = item.get();
  rows_->byItem.erase(found);
  // Only the first row keeps the order for certain: any other may now
  // belong before an equal date, or elsewhere for a new one.
  if (at != 0 || row.key < oldKey) rows_->unordered = true;
  const id keep = items[at];  // the list's reference goes first
  _listItems->replaceObjectAtIndex(at, item);
  rows_->byItem[item.get()] = std::move(row);
  if (auto list = listView()) list->forgetHeightForListItem(old);
  return true;
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
  orderIfNeeded();
  const auto row = static_cast<uint64_t>(indexPath->row());
  return row < _listItems->count() ? _listItems->objectAtIndex(row) : nullptr;
}

uint64_t SBLockScreenNotificationListController::count() {
  orderIfNeeded();
  return _listItems->count();
}

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
  adoptIfChanged();
  if (!rows_->byItem.contains(item.get())) return;
  removeRow(item.get());
  listItemsChanged();
}

void SBLockScreenNotificationListController::listItemsChanged() {
  if (auto list = listView()) list->reloadListData();
}
