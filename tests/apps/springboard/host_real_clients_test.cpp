// The whole lock screen on lists exported by vdirsyncer from todoman's
// folders (tests/fixtures/reminders/clients): what todoman lists as open
// is what the lock screen shows, at the times todoman shows, and every
// list has a coloured dot.

#include "HostFixture.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <regex>

using hosttest::FixtureRoot;
using hosttest::rowsWhere;
using hosttest::runHost;
namespace fs = std::filesystem;

namespace {

/// Title -> due as todoman prints it ("2026-12-09 18:00", "2026-12-12", "").
std::multimap<std::string, std::string> todomanOpen(const fs::path& listing) {
  std::multimap<std::string, std::string> out;
  static const std::regex open(R"(^\[ \] \d+ !* ?(\(no due date\)|\d{4}-\d{2}-\d{2}(?: \d{2}:\d{2})?) (.*) @\S+\s*$)");
  std::ifstream in(listing);
  std::string line;
  while (std::getline(in, line)) {
    std::smatch m;
    if (!std::regex_match(line, m, open)) continue;
    std::string title = m[2];
    if (title.starts_with("\xE2\x9F\xB3")) title = title.substr(3);  // todoman's mark for a repeating task
    out.emplace(title, m[1] == "(no due date)" ? std::string() : m[1].str());
  }
  return out;
}

}  // namespace

TEST(HostRealClients, TheLockScreenShowsWhatTodomanListsAsOpen) {
  FixtureRoot root;
  root.profile(
      "<key>iOSRelease</key><string>7.1</string>"
      "<key>TimeZone</key><string>Europe/Berlin</string>"
      "<key>Now</key><date>2026-12-08T08:00:00Z</date>");
  root.prefs("<key>iconFile</key><string>DOT</string>");
  const fs::path fixtures = fs::path(QP_SOURCE_DIR) / "tests/fixtures/reminders/clients";
  const fs::path reminders = root.path() / "var/mobile/Library/Reminders";
  for (const char* account : {"home", "cloud"}) {
    fs::create_directories(reminders / account);
    fs::copy(fixtures / account, reminders / account, fs::copy_options::recursive);
  }
  root.write("/var/mobile/Library/Preferences/org.brightrepo.quillpane.calendars.plist",
             "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><array>"
             "<string>home/personal</string><string>work</string><string>shopping</string>"
             "<string>cloud/personal</string><string>tasks</string></array></plist>\n");
  root.installTweak();

  auto r = runHost({"--root", root.path().string(), "--json"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  auto own = rowsWhere(r.json(), true);

  auto expected = todomanOpen(fixtures / "todoman-list-home.txt");
  expected.merge(todomanOpen(fixtures / "todoman-list-cloud.txt"));
  ASSERT_EQ(expected.size(), 14u);
  ASSERT_EQ(own.size(), expected.size());
  for (const auto& row : own) {
    std::string title = row.at("title");
    SCOPED_TRACE(title);
    // The priority mark ("!!! ", "!! ", "! ") is the lock screen's, not todoman's.
    if (auto mark = title.find_first_not_of('!'); mark > 0 && mark != std::string::npos && title[mark] == ' ')
      title.erase(0, mark + 1);
    auto it = expected.find(title);
    ASSERT_NE(it, expected.end());
    // "2026-12-09T18:00:00+01:00" as todoman prints it; a date alone for all-day ones.
    std::string shown;
    if (!row.at("date").is_null()) {
      std::string iso = row.at("date");
      shown = it->second.size() == 10 ? iso.substr(0, 10) : iso.substr(0, 10) + " " + iso.substr(11, 5);
    }
    EXPECT_EQ(shown, it->second);
    expected.erase(it);

    const auto& icon = row.at("icon");
    EXPECT_EQ(icon.at("kind"), "dot");
    ASSERT_TRUE(icon.contains("color"));
    EXPECT_NE(icon.at("color").at("hex"), "#000000");
    EXPECT_GT(icon.at("color").at("alpha").get<double>(), 0);
  }
  // The cancelled tasks, the completed ones and khal's event are not there.
  EXPECT_TRUE(expected.empty());
}
