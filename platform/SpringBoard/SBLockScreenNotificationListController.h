#pragma once
/// \file
/// The lock screen's notification list controller: the bulletin observer's
/// delegate, keeper of the list items (newest first) and owner of the list
/// view.
///
/// Which add handler it answers depends on the release, so the class
/// registers with the runtime when SpringBoard starts (or at first use),
/// from the booted device profile: iOS 7 (Foundation below 1140) answers
/// `observer:addBulletin:forFeed:`, iOS 8 and later
/// `observer:addBulletin:forFeed:playLightsAndSirens:withReply:` instead.

#include <BulletinBoard/BBObserver.h>
#include <Foundation/NSArray.h>
#include <UIKit/NSIndexPath.h>
#include <UIKit/UIViewController.h>

#include <memory>
#include <optional>

class SBAwayBulletinListItem;
class SBLockScreenNotificationListView;

class SBLockScreenNotificationListController : public UIViewController {
 public:
  static Class classObject();
  SBLockScreenNotificationListController();
  ~SBLockScreenNotificationListController() override;

  /// Builds the list view (alloc + `initWithFrame:` through the runtime) and
  /// loads the current list into it.
  void loadView() override;

  /// "observer:addBulletin:forFeed:" (iOS 7).
  void addBulletinForFeed(id observer, Ref<BBBulletin> bulletin, uint64_t feed);
  /// "observer:addBulletin:forFeed:playLightsAndSirens:withReply:" (iOS 8 and later);
  /// the reply, when given, is not called: the lock screen answers nothing.
  void addBulletinForFeedPlayLightsAndSirens(id observer, Ref<BBBulletin> bulletin, uint64_t feed,
                                             bool playLightsAndSirens, id reply);
  /// "observer:removeBulletin:": the bulletin's row (matched by identifier) leaves the list.
  void removeBulletin(id observer, Ref<BBBulletin> bulletin);

  /// "listItemAtIndexPath:": nil outside section 0's rows.
  [[nodiscard]] id listItemAtIndexPath(Ref<NSIndexPath> indexPath);
  /// "count": the number of list items.
  [[nodiscard]] uint64_t count();
  /// "turnOnScreenIfNecessaryForItem:": lights a dark screen for the item.
  void turnOnScreenIfNecessaryForItem(id item);

  [[nodiscard]] Ref<BBObserver> observer() const { return _observer; }
  /// The list items, newest first.
  [[nodiscard]] Ref<NSMutableArray> listItems() {
    orderIfNeeded();
    return _listItems;
  }
  /// The loaded list view, or nil before `loadView`.
  [[nodiscard]] Ref<SBLockScreenNotificationListView> listView();

  /// Clears a row: a bulletin's row is withdrawn through `observer:removeBulletin:`
  /// (sent through the runtime), any other item is dropped.
  void clearListItem(const id& item);

  /// The items always hold exactly the rows on the list; during a burst of
  /// bulletins their order is settled only when the rows are next asked for.
  Ref<BBObserver> _observer;
  Ref<NSMutableArray> _listItems;

 private:
  /// What the controller knows of each row, by position as the list holds
  /// them, and the rows' positions by bulletin identifier; defined with the
  /// controller, out of the device's interface.
  struct Row;
  struct Rows;
  std::unique_ptr<Rows> rows_;

  void addBulletin(const id& observer, const Ref<BBBulletin>& bulletin);
  /// Where the bulletin's row stands, found through the identifier index.
  [[nodiscard]] std::optional<uint64_t> rowOfBulletin(const BBBulletin& bulletin);
  /// Takes the list as it stands when it was changed behind the
  /// controller's back.
  void adoptIfChanged();
  void adopt();
  /// Whether the row known at a position is the item the list holds there.
  [[nodiscard]] bool knows(uint64_t at) const;
  void removeRow(uint64_t at);
  /// A bulletin delivered again: its new item takes the row of the one it
  /// replaces, in place. False when the list holds no row for it under its
  /// identifier.
  bool replaceRow(const BBBulletin& bulletin, const id& item);
  /// Indexes the row at a position under its bulletin's identifier; a later
  /// row with the same identifier takes the index over when replace is set.
  void index(const id& item, uint64_t at, bool replace);
  /// Drops the index entry of the row at a position, if it names that row.
  void unindex(uint64_t at);
  void append(const id& item);
  /// Puts the list newest first, once per burst of changes.
  void orderIfNeeded();
  void listItemsChanged();
};