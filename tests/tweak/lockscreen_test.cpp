// The tweak on the simulated lock screen: what it publishes at each list
// load and how the list then treats its rows.

#include "LockScreenFixture.h"

#include <BulletinBoard/BBAction.h>
#include <Foundation/NSCalendar.h>
#include <Foundation/NSRunLoop.h>
#include <UIKit/UIColor.h>
#include <UIKit/UIFont.h>
#include <UIKit/UILabel.h>
#include <UIKit/UIStringDrawing.h>
#include <objc/message.h>
#include <substrate/substrate.h>

using namespace quillpane;

namespace {

class LockScreen : public LockScreenFixture {
 protected:
  void SetUp() override {
    LockScreenFixture::SetUp();
    addList("iCloud", "home", "Home", "#FF0000");
    addList("iCloud", "plain", "No Colour", std::nullopt);
    addReminder("iCloud", "home", "a", "Undated high", 1);
    addReminder("iCloud", "home", "b", "Tomorrow", 5, ":20261209T100000Z");
    addReminder("iCloud", "home", "c", "Overdue", 9, ";VALUE=DATE:20261201");
    addReminder("iCloud", "plain", "d", "Far away", 0, ":20281209T100000Z");
    addReminder("iCloud", "plain", "e", "Leave office", 0, "", locationAlarm("Office", "DEPART"));
    writeCalendars({NSStr("home"), NSStr("plain")});
  }

  [[nodiscard]] std::vector<std::string> ownTitles() const {
    std::vector<std::string> titles;
    for (uint64_t r = 0; r < manager_->rowCount(); ++r) {
      auto b = manager_->bulletinAtRow(r);
      if (b && b->bulletinID() && b->bulletinID()->hasPrefix("Quillpane")) titles.push_back(b->title()->str());
    }
    return titles;
  }
};

uint64_t removals = 0;
void (*savedRemove)(id, SEL, id, id) = nullptr;
void countingRemove(id self, SEL cmd, id observer, id bulletin) {
  ++removals;
  savedRemove(self, cmd, observer, bulletin);
}

/// Counts the list's removals from here on. Hooked once a process: hooked
/// again, the counter would keep itself as the original and call itself.
void countRemovals() {
  static bool hooked = false;
  if (!hooked)
    substrate::hookMessage(objc_getClass("SBLockScreenNotificationListController"), SEL_("observer:removeBulletin:"),
                           &countingRemove, &savedRemove);
  hooked = true;
  removals = 0;
}

}  // namespace

TEST_F(LockScreen, PublishesTheChosenListsWithMarksAndIdentifiers) {
  boot();
  manager_->lock();
  EXPECT_TRUE(isEnabled);
  EXPECT_EQ(logCount("QPX: got 5 reminders"), 1u);
  EXPECT_EQ(dbmItemsCount, 5);
  // Far away (two years out) is beyond the 365-day horizon.
  auto titles = ownTitles();
  EXPECT_EQ(titles.size(), 4u);
  auto high = bulletinTitled("!!! Undated high");
  ASSERT_TRUE(high);
  EXPECT_EQ(high->bulletinID()->str(), "Quillpane 0|1 0 0 1");
  EXPECT_EQ(high->message()->str(), "QPX|");
  EXPECT_EQ(high->section()->str(), "com.apple.reminders");
  EXPECT_FALSE(high->date());
  ASSERT_TRUE(high->defaultAction());
  EXPECT_EQ(high->defaultAction()->launchURL()->absoluteString(), "x-apple-reminder://");
  EXPECT_TRUE(bulletinTitled("!! Tomorrow"));
  auto overdue = bulletinTitled("! Overdue");
  ASSERT_TRUE(overdue);
  ASSERT_TRUE(overdue->date());
  auto leave = bulletinTitled("Leave office");
  ASSERT_TRUE(leave);
  // Position 3 was skipped; the list has no colour file, so it carries the
  // device's default colour for it rather than none.
  EXPECT_TRUE(leave->bulletinID()->str().starts_with("Quillpane 4|"));
  EXPECT_GT(leave->bulletinID()->str().size(), std::string("Quillpane 4|").size());
  EXPECT_FALSE(leave->subtitle());  // locations are off by default
  EXPECT_EQ(sortPriority, -100);
  EXPECT_FALSE(high->publicationDate());
}

TEST_F(LockScreen, SettingsShapeTheBulletins) {
  auto p = prefs();
  p->setObjectForKey(NSNumber::numberWithBool(false), "showPriority");
  p->setObjectForKey(NSNumber::numberWithBool(true), "displayLocation");
  p->setObjectForKey(NSNumber::numberWithBool(false), "compatibilityMode");
  p->setObjectForKey(NSNumber::numberWithInteger(3), "swipeAction");
  p->setObjectForKey(NSStr("com.example.todo"), "customLaunchAppBundleID");
  p->setObjectForKey(NSNumber::numberWithInteger(-1), "daysToDisplay");
  writePreferences(p);
  writeSorting({NSStr("System Items"), NSStr("Datebeam"), NSStr("Quillpane")});
  boot();
  manager_->lock();
  // Horizon now: the dated reminders in the future are hidden.
  auto titles = ownTitles();
  EXPECT_EQ(titles.size(), 3u);
  auto leave = bulletinTitled("Leave office");
  ASSERT_TRUE(leave);
  EXPECT_EQ(leave->subtitle()->str(), "Leaving: Office");
  EXPECT_FALSE(leave->section());
  EXPECT_EQ(leave->defaultAction()->bundleID()->str(), "com.example.todo");
  auto first = bulletinTitled("Undated high");
  ASSERT_TRUE(first && first->publicationDate());
  // Twelve years back plus 360 days for position 0.
  auto shift = NSDateComponents::create();
  shift->year = -12;
  shift->day = 360;
  auto expected = NSCalendar::currentCalendar()->dateByAddingComponentsToDate(shift.get(), NSDate::date().get(), 0);
  EXPECT_DOUBLE_EQ(first->publicationDate()->timeIntervalSinceReferenceDate(),
                   expected->timeIntervalSinceReferenceDate());
  EXPECT_DOUBLE_EQ(first->lastInterruptDate()->timeIntervalSinceReferenceDate(),
                   expected->timeIntervalSinceReferenceDate());
}

TEST_F(LockScreen, CountLimitUsesUpSkippedPositions) {
  auto p = prefs();
  p->setObjectForKey(NSNumber::numberWithInteger(2), "maxRemindersToDisplay");
  p->setObjectForKey(NSNumber::numberWithInteger(1), "reminderSorting");
  p->setObjectForKey(NSNumber::numberWithBool(false), "showItemsWithoutDueDate");
  writePreferences(p);
  boot();
  manager_->lock();
  // Undated first: positions 0 and 1 are the two undated reminders, both skipped.
  EXPECT_TRUE(ownTitles().empty());
}

TEST_F(LockScreen, SortingPutsUndatedLastAndDatedEarliestFirst) {
  auto p = prefs();
  p->setObjectForKey(NSNumber::numberWithInteger(2), "reminderSorting");
  p->setObjectForKey(NSNumber::numberWithInteger(10000), "daysToDisplay");
  writePreferences(p);
  boot();
  manager_->lock();
  EXPECT_EQ(bulletinTitled("! Overdue")->bulletinID()->str(), "Quillpane 0|1 0 0 1");
  EXPECT_EQ(bulletinTitled("!! Tomorrow")->bulletinID()->str(), "Quillpane 1|1 0 0 1");
  EXPECT_TRUE(bulletinTitled("Far away")->bulletinID()->str().starts_with("Quillpane 2|"));
}

TEST_F(LockScreen, WithoutCalendarsFileNothingIsSearched) {
  std::filesystem::remove(root_ / "var/mobile/Library/Preferences/org.brightrepo.quillpane.calendars.plist");
  boot();
  manager_->lock();
  EXPECT_TRUE(ownTitles().empty());
  EXPECT_EQ(logCount("QPX: no enabled calendars found, not searching the DB!"), 1u);
}

TEST_F(LockScreen, UnknownAndNonStringCalendarEntriesAreSkipped) {
  writeCalendars({NSStr("gone"), NSNumber::numberWithInteger(3), NSStr("home")});
  boot();
  manager_->lock();
  EXPECT_EQ(logCount("unable to find calendar with UUID gone, skipping"), 1u);
  EXPECT_EQ(logCount("unable to find calendar with UUID 3, skipping"), 1u);
  EXPECT_EQ(ownTitles().size(), 3u);
}

TEST_F(LockScreen, DisabledPublishesNothingButStillWithdraws) {
  profile_.iosRelease = "9.0";
  profile_.foundationVersion = 1240.1;
  boot();
  manager_->lock();
  ASSERT_EQ(ownTitles().size(), 4u);
  auto p = prefs();
  p->setObjectForKey(NSNumber::numberWithBool(false), "enabled");
  writePreferences(p);
  log_->clear();
  objc::msg(manager_->listController(), SEL_("loadView"));
  EXPECT_TRUE(ownTitles().empty());
  EXPECT_EQ(logCount("got"), 0u);
  EXPECT_EQ(dbmItemsCount, 5);
}

TEST_F(LockScreen, StartedTwiceInOneProcessTheTweakHooksOnce) {
  // Hooked again, each replacement would keep itself as the original.
  boot();
  quillpane::initializeTweak();
  manager_->lock();
  objc::msg(manager_->listController(), SEL_("loadView"));
  EXPECT_EQ(ownTitles().size(), 4u);
}

TEST_F(LockScreen, OlderReleasesOnlyForgetThePreviousBulletins) {
  boot();
  countRemovals();
  manager_->lock();
  objc::msg(manager_->listController(), SEL_("loadView"));
  EXPECT_EQ(removals, 0u);
  EXPECT_EQ(publishedBulletins->count(), 4u);
}

TEST_F(LockScreen, NewerReleasesWithdrawThePreviousBulletins) {
  profile_.iosRelease = "9.0";
  profile_.foundationVersion = 1240.1;
  boot();
  countRemovals();
  manager_->lock();
  objc::msg(manager_->listController(), SEL_("loadView"));
  EXPECT_EQ(removals, 4u);
  EXPECT_EQ(ownTitles().size(), 4u);
  EXPECT_EQ(publishedBulletins->count(), 4u);
}

TEST_F(LockScreen, OwnRowsNeitherLightTheScreenNorClear) {
  boot();
  manager_->lock();
  for (const auto& lighting : manager_->lightings()) EXPECT_EQ(lighting.item.find("Quillpane"), std::string::npos);
  auto own = rowWithTitle("Leave office");
  ASSERT_TRUE(own);
  EXPECT_FALSE(manager_->canClearRow(*own));
  EXPECT_FALSE(manager_->canEditRow(*own));
  EXPECT_FALSE(manager_->swipe(*own));
  manager_->notify("com.example.mail", "New mail");
  manager_->clear();
  EXPECT_EQ(ownTitles().size(), 4u);
  EXPECT_FALSE(rowWithTitle("New mail"));
}

TEST_F(LockScreen, NowPlayingRemovesOwnRowsAfterFiveSeconds) {
  boot();
  manager_->lock();
  auto sibling = objc::msg<Ref<BBBulletin>>(objc::alloc<BBBulletin>(), SEL_("init"));
  sibling->setTitle(NSStr("Sibling event"));
  sibling->setBulletinID(NSStr("Datebeam 0|"));
  auto controller = manager_->listController();
  objc::msg(controller, SEL_("observer:addBulletin:forFeed:"), controller->_observer, sibling, uint64_t{0});
  manager_->nowPlaying(true);
  EXPECT_EQ(logCount("QPX: hiding on lockscreen: NowPlayingArtLockScreen"), 1u);
  manager_->wait(4.9);
  EXPECT_EQ(ownTitles().size(), 4u);
  manager_->wait(0.1);
  EXPECT_TRUE(ownTitles().empty());
  EXPECT_TRUE(rowWithTitle("Sibling event"));
  EXPECT_EQ(logCount("QPX: SBLockScreenPluginOverlayContext removing 4 bulletins"), 1u);
}

TEST_F(LockScreen, OtherOverlaysScheduleNothing) {
  boot();
  manager_->lock();
  objc::msg<id>(objc::alloc<SBLockScreenPluginOverlayContext>(),
                SEL_("initWithPluginName:pluginController:lockScreenViewController:"), NSStr("NowPlayingArt"), nullptr,
                nullptr);
  EXPECT_EQ(NSRunLoop::mainRunLoop()->pendingTimers(), 0u);
}

TEST_F(LockScreen, OwnRowsTakeTheConfiguredHeightFontsAndColours) {
  auto p = prefs();
  p->setObjectForKey(NSNumber::numberWithInteger(18), "textSize");
  p->setObjectForKey(NSNumber::numberWithInteger(4), "dateTextColor");
  p->setObjectForKey(NSNumber::numberWithInteger(999), "textColor");
  p->setObjectForKey(NSNumber::numberWithBool(true), "rightAlignedDate");
  writePreferences(p);
  boot();
  manager_->lock();
  auto row = rowWithTitle("!!! Undated high");
  ASSERT_TRUE(row);
  const double line = sizeWithFont("AAAAAAAAAAA", UIFont::systemFontOfSize(18).get()).height;
  EXPECT_DOUBLE_EQ(manager_->rowRect(*row).size.height, line + 26);
  auto cell = manager_->cellForRow(*row);
  ASSERT_TRUE(cell);
  auto title = objc::msg<Ref<UILabel>>(cell, SEL_("primaryLabel"));
  EXPECT_DOUBLE_EQ(title->font()->pointSize(), 18);
  EXPECT_NEAR(title->textColor()->red(), 1, 1e-9);  // the list's red
  EXPECT_NEAR(title->textColor()->green(), 0, 1e-9);
  auto date = objc::msg<Ref<UILabel>>(cell, SEL_("relevanceDateLabel"));
  EXPECT_NEAR(date->textColor()->green(), 1, 1e-9);
  const double width = objc::msg<CGRect>(cell, SEL_("contentBounds")).size.width;
  EXPECT_DOUBLE_EQ(CGRectGetMaxX(date->frame()), width - 10);
  EXPECT_DOUBLE_EQ(title->frame().origin.x, 47);
  auto message = objc::msg<Ref<UILabel>>(cell, SEL_("secondaryLabel"));
  EXPECT_DOUBLE_EQ(message->textColor()->alpha(), 0);
}
