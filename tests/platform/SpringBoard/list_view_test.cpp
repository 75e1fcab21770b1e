#include "LockScreenTestSupport.h"

#include <UIKit/UIGraphics.h>
#include <substrate/substrate.h>

#include <string>
#include <vector>

using namespace sbtest;
using ::testing::ElementsAre;

namespace {

class ListView : public LockScreenTest {
 protected:
  void SetUp() override {
    LockScreenTest::SetUp();
    manager_ = std::make_unique<LockScreenDriver>();
    manager_->lock();
  }
  std::unique_ptr<LockScreenDriver> manager_;
};

TEST_F(ListView, RowHeightsComeFromTheFontsAndAreRecordedPerItem) {
  manager_->notify("com.example.one", "One line", "Short");
  auto wrapped = manager_->notify("com.example.two", "Long", std::string(40, 'w') + " " + std::string(40, 'w'));
  ASSERT_EQ(manager_->rowCount(), 2u);

  namespace cell = springboard::cell;
  const double title = cell::lineHeight(cell::titleFont().get());
  const double message = cell::lineHeight(cell::messageFont().get());
  const double unlock = cell::lineHeight(cell::unlockFont().get());
  // Newest first: the wrapped message is row 0.
  EXPECT_EQ(manager_->bulletinAtRow(0), wrapped);
  EXPECT_DOUBLE_EQ(manager_->rowRect(1).size.height, 13 + title + message + unlock + 13);
  EXPECT_GT(manager_->rowRect(0).size.height, manager_->rowRect(1).size.height + message - 0.5);

  auto list = manager_->listView();
  auto cached = objc::as<NSNumber>(list->_heightForListItemCache->objectForKey(manager_->listItemAtRow(1).get()));
  ASSERT_TRUE(cached);
  EXPECT_TRUE(cached->isSinglePrecision());
  EXPECT_DOUBLE_EQ(cached->doubleValue(), manager_->rowRect(1).size.height);

  // The cache answers the next time; a clearing drops the entry.
  list->_heightForListItemCache->setObjectForKey(NSNumber::numberWithFloat(99), manager_->listItemAtRow(1));
  EXPECT_DOUBLE_EQ(objc::msg<double>(list, SEL_("tableView:heightForRowAtIndexPath:"), list->tableView(),
                                     NSIndexPath::indexPathForRow(1, 0)),
                   99);
  id cleared = manager_->listItemAtRow(1);
  ASSERT_TRUE(manager_->swipe(1));
  EXPECT_EQ(list->_heightForListItemCache->objectForKey(cleared.get()), nullptr);
}

TEST_F(ListView, ASubtitleAddsItsLine) {
  auto plain = manager_->notify("com.example.app", "Title", "Message");
  const double without = manager_->rowRect(0).size.height;
  auto withSubtitle = bulletin("sub");
  withSubtitle->setSubtitle(NSStr("Leaving: Home"));
  withSubtitle->setPublicationDate(at(kNow + 60));
  manager_->listController()->observer()->deliverBulletin(withSubtitle, 0);
  manager_->layout();
  ASSERT_EQ(manager_->bulletinAtRow(0), withSubtitle);
  EXPECT_DOUBLE_EQ(manager_->rowRect(0).size.height,
                   without + springboard::cell::lineHeight(springboard::cell::subtitleFont().get()));
}

// Replacements installed the way the tweak installs them.
double (*savedHeight)(id, SEL, id, id) = nullptr;
double tallRows(id self, SEL cmd, id table, id indexPath) { return 100; }

TEST_F(ListView, AReplacedRowHeightIsWhatTheTableLaysOut) {
  hook(SBLockScreenNotificationListView::classObject(), SEL_("tableView:heightForRowAtIndexPath:"), &tallRows,
       &savedHeight);
  ASSERT_NE(savedHeight, nullptr);
  manager_->notify("com.example.app", "Title", "Message");
  manager_->notify("com.example.app", "Title", "Message");
  EXPECT_DOUBLE_EQ(manager_->rowRect(0).size.height, 100);
  EXPECT_DOUBLE_EQ(manager_->rowRect(1).origin.y, 100);
  EXPECT_DOUBLE_EQ(manager_->cellForRow(1)->frame().size.height, 100);
}

Ref<UIImage> markerIcon;
id (*savedIcon)(id, SEL) = nullptr;
id markedIcon(id self, SEL cmd) { return markerIcon; }

TEST_F(ListView, AReplacedIconImageIsTheIconTheCellShows) {
  manager_->notify("com.example.app", "Before", "");
  auto before = manager_->cellForRow(0)->icon();
  EXPECT_TRUE(springboard::isGenericApplicationIcon(before.get()));  // no such application on this device

  UIGraphicsBeginImageContextWithOptions(CGSizeMake(80, 80), false, 1);
  markerIcon = UIGraphicsGetImageFromCurrentImageContext();
  UIGraphicsEndImageContext();
  hook(SBAwayBulletinListItem::classObject(), SEL_("iconImage"), &markedIcon, &savedIcon);
  manager_->notify("com.example.app", "After", "");
  EXPECT_EQ(manager_->cellForRow(0)->icon(), markerIcon);
  auto asked = objc::msg<Ref<UIImage>>(manager_->listItemAtRow(0), SEL_("iconImage"));
  EXPECT_EQ(asked, markerIcon);
}

bool (*savedCanClear)(id, SEL) = nullptr;
bool keepTitledKeep(id self, SEL cmd) {
  auto b = objc::msg<Ref<BBBulletin>>(self, SEL_("activeBulletin"));
  return b->title()->str() != "keep" && savedCanClear(self, cmd);
}

TEST_F(ListView, RowsCanBeSwipedExactlyWhenTheirItemCanBeCleared) {
  manager_->notify("com.example.app", "keep", "");
  manager_->notify("com.example.app", "go", "");
  EXPECT_TRUE(manager_->canEditRow(0));
  EXPECT_TRUE(manager_->canEditRow(1));

  hook(SBAwayBulletinListItem::classObject(), SEL_("canBeClearedByNotificationCenter"), &keepTitledKeep,
       &savedCanClear);
  EXPECT_FALSE(manager_->canEditRow(1));
  EXPECT_FALSE(manager_->swipe(1));
  EXPECT_EQ(manager_->rowCount(), 2u);
  EXPECT_TRUE(manager_->swipe(0));
  ASSERT_EQ(manager_->rowCount(), 1u);
  EXPECT_EQ(manager_->bulletinAtRow(0)->title()->str(), "keep");
  EXPECT_EQ(manager_->clear(), 0u);  // the notification centre asks the same question
  EXPECT_EQ(manager_->rowCount(), 1u);
  EXPECT_THROW(manager_->swipe(1), std::out_of_range);
}

std::vector<std::string> initIdentifiers;
id (*savedInit)(id, SEL, int64_t, id) = nullptr;
id recordInit(id self, SEL cmd, int64_t style, id identifier) {
  auto text = objc::as<NSString>(identifier);
  initIdentifiers.push_back(text ? text->str() : "(nil)");
  return savedInit(self, cmd, style, identifier);
}
id initWithoutIdentifier(id self, SEL cmd, int64_t style, id identifier) {
  initIdentifiers.push_back("(nil)");
  return savedInit(self, cmd, style, nullptr);
}

TEST_F(ListView, CellsAreMadeThroughTheRuntimeAndReusedByTheirIdentifier) {
  hook(SBLockScreenBulletinCell::classObject(), SEL_("initWithStyle:reuseIdentifier:"), &recordInit, &savedInit);
  manager_->notify("com.example.app", "One", "");
  manager_->notify("com.example.app", "Two", "");
  const size_t made = initIdentifiers.size();
  ASSERT_GE(made, 2u);
  for (const auto& identifier : initIdentifiers) EXPECT_EQ(identifier, "NotificationCell");
  manager_->notify("com.example.app", "Three", "");
  // Two cells came back from the queue; only the third row needed a new one.
  EXPECT_EQ(initIdentifiers.size(), made + 1);
}

TEST_F(ListView, CellsWithoutAnIdentifierAreNeverReused) {
  hook(SBLockScreenBulletinCell::classObject(), SEL_("initWithStyle:reuseIdentifier:"), &initWithoutIdentifier,
       &savedInit);
  manager_->notify("com.example.app", "One", "");
  auto first = manager_->cellForRow(0);
  const size_t made = initIdentifiers.size();
  manager_->notify("com.example.app", "Two", "");
  EXPECT_EQ(initIdentifiers.size(), made + 2);  // both rows got new cells
  EXPECT_NE(manager_->cellForRow(1), first);
}

TEST_F(ListView, CellsShowTheirBulletin) {
  auto b = bulletin("shown", "Anna", "See you at nine");
  b->setSubtitle(NSStr("Dinner"));
  b->setDate(at(kNow - 5 * 60));
  manager_->listController()->observer()->deliverBulletin(b, 0);
  manager_->layout();
  auto cell = manager_->cellForRow(0);
  ASSERT_TRUE(cell);
  EXPECT_EQ(cell->primaryLabel()->text()->str(), "Anna");
  EXPECT_EQ(cell->secondaryLabel()->text()->str(), "See you at nine");
  EXPECT_EQ(cell->subtitleLabel()->text()->str(), "Dinner");
  EXPECT_EQ(cell->relevanceDateLabel()->text()->str(), "5m ago");
  EXPECT_EQ(cell->unlockTextLabel()->text()->str(), "slide to view");
  EXPECT_TRUE(cell->drawsSeparatorAtTopOfSection());  // the first row opens the list
}

std::vector<std::pair<std::string, double>> alphas;
void (*savedAlpha)(id, SEL, double) = nullptr;
void recordAlpha(id self, SEL cmd, double alpha) {
  auto cell = objc::cast<SBLockScreenBulletinCell>(self);
  alphas.emplace_back(cell->primaryLabel()->text()->str(), alpha);
  savedAlpha(self, cmd, alpha);
}

TEST_F(ListView, RowsFadeByHowMuchOfThemHasScrolledUnderTheEdge) {
  for (int i = 0; i < 8; ++i) manager_->notify("com.example.app", "Row " + std::to_string(7 - i), "Message");
  hook(SBLockScreenBulletinCell::classObject(), SEL_("setContentAlpha:"), &recordAlpha, &savedAlpha);
  manager_->layout();
  auto row0 = manager_->cellForRow(0);
  EXPECT_DOUBLE_EQ(row0->contentAlpha(), 1);

  const double height = manager_->rowRect(0).size.height;
  alphas.clear();
  manager_->scroll(height / 4);
  EXPECT_DOUBLE_EQ(row0->contentAlpha(), 0.75);
  EXPECT_DOUBLE_EQ(row0->contentView()->alpha(), 0.75);
  EXPECT_DOUBLE_EQ(manager_->cellForRow(1)->contentAlpha(), 1);
  // Every visible cell heard it through the runtime.
  bool row0Told = false;
  for (const auto& [title, alpha] : alphas) row0Told |= title == "Row 0" && alpha == 0.75;
  EXPECT_TRUE(row0Told);

  // A row cut by the bottom edge fades too.
  auto table = manager_->tableView();
  const double bottom = table->contentOffset().y + table->bounds().size.height;
  for (uint64_t r = 0; r < manager_->rowCount(); ++r) {
    CGRect rect = manager_->rowRect(r);
    if (rect.origin.y < bottom && CGRectGetMaxY(rect) > bottom) {
      ASSERT_TRUE(manager_->cellForRow(r));
      EXPECT_NEAR(manager_->cellForRow(r)->contentAlpha(), (bottom - rect.origin.y) / rect.size.height, 1e-9);
    }
  }
  manager_->scroll(-1000);  // back to the top, no further
  EXPECT_DOUBLE_EQ(table->contentOffset().y, 0);
  EXPECT_DOUBLE_EQ(row0->contentAlpha(), 1);
}

TEST_F(ListView, TheListAsksForTheUnderlayWhileItShowsRows) {
  auto view = manager_->lockScreenView();
  EXPECT_TRUE(view->underlayRequesters().empty());  // nothing to show
  manager_->notify("com.example.app", "Hello", "");
  EXPECT_THAT(view->underlayRequesters(), ElementsAre("NotificationList"));
  EXPECT_TRUE(manager_->underlayShown());
  EXPECT_EQ(manager_->clear(), 1u);
  EXPECT_TRUE(view->underlayRequesters().empty());
  EXPECT_FALSE(manager_->underlayShown());
}

}  // namespace
