#pragma once
/// \file
/// "Reminder Lists": one row per reminder list EventKit knows, a checkmark
/// on each chosen one; a tap toggles the list and rewrites the calendars
/// file at once.

#include <Foundation/NSArray.h>
#include <UIKit/UITableViewController.h>

class QPN_CalendarsTVC : public UITableViewController {
 public:
  static Class classObject();
  QPN_CalendarsTVC() = default;

  void viewDidLoad() override;
  /// Reads the calendars file, then rebuilds the rows.
  void viewWillAppear(bool animated) override;
  /// Rebuilds `calendars` from the event store, by account then title.
  void loadCalendars();

  NSInteger numberOfSectionsInTableView(Ref<UITableView> tableView) override;
  NSInteger tableViewNumberOfRowsInSection(Ref<UITableView> tableView, NSInteger section) override;
  Ref<UITableViewCell> tableViewCellForRowAtIndexPath(Ref<UITableView> tableView, Ref<NSIndexPath> indexPath) override;
  void tableViewDidSelectRowAtIndexPath(Ref<UITableView> tableView, Ref<NSIndexPath> indexPath);

  Ref<NSMutableArray> calendars;            ///< QPNCalendar rows, in display order
  Ref<NSMutableArray> selectedCalendarIDs;  ///< the chosen identifiers, as in the file
};
