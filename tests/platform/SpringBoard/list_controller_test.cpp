#include "LockScreenTestSupport.h"

#include <objc/ClassBuilder.h>
#include <substrate/substrate.h>

#include <vector>

using namespace sbtest;
using ::testing::ElementsAre;

namespace {

class ListController : public LockScreenTest {
 protected:
  void deliver(const Ref<SBLockScreenNotificationListController>& controller, const Ref<BBBulletin>& b) {
    ASSERT_TRUE(controller->observer()->deliverBulletin(b, BBObserverFeedLockScreen));
  }
};

TEST_F(ListController, KeepsItemsNewestFirstByPublicationDateElseDateElseArrival) {
  auto controller = loadedController();
  auto published = bulletin("published");
  published->setPublicationDate(at(kNow - 300));
  published->setDate(at(kNow + 10000));  // the publication date wins over the date
  auto dated = bulletin("dated");
  dated->setDate(at(kNow - 100));
  auto arrived = bulletin("arrived");  // arrives at kNow + 50
  auto older = bulletin("older");
  older->setPublicationDate(at(kNow - 1000));

  deliver(controller, published);
  deliver(controller, dated);
  deliver(controller, older);
  foundation::DeviceClock::advance(50);
  deliver(controller, arrived);
  EXPECT_THAT(rowIDs(*controller), ElementsAre("arrived", "dated", "published", "older"));

  // Equal dates: the newcomer comes first.
  auto tie = bulletin("tie");
  tie->setPublicationDate(at(kNow - 300));
  deliver(controller, tie);
  EXPECT_THAT(rowIDs(*controller), ElementsAre("arrived", "dated", "tie", "published", "older"));
}

TEST_F(ListController, RemovalMatchesByIdentifierAndDeliveringAgainReplacesTheRow) {
  auto controller = loadedController();
  deliver(controller, bulletin("a"));
  deliver(controller, bulletin("b"));
  ASSERT_EQ(controller->count(), 2u);

  // A different object carrying the same identifier names the same bulletin.
  EXPECT_TRUE(controller->observer()->withdrawBulletin(bulletin("a")));
  EXPECT_THAT(rowIDs(*controller), ElementsAre("b"));
  objc::msg(controller, SEL_("observer:removeBulletin:"), controller->observer(), bulletin("unknown"));
  EXPECT_EQ(controller->count(), 1u);

  auto updated = bulletin("b", "New title");
  deliver(controller, updated);
  ASSERT_EQ(controller->count(), 1u);
  auto item = objc::msg<id>(controller, SEL_("listItemAtIndexPath:"), NSIndexPath::indexPathForRow(0, 0));
  EXPECT_EQ(objc::msg<Ref<BBBulletin>>(item, SEL_("activeBulletin")), updated);
}

TEST_F(ListController, ARowIsFoundByTheIdentifierItWasDeliveredUnder) {
  // Identifiers kept whole in the index and those past its inline room,
  // whose only holder once the bulletin takes another is the list itself.
  for (size_t length : {40, 41, 64}) {
    SCOPED_TRACE(length);
    const std::string first(length, 'x');
    auto controller = loadedController();
    auto renamed = bulletin(first);
    deliver(controller, renamed);
    deliver(controller, bulletin("other"));
    renamed->setBulletinID(NSStr("renamed"));

    auto again = bulletin(first, "Again");
    deliver(controller, again);
    ASSERT_EQ(controller->count(), 2u);
    EXPECT_THAT(rowIDs(*controller), ElementsAre(first, "other"));
    EXPECT_TRUE(controller->observer()->withdrawBulletin(bulletin(first)));
    EXPECT_THAT(rowIDs(*controller), ElementsAre("other"));
  }
}

TEST_F(ListController, ListItemAtIndexPathIsNilOutsideTheRows) {
  auto controller = loadedController();
  deliver(controller, bulletin("only"));
  auto itemAt = [&](NSInteger row, NSInteger section) {
    return objc::msg<id>(controller, SEL_("listItemAtIndexPath:"), NSIndexPath::indexPathForRow(row, section));
  };
  auto item = itemAt(0, 0);
  ASSERT_TRUE(item);
  EXPECT_TRUE(objc::hasClassName(item.get(), "SBAwayBulletinListItem"));
  EXPECT_EQ(itemAt(1, 0), nullptr);
  EXPECT_EQ(itemAt(-1, 0), nullptr);
  EXPECT_EQ(itemAt(0, 1), nullptr);
  EXPECT_EQ(objc::msg<id>(controller, SEL_("listItemAtIndexPath:"), nullptr), nullptr);
  EXPECT_EQ(objc::msg<uint64_t>(controller, SEL_("count")), 1u);
}

// The wake-up question goes through the runtime, so a replacement sees every item.
std::vector<id> askedToLight;
void (*savedTurnOn)(id, SEL, id) = nullptr;
void recordTurnOn(id self, SEL cmd, id item) {
  askedToLight.push_back(item);
  savedTurnOn(self, cmd, item);
}

TEST_F(ListController, EveryAddAsksTheScreenQuestionThroughTheRuntimeWithTheBulletin) {
  hook(SBLockScreenNotificationListController::classObject(), SEL_("turnOnScreenIfNecessaryForItem:"), &recordTurnOn,
       &savedTurnOn);
  auto controller = loadedController();
  auto b = bulletin("wake");
  deliver(controller, b);
  ASSERT_EQ(askedToLight.size(), 1u);
  EXPECT_EQ(askedToLight[0].get(), b.get());
}

TEST_F(ListController, ADarkScreenLightsOnceAndTheLightingNamesTheItem) {
  auto* backlight = SBBacklightController::sharedInstance();
  backlight->clearLightings();
  auto controller = loadedController();
  deliver(controller, bulletin("lit"));  // screen already on: no lighting
  EXPECT_TRUE(backlight->lightings().empty());

  backlight->turnOffScreen();
  deliver(controller, bulletin("first"));
  deliver(controller, bulletin("second"));
  EXPECT_TRUE(backlight->screenIsOn());
  ASSERT_EQ(backlight->lightings().size(), 1u);
  EXPECT_EQ(backlight->lightings()[0].cause, SBScreenLighting::Cause::Bulletin);
  EXPECT_NE(backlight->lightings()[0].item.find("bulletinID=first"), std::string::npos);
  EXPECT_EQ(backlight->lightings()[0].time, kNow);

  // A banner item describes the row behind it.
  backlight->turnOffScreen();
  auto item = objc::cast<SBAwayBulletinListItem>(objc::msg<id>(
      objc::alloc<SBAwayBulletinListItem>(), SEL_("initWithBulletin:andObserver:"), bulletin("banner"), id()));
  auto banner =
      objc::msg<id>(objc::alloc<SBLockScreenNotificationBulletinBannerItem>(), SEL_("initWithBulletinListItem:"), item);
  objc::msg(controller, SEL_("turnOnScreenIfNecessaryForItem:"), banner);
  ASSERT_EQ(backlight->lightings().size(), 2u);
  EXPECT_NE(backlight->lightings()[1].item.find("bulletinID=banner"), std::string::npos);

  // A long-running SpringBoard counts every lighting but keeps the last few.
  const size_t kept = SBBacklightController::kKeptLightings;
  for (size_t i = 0; i < kept + 5; ++i) {
    backlight->turnOffScreen();
    backlight->turnOnScreenForItem("item " + std::to_string(i));
  }
  EXPECT_EQ(backlight->lightingCount(), kept + 7);
  ASSERT_EQ(backlight->lightings().size(), kept);
  EXPECT_EQ(backlight->lightings().front().item, "item 5");
  EXPECT_EQ(backlight->lightings().back().item, "item " + std::to_string(kept + 4));
}

const char* encodingOf(const char* cls, const char* sel) {
  return method_getTypeEncoding(class_getInstanceMethod(objc_getClass(cls), sel_registerName(sel)));
}

TEST_F(ListController, IOS7TakesBulletinsThroughTheShortHandlerAndItsCellsSwitchSeparators) {
  SBRegisterSpringBoardApplicationClass();
  Class controller = objc_getClass("SBLockScreenNotificationListController");
  EXPECT_TRUE(class_respondsToSelector(controller, SEL_("observer:addBulletin:forFeed:")));
  EXPECT_FALSE(
      class_respondsToSelector(controller, SEL_("observer:addBulletin:forFeed:playLightsAndSirens:withReply:")));
  EXPECT_STREQ(encodingOf("SBLockScreenNotificationListController", "observer:addBulletin:forFeed:"), "v@:@@Q");
  EXPECT_TRUE(class_respondsToSelector(objc_getClass("SBLockScreenBulletinCell"), SEL_("setDrawsSeparators:")));
}

// SpringBoard's classes are made once per process, for the iOS release it
// runs, as on the phone. CTest runs each test in a process of its own; run
// together in one, the two tests below find the classes an earlier test made.
#define SKIP_UNLESS_FIRST_TO_MAKE(className)                                     \
  if (objc_getClass(className))                                                  \
  GTEST_SKIP() << className                                                      \
               << " was made by an earlier test in this process; run this test " \
                  "alone (as CTest does)"

TEST_F(ListController, IOS8TakesBulletinsThroughTheLongHandlerOnlyAndItsCellsHaveNoSetDrawsSeparators) {
  SKIP_UNLESS_FIRST_TO_MAKE("SBLockScreenNotificationListController");
  boot(NSFoundationVersionNumber_iOS_8_0);
  SBRegisterSpringBoardApplicationClass();
  Class controller = objc_getClass("SBLockScreenNotificationListController");
  EXPECT_FALSE(class_respondsToSelector(controller, SEL_("observer:addBulletin:forFeed:")));
  EXPECT_STREQ(encodingOf("SBLockScreenNotificationListController",
                          "observer:addBulletin:forFeed:playLightsAndSirens:withReply:"),
               "v@:@@QB@");
  Class cell = objc_getClass("SBLockScreenBulletinCell");
  EXPECT_FALSE(class_respondsToSelector(cell, SEL_("setDrawsSeparators:")));
  EXPECT_TRUE(class_respondsToSelector(cell, SEL_("_setSeparatorHidden:")));
  EXPECT_TRUE(class_respondsToSelector(cell, SEL_("_setDrawsSeparatorAtTopOfSection:")));

  // The observer finds the long form and the row appears.
  auto list = loadedController();
  ASSERT_TRUE(list->observer()->deliverBulletin(bulletin("eight"), 0));
  EXPECT_THAT(rowIDs(*list), ElementsAre("eight"));
}

TEST_F(ListController, EveryMemberTheTweakNamesIsRegisteredWithItsTypes) {
  SBRegisterSpringBoardApplicationClass();
  EXPECT_STREQ(encodingOf("SBLockScreenNotificationListController", "loadView"), "v@:");
  EXPECT_STREQ(encodingOf("SBLockScreenNotificationListController", "count"), "Q@:");
  EXPECT_STREQ(encodingOf("SBLockScreenNotificationListController", "turnOnScreenIfNecessaryForItem:"), "v@:@");
  EXPECT_STREQ(encodingOf("SBLockScreenNotificationListController", "listItemAtIndexPath:"), "@@:@");
  EXPECT_STREQ(encodingOf("SBLockScreenNotificationListController", "observer:removeBulletin:"), "v@:@@");
  EXPECT_STREQ(encodingOf("SBLockScreenNotificationListView", "tableView:heightForRowAtIndexPath:"), "d@:@@");
  EXPECT_STREQ(encodingOf("SBLockScreenNotificationListView", "tableView:canEditRowAtIndexPath:"), "B@:@@");
  EXPECT_STREQ(encodingOf("SBAwayBulletinListItem", "activeBulletin"), "@@:");
  EXPECT_STREQ(encodingOf("SBAwayBulletinListItem", "iconImage"), "@@:");
  EXPECT_STREQ(encodingOf("SBAwayBulletinListItem", "canBeClearedByNotificationCenter"), "B@:");
  EXPECT_STREQ(encodingOf("SBLockScreenBulletinCell", "initWithStyle:reuseIdentifier:"), "@@:q@");
  EXPECT_STREQ(encodingOf("SBLockScreenBulletinCell", "setContentAlpha:"), "v@:d");
  EXPECT_STREQ(encodingOf("SBLockScreenBulletinCell", "layoutSubviews"), "v@:");
  EXPECT_STREQ(encodingOf("SBLockScreenBulletinCell", "contentBounds"), "{CGRect={CGPoint=dd}{CGSize=dd}}@:");
  for (const char* label : {"primaryLabel", "secondaryLabel", "subtitleLabel", "relevanceDateLabel"})
    EXPECT_STREQ(encodingOf("SBLockScreenBulletinCell", label), "@@:") << label;
  EXPECT_STREQ(encodingOf("SBLockScreenView", "initWithFrame:"), "@@:{CGRect={CGPoint=dd}{CGSize=dd}}");
  EXPECT_STREQ(encodingOf("SBLockScreenView", "_addLockContentUnderlayWithRequester:"), "v@:@");
  EXPECT_STREQ(encodingOf("SBLockScreenView", "_removeLockContentUnderlayWithRequester:"), "v@:@");
  EXPECT_STREQ(
      encodingOf("SBLockScreenPluginOverlayContext", "initWithPluginName:pluginController:lockScreenViewController:"),
      "@@:@@@");

  auto controller = loadedController();
  EXPECT_TRUE(objc::as<BBObserver>(
      object_getIvar(controller.get(), class_getInstanceVariable(object_getClass(controller.get()), "_observer"))));
  EXPECT_TRUE(objc::as<NSMutableArray>(
      object_getIvar(controller.get(), class_getInstanceVariable(object_getClass(controller.get()), "_listItems"))));
  auto view = controller->listView();
  ASSERT_TRUE(view);
  EXPECT_TRUE(objc::as<NSMutableDictionary>(
      object_getIvar(view.get(), class_getInstanceVariable(object_getClass(view.get()), "_heightForListItemCache"))));
  EXPECT_NE(class_getInstanceVariable(objc_getClass("SBLockScreenBulletinCell"), "_unlockTextLabel"), nullptr);
  EXPECT_NE(class_getInstanceVariable(objc_getClass("SBLockScreenNotificationBulletinBannerItem"), "_bulletinListItem"),
            nullptr);
}

TEST_F(ListController, TheSpringBoardClassExistsOnlyOnceSpringBoardStarts) {
  SKIP_UNLESS_FIRST_TO_MAKE("SpringBoard");
  EXPECT_EQ(objc_getClass("SpringBoard"), nullptr);
  EXPECT_NE(objc_getClass("SBLockScreenView"), nullptr);
  SBRegisterSpringBoardApplicationClass();
  SBRegisterSpringBoardApplicationClass();  // twice is harmless
  Class springBoard = objc_getClass("SpringBoard");
  ASSERT_NE(springBoard, nullptr);
  EXPECT_TRUE(class_isSubclassOf(springBoard, UIApplication::classObject()));
  EXPECT_NE(objc_getClass("SBLockScreenNotificationListController"), nullptr);
}

}  // namespace

namespace {

/// The list as delivering one bulletin at a time orders it: each newcomer
/// goes after every row with a later date and before the rest.
struct ModelList {
  std::vector<std::pair<std::string, double>> rows;
  void remove(const std::string& name) {
    std::erase_if(rows, [&](const auto& r) { return r.first == name; });
  }
  void deliver(const std::string& name, double date) {
    remove(name);
    auto at = std::find_if(rows.begin(), rows.end(), [&](const auto& r) { return r.second <= date; });
    rows.insert(at, {name, date});
  }
  [[nodiscard]] std::vector<std::string> names() const {
    std::vector<std::string> out;
    for (const auto& r : rows) out.push_back(r.first);
    return out;
  }
};

/// A sender of bulletins by name, each dated one of `dates` whole minutes
/// before now, drawn from a sequence seeded with `seed` (few dates, so ties
/// are common), delivered to the controller and to the model alike.
template <class Deliver>
auto datedSender(Deliver deliver, ModelList& model, uint32_t seed, uint32_t dates) {
  return [deliver, &model, seed, dates](const std::string& name) mutable {
    seed = seed * 1664525u + 1013904223u;
    const double date = kNow - static_cast<double>(seed % dates) * 60;
    auto b = bulletin(name);
    b->setPublicationDate(at(date));
    deliver(b);
    model.deliver(name, date);
  };
}

/// The items as the ivar holds them right now, without asking the controller.
std::vector<std::string> heldIDs(const SBLockScreenNotificationListController& controller) {
  std::vector<std::string> ids;
  for (const auto& item : *controller._listItems)
    ids.push_back(objc::msg<Ref<BBBulletin>>(item, SEL_("activeBulletin"))->bulletinID()->str());
  std::sort(ids.begin(), ids.end());
  return ids;
}

}  // namespace

TEST_F(ListController, BurstsOfDeliveriesAndWithdrawalsKeepTheOrderAtEverySize) {
  // Few distinct dates, so ties between newcomers and older rows are common.
  for (int n : {1, 2, 10, 100, 2000}) {
    SCOPED_TRACE(n);
    auto controller = loadedController();
    ModelList model;
    auto send = datedSender([&](const Ref<BBBulletin>& b) { deliver(controller, b); }, model,
                            12345u + static_cast<uint32_t>(n), 7);
    for (int i = 0; i < n; ++i) send("b" + std::to_string(i));
    EXPECT_EQ(rowIDs(*controller), model.names());

    // Withdraw some, deliver some again with new dates, add a few, and
    // check the held items mid-burst: exactly the rows, whatever their order.
    for (int i = 0; i < n; i += 3) {
      EXPECT_TRUE(controller->observer()->withdrawBulletin(bulletin("b" + std::to_string(i))));
      model.remove("b" + std::to_string(i));
    }
    for (int i = 1; i < n; i += 4) send("b" + std::to_string(i));
    send("late");
    auto expected = model.names();
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(heldIDs(*controller), expected);
    EXPECT_EQ(rowIDs(*controller), model.names());
    EXPECT_EQ(controller->count(), model.rows.size());
  }
}

TEST_F(ListController, BulletinsDeliveredAgainToAnOrderedListMoveToTheirNewDates) {
  // Each bulletin takes its old row's place first; the list must still come
  // out newest first (the newcomer first among equal dates), whether the
  // row was first, in the middle or last, and whatever its new date.
  for (int n : {1, 2, 10, 100}) {
    SCOPED_TRACE(n);
    auto controller = loadedController();
    ModelList model;
    auto send = datedSender([&](const Ref<BBBulletin>& b) { deliver(controller, b); }, model,
                            777u + static_cast<uint32_t>(n), 5);
    for (int i = 0; i < n; ++i) send("b" + std::to_string(i));
    for (int round = 0; round < 3; ++round) {
      ASSERT_EQ(rowIDs(*controller), model.names());  // ordered before each round
      for (int i = round; i < n; i += 2) send("b" + std::to_string(i));
      EXPECT_EQ(controller->_listItems->count(), static_cast<uint64_t>(n));  // replaced, never added
    }
    EXPECT_EQ(rowIDs(*controller), model.names());
  }
}

TEST_F(ListController, RowsPlacedBehindTheControllersBackKeepTheirPlace) {
  auto controller = loadedController();
  auto early = bulletin("early");
  early->setPublicationDate(at(kNow - 100));
  deliver(controller, early);
  auto late = bulletin("late");
  late->setPublicationDate(at(kNow));
  // Put at the end by hand, out of date order: the list takes it as it stands.
  controller->_listItems->addObject(objc::msg<id>(objc::alloc<SBAwayBulletinListItem>(),
                                                  SEL_("initWithBulletin:andObserver:"), late, controller->observer()));
  EXPECT_THAT(rowIDs(*controller), ElementsAre("early", "late"));
  // The hand-placed row can be withdrawn, and a newcomer still finds its place.
  auto middle = bulletin("middle");
  middle->setPublicationDate(at(kNow - 50));
  deliver(controller, middle);
  EXPECT_TRUE(controller->observer()->withdrawBulletin(bulletin("late")));
  EXPECT_THAT(rowIDs(*controller), ElementsAre("middle", "early"));
}

TEST_F(ListController, ARowSwappedBehindTheControllersBackAnswersToItsOwnIdentifier) {
  auto controller = loadedController();
  for (auto [name, age] : {std::pair{"a", 10}, {"b", 20}, {"c", 30}}) {
    auto b = bulletin(name);
    b->setPublicationDate(at(kNow - age));
    deliver(controller, b);
  }
  ASSERT_THAT(rowIDs(*controller), ElementsAre("a", "b", "c"));
  // The same number of rows, one of them another bulletin's, put there by hand.
  auto swapped = bulletin("x");
  swapped->setPublicationDate(at(kNow - 20));
  controller->_listItems->replaceObjectAtIndex(
      1, objc::msg<id>(objc::alloc<SBAwayBulletinListItem>(), SEL_("initWithBulletin:andObserver:"), swapped,
                       controller->observer()));
  EXPECT_THAT(rowIDs(*controller), ElementsAre("a", "x", "c"));
  // The row it replaced is gone for good; the hand-placed one can be
  // withdrawn, and a row delivered again still moves to its new date.
  EXPECT_TRUE(controller->observer()->withdrawBulletin(bulletin("b")));
  EXPECT_THAT(rowIDs(*controller), ElementsAre("a", "x", "c"));
  EXPECT_TRUE(controller->observer()->withdrawBulletin(bulletin("x")));
  auto again = bulletin("c");
  again->setPublicationDate(at(kNow));
  deliver(controller, again);
  EXPECT_THAT(rowIDs(*controller), ElementsAre("c", "a"));
  EXPECT_EQ(controller->_listItems->count(), 2U);
}
