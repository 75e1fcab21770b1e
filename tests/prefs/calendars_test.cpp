#include "PaneFixture.h"
#include "QPNCalendar.h"
#include "QPN_CalendarsTVC.h"

#include <EventKit/EventKit.h>

#include <chrono>
#include <thread>

namespace {

class CalendarsTest : public PaneFixture {
 protected:
  void addList(const std::string& account, const std::string& accountTitle, const std::string& list,
               const std::string& title) {
    writeText("/var/mobile/Library/Reminders/" + account + "/displayname", accountTitle);
    writeText("/var/mobile/Library/Reminders/" + account + "/" + list + "/displayname", title);
  }
  void addLists() {
    addList("b-account", "b", "zeta", "zeta");
    addList("b-account", "b", "alpha", "Alpha");
    addList("b-account", "b", "home-b", "Home");
    addList("a-account", "A", "home-a", "Home");
    addList("a-account", "A", "work", "work");
  }
  Ref<QPN_CalendarsTVC> open() {
    auto screen = objc::cast<QPN_CalendarsTVC>(press("selectCalendars"));
    window->layoutIfNeeded();
    return screen;
  }
  static Ref<UITableViewCell> row(const Ref<QPN_CalendarsTVC>& screen, NSInteger r) {
    return objc::msg<Ref<UITableViewCell>>(screen, SEL_("tableView:cellForRowAtIndexPath:"), screen->tableView(),
                                           NSIndexPath::indexPathForRow(r, 0));
  }
  static std::string line(const Ref<UITableViewCell>& cell) {
    return cell->textLabel()->text()->str() + " / " + cell->detailTextLabel()->text()->str() +
           (cell->accessoryType() == UITableViewCellAccessoryCheckmark ? " ✓" : "");
  }
  static std::vector<std::string> lines(const Ref<QPN_CalendarsTVC>& screen) {
    std::vector<std::string> out;
    auto n = objc::msg<NSInteger>(screen->tableView(), SEL_("numberOfRowsInSection:"), NSInteger(0));
    for (NSInteger r = 0; r < n; ++r) out.push_back(line(row(screen, r)));
    return out;
  }
  static void tap(const Ref<QPN_CalendarsTVC>& screen, NSInteger r) {
    ASSERT_TRUE(screen->tableView()->tapRowAtIndexPath(NSIndexPath::indexPathForRow(r, 0)));
  }
  /// The accessory of the row as it stands on screen.
  static NSInteger visibleAccessory(const Ref<QPN_CalendarsTVC>& screen, NSInteger r) {
    auto cell = screen->tableView()->cellForRowAtIndexPath(NSIndexPath::indexPathForRow(r, 0));
    return cell ? cell->accessoryType() : -1;
  }
  static std::vector<std::string> chosen() { return strings(NSArray::arrayWithContentsOfFile(kCalendarsFile)); }
};

class CalendarsWithoutAccessTest : public CalendarsTest {
  foundation::DeviceProfile profile() const override {
    foundation::DeviceProfile p;
    p.remindersAccess = false;
    return p;
  }
};

}  // namespace

TEST_F(CalendarsTest, RowsStandByAccountThenTitleWithoutRegardToCase) {
  addLists();
  auto screen = open();
  EXPECT_EQ(screen->navigationItem()->title()->str(), "Reminder Lists");
  EXPECT_TRUE(screen->tableView()->allowsMultipleSelection());
  EXPECT_EQ(lines(screen), (std::vector<std::string>{"Home / A", "work / A", "Alpha / b", "Home / b", "zeta / b"}));
  auto first = objc::cast<QPNCalendar>(screen->calendars->objectAtIndex(0));
  EXPECT_EQ(first->uuid()->str(), "home-a");  // the identifier the file stores
  EXPECT_EQ(objc::msg<Ref<NSString>>(first, SEL_("storeName"))->str(), "A");
}

TEST_F(CalendarsTest, TogglingAppendsAndRemovesEveryCopyAndKeepsUnknownLists) {
  addLists();
  writeStrings(kCalendarsFile, {"work", "gone-list", "work"});
  auto screen = open();
  EXPECT_EQ(line(row(screen, 1)), "work / A ✓");
  EXPECT_EQ(line(row(screen, 0)), "Home / A");

  tap(screen, 1);
  EXPECT_EQ(chosen(), std::vector<std::string>{"gone-list"});
  EXPECT_EQ(visibleAccessory(screen, 1), UITableViewCellAccessoryNone);
  EXPECT_TRUE(log_->contains("QPX: uuid exists in file, removing"));
  tap(screen, 4);
  tap(screen, 0);
  EXPECT_EQ(chosen(), (std::vector<std::string>{"gone-list", "zeta", "home-a"}));
  EXPECT_EQ(visibleAccessory(screen, 0), UITableViewCellAccessoryCheckmark);
  EXPECT_TRUE(log_->contains("QPX: uuid not saved, adding it"));
  EXPECT_EQ(screen->tableView()->indexPathForSelectedRow(), nullptr);  // no highlight stays
}

TEST_F(CalendarsTest, UncheckingTheOnlyListLeavesAnEmptyArray) {
  addLists();
  writeStrings(kCalendarsFile, {"alpha"});
  auto screen = open();
  tap(screen, 2);
  ASSERT_TRUE(NSArray::arrayWithContentsOfFile(kCalendarsFile));
  EXPECT_TRUE(chosen().empty());
}

TEST_F(CalendarsTest, OpeningAloneWritesNoFile) {
  addLists();
  open();
  navigation->popViewControllerAnimated(true);
  EXPECT_FALSE(fs::exists(host(kCalendarsFile)));
}

TEST_F(CalendarsTest, TheFileIsReplacedWholeNotRewrittenInPlace) {
  addLists();
  writeStrings(kCalendarsFile, {"work"});
  // A second name for the old file: an in-place rewrite would change it too.
  fs::create_hard_link(host(kCalendarsFile), root_ / "old-calendars.plist");
  auto screen = open();
  tap(screen, 0);
  EXPECT_EQ(chosen(), (std::vector<std::string>{"work", "home-a"}));
  EXPECT_EQ(strings(NSArray::arrayWithContentsOfFile("/old-calendars.plist")), std::vector<std::string>{"work"});
}

TEST_F(CalendarsTest, AnUnreadableFileStartsEmptyAndIsKeptBeforeTheFirstWrite) {
  addLists();
  writeText(kCalendarsFile, "{ not a plist");
  auto screen = open();
  for (const auto& l : lines(screen)) EXPECT_EQ(l.find("✓"), std::string::npos) << l;
  EXPECT_FALSE(fs::exists(host(kCalendarsFile + ".corrupt")));  // nothing written yet
  tap(screen, 3);
  EXPECT_EQ(chosen(), std::vector<std::string>{"home-b"});
  EXPECT_EQ(readText(kCalendarsFile + ".corrupt"), "{ not a plist");
}

TEST_F(CalendarsWithoutAccessTest, RefusedAccessShowsNoRowsAndSaysSo) {
  addLists();
  auto screen = open();
  EXPECT_EQ(objc::msg<NSInteger>(screen->tableView(), SEL_("numberOfSections")), 1);
  EXPECT_EQ(objc::msg<NSInteger>(screen->tableView(), SEL_("numberOfRowsInSection:"), NSInteger(0)), 0);
  // The refusal arrives on EventKit's own thread.
  for (int i = 0; i < 1000 && !log_->contains("QPX: calendar access NOT granted"); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  EXPECT_TRUE(log_->contains("QPX: calendar access NOT granted"));
}

TEST_F(CalendarsTest, SameNamedListsOfTwoAccountsAreBothOfferedAndEachShowsItsOwn) {
  addList("nc-one", "Nextcloud (work)", "tasks", "Tasks");
  addList("nc-two", "Nextcloud (home)", "tasks", "Tasks");
  addList("nc-two", "Nextcloud (home)", "garden", "Garden");
  auto todo = [](const std::string& title) {
    return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nBEGIN:VTODO\r\nSUMMARY:" + title + "\r\nEND:VTODO\r\nEND:VCALENDAR\r\n";
  };
  writeText("/var/mobile/Library/Reminders/nc-one/tasks/a.ics", todo("Order toner"));
  writeText("/var/mobile/Library/Reminders/nc-two/tasks/a.ics", todo("Feed the cat"));
  auto screen = open();
  EXPECT_EQ(lines(screen), (std::vector<std::string>{"Garden / Nextcloud (home)", "Tasks / Nextcloud (home)",
                                                     "Tasks / Nextcloud (work)"}));

  // What a ticked row stores finds that list's reminders, and only them.
  auto remindersOfChosen = [] {
    auto store = objc::cast<EKEventStore>(objc::msg<id>(objc::alloc<EKEventStore>(), SEL_("init")));
    std::vector<id> lists;
    for (const std::string& identifier : chosen()) lists.push_back(store->calendarWithIdentifier(NSStr(identifier)));
    auto predicate = store->predicateForIncompleteRemindersWithDueDateStarting(
        nullptr, nullptr, NSArray::arrayWithObjects(std::move(lists)));
    std::vector<std::string> titles;
    auto found = EKEventStore::remindersMatching(predicate.get());
    for (const id& r : *found) titles.push_back(objc::msg<Ref<NSString>>(r, SEL_("title"))->str());
    return titles;
  };
  tap(screen, 1);
  EXPECT_EQ(chosen(), (std::vector<std::string>{"nc-two/tasks"}));
  EXPECT_EQ(remindersOfChosen(), (std::vector<std::string>{"Feed the cat"}));
  tap(screen, 1);
  tap(screen, 2);
  EXPECT_EQ(chosen(), (std::vector<std::string>{"nc-one/tasks"}));
  EXPECT_EQ(remindersOfChosen(), (std::vector<std::string>{"Order toner"}));
  EXPECT_EQ(line(row(screen, 2)), "Tasks / Nextcloud (work) ✓");
}
