#include "QPN_SortOrderTVC.h"

#include "PaneCells.h"

#include "PaneFiles.h"

#include <Foundation/NSLog.h>
#include <objc/ClassBuilder.h>

using quillpane::prefs::keepUnreadableFile;
using quillpane::prefs::kSortingFile;

namespace {

/// A file that could not be read is kept aside before it is replaced, and
/// one that cannot be kept is not replaced.
void writeItems(const NSMutableArray& items) {
  if (!NSArray::arrayWithContentsOfFile(kSortingFile) && !keepUnreadableFile(kSortingFile)) {
    NSLog("QPX: the sort order is not stored");
    return;
  }
  if (!items.writeToFile(kSortingFile, true)) NSLog("QPX: could not write %s", kSortingFile);
}

}  // namespace

Class QPN_SortOrderTVC::classObject() {
  using C = QPN_SortOrderTVC;
  static Class cls =
      objc::ClassBuilder<C, UITableViewController>("QPN_SortOrderTVC")
          .method<&C::viewDidLoad>("viewDidLoad")
          .method<&C::numberOfSectionsInTableView>("numberOfSectionsInTableView:")
          .method<&C::tableViewNumberOfRowsInSection>("tableView:numberOfRowsInSection:")
          .method<&C::tableViewCellForRowAtIndexPath>("tableView:cellForRowAtIndexPath:")
          .method<&C::tableViewMoveRowAtIndexPathToIndexPath>("tableView:moveRowAtIndexPath:toIndexPath:")
          .method<&C::tableViewEditingStyleForRowAtIndexPath>("tableView:editingStyleForRowAtIndexPath:")
          .ivar<&C::items>("items")
          .build();
  return cls;
}
OBJC_REGISTER_CLASS(QPN_SortOrderTVC);

void QPN_SortOrderTVC::viewDidLoad() {
  UITableViewController::viewDidLoad();
  auto table = tableView();
  objc::msg<void>(table, SEL_("setAllowsMultipleSelection:"), false);
  objc::msg<void>(table, SEL_("setEditing:animated:"), true, true);
  objc::msg<void>(navigationItem(), SEL_("setTitle:"), NSStr("Sort Order"));

  items = NSMutableArray::arrayWithContentsOfFile(kSortingFile);
  if (!items) {
    NSLog("QPX: creating initial sorting list file...");
    items = NSMutableArray::array();
    for (const char* group : {"System Items", "Datebeam", "Quillpane"}) items->addObject(NSStr(group));
    writeItems(*items);
  }
  objc::msg<void>(table, SEL_("reloadData"));
}

NSInteger QPN_SortOrderTVC::numberOfSectionsInTableView(Ref<UITableView>) { return 1; }

NSInteger QPN_SortOrderTVC::tableViewNumberOfRowsInSection(Ref<UITableView>, NSInteger) {
  return items ? NSInteger(items->count()) : 0;
}

Ref<UITableViewCell> QPN_SortOrderTVC::tableViewCellForRowAtIndexPath(Ref<UITableView> tableView,
                                                                      Ref<NSIndexPath> indexPath) {
  auto cell = dequeueSubtitleCell(tableView);
  objc::msg<void>(cell, SEL_("setSelectionStyle:"), NSInteger(UITableViewCellSelectionStyleNone));
  objc::msg<void>(cell, SEL_("setShowsReorderControl:"), true);
  id entry = items->objectAtIndex(uint64_t(indexPath->row()));
  auto name = objc::as<NSString>(entry);
  objc::msg<void>(cell->textLabel(), SEL_("setText:"), name ? name : NSStr(entry->descriptionString()));
  bool ours = name && (name->isEqualToString("Quillpane") || name->isEqualToString("System Items"));
  objc::msg<void>(cell->detailTextLabel(), SEL_("setText:"), NSStr(ours ? "" : "(if installed)"));
  return cell;
}

void QPN_SortOrderTVC::tableViewMoveRowAtIndexPathToIndexPath(Ref<UITableView>, Ref<NSIndexPath> from,
                                                              Ref<NSIndexPath> to) {
  id entry = items->objectAtIndex(uint64_t(from->row()));
  items->removeObjectAtIndex(uint64_t(from->row()));
  items->insertObjectAtIndex(entry, uint64_t(to->row()));
  writeItems(*items);
}

NSInteger QPN_SortOrderTVC::tableViewEditingStyleForRowAtIndexPath(Ref<UITableView>, Ref<NSIndexPath>) {
  return UITableViewCellEditingStyleNone;
}
