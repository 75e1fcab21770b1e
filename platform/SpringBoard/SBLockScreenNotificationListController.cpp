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
/// (later arrivals go first among equal dates), the item (the list holds
/// it) and the identifier it is indexed under, when it has one.
struct SBLockScreenNotificationListController::Row {
  double key;
  uint64_t arrival;
  const NSObject* item;
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

/// The rows stand by position beside the list's own items, so replacing or
/// ordering them reads one array in step with the list; only a delivery or
/// withdrawal by identifier probes a table, open-addressed so that at
/// thousands of rows it costs a probe or two of memory.
struct SBLockScreenNotificationListController::Rows {
  std::vector<Row> byPosition;
  // Positions by bulletin identifier, so delivering and withdrawing a
  // bulletin does not walk the whole list. A key too long to keep whole
  // views the identifier its row holds (an immutable string).
  absl::flat_hash_map<IdentifierKey, uint64_t, IdentifierHash, IdentifierEqual> byBulletinID;
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
    if (auto old = rowOfBulletin(*bulletin)) removeRow(*old);
    append(item);
  }
  listItemsChanged();
  objc::msg(this, SEL_("turnOnScreenIfNecessaryForItem:"), bulletin);
}

void SBLockScreenNotificationListController::append(const id& item) {
  adoptIfChanged();
  auto& rows = rows_->byPosition;
  Row row{sortKey(item), ++rows_->arrivals, item.get(), nullptr};
  // Newest first, and among equal dates the newcomer first: only a row
  // older than every other one is already in its place at the end.
  if (!rows.empty() && !rows_->unordered) rows_->unordered = !(rows.back().key > row.key);
  _listItems->addObject(item);
  rows.push_back(std::move(row));
  index(item, rows.size() - 1, true);
}

void SBLockScreenNotificationListController::index(const id& item, uint64_t at, bool replace) {
  auto bulletin = bulletinOf(item);
  if (!bulletin || !bulletin->bulletinID()) return;
  Row& row = rows_->byPosition[at];
  row.bulletinID = bulletin->bulletinID();
  const IdentifierKey key(row.bulletinID->str());
  auto [entry, added] = rows_->byBulletinID.try_emplace(key, at);
  if (added || !replace) return;
  // A key that views its identifier must view the string of the row now
  // named, which the other row may outlive or not.
  rows_->byBulletinID.erase(entry);
  rows_->byBulletinID.emplace(key, at);
}

void SBLockScreenNotificationListController::unindex(uint64_t at) {
  const Row& row = rows_->byPosition[at];
  if (!row.bulletinID) return;
  auto entry = rows_->byBulletinID.find(row.bulletinID->str());
  if (entry != rows_->byBulletinID.end() && entry->second == at) rows_->byBulletinID.erase(entry);
}

bool SBLockScreenNotificationListController::knows(uint64_t at) const {
  const auto& items = _listItems->items();
  return at < items.size() && at < rows_->byPosition.size() && rows_->byPosition[at].item == items[at].get();
}

void SBLockScreenNotificationListController::adoptIfChanged() {
  if (rows_->byPosition.size() != _listItems->count()) adopt();
}

void SBLockScreenNotificationListController::adopt() {
  const auto& items = _listItems->items();
  // Rows the controller placed keep what it knows of them; the others stand
  // where they were put, the earlier among equal dates going first.
  absl::flat_hash_map<const NSObject*, Row> known;
  known.reserve(rows_->byPosition.size());
  for (Row& row : rows_->byPosition) known.try_emplace(row.item, std::move(row));
  rows_->byPosition.clear();
  rows_->byPosition.reserve(items.size());
  rows_->byBulletinID.clear();
  rows_->arrivals += items.size();
  for (uint64_t at = 0; at < items.size(); ++at) {
    auto it = known.find(items[at].get());
    if (it != known.end()) {
      rows_->byPosition.push_back(std::move(it->second));
      known.erase(it);  // an item held twice is two rows
    } else {
      rows_->byPosition.push_back(Row{sortKey(items[at]), rows_->arrivals - at, items[at].get(), nullptr});
    }
    index(items[at], at, false);
  }
}

void SBLockScreenNotificationListController::orderIfNeeded() {
  adoptIfChanged();
  if (!rows_->unordered) return;
  const auto& items = _listItems->items();
  auto& rows = rows_->byPosition;
  for (uint64_t at = 0; at < items.size(); ++at)
    if (rows[at].item != items[at].get()) {  // swapped behind the controller's back
      adopt();
      break;
    }
  auto newerFirst = [](const Row& a, const Row& b) { return a.key != b.key ? a.key > b.key : a.arrival > b.arrival; };
  // Rows replaced in place usually leave the order as it was.
  if (std::is_sorted(rows.begin(), rows.end(), newerFirst)) {
    rows_->unordered = false;
    return;
  }
  std::vector<uint64_t> order(rows.size());
  for (uint64_t at = 0; at < order.size(); ++at) order[at] = at;
  std::sort(order.begin(), order.end(), [&](uint64_t a, uint64_t b) { return newerFirst(rows[a], rows[b]); });
  std::vector<uint64_t> movedTo(order.size());
  std::vector<Row> sorted;
  std::vector<id> ordered;
  sorted.reserve(order.size());
  ordered.reserve(order.size());
  for (uint64_t from : order) {
    movedTo[from] = sorted.size();
    sorted.push_back(std::move(rows[from]));
    ordered.push_back(items[from]);
  }
  rows = std::move(sorted);
  // One pass over the index in its own order, rather than a probe per row.
  for (auto& entry : rows_->byBulletinID)
    if (entry.second < movedTo.size()) entry.second = movedTo[entry.second];
  _listItems->setArray(std::move(ordered));
  rows_->unordered = false;
}

std::optional<uint64_t> SBLockScreenNotificationListController::rowOfBulletin(const BBBulletin& bulletin) {
  adoptIfChanged();
  if (bulletin.bulletinID()) {
    // The index is only as good as the list: a list changed behind the
    // controller's back is taken as it stands, and the bulletin looked up again.
    for (int attempt = 0; attempt < 2; ++attempt) {
      auto it = rows_->byBulletinID.find(bulletin.bulletinID()->str());
      if (it == rows_->byBulletinID.end()) return std::nullopt;
      if (knows(it->second)) return it->second;
      adopt();
    }
    return std::nullopt;
  }
  // Without an identifier only the same bulletin object matches.
  const auto& items = _listItems->items();
  for (uint64_t at = 0; at < items.size(); ++at)
    if (bulletinOf(items[at]).get() == &bulletin) return at;
  return std::nullopt;
}

void SBLockScreenNotificationListController::removeRow(uint64_t at) {
  const auto& items = _listItems->items();
  auto& rows = rows_->byPosition;
  if (!knows(at)) return;
  unindex(at);
  const id keep = items[at];  // the list's reference goes first
  // The last row takes the removed one's place; the order is settled when
  // the rows are next asked for.
  const uint64_t last = items.size() - 1;
  if (at != last) {
    rows[at] = std::move(rows[last]);
    if (rows[at].bulletinID) {
      auto entry = rows_->byBulletinID.find(rows[at].bulletinID->str());
      if (entry != rows_->byBulletinID.end() && entry->second == last) entry->second = at;
    }
    const id moved = items[last];
    _listItems->replaceObjectAtIndex(at, moved);
    rows_->unordered = true;
  }
  rows.pop_back();
  _listItems->removeLastObject();
  if (auto list = listView()) list->forgetHeightForListItem(keep.get());
}

bool SBLockScreenNotificationListController::replaceRow(const BBBulletin& bulletin, const id& item) {
  if (!bulletin.bulletinID()) return false;
  const auto at = rowOfBulletin(bulletin);
  if (!at) return false;
  // Asked before the row is held: the item answers through the runtime.
  const double key = sortKey(item);
  Row& row = rows_->byPosition[*at];
  const double oldKey = row.key;
  // The new row takes over the old row's identifier, equal to its own, so
  // the index entry (which views that string when it is too long to keep
  // whole) stays where it is.
  row = Row{key, ++rows_->arrivals, item.get(), std::move(row.bulletinID)};
  // Only the first row keeps the order for certain: any other may now
  // belong before an equal date, or elsewhere for a new one.
  if (*at != 0 || row.key < oldKey) rows_->unordered = true;
  const id old = _listItems->items()[*at];  // the list's reference goes first
  _listItems->replaceObjectAtIndex(*at, item);
  if (auto list = listView()) list->forgetHeightForListItem(old.get());
  return true;
}

void SBLockScreenNotificationListController::removeBulletin(id observer, Ref<BBBulletin> bulletin) {
  if (!bulletin) return;
  const auto at = rowOfBulletin(*bulletin);
  if (!at) return;
  removeRow(*at);
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
  const auto& items = _listItems->items();
  const auto found = std::find_if(items.begin(), items.end(), [&item](const id& i) { return i.get() == item.get(); });
  if (found == items.end()) return;
  const auto at = static_cast<uint64_t>(found - items.begin());
  if (!knows(at)) adopt();
  removeRow(at);
  listItemsChanged();
}

void SBLockScreenNotificationListController::listItemsChanged() {
  if (auto list = listView()) list->reloadListData();
}
