// The store on reminder lists as todoman, vdirsyncer, khal and other
// clients write them (tests/fixtures/reminders; NOTES.md says how each was
// made). The device stands in Berlin.

#include "ReminderRoot.h"

#include <EventKit/CollectionLayout.h>
#include <Foundation/NSCalendar.h>

#include <ctime>
#include <map>
#include <regex>
#include <set>

using ektest::ReminderRoot;
namespace fs = std::filesystem;

namespace {

using RGBAComponents = std::array<double, 4>;

const fs::path kFixtures = fs::path(QP_SOURCE_DIR) / "tests/fixtures/reminders";

std::string str(const id& obj, SEL sel) {
  auto s = objc::msg<Ref<NSString>>(obj, sel);
  return s ? s->str() : "(nil)";
}

/// Seconds since 2001-01-01 UTC of a UTC wall time.
double utc(int y, int mo, int d, int h, int mi) {
  std::tm t{};
  t.tm_year = y - 1900, t.tm_mon = mo - 1, t.tm_mday = d, t.tm_hour = h, t.tm_min = mi;
  return double(timegm(&t)) - 978307200.0;
}

class RealClients : public ReminderRoot {
 protected:
  /// Copies a fixture account folder ("clients/home") in as account name.
  void copyAccount(const std::string& fixture, const std::string& account) const {
    fs::create_directories(listPath(account));
    fs::copy(kFixtures / fixture, listPath(account), fs::copy_options::recursive);
  }
  static Ref<NSArray> lists(const Ref<EKEventStore>& store) {
    return objc::msg<Ref<NSArray>>(store, SEL_("calendarsForEntityType:"), EKEntityTypeReminder);
  }
  static id calendar(const Ref<EKEventStore>& store, const std::string& identifier) {
    return objc::msg<id>(store, SEL_("calendarWithIdentifier:"), NSStr(identifier));
  }
  static Ref<NSArray> only(const id& calendar) { return NSArray::arrayWithObjects({calendar}); }

  static id reminderTitled(const Ref<NSArray>& reminders, const std::string& title) {
    for (const id& r : *reminders)
      if (str(r, SEL_("title")) == title) return r;
    ADD_FAILURE() << "no reminder \"" << title << "\"";
    return nullptr;
  }
  static Ref<NSDate> dueOf(const id& reminder) {
    auto c = objc::msg<Ref<NSDateComponents>>(reminder, SEL_("dueDateComponents"));
    return c ? NSCalendar::currentCalendar()->dateFromComponents(c.get()) : nullptr;
  }
  /// The due date as todoman prints it in Berlin: "2026-12-09 18:00", a date
  /// alone, or "(no due date)".
  static std::string dueAsTodoman(const id& reminder) {
    auto c = objc::msg<Ref<NSDateComponents>>(reminder, SEL_("dueDateComponents"));
    if (!c) return "(no due date)";
    char buf[32];
    if (c->hour == NSDateComponentUndefined) {
      std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", int(c->year), int(c->month), int(c->day));
      return buf;
    }
    Ref<NSDate> when = NSCalendar::currentCalendar()->dateFromComponents(c.get());
    auto berlin = NSTimeZone::timeZoneWithName("Europe/Berlin");
    auto t = std::time_t(when->timeIntervalSinceReferenceDate() + 978307200.0 +
                         double(berlin->secondsFromGMTForDate(when.get())));
    std::tm tm{};
    gmtime_r(&t, &tm);
    std::strftime(buf, sizeof buf, "%Y-%m-%d %H:%M", &tm);
    return buf;
  }
};

TEST_F(RealClients, ListsKeepTheirNamesAndEveryOneHasAColour) {
  copyAccount("clients/home", "home");
  copyAccount("clients/cloud", "cloud");
  copyAccount("handwritten/thunderbird", "thunderbird");
  copyAccount("handwritten/outlook", "outlook");
  auto store = newStore();
  std::map<std::string, RGBAComponents> colours;
  auto all = lists(store);
  for (const id& c : *all) {
    auto color = objc::msg<Ref<CGColor>>(c, SEL_("CGColor"));
    ASSERT_TRUE(color) << str(c, SEL_("calendarIdentifier"));
    EXPECT_GT(color->alpha(), 0);
    colours[str(c, SEL_("calendarIdentifier"))] = color->components();
  }
  // "personal" is in two accounts; the others keep their folder names.
  std::vector<std::string> ids;
  for (const auto& [identifier, colour] : colours) ids.push_back(identifier);
  EXPECT_EQ(ids, (std::vector<std::string>{"calendar", "chores", "cloud/personal", "home/personal", "shopping", "tasks",
                                           "work"}));

  // Short forms, as vdirsyncer copies "#c0c" and Outlook-derived tools write "#F80C".
  auto shopping = objc::msg<Ref<CGColor>>(calendar(store, "shopping"), SEL_("CGColor"));
  EXPECT_DOUBLE_EQ(shopping->components()[0], 0xcc / 255.0);
  EXPECT_DOUBLE_EQ(shopping->components()[1], 0.0);
  EXPECT_DOUBLE_EQ(shopping->components()[2], 0xcc / 255.0);
  auto outlook = objc::msg<Ref<CGColor>>(calendar(store, "calendar"), SEL_("CGColor"));
  EXPECT_DOUBLE_EQ(outlook->alpha(), 0xcc / 255.0);

  // The lists without a colour file are named in the log with the colour they got.
  for (const char* path : {"home/personal", "cloud/personal", "cloud/tasks"}) {
    EXPECT_TRUE(log_->contains(std::string("/var/mobile/Library/Reminders/") + path + ": no color file, the list gets"))
        << path;
  }

  // The same lists get the same colours from a fresh store.
  auto again = lists(newStore());
  for (const id& c : *again)
    EXPECT_EQ(colours[str(c, SEL_("calendarIdentifier"))], objc::msg<Ref<CGColor>>(c, SEL_("CGColor"))->components());
}

TEST_F(RealClients, ListColoursInTheirShortAndLongForms) {
  using eventkit::parseListColor;
  using eventkit::RGBA;
  EXPECT_EQ(parseListColor("#abc"), (RGBA{0xaa / 255.0, 0xbb / 255.0, 0xcc / 255.0, 1}));
  EXPECT_EQ(parseListColor(" F80C\n"), (RGBA{1, 0x88 / 255.0, 0, 0xcc / 255.0}));
  EXPECT_EQ(parseListColor("#1e88e5"), (RGBA{0x1e / 255.0, 0x88 / 255.0, 0xe5 / 255.0, 1}));
  for (const char* bad : {"", "#", "#ab", "#abcde", "#abcdefa", "#abg", "dark green", "#aabbccddee"})
    EXPECT_EQ(parseListColor(bad), std::nullopt) << bad;

  // A default colour depends on the identifier alone.
  std::set<std::string> names;
  for (const char* id : {"personal", "tasks", "home/personal", "cloud/personal", "a", "b", "c", "d", "e", "f"})
    names.insert(eventkit::defaultListColor(id).name);
  EXPECT_GT(names.size(), 2u);
  EXPECT_STREQ(eventkit::defaultListColor("home/personal").name, eventkit::defaultListColor("home/personal").name);
}

TEST_F(RealClients, TheLockScreenShowsWhatTodomanListsAsOpen) {
  copyAccount("clients/home", "home");
  copyAccount("clients/cloud", "cloud");
  auto store = newStore();
  auto f = fetch(store, nullptr);
  ASSERT_TRUE(f.reminders);

  std::multiset<std::string> fetched, listed;
  for (const id& r : *f.reminders) fetched.insert(dueAsTodoman(r) + " " + str(r, SEL_("title")));
  for (const char* file : {"todoman-list-home.txt", "todoman-list-cloud.txt"}) {
    std::ifstream in(kFixtures / "clients" / file);
    std::string line;
    // "[ ] 1 !!! 2026-12-09 18:00 Pay the electricity bill @personal", "[ ] 3  (no due date) Call grandma @personal"
    static const std::regex open(
        R"(^\[ \] \d+ !* ?(\(no due date\)|\d{4}-\d{2}-\d{2}(?: \d{2}:\d{2})?) (.*) @\S+\s*$)");
    while (std::getline(in, line)) {
      std::smatch m;
      if (!std::regex_match(line, m, open)) continue;
      std::string title = m[2];
      if (title.starts_with("\xE2\x9F\xB3")) title = title.substr(3);  // todoman's mark for a repeating task
      listed.insert(m[1].str() + " " + title);
    }
  }
  ASSERT_EQ(listed.size(), 14u);
  EXPECT_EQ(fetched, listed);
}

TEST_F(RealClients, CancelledTasksAreNothingLeftToDo) {
  copyAccount("clients/home", "home");
  copyAccount("handwritten/thunderbird", "thunderbird");
  copyAccount("handwritten/nc-two", "nc-two");
  auto store = newStore();
  auto open = titles(fetch(store, nullptr).reminders);
  for (const char* cancelled : {"Book the team offsite", "Paint the fence", "Migrate the old wiki"})
    EXPECT_EQ(std::count(open.begin(), open.end(), cancelled), 0) << cancelled;
  EXPECT_EQ(std::count(open.begin(), open.end(), std::string("Order printer toner")), 1);

  // Asked for everything, a cancelled task is there, and done.
  auto all = objc::msg<id>(store, SEL_("predicateForRemindersInCalendars:"), only(calendar(store, "work")));
  auto everything = fetchWith(store, all).reminders;
  auto offsite = reminderTitled(everything, "Book the team offsite");
  ASSERT_TRUE(offsite);
  EXPECT_TRUE(objc::msg<bool>(offsite, SEL_("isCompleted")));
}

TEST_F(RealClients, SameNamedListsOfTwoAccountsAreBothThere) {
  copyAccount("clients/home", "home");
  copyAccount("clients/cloud", "cloud");
  copyAccount("handwritten/nc-one", "nc-one");
  copyAccount("handwritten/nc-two", "nc-two");
  auto store = newStore();
  EXPECT_EQ(str(objc::msg<id>(calendar(store, "cloud/personal"), SEL_("source")), SEL_("title")), "cloud");
  EXPECT_EQ(titles(fetch(store, only(calendar(store, "cloud/personal"))).reminders),
            (std::vector<std::string>{"Pick up the dry cleaning", "Renew passport"}));
  EXPECT_EQ(titles(fetch(store, only(calendar(store, "home/personal"))).reminders).size(), 6u);
  EXPECT_EQ(titles(fetch(store, only(calendar(store, "nc-one/tasks"))).reminders),
            (std::vector<std::string>{"Renew the car insurance"}));
  EXPECT_EQ(titles(fetch(store, only(calendar(store, "nc-two/tasks"))).reminders),
            (std::vector<std::string>{"Order printer toner"}));
  // "tasks" of the cloud account clashes too; a unique name stays bare.
  EXPECT_TRUE(calendar(store, "cloud/tasks"));
  EXPECT_FALSE(calendar(store, "tasks"));
  EXPECT_FALSE(calendar(store, "personal"));
  EXPECT_TRUE(calendar(store, "work"));
  // Both predicates keep both lists apart.
  auto both = NSArray::arrayWithObjects({calendar(store, "nc-one/tasks"), calendar(store, "nc-two/tasks")});
  EXPECT_EQ(titles(fetch(store, both).reminders).size(), 2u);
}

TEST_F(RealClients, ZonesOnlyTheFileOrWindowsNames) {
  copyAccount("handwritten/outlook", "outlook");
  auto store = newStore();
  auto r = fetch(store, nullptr).reminders;
  ASSERT_EQ(r->count(), 4u);
  // Outlook's own VTIMEZONE: 09:00 at -05:00.
  EXPECT_EQ(dueOf(reminderTitled(r, "Call the New York office"))->timeIntervalSinceReferenceDate(),
            utc(2026, 12, 8, 14, 0));
  // A name only the file defines: 09:00 at +10:00, the evening before in UTC.
  EXPECT_EQ(dueOf(reminderTitled(r, "Send the Sydney invoice"))->timeIntervalSinceReferenceDate(),
            utc(2026, 12, 8, 23, 0));
  // A Windows name without a definition: the zone it stands for.
  EXPECT_EQ(dueOf(reminderTitled(r, "Dentist appointment"))->timeIntervalSinceReferenceDate(), utc(2026, 12, 8, 16, 0));
  // Nobody knows this one: the device's own zone, and a log line.
  auto rover = objc::msg<Ref<NSDateComponents>>(reminderTitled(r, "Check the rover"), SEL_("dueDateComponents"));
  EXPECT_EQ(rover->timeZone, nullptr);
  EXPECT_TRUE(log_->contains("unknown-zone.ics: unknown time zone \"Mars/Olympus_Mons\""));
  EXPECT_FALSE(log_->contains("eastern.ics: unknown time zone"));
  EXPECT_FALSE(log_->contains("aest.ics: unknown time zone"));
}

TEST_F(RealClients, ARecurringTaskIsOneReminderAtItsNextOpenOccurrence) {
  copyAccount("handwritten/thunderbird", "thunderbird");
  copyAccount("clients/home", "home");
  auto store = newStore();
  auto r = fetch(store, nullptr).reminders;
  auto t = titles(r);
  EXPECT_EQ(std::count(t.begin(), t.end(), "Put the bins out"), 1);
  // Two weeks done as separate occurrences: the third week is next.
  EXPECT_EQ(dueOf(reminderTitled(r, "Put the bins out"))->timeIntervalSinceReferenceDate(), utc(2026, 12, 8, 18, 0));
  // An occurrence edited on its own: its new title, time and priority.
  EXPECT_EQ(std::count(t.begin(), t.end(), "Water the garden"), 0);
  auto moved = reminderTitled(r, "Water the garden (after the frost)");
  ASSERT_TRUE(moved);
  EXPECT_EQ(dueOf(moved)->timeIntervalSinceReferenceDate(), utc(2026, 12, 9, 17, 0));
  EXPECT_EQ(objc::msg<uint64_t>(moved, SEL_("priority")), 1u);
  // Every occurrence done: nothing left.
  EXPECT_EQ(std::count(t.begin(), t.end(), "Defrost the freezer"), 0);
  // todoman completes a repeat by writing the next one as a new task.
  EXPECT_EQ(std::count(t.begin(), t.end(), "Take out the recycling"), 1);
  EXPECT_EQ(dueOf(reminderTitled(r, "Take out the recycling"))->timeIntervalSinceReferenceDate(),
            utc(2026, 12, 8, 18, 0));
}

TEST_F(RealClients, EventsBesideTasksAreNotReminders) {
  copyAccount("clients/home", "home");
  auto store = newStore();
  auto t = titles(fetch(store, only(calendar(store, "work"))).reminders);
  EXPECT_EQ(std::count(t.begin(), t.end(), "Quarterly planning meeting"), 0);
  EXPECT_EQ(t.size(), 3u);  // the report, the pull request and the permit
}

}  // namespace
