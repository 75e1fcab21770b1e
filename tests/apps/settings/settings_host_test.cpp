// The Settings host on a copy of the demo root with the pane installed.

#include "SettingsHostFixture.h"

#include <Foundation/DeviceRoot.h>

#include <fcntl.h>
#include <sched.h>
#include <spawn.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <functional>
#include <map>

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

namespace {

const char* const kPreferencesFolder = "var/mobile/Library/Preferences";

/// The pane's files as they stand, by name.
std::map<std::string, std::string> filesIn(const fs::path& folder) {
  std::map<std::string, std::string> out;
  for (const auto& e : fs::directory_iterator(folder)) {
    std::ifstream in(e.path(), std::ios::binary);
    out[e.path().filename()] = {std::istreambuf_iterator<char>(in), {}};
  }
  return out;
}

/// Runs body in a child process (which may change its mounts or its user
/// without touching the test's); its exit code.
template <class Body>
int inChild(Body body) {
  const pid_t pid = ::fork();
  if (pid == 0) ::_exit(body());
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 98;
}

class SettingsFaultTest : public SettingsHostTest {
 protected:
  /// Runs every command that writes, on a Preferences folder that fault
  /// made read-only or full, in a mount namespace of a child process;
  /// each must exit 1, say why, and leave the files as they were. 77 when
  /// this machine cannot make the fault.
  int everyWriteFailsIn(const std::function<bool(const fs::path&)>& fault) {
    return inChild([&] {
      if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) return 77;
      const fs::path folder = root_ / kPreferencesFolder;
      if (!fault(folder)) return 77;
      const auto before = filesIn(folder);
      const std::vector<std::vector<std::string>> commands{
          {"set", "enabled", "off"}, {"calendars", "toggle", "1"}, {"sort", "move", "3", "1"}, {"apps", "choose", "1"}};
      for (size_t i = 0; i < commands.size(); ++i) {
        if (run(commands[i]) != 1) return int(10 + i);
        if (!complained("could not write /var/mobile/Library/Preferences/")) return int(20 + i);
        if (filesIn(folder) != before) return int(30 + i);
        // A change that did not reach its file is not shown as made.
        if (i == 0 && (said(" -> ") || !said("Enabled [enabled]: On (Off was not stored)"))) return 40;
      }
      return 0;
    });
  }
};

}  // namespace

TEST_F(SettingsFaultTest, OnAReadOnlyRootEveryWriteCommandFailsAndSaysSo) {
  const int code = everyWriteFailsIn([](const fs::path& folder) {
    return ::mount(folder.c_str(), folder.c_str(), nullptr, MS_BIND, nullptr) == 0 &&
           ::mount(nullptr, folder.c_str(), nullptr, MS_BIND | MS_REMOUNT | MS_RDONLY, nullptr) == 0;
  });
  if (code == 77) GTEST_SKIP() << "cannot mount here (needs root and mount namespaces)";
  EXPECT_EQ(code, 0);
}

TEST_F(SettingsFaultTest, OnAFullRootEveryWriteCommandFailsAndSaysSo) {
  const int code = everyWriteFailsIn([](const fs::path& folder) {
    const auto files = filesIn(folder);
    if (::mount("tmpfs", folder.c_str(), "tmpfs", 0, "size=256k") != 0) return false;
    for (const auto& [name, text] : files) std::ofstream(folder / name, std::ios::binary) << text;
    // Fill what is left, to the last byte.
    std::ofstream filler(folder / "filler", std::ios::binary);
    const std::string block(4096, 'x');
    while (filler.write(block.data(), std::streamsize(block.size())) && filler.flush()) {
    }
    return true;
  });
  if (code == 77) GTEST_SKIP() << "cannot mount here (needs root and mount namespaces)";
  EXPECT_EQ(code, 0);
}

TEST_F(SettingsHostTest, AnUnreadablePreferenceFileIsReportedOnceAndLeftAsItIs) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to run Settings as another user";
  std::ofstream(root_ / kPreferences) << "<plist><dict><key>enabled</key><true/></dict></plist>";
  fs::permissions(root_ / kPreferences, fs::perms(0600));
  fs::permissions(root_ / kPreferencesFolder, fs::perms(0777));
  const int code = inChild([&] {
    if (::setgid(65534) != 0 || ::setuid(65534) != 0) return 99;
    if (run({"set", "enabled", "off"}) != 1) return 1;
    const std::string said = err_.str();
    const auto first = said.find("cannot read /" + std::string(kPreferences));
    if (first == std::string::npos || said.find("cannot read", first + 1) != std::string::npos) return 2;
    if (said.find("could not write") != std::string::npos) return 3;
    if (out_.str().find(" -> ") != std::string::npos) return 5;
    return run({"apps", "choose", "1"}) == 1 ? 0 : 4;
  });
  EXPECT_EQ(code, 0) << "as the user nobody";
  EXPECT_EQ(file(kPreferences), "<plist><dict><key>enabled</key><true/></dict></plist>");
  EXPECT_FALSE(fs::exists(root_ / (std::string(kPreferences) + ".corrupt")));
}

TEST_F(SettingsHostTest, TwoSettingsProcessesNeverLoseEachOthersChanges) {
  constexpr int kRounds = 12;
  const pid_t a = ::fork();
  if (a == 0) {
    for (int i = 0; i < kRounds; ++i)
      if (run({"set", "textSize", std::to_string(10 + i)}) != 0) ::_exit(1);
    ::_exit(0);
  }
  const pid_t b = ::fork();
  if (b == 0) {
    for (int i = 0; i < kRounds; ++i)
      if (run({"set", "enabled", i % 2 ? "off" : "on"}) != 0) ::_exit(1);
    ::_exit(0);
  }
  int statusA = 0, statusB = 0;
  ::waitpid(a, &statusA, 0);
  ::waitpid(b, &statusB, 0);
  ASSERT_TRUE(WIFEXITED(statusA) && WEXITSTATUS(statusA) == 0);
  ASSERT_TRUE(WIFEXITED(statusB) && WEXITSTATUS(statusB) == 0);
  foundation::setDeviceRoot(root_.path());
  auto stored = preferences();
  ASSERT_TRUE(stored);
  EXPECT_EQ(objc::cast<NSNumber>(stored->objectForKey("textSize"))->doubleValue(), 10.0 + kRounds - 1);
  EXPECT_FALSE(objc::cast<NSNumber>(stored->objectForKey("enabled"))->boolValue());
}

TEST_F(SettingsHostTest, NamesFromTheDeviceCannotSteerTheTerminal) {
  const fs::path list = root_ / "var/mobile/Library/Reminders";
  fs::path folder;
  for (const auto& account : fs::directory_iterator(list))
    if (account.is_directory())
      for (const auto& l : fs::directory_iterator(account.path()))
        if (l.is_directory()) folder = l.path();
  ASSERT_FALSE(folder.empty());
  std::ofstream(folder / "displayname") << "Evil\x1b]0;owned\x07\x1b[2J\xc2\x9b"
                                           "31m list";
  ASSERT_EQ(run({"calendars"}), 0) << err_.str();
  EXPECT_TRUE(said("Evil?]0;owned??[2J?31m list")) << out_.str();
  for (char c : out_.str() + err_.str()) EXPECT_TRUE(c == '\n' || static_cast<unsigned char>(c) >= 0x20) << int(c);
}
