#pragma once
/// \file
/// The lock screen's notification list: a view holding a table whose data
/// source and delegate it is. Rows come from the list controller (`count`,
/// `listItemAtIndexPath:`), asked through the runtime. While the list shows
/// rows it asks the lock-screen view for the wallpaper underlay as
/// "NotificationList"; it withdraws the request when the list empties.

#include <Foundation/NSDictionary.h>
#include <UIKit/UITableView.h>

class SBLockScreenBulletinCell;

class SBLockScreenNotificationListView : public UIView {
 public:
  static Class classObject();
  SBLockScreenNotificationListView() = default;

  /// The reuse identifier of the list's cells.
  static constexpr const char* kCellReuseIdentifier = "NotificationCell";
  /// The name the list asks for the underlay under.
  static constexpr const char* kUnderlayRequester = "NotificationList";

  /// Builds the table over the whole view.
  id initWithFrame(CGRect frame) override;

  /// The controller whose rows the list shows (held weakly: it owns the list).
  void setListController(NSObject* controller) { controller_ = controller; }
  [[nodiscard]] id listController() const { return controller_.lock(); }
  [[nodiscard]] Ref<UITableView> tableView() const { return table_; }

  /// The rows changed: the table asks again at the next layout.
  void reloadListData();
  /// Forgets a row's recorded height (its item left the list).
  void forgetHeightForListItem(const NSObject* item);

  /// Lays the table's visible rows out, sets each row's content alpha from
  /// its place and keeps the underlay request in step with the rows.
  void layoutSubviews() override;

  // Table data source and delegate, registered under UIKit's selectors.
  NSInteger numberOfSectionsInTableView(Ref<UITableView> table);
  NSInteger numberOfRowsInSection(Ref<UITableView> table, NSInteger section);
  Ref<UITableViewCell> cellForRowAtIndexPath(Ref<UITableView> table, Ref<NSIndexPath> indexPath);
  /// The platform's height from its fonts, recorded in _heightForListItemCache.
  double heightForRowAtIndexPath(Ref<UITableView> table, Ref<NSIndexPath> indexPath);
  /// Rows whose item can be cleared can be swiped.
  bool canEditRowAtIndexPath(Ref<UITableView> table, Ref<NSIndexPath> indexPath);
  /// A swiped row is cleared: its bulletin leaves the list.
  void commitEditingStyleForRowAtIndexPath(Ref<UITableView> table, NSInteger style, Ref<NSIndexPath> indexPath);
  void scrollViewDidScroll(Ref<UIScrollView> scrollView);

  /// Sends every visible cell `setContentAlpha:` with the alpha of its place.
  void updateContentAlpha();
  /// Rows fade by how much of them has passed under the list's top or bottom
  /// edge: 1 fully inside, 0 fully outside. rowRect is in content coordinates.
  [[nodiscard]] double contentAlphaForRowRect(CGRect rowRect) const;

  /// Whether the list has asked for the underlay (and not withdrawn since).
  [[nodiscard]] bool requestsUnderlay() const noexcept { return requestsUnderlay_; }

  Ref<NSMutableDictionary> _heightForListItemCache = NSMutableDictionary::dictionary();

 private:
  [[nodiscard]] id listItemAt(const Ref<NSIndexPath>& indexPath) const;
  void fillCell(SBLockScreenBulletinCell& cell, const id& item, const Ref<NSIndexPath>& indexPath);
  void updateUnderlayRequest();

  Ref<UITableView> table_;
  Weak<NSObject> controller_;
  bool requestsUnderlay_ = false;
};
