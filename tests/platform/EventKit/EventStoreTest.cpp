#include "ReminderRoot.h"

#include <CoreImage/CIColor.h>
#include <EventKit/CollectionLayout.h>
#include <Foundation/NSCalendar.h>

using ektest::ReminderRoot;
namespace fs = std::filesystem;

namespace {

class EventStore : public ReminderRoot {
 protected:
  void makeTwoAccounts() {
    write("iCloud", "displayname", "iCloud\n");
    makeList("iCloud/home", "Home", "#FF9500");
    makeList("iCloud/groceries", "Groceries", "#4cd96480");
    makeList("Work/errands", "Errands");  // no colour file; account without a displayname
  }
  static Ref<NSArray> calendarsOf(const Ref<EKEventStore>& store, std::initializer_list<const char*> ids) {
    std::vector<id> out;
    for (const char* i : ids) out.push_back(objc::msg<id>(store, SEL_("calendarWithIdentifier:"), NSStr(i)));
    return NSArray::arrayWithObjects(std::move(out));
  }
};

std::string str(const id& obj, SEL sel) {
  auto s = objc::msg<Ref<NSString>>(obj, sel);
  return s ? s->str() : "(nil)";
}

}  // namespace

TEST_F(EventStore, ListsAndAccountsThroughTheRuntime) {
  makeTwoAccounts();
  auto store = newStore();
  auto lists = objc::msg<Ref<NSArray>>(store, SEL_("calendarsForEntityType:"), EKEntityTypeReminder);
  ASSERT_EQ(lists->count(), 3u);
  // Account folders in name order, then list folders in name order.
  std::vector<std::string> ids, titles, sources;
  for (const id& c : *lists) {
    ids.push_back(str(c, SEL_("calendarIdentifier")));
    titles.push_back(str(c, SEL_("title")));
    sources.push_back(str(objc::msg<id>(c, SEL_("source")), SEL_("title")));
  }
  EXPECT_EQ(ids, (std::vector<std::string>{"errands", "groceries", "home"}));
  EXPECT_EQ(titles, (std::vector<std::string>{"Errands", "Groceries", "Home"}));
  EXPECT_EQ(sources, (std::vector<std::string>{"Work", "iCloud", "iCloud"}));

  auto home = objc::msg<id>(store, SEL_("calendarWithIdentifier:"), NSStr("home"));
  auto color = objc::msg<Ref<CGColor>>(home, SEL_("CGColor"));
  ASSERT_TRUE(color);
  EXPECT_EQ(CIColor::colorWithCGColor(color.get())->stringRepresentation(), "1 0.5843137254901961 0 1");
  auto groceries = objc::msg<id>(store, SEL_("calendarWithIdentifier:"), NSStr("groceries"));
  EXPECT_DOUBLE_EQ(objc::msg<Ref<CGColor>>(groceries, SEL_("CGColor"))->alpha(), 128 / 255.0);
  // No colour file: a calendar colour of the device's, chosen by the identifier.
  auto errandsColor = objc::msg<Ref<CGColor>>(lists->objectAtIndex(0), SEL_("CGColor"));
  ASSERT_TRUE(errandsColor);
  EXPECT_EQ(errandsColor->components(), eventkit::defaultListColor("errands").rgba);
  EXPECT_TRUE(
      log_->contains("/var/mobile/Library/Reminders/Work/errands: no color file, the list gets the calendar colour"));
  EXPECT_EQ(objc::msg<id>(store, SEL_("calendarWithIdentifier:"), NSStr("nope")), nullptr);
  EXPECT_EQ(objc::msg<Ref<NSArray>>(store, SEL_("calendarsForEntityType:"), EKEntityTypeEvent)->count(), 0u);
}

TEST_F(EventStore, DamagedMetadataIsDefaultedAndLogged) {
  makeList("a/bad-colour", "Bad", "orange");
  write("a/empty-name", "displayname", "\n\n");
  write("a/latin1", "displayname", "Einkaufsliste f\xFCr M\xFCnchen\n");
  makeList("b/bad-colour", "Twin");  // the same folder name in a later account
  write("a/.hidden", "displayname", "Hidden\n");
  auto store = newStore();
  auto lists = objc::msg<Ref<NSArray>>(store, SEL_("calendarsForEntityType:"), EKEntityTypeReminder);
  ASSERT_EQ(lists->count(), 4u);
  auto bad = objc::msg<id>(store, SEL_("calendarWithIdentifier:"), NSStr("a/bad-colour"));
  EXPECT_EQ(str(bad, SEL_("title")), "Bad");
  EXPECT_EQ(objc::msg<Ref<CGColor>>(bad, SEL_("CGColor"))->components(),
            eventkit::defaultListColor("a/bad-colour").rgba);
  EXPECT_EQ(str(objc::msg<id>(store, SEL_("calendarWithIdentifier:"), NSStr("b/bad-colour")), SEL_("title")), "Twin");
  EXPECT_EQ(str(objc::msg<id>(store, SEL_("calendarWithIdentifier:"), NSStr("empty-name")), SEL_("title")),
            "empty-name");
  EXPECT_EQ(str(objc::msg<id>(store, SEL_("calendarWithIdentifier:"), NSStr("latin1")), SEL_("title")),
            "Einkaufsliste f\xC3\xBCr M\xC3\xBC"
            "nchen");
  EXPECT_TRUE(log_->contains("/var/mobile/Library/Reminders/a/bad-colour/color: \"orange\" is not a colour"));
  EXPECT_TRUE(log_->contains("/var/mobile/Library/Reminders/a/empty-name/displayname"));
}

TEST_F(EventStore, CompletionRunsOnceOnAnotherThreadInAStableOrder) {
  makeTwoAccounts();
  write("iCloud/home", "b.ics", todo("b1") + todo("b2"));
  write("iCloud/home", "a.ics", todo("a"));
  write("iCloud/home", "notes.txt", "not a reminder");
  write(
      "iCloud/home", "c.ics",
      "BEGIN:VCALENDAR\r\nBEGIN:VTODO\r\nSUMMARY:c1\r\nEND:VTODO\r\nBEGIN:VTODO\r\nSUMMARY:done\r\nSTATUS:COMPLETED\r\n"
      "END:VTODO\r\nBEGIN:VTODO\r\nSUMMARY:c2\r\nEND:VTODO\r\nEND:VCALENDAR\r\n");
  write("iCloud/groceries", "x.ics", todo("milk"));
  write("Work/errands", "y.ics", todo("post"));
  auto store = newStore();

  auto f = fetch(store, calendarsOf(store, {"groceries", "home", "errands"}));
  EXPECT_EQ(f.completions, 1);
  EXPECT_FALSE(f.onCallingThread);
  EXPECT_EQ(titles(f.reminders), (std::vector<std::string>{"milk", "a", "b1", "b2", "c1", "c2", "post"}));
  // The same list twice is searched once; the order follows the predicate.
  EXPECT_EQ(titles(fetch(store, calendarsOf(store, {"errands", "groceries", "errands"})).reminders),
            (std::vector<std::string>{"post", "milk"}));
  // nil searches every list; an empty array none.
  EXPECT_EQ(fetch(store, nullptr).reminders->count(), 7u);
  auto none = fetch(store, NSArray::array());
  EXPECT_EQ(none.completions, 1);
  EXPECT_EQ(none.reminders->count(), 0u);
}

TEST_F(EventStore, RemindersCarryTheirFieldsThroughTheRuntime) {
  makeTwoAccounts();
  write("iCloud/home", "1.ics",
        todo("Pay rent",
             "PRIORITY:1\r\nDUE;TZID=Europe/Berlin:20261205T180000\r\nBEGIN:VALARM\r\nACTION:DISPLAY\r\n"
             "END:VALARM\r\nBEGIN:VALARM\r\nX-APPLE-PROXIMITY:DEPART\r\nX-APPLE-STRUCTURED-LOCATION;VALUE=URI;"
             "X-TITLE=Office:geo:52.5,13.4\r\nEND:VALARM\r\n"));
  write("iCloud/home", "2.ics", todo("Water plants", "DUE;VALUE=DATE:20261208\r\n"));
  write("iCloud/home", "3.ics", todo("Report", "DUE:20261210T090000Z\r\n"));
  write("iCloud/home", "4.ics", todo("Review", "DUE:20261211T140000\r\n"));
  write("iCloud/home", "5.ics", todo("Someday"));
  write("iCloud/home", "6.ics", todo("Mars", "DUE;TZID=Mars/Olympus:20261211T140000\r\n"));
  auto store = newStore();
  auto home = objc::msg<id>(store, SEL_("calendarWithIdentifier:"), NSStr("home"));
  auto f = fetch(store, NSArray::arrayWithObjects({home}));
  ASSERT_EQ(f.reminders->count(), 6u);
  const auto& r = f.reminders->items();

  EXPECT_STREQ(object_getClassName(r[0].get()), "EKReminder");
  EXPECT_EQ(objc::msg<uint64_t>(r[0], SEL_("priority")), 1u);
  EXPECT_EQ(objc::msg<uint64_t>(r[4], SEL_("priority")), 0u);
  EXPECT_EQ(objc::msg<id>(r[0], SEL_("calendar")).get(), home.get());

  auto due = objc::msg<Ref<NSDateComponents>>(r[0], SEL_("dueDateComponents"));
  ASSERT_TRUE(due);
  EXPECT_EQ(due->year, 2026);
  EXPECT_EQ(due->hour, 18);
  ASSERT_TRUE(due->timeZone);
  EXPECT_EQ(due->timeZone->name(), "Europe/Berlin");

  auto dateOnly = objc::msg<Ref<NSDateComponents>>(r[1], SEL_("dueDateComponents"));
  EXPECT_EQ(dateOnly->day, 8);
  EXPECT_EQ(dateOnly->hour, NSDateComponentUndefined);
  EXPECT_EQ(dateOnly->timeZone, nullptr);

  auto utc = objc::msg<Ref<NSDateComponents>>(r[2], SEL_("dueDateComponents"));
  ASSERT_TRUE(utc->timeZone);
  EXPECT_EQ(utc->timeZone->secondsFromGMTForDate(nullptr), 0);
  // 09:00 UTC is 10:00 in Berlin in December.
  auto when = NSCalendar::currentCalendar()->dateFromComponents(utc.get());
  auto berlin = NSCalendar::currentCalendar()->componentsFromDate(NSCalendar::Hour, when.get());
  EXPECT_EQ(berlin->hour, 10);

  EXPECT_EQ(objc::msg<Ref<NSDateComponents>>(r[3], SEL_("dueDateComponents"))->timeZone, nullptr);  // floating
  EXPECT_EQ(objc::msg<Ref<NSDateComponents>>(r[4], SEL_("dueDateComponents")), nullptr);
  EXPECT_EQ(objc::msg<Ref<NSDateComponents>>(r[5], SEL_("dueDateComponents"))->timeZone, nullptr);
  EXPECT_TRUE(log_->contains("/var/mobile/Library/Reminders/iCloud/home/6.ics: unknown time zone \"Mars/Olympus\""));

  auto alarms = objc::msg<Ref<NSArray>>(r[0], SEL_("alarms"));
  ASSERT_EQ(alarms->count(), 2u);
  EXPECT_EQ(objc::msg<id>(alarms->objectAtIndex(0), SEL_("structuredLocation")), nullptr);
  EXPECT_EQ(objc::msg<int64_t>(alarms->objectAtIndex(1), SEL_("proximity")), EKAlarmProximityLeave);
  auto place = objc::msg<id>(alarms->objectAtIndex(1), SEL_("structuredLocation"));
  EXPECT_EQ(str(place, SEL_("title")), "Office");
  EXPECT_EQ(objc::msg<Ref<NSArray>>(r[4], SEL_("alarms")), nullptr);
}

TEST_F(EventStore, DueDateBoundsLeaveOutUndatedReminders) {
  makeList("iCloud/home", "Home");
  write("iCloud/home", "1.ics", todo("past", "DUE:20261201T090000Z\r\n"));
  write("iCloud/home", "2.ics", todo("soon", "DUE:20261209T090000Z\r\n"));
  write("iCloud/home", "3.ics", todo("undated"));
  auto store = newStore();
  auto start = NSDate::dateWithTimeIntervalSince1970(1796720400);  // 2026-12-08 09:00 UTC
  auto predicate = objc::msg<id>(store, SEL_("predicateForIncompleteRemindersWithDueDateStarting:ending:calendars:"),
                                 start, Ref<NSDate>(), Ref<NSArray>());
  EXPECT_EQ(titles(fetchWith(store, predicate).reminders), (std::vector<std::string>{"soon"}));
  predicate = objc::msg<id>(store, SEL_("predicateForIncompleteRemindersWithDueDateStarting:ending:calendars:"),
                            Ref<NSDate>(), start, Ref<NSArray>());
  EXPECT_EQ(titles(fetchWith(store, predicate).reminders), (std::vector<std::string>{"past"}));
}

TEST_F(EventStore, RefusedAccessAnswersEmptyButStillCompletes) {
  makeTwoAccounts();
  write("iCloud/home", "a.ics", todo("a"));
  denyAccess();
  auto store = newStore();
  EXPECT_EQ(EKEventStore::authorizationStatusForEntityType(EKEntityTypeReminder), EKAuthorizationStatusDenied);

  struct Answer {
    std::atomic<bool> done{false};
    bool granted = true;
    Ref<NSError> error;
    std::thread::id thread;
  };
  auto answer = std::make_shared<Answer>();
  EKEventStoreRequestAccessCompletionHandler completion = [answer](bool granted, Ref<NSError> error) {
    answer->granted = granted;
    answer->error = std::move(error);
    answer->thread = std::this_thread::get_id();
    answer->done = true;
  };
  objc::msg(store, SEL_("requestAccessToEntityType:completion:"), EKEntityTypeReminder, completion);
  for (int i = 0; i < 500 && !answer->done; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  ASSERT_TRUE(answer->done);
  EXPECT_FALSE(answer->granted);
  ASSERT_TRUE(answer->error);
  EXPECT_EQ(answer->error->code(), EKErrorEventStoreNotAuthorized);
  EXPECT_NE(answer->thread, std::this_thread::get_id());

  EXPECT_EQ(objc::msg<Ref<NSArray>>(store, SEL_("calendarsForEntityType:"), EKEntityTypeReminder)->count(), 0u);
  EXPECT_EQ(objc::msg<id>(store, SEL_("calendarWithIdentifier:"), NSStr("home")), nullptr);
  auto f = fetch(store, nullptr);
  EXPECT_EQ(f.completions, 1);
  ASSERT_TRUE(f.reminders);
  EXPECT_EQ(f.reminders->count(), 0u);
}

TEST_F(EventStore, RealWorldAndDamagedFilesNeverStopTheList) {
  makeList("iCloud/corpus", "Corpus", "#112233");
  fs::path corpus = fs::path(QP_CORPUS_DIR) / "ics";
  for (const char* part : {"apple", "odd"})
    for (const auto& e : fs::directory_iterator(corpus / part))
      fs::copy_file(e.path(), listPath("iCloud/corpus") / (std::string(part) + "-" + e.path().filename().string()));
  write("iCloud/corpus", "z-no-summary.ics",
        "BEGIN:VCALENDAR\r\nBEGIN:VTODO\r\nUID:nameless\r\nEND:VTODO\r\nEND:VCALENDAR\r\n");
  write("iCloud/corpus", "z-garbage.ics", std::string("\x00\xFF\xFE garbage", 11));
  write("iCloud/corpus", "z-unreadable.ics", todo("secret"));
  fs::permissions(listPath("iCloud/corpus") / "z-unreadable.ics", fs::perms::none);
  bool canReadAnyway = static_cast<bool>(std::ifstream(listPath("iCloud/corpus") / "z-unreadable.ics"));  // root
  write("iCloud/corpus", "zz-last.ics", todo("still here"));

  auto store = newStore();
  auto f = fetch(store, nullptr);
  auto t = titles(f.reminders);
  // Apple's 13 files hold 12 incomplete reminders; the Latin-1 one and the last file add theirs.
  EXPECT_EQ(t.size(), 14u + (canReadAnyway ? 1 : 0));
  EXPECT_EQ(t.back(), "still here");
  std::string dir = "/var/mobile/Library/Reminders/iCloud/corpus/";
  EXPECT_TRUE(log_->contains(dir + "z-no-summary.ics: skipped a reminder without SUMMARY (UID nameless)"));
  EXPECT_TRUE(log_->contains(dir + "z-garbage.ics: not a complete iCalendar file"));
  EXPECT_TRUE(log_->contains(dir + "odd-missing_end_vcalendar.ics: not a complete iCalendar file"));
  EXPECT_TRUE(log_->contains(dir + "odd-latin1_bytes_bad_dtstart_vtodo.ics"));
  if (!canReadAnyway) {
    EXPECT_TRUE(log_->contains(dir + "z-unreadable.ics: cannot be read, skipped"));
  }
}

TEST_F(EventStore, InMemoryObjectsForOtherCode) {
  // Code that tests against the store can build reminders without files.
  auto reminder = objc::create<EKReminder>();
  reminder->setTitle(NSStr("Buy milk"));
  reminder->setPriority(5);
  auto alarm = objc::create<EKAlarm>();
  alarm->setProximity(EKAlarmProximityEnter);
  alarm->setStructuredLocation(EKStructuredLocation::locationWithTitle(NSStr("Shop")));
  reminder->addAlarm(alarm);
  EXPECT_EQ(objc::msg<uint64_t>(reminder, SEL_("priority")), 5u);
  EXPECT_EQ(objc::msg<Ref<NSArray>>(reminder, SEL_("alarms"))->count(), 1u);
  EXPECT_TRUE(objc::isKind(reminder.get(), objc_getClass("EKCalendarItem")));
  EXPECT_THROW(objc::msg<int64_t>(reminder, SEL_("priority")), objc::RuntimeError);  // NSUInteger, as on the device
}
