// The Settings host on a copy of the demo root with the pane installed.

#include "SettingsHostFixture.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

TEST_F(SettingsHostTest, TheRootScreenShowsEveryControlWithItsValue) {
  ASSERT_EQ(run({}), 0) << err_.str();
  EXPECT_TRUE(said("Quillpane\n"));
  for (const char* key : {"enabled", "textColor", "daysToDisplay", "iconFile", "customLaunchAppBundleID"})
    EXPECT_TRUE(said(key)) << key;
  EXPECT_TRUE(said("Title colour                   White"));
  EXPECT_TRUE(said("Days ahead                     365"));
  EXPECT_TRUE(said("press followOnTwitter"));
  ASSERT_EQ(run({"show"}), 0);
}

TEST_F(SettingsHostTest, AChangeReachesThePaneInTheFormItsControlProduces) {
  ASSERT_EQ(run({"set", "enabled", "off"}), 0) << err_.str();
  EXPECT_TRUE(said("Enabled [enabled]: On -> Off"));
  EXPECT_TRUE(said("Darwin notification posted: org.brightrepo.quillpaneprefs/settingschanged"));
  ASSERT_EQ(run({"set", "textColor", "Same as list colour"}), 0) << err_.str();
  ASSERT_EQ(run({"set", "textSize", "18"}), 0) << err_.str();
  ASSERT_EQ(run({"set", "daysToDisplay", "-1"}), 0) << err_.str();
  auto stored = preferences();
  ASSERT_TRUE(stored);
  auto enabled = objc::cast<NSNumber>(stored->objectForKey("enabled"));
  EXPECT_TRUE(enabled->isBoolean());
  EXPECT_FALSE(enabled->boolValue());
  EXPECT_EQ(objc::cast<NSNumber>(stored->objectForKey("textColor"))->integerValue(), 999);
  EXPECT_EQ(objc::cast<NSNumber>(stored->objectForKey("textSize"))->doubleValue(), 18.0);
  EXPECT_EQ(objc::cast<NSString>(stored->objectForKey("daysToDisplay"))->str(), "-1");
  ASSERT_EQ(run({}), 0);
  EXPECT_TRUE(said("Title colour                   Same as list colour"));
}

TEST_F(SettingsHostTest, WhatCannotBeDoneIsRefusedWithAReason) {
  EXPECT_EQ(run({"set", "noSuchKey", "1"}), 1);
  EXPECT_TRUE(complained("no control stores \"noSuchKey\""));
  EXPECT_EQ(run({"set", "enabled", "sometimes"}), 1);
  EXPECT_TRUE(complained("Enabled is a switch"));
  EXPECT_EQ(run({"set", "swipeAction", "2"}), 1);
  EXPECT_TRUE(complained("not a choice of Opens"));
  EXPECT_FALSE(fs::exists(root_ / kPreferences));  // nothing was stored
  EXPECT_EQ(run({"calendars", "toggle", "99"}), 1);
  EXPECT_TRUE(complained("row 99 is out of range"));
  EXPECT_EQ(run({"sort", "move", "1", "9"}), 1);
  EXPECT_EQ(run({"apps", "choose", "0"}), 1);
  EXPECT_EQ(run({"press", "launchRockets"}), 1);
  EXPECT_NE(run({"set", "enabled"}), 0);  // the command line itself
  EXPECT_EQ(run({"--pane", "Other"}), 1);
  EXPECT_TRUE(complained("Settings lists no pane \"Other\"; it lists: Quillpane"));
}

TEST_F(SettingsHostTest, TheSubScreensAreUsedThroughThePane) {
  ASSERT_EQ(run({"calendars"}), 0) << err_.str();
  EXPECT_TRUE(said("Reminder Lists"));
  std::string before = file("var/mobile/Library/Preferences/org.brightrepo.quillpane.calendars.plist");
  ASSERT_EQ(run({"calendars", "toggle", "1"}), 0) << err_.str();
  EXPECT_NE(file("var/mobile/Library/Preferences/org.brightrepo.quillpane.calendars.plist"), before);

  fs::remove(root_ / "var/mobile/Library/Preferences/org.brightrepo.datebeam.sorting.plist");
  ASSERT_EQ(run({"sort", "move", "3", "1"}), 0) << err_.str();
  EXPECT_TRUE(said(" 1. ≡ Quillpane"));

  ASSERT_EQ(run({"apps", "choose", "1"}), 0) << err_.str();
  EXPECT_TRUE(said("Back on Quillpane"));
  auto stored = preferences();
  ASSERT_TRUE(stored);
  EXPECT_TRUE(objc::as<NSString>(stored->objectForKey("customLaunchAppBundleID")));
}

TEST_F(SettingsHostTest, TheOtherAppsPageAndTheLinkButtons) {
  ASSERT_EQ(run({"other-apps"}), 0) << err_.str();
  std::string shown = out_.str();
  auto later = shown.find("A moment later:");
  ASSERT_NE(later, std::string::npos);
  EXPECT_LT(shown.find("\"Loading web page...\""), later);
  EXPECT_EQ(shown.find("Loading web page...", later), std::string::npos);

  ASSERT_EQ(run({"press", "followOnTwitter"}), 0) << err_.str();
  EXPECT_TRUE(said("Opened URL: https://twitter.com/intent/user?screen_name="));
}

TEST_F(SettingsHostTest, ARefusedAccessIsToldBeforeTheHostQuits) {
  std::string profile = file("device.plist");
  auto at = profile.find("<key>RemindersAccess</key>");
  ASSERT_NE(at, std::string::npos);
  auto value = profile.find("<true/>", at);
  ASSERT_NE(value, std::string::npos);
  profile.replace(value, 7, "<false/>");
  std::ofstream(root_ / "device.plist", std::ios::trunc) << profile;

  // In this process: the answer is in the log when the command returns.
  auto log = std::make_shared<foundation::CapturingSink>();
  foundation::setLogSinks({log});
  for (int i = 0; i < 10; ++i) {
    log->clear();
    ASSERT_EQ(run({"calendars"}), 0) << err_.str();
    ASSERT_TRUE(log->contains("QPX: calendar access NOT granted")) << "run " << i;
  }
  foundation::setLogSinks({});

  // As a person runs it: every run of the program writes the line.
  const std::string errPath = (root_ / "stderr.txt").string();
  for (int i = 0; i < 10; ++i) {
    std::vector<std::string> words{QP_SETTINGS_HOST, "--root", root_.path().string(), "calendars"};
    std::vector<char*> argv;
    for (auto& w : words) argv.push_back(w.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = 0;
    ASSERT_EQ(posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "run " << i;
    EXPECT_NE(file("stderr.txt").find("QPX: calendar access NOT granted"), std::string::npos) << "run " << i;
  }
}
