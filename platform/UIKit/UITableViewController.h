#pragma once
/// \file
/// A screen whose view is a table; it is the table's data source and
/// delegate. The base answers the required data-source questions only
/// (one section, no rows); subclasses register the table-view selectors
/// they answer (see UITableView.h for the exact C++ types), so optional
/// questions are asked only of subclasses that answer them.

#include <UIKit/UITableView.h>
#include <UIKit/UIViewController.h>

class UITableViewController : public UIViewController {
 public:
  static Class classObject();
  UITableViewController() = default;

  // Registered: "initWithStyle:"; "initWithNibName:bundle:" (plain style) is
  // UIViewController's registration reaching this override.
  virtual id initWithStyle(NSInteger style);
  id initWithNibNameBundle(Ref<NSString> nibName, id bundle) override;

  // Registered: "tableView", "setTableView:".
  [[nodiscard]] Ref<UITableView> tableView();
  void setTableView(Ref<UITableView> tableView);
  [[nodiscard]] NSInteger tableViewStyle() const noexcept { return style_; }

  /// A table of the screen's size in the controller's style, with the
  /// controller as data source and delegate.
  void loadView() override;
  /// Reloads the table the first time it appears.
  void viewWillAppear(bool animated) override;
  // Registered: "setEditing:animated:" — the table follows.
  virtual void setEditingAnimated(bool editing, bool animated);

  // Registered: "numberOfSectionsInTableView:", "tableView:numberOfRowsInSection:",
  // "tableView:cellForRowAtIndexPath:".
  virtual NSInteger numberOfSectionsInTableView(Ref<UITableView> tableView) { return 1; }
  virtual NSInteger tableViewNumberOfRowsInSection(Ref<UITableView> tableView, NSInteger section) { return 0; }
  virtual Ref<UITableViewCell> tableViewCellForRowAtIndexPath(Ref<UITableView> tableView, Ref<NSIndexPath> indexPath) {
    return nullptr;
  }

 private:
  NSInteger style_ = UITableViewStylePlain;
  bool reloadedOnce_ = false;
};
