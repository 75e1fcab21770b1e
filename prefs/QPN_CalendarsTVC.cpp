#include "QPN_CalendarsTVC.h"

#include "PaneCells.h"

#include "PaneFiles.h"
#include "QPNCalendar.h"

#include <EventKit/EKEventStore.h>
#include <Foundation/NSLog.h>
#include <objc/ClassBuilder.h>

using quillpane::prefs::kCalendarsFile;
using quillpane::prefs::keepUnreadableFile;

namespace {

int64_t compareCaseless(const Ref<NSString>& a, const Ref<NSString>& b) {
  if (!a || !b) return a ? NSOrderedDescending : (b ? NSOrderedAscending : NSOrderedSame);
  return a->caseInsensitiveCompare(*b);
}

/// Written whole every time, atomically: a write cut short must not leave
/// a torn file that loses the user's choice. A file that could not be read
/// is kept aside before it is replaced, and one that cannot be kept is not
/// replaced.
void writeSelection(const NSMutableArray& selection) {
  if (!NSArray::arrayWithContentsOfFile(kCalendarsFile) && !keepUnreadableFile(kCalendarsFile)) {
    NSLog("QPX: the choice of lists is not stored");
    return;
  }
  if (!selection.writeToFile(kCalendarsFile, true)) NSLog("QPX: could not write %s", kCalendarsFile);
}

}  // namespace

Class QPN_CalendarsTVC::classObject() {
  using C = QPN_CalendarsTVC;
  static Class cls = objc::ClassBuilder<C, UITableViewController>("QPN_CalendarsTVC")
                         .method<&C::viewDidLoad>("viewDidLoad")
                         .method<&C::viewWillAppear>("viewWillAppear:")
                         .method<&C::loadCalendars>("loadCalendars")
                         .method<&C::numberOfSectionsInTableView>("numberOfSectionsInTableView:")
                         .method<&C::tableViewNumberOfRowsInSection>("tableView:numberOfRowsInSection:")
                         .method<&C::tableViewCellForRowAtIndexPath>("tableView:cellForRowAtIndexPath:")
                         .method<&C::tableViewDidSelectRowAtIndexPath>("tableView:didSelectRowAtIndexPath:")
                         .ivar<&C::calendars>("calendars")
                         .ivar<&C::selectedCalendarIDs>("selectedCalendarIDs")
                         .build();
  return cls;
}
OBJC_REGISTER_CLASS(QPN_CalendarsTVC);

void QPN_CalendarsTVC::viewDidLoad() {
  UITableViewController::viewDidLoad();
  objc::msg<void>(tableView(), SEL_("setAllowsMultipleSelection:"), true);
  objc::msg<void>(navigationItem(), SEL_("setTitle:"), NSStr("Reminder Lists"));
}

void QPN_CalendarsTVC::viewWillAppear(bool animated) {
  selectedCalendarIDs = NSMutableArray::arrayWithContentsOfFile(kCalendarsFile);
  if (!selectedCalendarIDs) selectedCalendarIDs = NSMutableArray::array();
  objc::msg<void>(this, SEL_("loadCalendars"));
  // Last, so the table's first reload already sees the rows.
  UITableViewController::viewWillAppear(animated);
}

void QPN_CalendarsTVC::loadCalendars() {
  auto store = objc::cast<EKEventStore>(objc::msg<id>(objc::alloc<EKEventStore>(), SEL_("init")));
  store->requestAccessToEntityType(EKEntityTypeReminder, [](bool granted, Ref<NSError>) {
    if (!granted) NSLog("QPX: calendar access NOT granted");
  });
  auto lists = NSMutableArray::arrayWithArray(store->calendarsForEntityType(EKEntityTypeReminder).get());
  // Account title, then list title, both without regard to case.
  lists->sortUsingComparator([](const id& x, const id& y) {
    auto a = objc::cast<EKCalendar>(x), b = objc::cast<EKCalendar>(y);
    auto order =
        compareCaseless(a->source() ? a->source()->title() : nullptr, b->source() ? b->source()->title() : nullptr);
    if (order == NSOrderedSame) order = compareCaseless(a->title(), b->title());
    return NSComparisonResult(order);
  });

  calendars = NSMutableArray::array();
  for (const id& item : *lists) {
    auto list = objc::cast<EKCalendar>(item);
    auto row = objc::cast<QPNCalendar>(objc::msg<id>(objc::alloc<QPNCalendar>(), SEL_("init")));
    row->setTitle(NSString::stringWithFormat("%@", list->title()));
    row->setUuid(NSString::stringWithFormat("%@", list->calendarIdentifier()));
    row->setStoreName(list->source() ? list->source()->title() : nullptr);
    calendars->addObject(row);
  }
}

NSInteger QPN_CalendarsTVC::numberOfSectionsInTableView(Ref<UITableView>) { return 1; }

NSInteger QPN_CalendarsTVC::tableViewNumberOfRowsInSection(Ref<UITableView>, NSInteger) {
  return calendars ? NSInteger(calendars->count()) : 0;
}

Ref<UITableViewCell> QPN_CalendarsTVC::tableViewCellForRowAtIndexPath(Ref<UITableView> tableView,
                                                                      Ref<NSIndexPath> indexPath) {
  auto cell = dequeueSubtitleCell(tableView);
  auto row = objc::cast<QPNCalendar>(calendars->objectAtIndex(uint64_t(indexPath->row())));
  objc::msg<void>(cell->textLabel(), SEL_("setText:"), row->title());
  objc::msg<void>(cell->detailTextLabel(), SEL_("setText:"), row->storeName());
  bool chosen = selectedCalendarIDs && selectedCalendarIDs->containsObject(row->uuid().get());
  objc::msg<void>(cell, SEL_("setAccessoryType:"),
                  NSInteger(chosen ? UITableViewCellAccessoryCheckmark : UITableViewCellAccessoryNone));
  return cell;
}

void QPN_CalendarsTVC::tableViewDidSelectRowAtIndexPath(Ref<UITableView> tableView, Ref<NSIndexPath> indexPath) {
  // The visible cell, if any: only its accessory changes, the table is not reloaded.
  auto cell = objc::msg<Ref<UITableViewCell>>(tableView, SEL_("cellForRowAtIndexPath:"), indexPath);
  objc::msg<void>(tableView, SEL_("deselectRowAtIndexPath:animated:"), indexPath, true);
  auto uuid = objc::cast<QPNCalendar>(calendars->objectAtIndex(uint64_t(indexPath->row())))->uuid();

  // viewWillAppear: always leaves a selection, read or new, before the
  // table has rows to tap.
  const bool chosen = selectedCalendarIDs->containsObject(uuid.get());
  if (chosen) {
    NSLog("QPX: uuid exists in file, removing");
    selectedCalendarIDs->removeObject(uuid.get());
  } else {
    NSLog("QPX: uuid not saved, adding it");
    selectedCalendarIDs->addObject(uuid);
  }
  writeSelection(*selectedCalendarIDs);
  objc::msg<void>(cell, SEL_("setAccessoryType:"),
                  NSInteger(chosen ? UITableViewCellAccessoryNone : UITableViewCellAccessoryCheckmark));
}
