#pragma once
/// \file
/// A table-view data source listing installed applications in sections.
/// Each section descriptor is a dictionary: "title", "predicate" (which
/// applications: "isSystemApplication = TRUE" or "= FALSE"; none: all),
/// "suppress-hidden-apps" (leave out applications tagged hidden). The
/// applications are read when the descriptors are set and when a table is
/// attached, so a table shows what is installed when it is shown.

#include <AppList/ALApplicationList.h>
#include <Foundation/NSArray.h>
#include <UIKit/UITableView.h>
#include <objc/Weak.h>

#include <vector>

class ALApplicationTableDataSource : public NSObject {
 public:
  static Class classObject();
  ALApplicationTableDataSource() = default;

  /// System applications, then user applications, hidden ones left out.
  static Ref<NSArray> standardSectionDescriptors();

  // Registered: "sectionDescriptors", "setSectionDescriptors:".
  [[nodiscard]] Ref<NSArray> sectionDescriptors() const { return descriptors_; }
  void setSectionDescriptors(Ref<NSArray> descriptors);
  // Registered: "tableView", "setTableView:". The table is held weakly;
  // attaching one reloads it, nil detaches.
  [[nodiscard]] Ref<UITableView> tableView() const { return tableView_.lock(); }
  void setTableView(Ref<UITableView> tableView);
  // Registered: "displayIdentifierForIndexPath:" — nil for a row that does not exist.
  [[nodiscard]] Ref<NSString> displayIdentifierForIndexPath(Ref<NSIndexPath> indexPath) const;

  // Registered data-source methods.
  NSInteger numberOfSectionsInTableView(Ref<UITableView> tableView);
  NSInteger tableViewNumberOfRowsInSection(Ref<UITableView> tableView, NSInteger section);
  Ref<UITableViewCell> tableViewCellForRowAtIndexPath(Ref<UITableView> tableView, Ref<NSIndexPath> indexPath);
  Ref<NSString> tableViewTitleForHeaderInSection(Ref<UITableView> tableView, NSInteger section);

  /// The application shown at a row, or null.
  [[nodiscard]] const ALInstalledApplication* applicationAt(NSInteger section, NSInteger row) const;

 private:
  struct Section {
    std::string title;
    std::vector<ALInstalledApplication> apps;
  };
  void reloadApplications();

  Ref<NSArray> descriptors_;
  Weak<UITableView> tableView_;
  std::vector<Section> sections_;
};
