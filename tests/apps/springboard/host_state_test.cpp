// The lock screen's state as the host reports it: own rows styled by the
// tweak, other applications' rows as the platform made them.

#include "HostFixture.h"

#include <gtest/gtest.h>

#include <cmath>

using hosttest::FixtureRoot;
using hosttest::rowsWhere;
using hosttest::runHost;
using nlohmann::json;

namespace {

json runJson(const FixtureRoot& root, std::vector<std::string> args = {}) {
  args.insert(args.begin(), {"--root", root.path().string(), "--json"});
  auto r = runHost(args);
  EXPECT_EQ(r.exitCode, 0) << r.err;
  return r.json();
}

const json* rowTitled(const json& state, const std::string& title) {
  for (const auto& row : state.at("rows"))
    if (row.at("title") == title) return &row;
  return nullptr;
}

double d(const json& j) { return j.get<double>(); }

}  // namespace

TEST(HostState, OwnRowsCarryTheirIdentifiersFontsHeightsAndFrames) {
  FixtureRoot root;
  hosttest::standardDevice(root,
                           "<key>textSize</key><integer>16</integer><key>dateTextSize</key><integer>12</integer>");
  json state = runJson(root);

  auto own = rowsWhere(state, true);
  ASSERT_EQ(own.size(), 3u);
  for (const auto& row : own) {
    SCOPED_TRACE(row.at("title").get<std::string>());
    EXPECT_EQ(row.at("class"), "SBAwayBulletinListItem");
    EXPECT_EQ(row.at("bulletinID").get<std::string>().rfind("Quillpane ", 0), 0u);
    EXPECT_EQ(row.at("section"), "com.apple.reminders");
    EXPECT_EQ(row.at("message"), "QPX|");
    EXPECT_FALSE(row.at("canClear").get<bool>());
    EXPECT_FALSE(row.at("canEdit").get<bool>());
    ASSERT_TRUE(row.at("visible").get<bool>());

    const json& title = row.at("labels").at("primaryLabel");
    const json& date = row.at("labels").at("relevanceDateLabel");
    EXPECT_EQ(d(title.at("font").at("size")), 16);
    EXPECT_EQ(d(date.at("font").at("size")), 12);
    EXPECT_EQ(d(title.at("frame").at("x")), 47);
    // The date follows the title, 10 points after it, on the same bottom edge.
    EXPECT_DOUBLE_EQ(d(date.at("frame").at("x")), 47 + d(title.at("frame").at("width")) + 10);
    EXPECT_DOUBLE_EQ(d(date.at("frame").at("y")) + d(date.at("frame").at("height")),
                     d(title.at("frame").at("y")) + d(title.at("frame").at("height")));
    // One line: the title's line height plus 13 above and 13 below.
    EXPECT_DOUBLE_EQ(d(row.at("height")), d(title.at("frame").at("height")) + 26);
    // The message line is there but not shown.
    EXPECT_EQ(d(row.at("labels").at("secondaryLabel").at("color").at("alpha")), 0);
    EXPECT_EQ(row.at("icon").at("kind"), "dot");
    EXPECT_EQ(d(row.at("icon").at("diameter")), 30);
  }
  const json* bill = rowTitled(state, "!!! Pay the bill");
  ASSERT_NE(bill, nullptr);
  EXPECT_EQ(bill->at("icon").at("color").at("hex"), "#FF9500");
  EXPECT_EQ(bill->at("date"), "2026-12-09T10:00:00+01:00");
  const json* report = rowTitled(state, "!! Send the report");
  ASSERT_NE(report, nullptr);
  EXPECT_EQ(report->at("icon").at("color").at("hex"), "#007AFF");
  ASSERT_NE(rowTitled(state, "Water the plants"), nullptr);
}

TEST(HostState, OtherApplicationsRowsAreThoseOfADeviceWithoutTheTweak) {
  FixtureRoot with, without;
  hosttest::standardDevice(with, "<key>textSize</key><integer>18</integer>");
  hosttest::standardDevice(without, "<key>textSize</key><integer>18</integer>", false);
  json a = runJson(with), b = runJson(without);

  EXPECT_EQ(a.at("tweaks"), json::array({"Quillpane"}));
  EXPECT_EQ(b.at("tweaks"), json::array());
  ASSERT_EQ(rowsWhere(b, true).size(), 0u);
  auto foreignA = rowsWhere(a, false), foreignB = rowsWhere(b, false);
  ASSERT_EQ(foreignA.size(), 1u);
  ASSERT_EQ(foreignB.size(), 1u);
  for (const char* key : {"class", "bulletinID", "title", "message", "section", "defaultAction", "height", "labels",
                          "canClear", "canEdit", "alpha"})
    EXPECT_EQ(foreignA[0].at(key), foreignB[0].at(key)) << key;
  EXPECT_EQ(foreignA[0].at("icon").at("kind"), foreignB[0].at("icon").at("kind"));
  EXPECT_TRUE(foreignA[0].at("canClear").get<bool>());
  EXPECT_EQ(d(foreignA[0].at("labels").at("primaryLabel").at("font").at("size")), 15);

  // The list asks for the blurred wallpaper; in the default mode 2 the tweak refuses it.
  EXPECT_TRUE(b.at("underlay").at("shown").get<bool>());
  EXPECT_EQ(b.at("underlay").at("requesters"), json::array({"NotificationList"}));
  EXPECT_FALSE(a.at("underlay").at("shown").get<bool>());
}

TEST(HostState, OwnRowsComeFirstWhenTheSortingFilePutsQuillpaneFirst) {
  FixtureRoot root;
  hosttest::standardDevice(root);
  json state = runJson(root);
  ASSERT_EQ(state.at("rows").size(), 4u);
  for (size_t i = 0; i < 3; ++i) EXPECT_TRUE(state.at("rows")[i].at("own").get<bool>()) << i;
  EXPECT_EQ(state.at("rows")[3].at("title"), "Anna");
  // Rows stack from the list's top without gaps.
  double y = d(state.at("rows")[0].at("frame").at("y"));
  EXPECT_EQ(y, d(state.at("underlay").at("frame").at("y")));
  for (const auto& row : state.at("rows")) {
    EXPECT_DOUBLE_EQ(d(row.at("frame").at("y")), y);
    y += d(row.at("height"));
  }
}

TEST(HostState, OverridesSetTheClockZoneAndRelease) {
  FixtureRoot root;
  hosttest::standardDevice(root, "<key>showSeparatorLines</key><false/>");
  json state = runJson(root, {"--now", "2026-12-08T07:05", "--tz", "Asia/Tokyo", "--ios", "8.4"});
  EXPECT_EQ(state.at("device").at("now"), "2026-12-08T07:05:00+09:00");
  EXPECT_EQ(state.at("device").at("timeZone"), "Asia/Tokyo");
  EXPECT_EQ(state.at("device").at("iosRelease"), "8.4");
  EXPECT_NEAR(d(state.at("device").at("foundationVersion")), 1144.17, 1e-9);
  EXPECT_EQ(state.at("clock").at("time"), "7:05");
  for (const auto& row : rowsWhere(state, true)) {
    EXPECT_FALSE(row.at("separators").at("below").get<bool>());
    EXPECT_FALSE(row.at("separators").at("above").get<bool>());
  }

  json offset = runJson(root, {"--now", "2026-12-08T09:30:00+05:30"});
  EXPECT_EQ(offset.at("device").at("now"), "2026-12-08T05:00:00+01:00");
  EXPECT_EQ(offset.at("clock").at("time"), "5:00");
}
