#pragma once
/// \file
/// "Sort Order": the groups of lock-screen items in the order of the
/// sorting file, always in reordering mode; every move rewrites the file.

#include <Foundation/NSArray.h>
#include <UIKit/UITableViewController.h>

class QPN_SortOrderTVC : public UITableViewController {
 public:
  static Class classObject();
  QPN_SortOrderTVC() = default;

  /// Reads the sorting file, or creates it with the three known groups.
  void viewDidLoad() override;

  NSInteger numberOfSectionsInTableView(Ref<UITableView> tableView) override;
  NSInteger tableViewNumberOfRowsInSection(Ref<UITableView> tableView, NSInteger section) override;
  Ref<UITableViewCell> tableViewCellForRowAtIndexPath(Ref<UITableView> tableView, Ref<NSIndexPath> indexPath) override;
  void tableViewMoveRowAtIndexPathToIndexPath(Ref<UITableView> tableView, Ref<NSIndexPath> from, Ref<NSIndexPath> to);
  NSInteger tableViewEditingStyleForRowAtIndexPath(Ref<UITableView> tableView, Ref<NSIndexPath> indexPath);

  Ref<NSMutableArray> items;  ///< group names, in the file's order
};
