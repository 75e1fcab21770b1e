#include <UIKit/UITableViewController.h>

#include <UIKit/UIScreen.h>
#include <objc/ClassBuilder.h>

Class UITableViewController::classObject() {
  static Class cls =
      objc::ClassBuilder<UITableViewController, UIViewController>("UITableViewController")
          .method<&UITableViewController::initWithStyle>("initWithStyle:")
          .method<&UITableViewController::tableView>("tableView")
          .method<&UITableViewController::setTableView>("setTableView:")
          .method<&UITableViewController::setEditingAnimated>("setEditing:animated:")
          .method<&UITableViewController::numberOfSectionsInTableView>("numberOfSectionsInTableView:")
          .method<&UITableViewController::tableViewNumberOfRowsInSection>("tableView:numberOfRowsInSection:")
          .method<&UITableViewController::tableViewCellForRowAtIndexPath>("tableView:cellForRowAtIndexPath:")
          .build();
  return cls;
}
OBJC_REGISTER_CLASS(UITableViewController);

id UITableViewController::initWithStyle(NSInteger style) {
  style_ = style;
  return UIViewController::initWithNibNameBundle(nullptr, nullptr);
}

id UITableViewController::initWithNibNameBundle(Ref<NSString> nibName, id bundle) {
  return UIViewController::initWithNibNameBundle(std::move(nibName), std::move(bundle));
}

Ref<UITableView> UITableViewController::tableView() { return objc::as<UITableView>(view()); }

void UITableViewController::setTableView(Ref<UITableView> tableView) { setView(std::move(tableView)); }

void UITableViewController::loadView() {
  auto table = objc::cast<UITableView>(objc::msg<id>(objc::alloc<UITableView>(), SEL_("initWithFrame:style:"),
                                                     UIScreen::mainScreen()->bounds(), style_));
  table->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
  objc::msg(table, SEL_("setDataSource:"), id(this));
  objc::msg(table, SEL_("setDelegate:"), id(this));
  setView(table);
}

void UITableViewController::viewWillAppear(bool animated) {
  Ref<UITableView> table = tableView();
  if (!table) return;
  if (!reloadedOnce_) {
    reloadedOnce_ = true;
    objc::msg(table, SEL_("reloadData"));
  }
  // The selection is cleared each time the table comes back on screen.
  if (Ref<NSIndexPath> selected = table->indexPathForSelectedRow()) table->selectRowAtIndexPath(nullptr, animated, 0);
}

void UITableViewController::setEditingAnimated(bool editing, bool animated) {
  if (Ref<UITableView> table = tableView()) objc::msg(table, SEL_("setEditing:animated:"), editing, animated);
}
