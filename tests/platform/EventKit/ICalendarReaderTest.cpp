#include <EventKit/ICalendarReader.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

using eventkit::DueDate;
using eventkit::parseReminderCalendar;

namespace {

std::string calendar(const std::string& body) {
  return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\n" + body + "END:VCALENDAR\r\n";
}
std::string todo(const std::string& lines) { return "BEGIN:VTODO\r\n" + lines + "END:VTODO\r\n"; }

eventkit::ReminderRecord only(const std::string& text) {
  auto parsed = parseReminderCalendar(text);
  EXPECT_EQ(parsed.reminders.size(), 1u);
  return parsed.reminders.empty() ? eventkit::ReminderRecord{} : parsed.reminders.front();
}

std::string readFile(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

}  // namespace

TEST(ICalendarReader, DueDatesKeepWhatWasWritten) {
  auto date = only(calendar(todo("SUMMARY:a\r\nDUE;VALUE=DATE:20261208\r\n"))).due;
  ASSERT_TRUE(date);
  EXPECT_EQ(date->year, 2026);
  EXPECT_EQ(date->month, 12);
  EXPECT_EQ(date->day, 8);
  EXPECT_FALSE(date->hasTime);

  auto utc = only(calendar(todo("SUMMARY:a\r\nDUE:20261208T093015Z\r\n"))).due;
  ASSERT_TRUE(utc && utc->hasTime);
  EXPECT_EQ(utc->zone, DueDate::Zone::Utc);
  EXPECT_EQ(utc->hour * 10000 + utc->minute * 100 + utc->second, 93015);

  auto floating = only(calendar(todo("SUMMARY:a\r\nDUE:20261208T170000\r\n"))).due;
  ASSERT_TRUE(floating && floating->hasTime);
  EXPECT_EQ(floating->zone, DueDate::Zone::Floating);

  auto named =
      only(calendar(todo("SUMMARY:a\r\nDUE;TZID=/mozilla.org/20050126_1/Europe/Berlin:20261208T170000\r\n"))).due;
  ASSERT_TRUE(named);
  EXPECT_EQ(named->zone, DueDate::Zone::Named);
  EXPECT_EQ(named->zoneNames.back(), "Europe/Berlin");

  // A private zone name is looked up through its VTIMEZONE's location.
  auto privateZone =
      only(calendar("BEGIN:VTIMEZONE\r\nTZID:Office time\r\nX-LIC-LOCATION:Europe/Paris\r\nEND:VTIMEZONE\r\n" +
                    todo("SUMMARY:a\r\nDUE;TZID=Office time:20261208T170000\r\n")))
          .due;
  ASSERT_TRUE(privateZone);
  EXPECT_EQ(privateZone->zoneNames, (std::vector<std::string>{"Office time", "Europe/Paris"}));
}

TEST(ICalendarReader, BadDueDatesLeaveTheReminderUndatedAndAreReported) {
  for (const char* due : {"DUE:20261345T090000", "DUE;VALUE=DATE:20270229", "DUE:tomorrow", "DUE:20261208T250000"}) {
    SCOPED_TRACE(due);
    auto parsed = parseReminderCalendar(calendar(todo(std::string("SUMMARY:a\r\n") + due + "\r\n")));
    ASSERT_EQ(parsed.reminders.size(), 1u);
    EXPECT_FALSE(parsed.reminders[0].due);
    EXPECT_FALSE(parsed.problems.empty());
  }
  EXPECT_TRUE(only(calendar(todo("SUMMARY:a\r\nDUE;VALUE=DATE:20280229\r\n"))).due);  // a real leap day
}

TEST(ICalendarReader, PriorityCompletionAndText) {
  EXPECT_EQ(only(calendar(todo("SUMMARY:a\r\nPRIORITY:1\r\n"))).priority, 1u);
  EXPECT_EQ(only(calendar(todo("SUMMARY:a\r\n"))).priority, 0u);
  EXPECT_EQ(only(calendar(todo("SUMMARY:a\r\nPRIORITY:12\r\n"))).priority, 0u);
  EXPECT_TRUE(only(calendar(todo("SUMMARY:a\r\nSTATUS:COMPLETED\r\n"))).completed);
  EXPECT_TRUE(only(calendar(todo("SUMMARY:a\r\nCOMPLETED:20261207T100000Z\r\n"))).completed);
  EXPECT_FALSE(only(calendar(todo("SUMMARY:a\r\nSTATUS:NEEDS-ACTION\r\n"))).completed);
  EXPECT_EQ(only(calendar(todo("SUMMARY:Milk\\, eggs\\; bread\r\n"))).title, "Milk, eggs; bread");
  EXPECT_EQ(only(calendar(todo("SUMMARY:Stra\xDF"
                               "e\r\n")))
                .title,
            "Stra\xC3\x9F"
            "e");  // Latin-1 read as such
  // An empty SUMMARY is no title either.
  EXPECT_TRUE(parseReminderCalendar(calendar(todo("SUMMARY:\r\n"))).reminders.empty());
}

TEST(ICalendarReader, ReminderWithoutSummaryIsSkippedAndNamed) {
  auto parsed = parseReminderCalendar(calendar(todo("UID:abc-1\r\n") + todo("SUMMARY:kept\r\n")));
  ASSERT_EQ(parsed.reminders.size(), 1u);
  EXPECT_EQ(parsed.reminders[0].title, "kept");
  ASSERT_EQ(parsed.problems.size(), 1u);
  EXPECT_NE(parsed.problems[0].find("abc-1"), std::string::npos);
}

TEST(ICalendarReader, LocationAlarmsAsAppleWritesThem) {
  auto r =
      only(calendar(todo("SUMMARY:a\r\n"
                         "BEGIN:VALARM\r\nACTION:DISPLAY\r\nTRIGGER:-PT15M\r\nEND:VALARM\r\n"
                         "BEGIN:VALARM\r\nX-APPLE-PROXIMITY:DEPART\r\n"
                         "X-APPLE-STRUCTURED-LOCATION;VALUE=URI;X-ADDRESS=Hauptstra\xC3\x9F"
                         "e 1\\\\nLinz;X-APPLE-RADIUS=70;X-TITL\r\n"
                         " E=Hauptstra\xC3\x9F"
                         "e 1-5\\; 4041 Linz:geo:48.3,14.2\r\nEND:VALARM\r\n"
                         "BEGIN:VALARM\r\nX-APPLE-STRUCTURED-LOCATION;X-TITLE=\"Home\":geo:1,2\r\nX-APPLE-PROXIMITY:"
                         "arrive\r\nEND:VALARM\r\n")));
  ASSERT_EQ(r.alarms.size(), 3u);
  EXPECT_FALSE(r.alarms[0].hasLocation);
  EXPECT_EQ(r.alarms[0].proximity, 0);
  EXPECT_TRUE(r.alarms[1].hasLocation);
  EXPECT_EQ(r.alarms[1].locationTitle,
            "Hauptstra\xC3\x9F"
            "e 1-5; 4041 Linz");
  EXPECT_EQ(r.alarms[1].proximity, 2);
  EXPECT_EQ(r.alarms[2].locationTitle, "Home");
  EXPECT_EQ(r.alarms[2].proximity, 1);
}

TEST(ICalendarReader, FileStructure) {
  // Several calendars, nested ones, a bare VTODO: reminders in file order.
  auto parsed = parseReminderCalendar(
      calendar(todo("SUMMARY:one\r\n") + "BEGIN:VCALENDAR\r\n" + todo("SUMMARY:two\r\n") + "END:VCALENDAR\r\n") +
      calendar(todo("SUMMARY:three\r\n")));
  ASSERT_EQ(parsed.reminders.size(), 3u);
  EXPECT_EQ(parsed.reminders[0].title, "one");
  EXPECT_EQ(parsed.reminders[1].title, "two");
  EXPECT_EQ(parsed.reminders[2].title, "three");
  EXPECT_EQ(only(todo("SUMMARY:bare\n")).title, "bare");
  EXPECT_EQ(only("\xEF\xBB\xBF" + calendar(todo("SUMMARY:bom\r\n"))).title, "bom");

  // Lines longer than the parser's pieces, folded lines, and files whose
  // lines end in a lone CR, or in LF and then CR, arrive whole.
  const std::string longText(1 << 20, 'x');
  EXPECT_EQ(only(calendar(todo("SUMMARY:" + longText + "\r\n"))).title, longText);
  EXPECT_EQ(
      only(calendar(todo("SUMMARY:" + longText.substr(0, 100) + "\r\n " + longText.substr(0, 100) + "\r\n"))).title,
      longText.substr(0, 200));
  const std::string crOnly =
      "BEGIN:VCALENDAR\rBEGIN:VTODO\rSUMMARY:" + longText.substr(0, 300) + "\rEND:VTODO\rEND:VCALENDAR\r";
  EXPECT_EQ(only(crOnly).title, longText.substr(0, 300));
  EXPECT_EQ(only("BEGIN:VCALENDAR\nBEGIN:VTODO\nSUMMARY:mixed\rEND:VTODO\rEND:VCALENDAR\r").title, "mixed");

  for (std::string bad : {std::string(), std::string("hello"),
                          std::string("BEGIN:VCALENDAR\r\nBEGIN:VTODO\r\nSUMMARY:cut"), std::string("\0\0\0", 3)}) {
    auto p = parseReminderCalendar(bad);
    EXPECT_FALSE(p.readable);
    EXPECT_TRUE(p.reminders.empty());
    EXPECT_FALSE(p.problems.empty());
  }
}

TEST(ICalendarReader, RealWorldFiles) {
  // Apple's own files read without complaint; every odd file has a defined outcome.
  std::filesystem::path corpus = std::filesystem::path(QP_CORPUS_DIR) / "ics";
  size_t reminders = 0;
  for (const auto& e : std::filesystem::directory_iterator(corpus / "apple")) {
    SCOPED_TRACE(e.path().filename().string());
    auto parsed = parseReminderCalendar(readFile(e.path()));
    EXPECT_TRUE(parsed.readable);
    EXPECT_TRUE(parsed.problems.empty()) << parsed.problems.front();
    EXPECT_EQ(parsed.reminders.size(), 1u);
    reminders += parsed.reminders.size();
  }
  EXPECT_EQ(reminders, 13u);
  for (const auto& e : std::filesystem::directory_iterator(corpus / "odd")) {
    SCOPED_TRACE(e.path().filename().string());
    auto parsed = parseReminderCalendar(readFile(e.path()));
    EXPECT_LE(parsed.reminders.size(), 1u);  // only the Latin-1 file holds a VTODO
  }
  auto latin1 = parseReminderCalendar(readFile(corpus / "odd" / "latin1_bytes_bad_dtstart_vtodo.ics"));
  ASSERT_EQ(latin1.reminders.size(), 1u);
  EXPECT_EQ(latin1.reminders[0].title, "\xC3\xA4\xC3\xB6\xC3\xBC\xC3\x9F");
}

TEST(ICalendarReader, OccurrencesWrittenApartFoldIntoTheirSeries) {
  const std::string master = "UID:s\r\nSUMMARY:Bins\r\nRRULE:FREQ=DAILY\r\nDUE:20261201T180000Z\r\n";
  auto done = [](const char* when) {
    return todo(std::string("UID:s\r\nSUMMARY:Bins\r\nRECURRENCE-ID:") + when + "\r\nSTATUS:COMPLETED\r\n");
  };
  // Occurrences completed apart, in any order and before the master; an
  // excluded day is skipped too.
  auto r = only(
      calendar(done("20261202T180000Z") + todo(master + "EXDATE:20261203T180000Z\r\n") + done("20261201T180000Z")));
  ASSERT_TRUE(r.due);
  EXPECT_EQ(r.due->day, 4);
  EXPECT_EQ(r.due->hour, 18);
  EXPECT_EQ(r.due->zone, DueDate::Zone::Utc);
  EXPECT_FALSE(r.completed);

  // An excluded first day is skipped even with nothing written apart.
  r = only(calendar(todo(master + "EXDATE:20261201T180000Z\r\n")));
  ASSERT_TRUE(r.due);
  EXPECT_EQ(r.due->day, 2);

  // Counted from DTSTART, the due time keeps its distance from it.
  r = only(calendar(todo("UID:s\r\nSUMMARY:Bins\r\nRRULE:FREQ=WEEKLY\r\nDTSTART:20261201T170000Z\r\n"
                         "DUE:20261201T190000Z\r\n") +
                    todo("UID:s\r\nSUMMARY:Bins\r\nRECURRENCE-ID:20261201T170000Z\r\nSTATUS:CANCELLED\r\n")));
  ASSERT_TRUE(r.due);
  EXPECT_EQ(r.due->day, 8);
  EXPECT_EQ(r.due->hour, 19);

  // An override without its master is a reminder of its own; other UIDs stay apart.
  auto parsed = parseReminderCalendar(calendar(done("20261201T180000Z") + todo("UID:t\r\nSUMMARY:Other\r\n")));
  ASSERT_EQ(parsed.reminders.size(), 2u);
  EXPECT_TRUE(parsed.reminders[0].completed);

  // A finite series with every occurrence done is done.
  r = only(calendar(todo("UID:s\r\nSUMMARY:Bins\r\nRRULE:FREQ=DAILY;COUNT=2\r\nDUE:20261201T180000Z\r\n") +
                    done("20261201T180000Z") + done("20261202T180000Z")));
  EXPECT_TRUE(r.completed);
}

TEST(ICalendarReader, ZonesTheDeviceCannotName) {
  const std::string aest =
      "BEGIN:VTIMEZONE\r\nTZID:AEST\r\nBEGIN:STANDARD\r\nDTSTART:19700101T000000\r\nTZOFFSETFROM:+1000\r\n"
      "TZOFFSETTO:+1000\r\nEND:STANDARD\r\nEND:VTIMEZONE\r\n";
  auto due = only(calendar(aest + todo("SUMMARY:a\r\nDUE;TZID=AEST:20261209T090000\r\n"))).due;
  ASSERT_TRUE(due);
  EXPECT_EQ(due->fileZoneOffset, 10 * 3600);

  // A known name never needs the file's definition; a Windows name maps to its zone.
  due = only(calendar(todo("SUMMARY:a\r\nDUE;TZID=Europe/Berlin:20261209T090000\r\n"))).due;
  EXPECT_EQ(due->fileZoneOffset, std::nullopt);
  due = only(calendar(todo("SUMMARY:a\r\nDUE;TZID=Tokyo Standard Time:20261209T090000\r\n"))).due;
  ASSERT_TRUE(due);
  EXPECT_EQ(due->zoneNames.back(), "Asia/Tokyo");

  // A definition that changes more often than yearly is not expanded.
  std::string busy = aest;
  busy.replace(busy.find("TZOFFSETFROM"), 0, "RRULE:FREQ=SECONDLY\r\n");
  due = only(calendar(busy + todo("SUMMARY:a\r\nDUE;TZID=AEST:20261209T090000\r\n"))).due;
  ASSERT_TRUE(due);
  EXPECT_EQ(due->fileZoneOffset, std::nullopt);
}
