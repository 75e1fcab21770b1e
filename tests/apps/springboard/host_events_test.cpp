// Event scripts run on the lock screen: the now-playing overlay, taps,
// swipes, the notification centre's clear, other applications' bulletins.

#include "HostFixture.h"

#include <gtest/gtest.h>

#include <fstream>

using hosttest::FixtureRoot;
using hosttest::rowsWhere;
using hosttest::runHost;
using nlohmann::json;

namespace {

json run(const FixtureRoot& root, std::vector<std::string> events) {
  events.insert(events.begin(), {"--root", root.path().string(), "--json"});
  auto r = runHost(events);
  EXPECT_EQ(r.exitCode, 0) << r.err;
  return r.exitCode == 0 ? r.json() : json::object({{"rows", json::array()}, {"events", json::array()}});
}

bool logHas(const json& state, const std::string& text) {
  for (const auto& line : state.at("log"))
    if (line.get<std::string>().find(text) != std::string::npos) return true;
  return false;
}

}  // namespace

TEST(HostEvents, NowPlayingWithdrawsOwnRowsFiveSecondsLater) {
  FixtureRoot root;
  hosttest::standardDevice(root);
  json early = run(root, {"now-playing", "open", "wait", "4.9"});
  EXPECT_EQ(rowsWhere(early, true).size(), 3u);
  EXPECT_TRUE(logHas(early, "QPX: hiding on lockscreen: NowPlayingArtLockScreen"));

  json late = run(root, {"now-playing", "open", "wait", "5"});
  EXPECT_EQ(rowsWhere(late, true).size(), 0u);
  ASSERT_EQ(rowsWhere(late, false).size(), 1u);
  EXPECT_EQ(rowsWhere(late, false)[0].at("title"), "Anna");
  EXPECT_TRUE(logHas(late, "QPX: SBLockScreenPluginOverlayContext removing 3 bulletins"));
  EXPECT_EQ(late.at("device").at("now"), "2026-12-08T09:00:05+01:00");

  // The next lock publishes them again.
  json relocked = run(root, {"now-playing", "open", "wait", "5", "lock"});
  EXPECT_EQ(rowsWhere(relocked, true).size(), 3u);
}

TEST(HostEvents, NowPlayingKeepsOwnRowsWhenHidingIsOff) {
  FixtureRoot root;
  hosttest::standardDevice(root, "<key>hideOnNowPlayingScreen</key><false/>");
  json state = run(root, {"now-playing", "open", "wait", "10"});
  EXPECT_EQ(rowsWhere(state, true).size(), 3u);
}

TEST(HostEvents, TapOpensRemindersByDefaultAndTheChosenApplicationWithSwipeAction3) {
  FixtureRoot byDefault, chosen, none;
  hosttest::standardDevice(byDefault);
  hosttest::standardDevice(chosen,
                           "<key>swipeAction</key><integer>3</integer>"
                           "<key>customLaunchAppBundleID</key><string>com.example.todo</string>");
  hosttest::standardDevice(none, "<key>swipeAction</key><integer>0</integer>");

  json a = run(byDefault, {"tap", "0", "tap", "3"});
  ASSERT_TRUE(a.at("rows")[0].at("own").get<bool>());
  EXPECT_EQ(a.at("events")[0].at("tap"), json({{"kind", "url"}, {"target", "x-apple-reminder://"}}));
  // Another application's row launches that application.
  EXPECT_EQ(a.at("events")[1].at("tap"), json({{"kind", "bundle"}, {"target", "com.apple.MobileSMS"}}));

  json b = run(chosen, {"tap", "0"});
  EXPECT_EQ(b.at("events")[0].at("tap"), json({{"kind", "bundle"}, {"target", "com.example.todo"}}));
  EXPECT_EQ(b.at("rows")[0].at("defaultAction"), json({{"kind", "bundle"}, {"target", "com.example.todo"}}));

  json c = run(none, {"tap", "0"});
  EXPECT_EQ(c.at("events")[0].at("tap").at("kind"), "none");
}

TEST(HostEvents, SwipeAndClearLeaveOwnRowsInPlace) {
  FixtureRoot root;
  hosttest::standardDevice(root);
  json swiped = run(root, {"swipe", "0", "swipe", "3"});
  EXPECT_NE(swiped.at("events")[0].at("result").get<std::string>().find("cannot be swiped"), std::string::npos);
  EXPECT_EQ(rowsWhere(swiped, true).size(), 3u);
  EXPECT_EQ(rowsWhere(swiped, false).size(), 0u);

  json cleared = run(root, {"notify", "com.apple.mobilemail", "Ben", "Lunch?", "clear"});
  EXPECT_EQ(rowsWhere(cleared, true).size(), 3u);
  EXPECT_EQ(rowsWhere(cleared, false).size(), 0u);
  EXPECT_EQ(cleared.at("events")[1].at("result"), "cleared 2 rows, 3 rows left");
}

TEST(HostEvents, OtherBulletinsLightTheDarkScreenAndOwnOnesNever) {
  FixtureRoot root;
  hosttest::standardDevice(root);
  // Each lock darkens the screen; the first bulletin to arrive lights it.
  json state = run(root, {"notify", "com.apple.mobilemail", "Ben", "Lunch?", "lock"});
  ASSERT_EQ(state.at("screenLightings").size(), 2u);
  for (const auto& lighting : state.at("screenLightings")) {
    const std::string item = lighting.at("item");
    EXPECT_EQ(item.find("Quillpane"), std::string::npos) << item;
    EXPECT_NE(item.find("com.apple.MobileSMS"), std::string::npos) << item;
  }
  EXPECT_EQ(rowsWhere(state, true).size(), 3u);
}

TEST(HostEvents, ScriptFileAndWordsRunInOrder) {
  FixtureRoot root;
  hosttest::standardDevice(root);
  const auto script = root.path() / "morning.txt";
  std::ofstream(script)
      << "# Ben writes, then the music starts\nnotify com.apple.mobilemail \"Ben Krause\" 'Lunch at 12?'\n"
         "now-playing open\n";
  auto r = runHost({"--root", root.path().string(), "--json", "--script", script.string(), "wait", "5"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  json state = r.json();
  ASSERT_EQ(state.at("events").size(), 3u);
  EXPECT_EQ(state.at("events")[0].at("event"), "notify com.apple.mobilemail \"Ben Krause\" \"Lunch at 12?\"");
  EXPECT_EQ(rowsWhere(state, true).size(), 0u);
  EXPECT_EQ(rowsWhere(state, false).size(), 2u);
}

TEST(HostEvents, TextReportMarksOwnRowsAndSaysWhatTapsDid) {
  FixtureRoot root;
  hosttest::standardDevice(root);
  auto r = runHost({"--root", root.path().string(), "tap", "0"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.out.find("opens x-apple-reminder://"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("Rows (4; * = Quillpane)"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find(" * !!! Pay the bill"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("   Anna"), std::string::npos) << r.out;
}
