#include "QPN_AppListTVC.h"

#include "PaneFiles.h"

#include <Foundation/NSLog.h>
#include <UIKit/UINavigationController.h>
#include <objc/ClassBuilder.h>

using quillpane::prefs::keepUnreadableFile;
using quillpane::prefs::kPreferenceFile;

Class QPN_AppListTVC::classObject() {
  using C = QPN_AppListTVC;
  static Class cls = objc::ClassBuilder<C, UITableViewController>("QPN_AppListTVC")
                         .method<&C::initWithNibNameBundle>("initWithNibName:bundle:")
                         .method<&C::viewDidLoad>("viewDidLoad")
                         .method<&C::viewDidUnload>("viewDidUnload")
                         .method<&C::shouldAutorotateToInterfaceOrientation>("shouldAutorotateToInterfaceOrientation:")
                         .method<&C::tableViewDidSelectRowAtIndexPath>("tableView:didSelectRowAtIndexPath:")
                         .ivar<&C::dataSource>("dataSource")
                         .build();
  return cls;
}
OBJC_REGISTER_CLASS(QPN_AppListTVC);

QPN_AppListTVC::~QPN_AppListTVC() { objc::msg<void>(dataSource, SEL_("setTableView:"), Ref<UITableView>()); }

id QPN_AppListTVC::initWithNibNameBundle(Ref<NSString> nibName, id bundle) {
  id self = UITableViewController::initWithNibNameBundle(std::move(nibName), std::move(bundle));
  if (self) {
    dataSource = objc::cast<ALApplicationTableDataSource>(
        objc::msg<id>(objc::alloc<ALApplicationTableDataSource>(), SEL_("init")));
    objc::msg<void>(dataSource, SEL_("setSectionDescriptors:"),
                    ALApplicationTableDataSource::standardSectionDescriptors());
  }
  return self;
}

void QPN_AppListTVC::viewDidLoad() {
  UITableViewController::viewDidLoad();
  auto table = tableView();
  objc::msg<void>(table, SEL_("setDataSource:"), id(dataSource));
  objc::msg<void>(dataSource, SEL_("setTableView:"), table);
}

void QPN_AppListTVC::viewDidUnload() {
  objc::msg<void>(dataSource, SEL_("setTableView:"), Ref<UITableView>());
  UITableViewController::viewDidUnload();
}

bool QPN_AppListTVC::shouldAutorotateToInterfaceOrientation(NSInteger) { return false; }

void QPN_AppListTVC::tableViewDidSelectRowAtIndexPath(Ref<UITableView> tableView, Ref<NSIndexPath> indexPath) {
  objc::msg<void>(tableView, SEL_("deselectRowAtIndexPath:animated:"), indexPath, true);
  auto identifier = objc::msg<Ref<NSString>>(dataSource, SEL_("displayIdentifierForIndexPath:"), indexPath);
  if (!identifier) {
    // Nothing to store: the choice stays as it was and the list stays open.
    NSLog("QPX: row %@ names no application; nothing stored", indexPath);
    return;
  }

  auto settings = NSMutableDictionary::dictionaryWithContentsOfFile(kPreferenceFile);
  if (!settings && keepUnreadableFile(kPreferenceFile)) settings = NSMutableDictionary::dictionary();
  if (settings) {
    settings->setObjectForKey(identifier, "customLaunchAppBundleID");
    if (!settings->writeToFile(kPreferenceFile, true))
      NSLog("QPX: could not write %s; the chosen app %@ is not stored", kPreferenceFile, identifier);
  } else {
    NSLog("QPX: the chosen app %@ is not stored", identifier);
  }

  objc::msg<Ref<UIViewController>>(navigationController(), SEL_("popViewControllerAnimated:"), true);
}
