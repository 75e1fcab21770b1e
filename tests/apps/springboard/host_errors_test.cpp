// Bad roots, events and output paths: a clear message, a non-zero exit,
// and nothing printed or written. Device files that cannot be read: said,
// and the lock screen shown without them.

#include "HostFixture.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <fstream>
#include <sstream>

using hosttest::FixtureRoot;
using hosttest::runHost;

namespace {

void expectRefused(const hosttest::HostResult& r, const std::string& message) {
  EXPECT_EQ(r.exitCode, 2);
  EXPECT_NE(r.err.find(message), std::string::npos) << r.err;
  EXPECT_EQ(r.err.rfind("quillpane-springboard: ", 0), 0u) << r.err;
  EXPECT_TRUE(r.out.empty()) << r.out;
}

std::string contents(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

}  // namespace

TEST(HostErrors, RootsThatAreNotDeviceRoots) {
  FixtureRoot empty;
  std::filesystem::remove_all(empty.path() / "var");
  expectRefused(runHost({"--root", (empty.path() / "missing").string()}), "the folder does not exist");
  expectRefused(runHost({"--root", empty.path().string()}), "it has neither device.plist nor var/mobile");
  const auto file = empty.path() / "device.plist";
  std::ofstream(file) << "not a folder";
  expectRefused(runHost({"--root", file.string()}), "it is not a folder");
}

TEST(HostErrors, BadEventsAndRowsWriteNothingOver) {
  FixtureRoot root;
  hosttest::standardDevice(root);
  const auto png = root.path() / "keep.png";
  std::ofstream(png) << "an earlier picture";

  expectRefused(runHost({"--root", root.path().string(), "--png", png.string(), "lock", "dance"}),
                "argument 2: unknown event 'dance'");
  expectRefused(runHost({"--root", root.path().string(), "--png", png.string(), "tap", "9"}),
                "argument 1: tap 9: there is no row 9; the list has 4 rows (0 to 3)");
  expectRefused(runHost({"--root", root.path().string(), "--json", "clear", "swipe", "3"}), "there is no row 3");
  expectRefused(runHost({"--root", root.path().string(), "--script", (root.path() / "none.txt").string()}),
                "cannot read the script");
  EXPECT_EQ(contents(png), "an earlier picture");
}

TEST(HostErrors, OutputPathsThatCannotBeWritten) {
  FixtureRoot root;
  hosttest::standardDevice(root);
  expectRefused(runHost({"--root", root.path().string(), "--png", (root.path() / "no/such/dir/x.png").string()}),
                "does not exist");
  expectRefused(runHost({"--root", root.path().string(), "--png", root.path().string()}), "it is a folder");
  EXPECT_FALSE(std::filesystem::exists(root.path() / "no"));
}

TEST(HostErrors, BadOverrides) {
  FixtureRoot root;
  hosttest::standardDevice(root);
  expectRefused(runHost({"--root", root.path().string(), "--now", "tomorrow"}), "'tomorrow' is not a time");
  expectRefused(runHost({"--root", root.path().string(), "--now", "2026-13-01T09:00"}), "out of range");
  expectRefused(runHost({"--root", root.path().string(), "--tz", "Mars/Olympus"}), "unknown time zone 'Mars/Olympus'");
  expectRefused(runHost({"--root", root.path().string(), "--ios", "6.1"}), "unknown iOS release '6.1'");
}

// The phone keeps running when a file cannot be read: each lock logs the
// file once and says so, however many locks came before.
TEST(HostErrors, EachLockReportsTheFilesItCouldNotRead) {
  FixtureRoot root;
  hosttest::standardDevice(root);
  const std::string prefs = "/var/mobile/Library/Preferences/org.brightrepo.quillpaneprefs.plist";
  const auto host = root.path() / std::filesystem::path(prefs).relative_path();
  std::filesystem::remove(host);
  ASSERT_EQ(::mkfifo(host.c_str(), 0644), 0);

  const auto r = runHost({"--root", root.path().string(), "--json", "lock", "wait", "60", "lock"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  const auto state = r.json();
  EXPECT_EQ(state.at("notRead"), nlohmann::json::array({prefs}));
  const auto& events = state.at("events");
  ASSERT_EQ(events.size(), 3u);
  for (size_t i : {0u, 2u}) {
    EXPECT_EQ(events[i].value("notRead", nlohmann::json()), nlohmann::json::array({prefs})) << events[i];
    EXPECT_NE(events[i].at("result").get<std::string>().find("; not read: " + prefs), std::string::npos);
  }
  EXPECT_FALSE(events[1].contains("notRead"));
  // The first lock and the two in the script: one line each.
  size_t lines = 0;
  for (const auto& line : state.at("log"))
    if (line.get<std::string>().find(prefs + " is not a regular file") != std::string::npos) ++lines;
  EXPECT_EQ(lines, 3u) << state.at("log");

  const auto text = runHost({"--root", root.path().string()});
  EXPECT_NE(text.out.find("  not read: " + prefs + "\n"), std::string::npos) << text.out;
}
