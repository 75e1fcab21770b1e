// How the lock screen presents the tweak's rows: which rows count as the
// tweak's, the wallpaper underlay, icons, transparency, heights and the
// bounded wait for a store that does not answer.

#include "LockScreenFixture.h"
#include "PlatformAccess.h"
#include "RowIcons.h"

#include <EventKit/EventKit.h>
#include <SpringBoard/SBAwayListItem.h>
#include <SpringBoard/SBBacklightController.h>
#include <SpringBoard/SBLockScreenNotificationBulletinBannerItem.h>
#include <UIKit/UIColor.h>
#include <UIKit/UIImage.h>
#include <objc/message.h>
#include <substrate/substrate.h>

using namespace quillpane;

namespace {

class Presentation : public LockScreenFixture {
 protected:
  void SetUp() override {
    LockScreenFixture::SetUp();
    addList("iCloud", "home", "Home", "#3366FF");
    addReminder("iCloud", "home", "a", "Water plants");
    addReminder("iCloud", "home", "b", "Call mum", 0, "", locationAlarm("Home", "ARRIVE"));
    writeCalendars({NSStr("home")});
  }

  void setPrefs(std::initializer_list<std::pair<const char*, id>> values) {
    auto p = prefs();
    for (const auto& [k, v] : values) p->setObjectForKey(v, k);
    writePreferences(p);
  }

  Ref<BBBulletin> bulletin(const char* bulletinID, const char* title) {
    auto b = objc::msg<Ref<BBBulletin>>(objc::alloc<BBBulletin>(), SEL_("init"));
    b->setBulletinID(NSStr(bulletinID));
    b->setTitle(NSStr(title));
    return b;
  }

  id itemFor(const Ref<BBBulletin>& b, Class cls = SBAwayBulletinListItem::classObject()) {
    return objc::msg<id>(objc::alloc<SBAwayBulletinListItem>(cls), SEL_("initWithBulletin:andObserver:"), b, nullptr);
  }

  void deliver(const Ref<BBBulletin>& b) {
    auto controller = manager_->listController();
    objc::msg(controller, SEL_("observer:addBulletin:forFeed:"), controller->_observer, b, uint64_t{0});
  }

  bool underlayHas(std::string_view name) const {
    for (const auto& r : manager_->underlayRequesters())
      if (r == name) return true;
    return false;
  }
};

Ref<NSArray> items(std::vector<id> list) { return NSArray::arrayWithObjects(std::move(list)); }

id (*savedFetch)(id, SEL, id, EKEventStoreFetchRemindersCompletionHandler) = nullptr;
id neverAnswers(id, SEL, id, EKEventStoreFetchRemindersCompletionHandler) { return nullptr; }

}  // namespace

TEST_F(Presentation, OnlyCustomItemsTest) {
  boot();
  auto own = itemFor(bulletin("Quillpane 0|", "mine"));
  auto sibling = itemFor(bulletin("Datebeam 0|", "event"));
  auto other = itemFor(bulletin("com.example.mail/1", "mail"));
  Class sub = objc_allocateClassPair(SBAwayBulletinListItem::classObject(), "TestBulletinListItemSubclass");
  objc_registerClassPair(sub);
  auto subclassed = itemFor(bulletin("Quillpane 1|", "mine too"), sub);
  EXPECT_FALSE(onlyCustomItemsAreDisplayed(items({}).get()));
  EXPECT_TRUE(onlyCustomItemsAreDisplayed(items({own, sibling}).get()));
  EXPECT_FALSE(onlyCustomItemsAreDisplayed(items({own, sibling, other}).get()));
  EXPECT_FALSE(onlyCustomItemsAreDisplayed(items({own, objc::create<SBAwayListItem>()}).get()));
  EXPECT_FALSE(onlyCustomItemsAreDisplayed(items({own, subclassed}).get()));
}

TEST_F(Presentation, SubclassedItemsAreNotExemptFromEditing) {
  boot();
  manager_->lock();
  // A subclass that lets itself be cleared: only the exact class is exempt.
  Class sub = objc_allocateClassPair(SBAwayBulletinListItem::classObject(), "TestEditableSubclass");
  class_addMethod(sub, SEL_("canBeClearedByNotificationCenter"), reinterpret_cast<IMP>(+[](id, SEL) { return true; }),
                  "B@:");
  objc_registerClassPair(sub);
  manager_->listController()->_listItems->insertObjectAtIndex(itemFor(bulletin("Quillpane 9|", "sub"), sub), 0);
  manager_->layout();
  EXPECT_TRUE(manager_->canEditRow(0));
}

TEST_F(Presentation, UnderlayModeTwoRefusesAndWithdraws) {
  boot();
  manager_->lock();
  manager_->layout();
  EXPECT_FALSE(underlayHas("NotificationList"));
  EXPECT_FALSE(manager_->underlayShown());
  // Another application's row: still refused in mode 2.
  manager_->notify("com.example.mail", "Mail");
  manager_->layout();
  EXPECT_FALSE(underlayHas("NotificationList"));
}

TEST_F(Presentation, UnderlayModeOneFollowsTheListContents) {
  setPrefs({{"wallpaperBlurMode", NSNumber::numberWithInteger(1)}});
  boot();
  manager_->lock();
  manager_->layout();
  EXPECT_FALSE(underlayHas("NotificationList"));
  // A foreign row's height asks for the underlay again, under the platform's name.
  manager_->notify("com.example.mail", "Mail");
  manager_->layout();
  EXPECT_TRUE(underlayHas("NotificationList"));
  EXPECT_FALSE(underlayHas("QpnNotificationList"));
  EXPECT_TRUE(manager_->underlayShown());
}

TEST_F(Presentation, UnderlayModeZeroAndDisabledLeaveThePlatformAlone) {
  setPrefs({{"wallpaperBlurMode", NSNumber::numberWithInteger(0)}});
  boot();
  manager_->lock();
  manager_->layout();
  EXPECT_TRUE(underlayHas("NotificationList"));
  manager_->nowPlaying(true);
  EXPECT_TRUE(manager_->underlayShown());
}

TEST_F(Presentation, OverlayRequestersAreRecordedAndWithdrawnAtCount) {
  boot();
  manager_->lock();
  manager_->nowPlaying(true);
  ASSERT_TRUE(lastOverlayContextRequester);
  EXPECT_TRUE(lastOverlayContextRequester->hasPrefix("OverlayContext"));
  objc::msg<uint64_t>(manager_->listController(), SEL_("count"));
  EXPECT_FALSE(manager_->underlayShown());
}

TEST_F(Presentation, DotIconsInTheListColour) {
  setPrefs({{"iconFile", NSStr("DOT")}});
  boot();
  manager_->lock();
  auto row = rowWithTitle("Water plants");
  ASSERT_TRUE(row);
  auto image = objc::msg<Ref<UIImage>>(manager_->listItemAtRow(*row), SEL_("iconImage"));
  ASSERT_TRUE(image);
  EXPECT_EQ(image->pixelWidth(), 80);
  EXPECT_EQ(image->pixelRGBA(40, 40), 0x3366FFFFu);
  setPrefs({{"iconFile", NSStr("NONE")}});
  manager_->lock();
  row = rowWithTitle("Water plants");
  EXPECT_FALSE(objc::msg<Ref<UIImage>>(manager_->listItemAtRow(*row), SEL_("iconImage")));
}

TEST_F(Presentation, DrawnDotPixelByPixel) {
  boot();
  auto dot = drawColoredDot(UIColor::colorWithRed(0, 1, 0, 1).get(), 30);
  ASSERT_TRUE(dot);
  EXPECT_EQ(dot->pixelWidth(), 80);
  EXPECT_DOUBLE_EQ(dot->scale(), 1);
  EXPECT_EQ(dot->pixelRGBA(40, 40), 0x00FF00FFu);       // fill at the centre
  EXPECT_EQ(dot->pixelRGBA(24, 40) & 0xFFFFFF00u, 0u);  // the black ring just outside the disc
  EXPECT_GT(dot->pixelRGBA(24, 40) & 0xFFu, 0x80u);
  EXPECT_EQ(dot->pixelRGBA(22, 40) & 0xFFu, 0u);  // transparent outside
  EXPECT_EQ(dot->pixelRGBA(2, 2) & 0xFFu, 0u);
  auto large = drawColoredDot(UIColor::redColor().get(), 50);
  EXPECT_EQ(large->pixelRGBA(17, 40), 0xFF0000FFu);  // inside the 15..65 square
  EXPECT_EQ(large->pixelRGBA(12, 40) & 0xFFu, 0u);
}

TEST_F(Presentation, OwnAndFirstRowsStayOpaque) {
  boot();
  manager_->lock();
  manager_->notify("com.example.mail", "Mail");
  manager_->layout();
  for (uint64_t r = 0; r < manager_->rowCount(); ++r) {
    auto cell = manager_->cellForRow(r);
    ASSERT_TRUE(cell);
    objc::msg(cell, SEL_("setContentAlpha:"), 0.25);
    const bool own = manager_->bulletinAtRow(r)->bulletinID()->hasPrefix("Quillpane");
    EXPECT_DOUBLE_EQ(cell->contentAlpha(), own || r == 0 ? 1.0 : 0.25) << "row " << r;
  }
}

TEST_F(Presentation, HeightsAreCachedAndFollowTheSubtitle) {
  setPrefs({{"displayLocation", NSNumber::numberWithBool(true)}, {"sameHeightRows", NSNumber::numberWithBool(false)}});
  boot();
  manager_->lock();
  auto plain = rowWithTitle("Water plants");
  auto located = rowWithTitle("Call mum");
  ASSERT_TRUE(plain && located);
  const double one = manager_->rowRect(*plain).size.height;
  const double two = manager_->rowRect(*located).size.height;
  EXPECT_GT(two, one);
  auto cache = manager_->listView()->_heightForListItemCache;
  auto cached = objc::as<NSNumber>(cache->objectForKey(manager_->listItemAtRow(*located).get()));
  ASSERT_TRUE(cached);
  EXPECT_FLOAT_EQ(cached->floatValue(), static_cast<float>(two));
}

TEST_F(Presentation, SeparatorsByRelease) {
  setPrefs({{"showSeparatorLines", NSNumber::numberWithBool(false)}});
  boot();
  manager_->lock();
  auto cell = manager_->cellForRow(*rowWithTitle("Water plants"));
  EXPECT_FALSE(cell->drawsSeparators());
}

TEST_F(Presentation, LaterReleasesHideSeparatorsPerCell) {
  profile_.iosRelease = "8.4";
  profile_.foundationVersion = 1144.17;
  boot();
  manager_->lock();
  auto cell = manager_->cellForRow(*rowWithTitle("Water plants"));
  EXPECT_FALSE(cell->separatorHidden());
  EXPECT_FALSE(cell->drawsSeparatorAtTopOfSection());
}

TEST_F(Presentation, OwnBulletinsNeverLightTheScreenEvenInABanner) {
  boot();
  manager_->lock();
  auto& backlight = *SBBacklightController::sharedInstance();
  backlight.turnOffScreen();
  auto own = bulletin("Quillpane 5|", "own");
  auto controller = manager_->listController();
  objc::msg(controller, SEL_("turnOnScreenIfNecessaryForItem:"), own);
  auto banner = objc::msg<id>(objc::alloc<SBLockScreenNotificationBulletinBannerItem>(),
                              SEL_("initWithBulletinListItem:"), objc::as<SBAwayBulletinListItem>(itemFor(own)));
  objc::msg(controller, SEL_("turnOnScreenIfNecessaryForItem:"), banner);
  EXPECT_FALSE(backlight.screenIsOn());
  objc::msg(controller, SEL_("turnOnScreenIfNecessaryForItem:"), bulletin("Datebeam 1|", "sibling"));
  EXPECT_TRUE(backlight.screenIsOn());
}

TEST_F(Presentation, AStoreThatNeverAnswersCostsTwoSecondsAndNoRows) {
  boot();
  substrate::hookMessage(EKEventStore::classObject(), SEL_("fetchRemindersMatchingPredicate:completion:"),
                         &neverAnswers, &savedFetch);
  manager_->lock();
  EXPECT_EQ(logCount("reminder store did not answer within 2 seconds"), 1u);
  EXPECT_EQ(logCount("QPX: got 0 reminders"), 1u);
}
