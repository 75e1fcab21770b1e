#include <Foundation/NSArray.h>
#include <UIKit/UITableView.h>
#include <objc/ClassBuilder.h>
#include <substrate/substrate.h>

#include <gtest/gtest.h>

#include <string>
#include <unordered_set>
#include <vector>

namespace {

/// A data source answering only the required questions.
class Source : public NSObject {
 public:
  static Class classObject();
  std::vector<int64_t> rowsPerSection{3};
  Ref<NSString> identifier = NSStr("Cell");
  Class cellClass = UITableViewCell::classObject();
  int created = 0;
  std::vector<std::string> log;

  int64_t sections(Ref<UITableView>) { return static_cast<int64_t>(rowsPerSection.size()); }
  int64_t rows(Ref<UITableView>, int64_t section) { return rowsPerSection[static_cast<size_t>(section)]; }
  Ref<UITableViewCell> cell(Ref<UITableView> table, Ref<NSIndexPath> path) {
    auto cell = objc::msg<Ref<UITableViewCell>>(table, SEL_("dequeueReusableCellWithIdentifier:"), identifier);
    if (!cell) {
      cell = objc::cast<UITableViewCell>(objc::msg<id>(objc::alloc<UITableViewCell>(cellClass),
                                                       SEL_("initWithStyle:reuseIdentifier:"),
                                                       NSInteger{UITableViewCellStyleSubtitle}, identifier));
      ++created;
    }
    cell->textLabel()->setText(NSString::stringWithFormat("row %ld", static_cast<long>(path->row())));
    return cell;
  }
};

/// Also the delegate: heights, selection, moves.
class Controller : public Source {
 public:
  static Class classObject();
  double height(Ref<UITableView>, Ref<NSIndexPath> path) { return 50 + 10.0 * static_cast<double>(path->row()); }
  void didSelect(Ref<UITableView>, Ref<NSIndexPath> path) { log.push_back("select " + std::to_string(path->row())); }
  void didDeselect(Ref<UITableView>, Ref<NSIndexPath> path) {
    log.push_back("deselect " + std::to_string(path->row()));
  }
  void move(Ref<UITableView>, Ref<NSIndexPath> from, Ref<NSIndexPath> to) {
    log.push_back("move " + std::to_string(from->row()) + " " + std::to_string(to->row()));
  }
  int64_t editingStyle(Ref<UITableView>, Ref<NSIndexPath>) { return UITableViewCellEditingStyleNone; }
  void didScroll(Ref<UIScrollView> view) {
    auto table = objc::cast<UITableView>(view);
    auto paths = table->indexPathsForVisibleRows();
    log.push_back("scroll " + std::to_string(int(view->contentOffset().y)) + " first " +
                  std::to_string(objc::cast<NSIndexPath>(paths->firstObject())->row()));
  }
};

/// Declares rows as int where the table sends NSInteger.
class WronglyTypedSource : public NSObject {
 public:
  static Class classObject();
  int rows(Ref<UITableView>, int) { return 1; }
};

Class Source::classObject() {
  static Class cls = objc::ClassBuilder<Source, NSObject>("TestTableSource")
                         .method<&Source::sections>("numberOfSectionsInTableView:")
                         .method<&Source::rows>("tableView:numberOfRowsInSection:")
                         .method<&Source::cell>("tableView:cellForRowAtIndexPath:")
                         .build();
  return cls;
}
OBJC_REGISTER_CLASS(Source);

Class Controller::classObject() {
  static Class cls = objc::ClassBuilder<Controller, Source>("TestTableController")
                         .method<&Controller::height>("tableView:heightForRowAtIndexPath:")
                         .method<&Controller::didSelect>("tableView:didSelectRowAtIndexPath:")
                         .method<&Controller::didDeselect>("tableView:didDeselectRowAtIndexPath:")
                         .method<&Controller::move>("tableView:moveRowAtIndexPath:toIndexPath:")
                         .method<&Controller::editingStyle>("tableView:editingStyleForRowAtIndexPath:")
                         .method<&Controller::didScroll>("scrollViewDidScroll:")
                         .build();
  return cls;
}
OBJC_REGISTER_CLASS(Controller);

Class WronglyTypedSource::classObject() {
  static Class cls = objc::ClassBuilder<WronglyTypedSource, NSObject>("TestWronglyTypedSource")
                         .method<&WronglyTypedSource::rows>("tableView:numberOfRowsInSection:")
                         .build();
  return cls;
}
OBJC_REGISTER_CLASS(WronglyTypedSource);

Ref<UITableView> makeTable(double height, const id& source, const id& delegate = nullptr) {
  auto table = objc::cast<UITableView>(objc::msg<id>(objc::alloc<UITableView>(), SEL_("initWithFrame:style:"),
                                                     CGRectMake(0, 0, 320, height), NSInteger{UITableViewStylePlain}));
  objc::msg(table, SEL_("setDataSource:"), source);
  objc::msg(table, SEL_("setDelegate:"), delegate);
  return table;
}

std::vector<int64_t> visibleRows(const Ref<UITableView>& table) {
  std::vector<int64_t> rows;
  auto paths = table->indexPathsForVisibleRows();
  for (const id& p : *paths) rows.push_back(objc::cast<NSIndexPath>(p)->row());
  return rows;
}

double (*savedHeight)(id, SEL, id, id) = nullptr;
double tallRows(id, SEL, id, id) { return 80; }

int cellLayouts = 0;
bool cellKnewItsRow = true;
void (*savedCellLayout)(id, SEL) = nullptr;
void recordingCellLayout(id self, SEL cmd) {
  ++cellLayouts;
  auto cell = objc::cast<UITableViewCell>(self);
  auto table = objc::cast<UITableView>(cell->superview());
  cellKnewItsRow = cellKnewItsRow && table && table->indexPathForCell(cell);
  savedCellLayout(self, cmd);
}

}  // namespace

TEST(UITableView, LaysOutVisibleRowsFromItsDataSource) {
  auto source = objc::create<Source>();
  auto table = makeTable(480, source);
  table->layoutIfNeeded();
  ASSERT_EQ(table->visibleCells()->count(), 3u);
  for (int64_t r = 0; r < 3; ++r) {
    auto cell = table->cellForRowAtIndexPath(NSIndexPath::indexPathForRow(r, 0));
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(cell->frame(), CGRectMake(0, 44.0 * static_cast<double>(r), 320, 44));  // no delegate: 44 each
    EXPECT_EQ(cell->superview().get(), table.get());
    EXPECT_TRUE(table->indexPathForCell(cell)->isEqualTo(*NSIndexPath::indexPathForRow(r, 0)));
  }
  auto stranger = objc::cast<UITableViewCell>(objc::msg<id>(objc::alloc<UITableViewCell>(), SEL_("init")));
  EXPECT_EQ(objc::msg<Ref<NSIndexPath>>(table, SEL_("indexPathForCell:"), stranger), nullptr);
  EXPECT_EQ(table->cellForRowAtIndexPath(NSIndexPath::indexPathForRow(3, 0)), nullptr);
  EXPECT_EQ(table->contentSize().height, 132);
}

TEST(UITableView, HeightsComeFromTheDelegateThroughTheRuntime) {
  auto controller = objc::create<Controller>();
  controller->rowsPerSection = {2, 2};
  auto table = makeTable(480, controller, controller);
  table->layoutIfNeeded();
  EXPECT_EQ(table->rectForRowAtIndexPath(NSIndexPath::indexPathForRow(1, 0)), CGRectMake(0, 50, 320, 60));
  EXPECT_EQ(table->rectForRowAtIndexPath(NSIndexPath::indexPathForRow(0, 1)), CGRectMake(0, 110, 320, 50));

  // A replaced height method is the one the table asks.
  Class hooked = objc_allocateClassPair(Controller::classObject(), "TestTallRowsController");
  objc_registerClassPair(hooked);
  substrate::hookMessage(hooked, SEL_("tableView:heightForRowAtIndexPath:"), &tallRows, &savedHeight);
  auto replaced = objc::alloc<Controller>(hooked);
  replaced->rowsPerSection = {2, 2};
  auto tall = makeTable(480, replaced, replaced);
  tall->layoutIfNeeded();
  EXPECT_EQ(tall->cellForRowAtIndexPath(NSIndexPath::indexPathForRow(1, 0))->frame(), CGRectMake(0, 80, 320, 80));
  EXPECT_EQ(tall->cellForRowAtIndexPath(NSIndexPath::indexPathForRow(1, 1))->frame(), CGRectMake(0, 240, 320, 80));
}

TEST(UITableView, EveryPlacedCellIsLaidOutThroughTheRuntimeKnowingItsRow) {
  Class cellClass = objc_allocateClassPair(UITableViewCell::classObject(), "TestRecordingCell");
  objc_registerClassPair(cellClass);
  substrate::hookMessage(cellClass, SEL_("layoutSubviews"), &recordingCellLayout, &savedCellLayout);
  auto source = objc::create<Source>();
  source->cellClass = cellClass;
  auto table = makeTable(480, source);
  table->layoutIfNeeded();
  EXPECT_EQ(cellLayouts, 3);
  EXPECT_TRUE(cellKnewItsRow);
  table->layoutIfNeeded();  // placing the cells asked for no further pass
  EXPECT_EQ(cellLayouts, 3);
  table->setNeedsLayout();
  table->layoutIfNeeded();
  EXPECT_EQ(cellLayouts, 6);
}

TEST(UITableView, ScrollingHandsOutQueuedCellsOfTheSameIdentifier) {
  auto source = objc::create<Source>();
  source->rowsPerSection = {20};
  auto table = makeTable(150, source);  // rows of 44: four in view
  table->layoutIfNeeded();
  EXPECT_EQ(visibleRows(table), (std::vector<int64_t>{0, 1, 2, 3}));
  std::unordered_set<UITableViewCell*> first;
  auto shown = table->visibleCells();
  for (const id& c : *shown) first.insert(objc::cast<UITableViewCell>(c).get());

  objc::msg(table, SEL_("setContentOffset:"), CGPointMake(0, 440));
  EXPECT_EQ(visibleRows(table), (std::vector<int64_t>{10, 11, 12, 13}));
  EXPECT_EQ(source->created, 4);  // nothing new was made for the later rows
  auto later = table->visibleCells();
  for (const id& c : *later)
    EXPECT_TRUE(first.count(objc::cast<UITableViewCell>(c).get())) << "a fresh cell where a queued one would do";
  EXPECT_EQ(table->cellForRowAtIndexPath(NSIndexPath::indexPathForRow(10, 0))->frame().origin.y, 440);
}

TEST(UITableView, TheDelegateHearsOfAScrollWhenTheRowsHaveFollowed) {
  auto controller = objc::create<Controller>();
  controller->rowsPerSection = {20};
  auto table = makeTable(150, controller, controller);  // rows of 50, 60, 70 ...
  table->layoutIfNeeded();
  objc::msg(table, SEL_("setContentOffset:"), CGPointMake(0, 100));
  EXPECT_EQ(controller->log.back(), "scroll 100 first 1");
}

TEST(UITableView, CellsWithoutAnIdentifierAreNeverReused) {
  auto source = objc::create<Source>();
  source->rowsPerSection = {20};
  source->identifier = nullptr;
  auto table = makeTable(132, source);
  table->layoutIfNeeded();
  objc::msg(table, SEL_("setContentOffset:"), CGPointMake(0, 440));
  objc::msg(table, SEL_("setContentOffset:"), CGPointMake(0, 0));
  EXPECT_EQ(source->created, 9);  // three rows on each of three screens
  EXPECT_EQ(table->dequeueReusableCellWithIdentifier(nullptr), nullptr);
}

TEST(UITableView, TapsSelectAndTellTheDelegate) {
  auto controller = objc::create<Controller>();
  auto table = makeTable(480, controller, controller);
  table->layoutIfNeeded();
  auto first = NSIndexPath::indexPathForRow(0, 0), second = NSIndexPath::indexPathForRow(1, 0);
  EXPECT_TRUE(table->tapRowAtIndexPath(first));
  EXPECT_TRUE(table->tapRowAtIndexPath(second));
  EXPECT_EQ(controller->log, (std::vector<std::string>{"select 0", "deselect 0", "select 1"}));
  EXPECT_TRUE(table->cellForRowAtIndexPath(second)->isSelected());
  EXPECT_FALSE(table->cellForRowAtIndexPath(first)->isSelected());
  objc::msg(table, SEL_("deselectRowAtIndexPath:animated:"), second, true);
  EXPECT_EQ(table->indexPathForSelectedRow(), nullptr);

  objc::msg(table, SEL_("setAllowsMultipleSelection:"), true);
  controller->log.clear();
  table->tapRowAtIndexPath(first);
  table->tapRowAtIndexPath(second);
  table->tapRowAtIndexPath(first);  // a second tap takes the row out again
  EXPECT_EQ(controller->log, (std::vector<std::string>{"select 0", "select 1", "deselect 0"}));
  EXPECT_EQ(table->indexPathsForSelectedRows()->count(), 1u);
  EXPECT_FALSE(table->tapRowAtIndexPath(NSIndexPath::indexPathForRow(7, 0)));
}

TEST(UITableView, EditingShowsReorderControlsAndMovesReachTheDataSource) {
  auto controller = objc::create<Controller>();
  auto table = makeTable(480, controller, controller);
  table->layoutIfNeeded();
  auto top = NSIndexPath::indexPathForRow(0, 0), last = NSIndexPath::indexPathForRow(2, 0);
  EXPECT_FALSE(table->moveRow(last, top));  // only while editing
  objc::msg(table, SEL_("setEditing:animated:"), true, true);
  table->layoutIfNeeded();
  auto cell = table->cellForRowAtIndexPath(last);
  EXPECT_TRUE(cell->isEditing());
  EXPECT_TRUE(cell->isReorderControlVisible());
  EXPECT_EQ(cell->editingStyle(), UITableViewCellEditingStyleNone);
  EXPECT_FALSE(table->tapRowAtIndexPath(top));  // editing rows do not select

  EXPECT_TRUE(table->moveRow(last, top));
  EXPECT_EQ(controller->log, (std::vector<std::string>{"move 2 0"}));
  EXPECT_EQ(table->cellForRowAtIndexPath(top).get(), cell.get());  // the cell moved with its row
  EXPECT_EQ(cell->frame().origin.y, 0);
  EXPECT_FALSE(table->moveRow(top, NSIndexPath::indexPathForRow(3, 0)));  // past the end after removal

  auto plain = objc::create<Source>();  // cannot move: no reorder control
  auto still = makeTable(480, plain);
  still->setEditing(true);
  still->layoutIfNeeded();
  EXPECT_FALSE(still->cellForRowAtIndexPath(top)->isReorderControlVisible());
  EXPECT_EQ(still->cellForRowAtIndexPath(top)->editingStyle(), UITableViewCellEditingStyleDelete);
}

TEST(UITableView, TheDataSourceIsHeldWeakly) {
  auto table = makeTable(480, objc::create<Source>());
  EXPECT_EQ(table->dataSource(), nullptr);  // nobody else kept it
  table->layoutIfNeeded();
  EXPECT_EQ(table->visibleCells()->count(), 0u);
}

TEST(UITableView, AMistypedDataSourceMethodFailsLoudly) {
  auto source = objc::create<WronglyTypedSource>();
  auto table = makeTable(480, source);
  EXPECT_THROW(table->layoutIfNeeded(), objc::RuntimeError);
}

TEST(NSIndexPath, EqualityHashAndOrder) {
  auto a = NSIndexPath::indexPathForRow(2, 1), b = NSIndexPath::indexPathForRow(2, 1);
  EXPECT_TRUE(a->isEqualTo(*b));
  EXPECT_EQ(a->hashValue(), b->hashValue());
  EXPECT_FALSE(a->isEqualTo(*NSIndexPath::indexPathForRow(1, 2)));
  EXPECT_EQ(a->compare(NSIndexPath::indexPathForRow(0, 2).get()), -1);
  EXPECT_EQ(a->compare(NSIndexPath::indexPathForRow(3, 1).get()), -1);
  EXPECT_EQ(objc::msg<NSInteger>(a, SEL_("row")), 2);
  EXPECT_EQ(objc::msg<NSInteger>(a, SEL_("section")), 1);
}
