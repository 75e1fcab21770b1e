#include "LockScreenTestSupport.h"

#include <Foundation/NSRunLoop.h>
#include <UIKit/UIStringDrawing.h>
#include <substrate/substrate.h>

using namespace sbtest;
using ::testing::ElementsAre;

namespace {

class LockScreenManager : public LockScreenTest {
 protected:
  static foundation::ProfileBulletin posted(std::string app, std::string title, double date) {
    foundation::ProfileBulletin b;
    b.sectionID = std::move(app);
    b.title = std::move(title);
    b.message = "from the profile";
    b.bulletinID = "profile-" + b.title;
    b.date = date;
    return b;
  }
  static std::vector<std::string> titles(const LockScreenDriver& m) {
    std::vector<std::string> out;
    for (uint64_t r = 0; r < m.rowCount(); ++r) out.push_back(m.bulletinAtRow(r)->title()->str());
    return out;
  }
};

TEST_F(LockScreenManager, ActionsBeforeTheFirstLockAreRefused) {
  LockScreenDriver manager;
  EXPECT_FALSE(manager.isLocked());
  EXPECT_THROW(manager.notify("com.example.app", "x"), std::logic_error);
  EXPECT_THROW(manager.tap(0), std::logic_error);
  EXPECT_EQ(manager.rowCount(), 0u);
  EXPECT_TRUE(manager.underlayRequesters().empty());
}

TEST_F(LockScreenManager, LockingShowsTheProfilesBulletinsNewestFirstAndTheyLightTheScreen) {
  boot(NSFoundationVersionNumber_iOS_7_1,
       {posted("com.apple.MobileSMS", "Older", kNow - 3600), posted("com.apple.mobilemail", "Newer", kNow - 60)});
  SBBacklightController::sharedInstance()->clearLightings();
  LockScreenDriver manager;
  manager.lock();
  EXPECT_THAT(titles(manager), ElementsAre("Newer", "Older"));
  EXPECT_EQ(manager.bulletinAtRow(0)->bulletinID()->str(), "profile-Newer");
  EXPECT_EQ(manager.bulletinAtRow(1)->sectionID()->str(), "com.apple.MobileSMS");
  EXPECT_TRUE(manager.screenIsOn());
  ASSERT_EQ(manager.lightings().size(), 1u);  // the first arrival lit the dark screen
  EXPECT_NE(manager.lightings()[0].item.find("profile-Older"), std::string::npos);
  EXPECT_THAT(manager.underlayRequesters(), ElementsAre("NotificationList"));
  EXPECT_TRUE(manager.cellForRow(0) && manager.cellForRow(1));

  // A second lock builds everything anew and the bulletins arrive again.
  auto firstView = manager.lockScreenView();
  manager.lock();
  EXPECT_NE(manager.lockScreenView(), firstView);
  EXPECT_THAT(titles(manager), ElementsAre("Newer", "Older"));
  EXPECT_EQ(manager.lightings().size(), 2u);
}

// The tweak publishes from inside loadView; the manager must send it through the runtime.
id publishedFromLoadView;
void (*savedLoadView)(id, SEL) = nullptr;
void publishingLoadView(id self, SEL cmd) {
  auto b = bulletin("Quillpane 0|1 0 0 1", "Reminder", "QPX|");
  b->setPublicationDate(at(kNow - 86400));
  objc::msg(self, SEL_("observer:addBulletin:forFeed:"), id(), b, uint64_t{0});
  publishedFromLoadView = b;
  savedLoadView(self, cmd);
}

TEST_F(LockScreenManager, LoadViewAndTheViewInitAreSentThroughTheRuntime) {
  boot(NSFoundationVersionNumber_iOS_7_1, {posted("com.apple.MobileSMS", "Text", kNow - 60)});
  LockScreenDriver manager;
  hook(SBLockScreenNotificationListController::classObject(), SEL_("loadView"), &publishingLoadView, &savedLoadView);
  manager.lock();
  ASSERT_TRUE(publishedFromLoadView);
  EXPECT_THAT(titles(manager), ElementsAre("Text", "Reminder"));
  EXPECT_TRUE(manager.cellForRow(1));
}

TEST_F(LockScreenManager, ATapRunsTheRowsDefaultAction) {
  LockScreenDriver manager;
  manager.lock();
  manager.notify("com.apple.MobileSMS", "Anna", "Hi");
  auto result = manager.tap(0);
  EXPECT_EQ(result.kind, RowTapResult::Kind::LaunchedApplication);
  EXPECT_EQ(result.target, "com.apple.MobileSMS");
  EXPECT_THAT(manager.launchedApplications(), ElementsAre("com.apple.MobileSMS"));

  int called = 0;
  auto reminder = bulletin("url");
  reminder->setPublicationDate(at(kNow + 60));
  reminder->setDefaultAction(
      BBAction::actionWithLaunchURL(NSURL::URLWithString("x-apple-reminder://"), [&] { ++called; }));
  manager.listController()->observer()->deliverBulletin(reminder, 0);
  result = manager.tap(0);
  EXPECT_EQ(result.kind, RowTapResult::Kind::OpenedURL);
  EXPECT_EQ(result.target, "x-apple-reminder://");
  EXPECT_TRUE(result.ranCallblock);
  EXPECT_EQ(called, 1);
  EXPECT_THAT(manager.openedURLs(), ElementsAre("x-apple-reminder://"));

  auto silent = bulletin("none");
  silent->setPublicationDate(at(kNow + 120));
  manager.listController()->observer()->deliverBulletin(silent, 0);
  EXPECT_EQ(manager.tap(0).kind, RowTapResult::Kind::None);
  EXPECT_THROW(manager.tap(3), std::out_of_range);
}

bool (*savedClearable)(id, SEL) = nullptr;
bool remindersStay(id self, SEL cmd) {
  auto b = objc::msg<Ref<BBBulletin>>(self, SEL_("activeBulletin"));
  return !b->bulletinID()->hasPrefix("Quillpane") && savedClearable(self, cmd);
}

TEST_F(LockScreenManager, TheNotificationCentreClearsWhatAnswersThatItMayBeCleared) {
  LockScreenDriver manager;
  manager.lock();
  manager.notify("com.apple.MobileSMS", "Text", "");
  manager.listController()->observer()->deliverBulletin(bulletin("Quillpane 1|"), 0);
  manager.notify("com.apple.mobilemail", "Mail", "");
  hook(SBAwayBulletinListItem::classObject(), SEL_("canBeClearedByNotificationCenter"), &remindersStay,
       &savedClearable);
  EXPECT_EQ(manager.clear(), 2u);
  ASSERT_EQ(manager.rowCount(), 1u);
  EXPECT_EQ(manager.bulletinAtRow(0)->bulletinID()->str(), "Quillpane 1|");
  EXPECT_FALSE(manager.canClearRow(0));
  EXPECT_FALSE(manager.canEditRow(0));
}

TEST_F(LockScreenManager, WaitingRunsTheMainRunLoopAndTheListFollows) {
  LockScreenDriver manager;
  manager.lock();
  manager.notify("com.apple.MobileSMS", "Text", "");
  auto target = manager.listController();
  NSRunLoop::mainRunLoop()->scheduleAfter(5.0, [target] {
    auto item = target->listItems()->objectAtIndex(0);
    target->clearListItem(item);
  });
  manager.wait(4.9);
  EXPECT_EQ(manager.rowCount(), 1u);
  manager.wait(0.1);
  EXPECT_EQ(manager.rowCount(), 0u);
  EXPECT_TRUE(manager.underlayRequesters().empty());
  EXPECT_DOUBLE_EQ(foundation::DeviceClock::now(), kNow + 5);
}

TEST_F(LockScreenManager, CellsAreLaidOutWithThePlatformsFontsAndPlaces) {
  LockScreenDriver manager;
  manager.lock();
  manager.notify("com.apple.MobileSMS", "Anna Appleseed", "Lunch?");
  auto cell = manager.cellForRow(0);
  ASSERT_TRUE(cell);
  auto title = cell->primaryLabel(), date = cell->relevanceDateLabel(), message = cell->secondaryLabel();
  EXPECT_TRUE(title->font()->isBold());
  EXPECT_DOUBLE_EQ(title->font()->pointSize(), 15);
  EXPECT_DOUBLE_EQ(message->font()->pointSize(), 14);
  EXPECT_DOUBLE_EQ(date->font()->pointSize(), 12);
  EXPECT_EQ(date->text()->str(), "now");

  EXPECT_DOUBLE_EQ(title->frame().origin.x, 47);
  EXPECT_DOUBLE_EQ(title->frame().size.width, sizeWithFont(title->text().get(), title->font().get()).width);
  EXPECT_DOUBLE_EQ(date->frame().origin.x, CGRectGetMaxX(title->frame()) + 6);
  EXPECT_DOUBLE_EQ(CGRectGetMaxY(date->frame()), CGRectGetMaxY(title->frame()));  // one baseline row
  EXPECT_DOUBLE_EQ(std::max(title->frame().size.height, date->frame().size.height) +
                       std::min(title->frame().origin.y, date->frame().origin.y),
                   13 + std::max(title->frame().size.height, date->frame().size.height));
  EXPECT_DOUBLE_EQ(message->frame().origin.y, CGRectGetMaxY(title->frame()));
  EXPECT_EQ(message->numberOfLines(), 1);
  EXPECT_DOUBLE_EQ(cell->unlockTextLabel()->frame().origin.y, CGRectGetMaxY(message->frame()));
  EXPECT_DOUBLE_EQ(cell->iconFrame().origin.x, 14);
  EXPECT_DOUBLE_EQ(cell->contentBounds().size.width, 320);
  EXPECT_TRUE(cell->showsSeparator());

  // A long title is cut so the date still fits inside the edge.
  manager.notify("com.apple.MobileSMS", std::string(80, 'W'), "");
  auto longCell = manager.cellForRow(0);
  EXPECT_LE(CGRectGetMaxX(longCell->relevanceDateLabel()->frame()), 320 - 10 + 1e-9);
  const CGRect screenRow = manager.rowFrameOnScreen(0);
  EXPECT_DOUBLE_EQ(screenRow.origin.y, manager.lockScreenView()->notificationListFrame().origin.y);
}

}  // namespace
