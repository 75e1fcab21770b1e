#pragma once
/// \file
/// The app chooser: the installed applications from AppList; a tap stores
/// the application's bundle identifier as "customLaunchAppBundleID" and
/// goes back to the root screen.

#include <AppList/ALApplicationTableDataSource.h>
#include <UIKit/UITableViewController.h>

class QPN_AppListTVC : public UITableViewController {
 public:
  static Class classObject();
  QPN_AppListTVC() = default;
  /// Takes the table away from the data source, as `dealloc` does.
  ~QPN_AppListTVC() override;

  /// Plain `init` arrives here; creates the data source with the standard sections.
  id initWithNibNameBundle(Ref<NSString> nibName, id bundle) override;
  void viewDidLoad() override;
  void viewDidUnload() override;
  bool shouldAutorotateToInterfaceOrientation(NSInteger orientation) override;
  void tableViewDidSelectRowAtIndexPath(Ref<UITableView> tableView, Ref<NSIndexPath> indexPath);

  Ref<ALApplicationTableDataSource> dataSource;
};
