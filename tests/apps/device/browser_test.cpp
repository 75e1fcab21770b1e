// The page in a real browser: headless chromium, driven through
// chromedriver, on a living device.

#include "LivingDevice.h"
#include "WebDriver.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

using namespace std::chrono_literals;
using devicetest::DemoRoot;
using devicetest::LivingDevice;
using devicetest::WebDriver;
using Clock = std::chrono::steady_clock;

class BrowserTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!WebDriver::available()) GTEST_SKIP() << "chromium and chromedriver are not installed";
    device_ = std::make_unique<LivingDevice>(root_.path());
    browser_ = std::make_unique<WebDriver>();
    browser_->open(device_->address());
    ASSERT_TRUE(browser_->waitFor("document.querySelector('#rows').dataset.own > 0", 30s))
        << "the page shows the demo rows";
  }

  int ownRows() {
    return std::stoi(browser_->script("return document.querySelector('#rows').dataset.own;").get<std::string>());
  }
  bool noteSays(const std::string& text) {
    return browser_->waitFor(
        "document.querySelector('#note').textContent.includes(" + nlohmann::json(text).dump() + ")", 10s);
  }
  std::string note() { return browser_->script("return document.querySelector('#note').textContent;"); }
  void openSettings() {
    browser_->click("#tab-settings");
    ASSERT_TRUE(settingsShows("show"));
  }
  /// Whether Settings comes to show the screen the words open.
  bool settingsShows(const std::string& words) {
    return browser_->waitFor("document.querySelector('#settings').dataset.screen == " + nlohmann::json(words).dump() +
                                 " && document.querySelector('#settings-controls .hot')",
                             20s);
  }
  /// Whether one of the lock screen's own rows has a title starting with prefix.
  bool anyOwnTitle(const std::string& prefix) {
    return browser_->script(
        "return [...document.querySelectorAll('.row[data-own=true]')].some(r => r.title.startsWith(" +
        nlohmann::json(prefix).dump() + "));");
  }

  DemoRoot root_;
  std::unique_ptr<LivingDevice> device_;
  std::unique_ptr<WebDriver> browser_;
};

TEST_F(BrowserTest, TapAndSwipeOnOwnAndOtherRows) {
  browser_->click(".row[data-own=true]");
  EXPECT_TRUE(noteSays("opens x-apple-reminder://")) << note();

  browser_->drag(".row[data-own=true]", -150, 0);
  EXPECT_TRUE(noteSays("cannot be swiped")) << note();

  const int rows =
      std::stoi(browser_->script("return document.querySelector('#rows').dataset.count;").get<std::string>());
  browser_->drag(".row[data-own=false]", -150, 0);
  EXPECT_TRUE(noteSays("cleared")) << note();
  EXPECT_TRUE(browser_->waitFor("document.querySelector('#rows').dataset.count == " + std::to_string(rows - 1), 10s));
}

TEST_F(BrowserTest, ShowAtMostTwoInSettingsThenLock) {
  ASSERT_GT(ownRows(), 2);
  openSettings();
  const std::string field = "input[name=maxRemindersToDisplay]";
  browser_->click(".hot[data-key=maxRemindersToDisplay]");
  ASSERT_TRUE(browser_->waitFor("document.querySelector('" + field + "')", 20s));
  const std::string version = "Number(document.querySelector('#settings').dataset.version)";
  const int before = browser_->script("return " + version + ";").get<int>();
  browser_->type(field, "abc\xee\x80\x87");  // U+E007, the Enter key
  ASSERT_TRUE(noteSays("takes a whole number")) << note();
  ASSERT_TRUE(browser_->waitFor(version + " > " + std::to_string(before), 20s)) << "the screen is shown again";
  EXPECT_EQ(browser_->script("return document.querySelector('.hot[data-key=maxRemindersToDisplay]').dataset.value;"),
            "5");

  browser_->click(".hot[data-key=maxRemindersToDisplay]");
  ASSERT_TRUE(browser_->waitFor("document.querySelector('" + field + "')", 20s));
  browser_->type(field, "2\xee\x80\x87");
  ASSERT_TRUE(
      browser_->waitFor("document.querySelector('.hot[data-key=maxRemindersToDisplay]').dataset.value == '2'", 20s))
      << note();

  browser_->click("#tab-lock");
  EXPECT_GT(ownRows(), 2) << "nothing changes before the next lock";
  browser_->click("#lock");
  EXPECT_TRUE(browser_->waitFor("document.querySelector('#rows').dataset.own == 2", 20s)) << ownRows();
}

// Everything on the Settings picture: a switch, a slider, a value list and
// its back button, the reminder lists' ticks and the sort order's drag; the lock
// screen shows the switch and the lists at the next lock.
TEST_F(BrowserTest, TheSettingsPictureTakesClicksAndDragsAsThePhoneWould) {
  const int own = ownRows();
  ASSERT_TRUE(anyOwnTitle("!")) << "the demo's reminders carry priority marks";
  openSettings();
  EXPECT_TRUE(browser_->script("return document.querySelector('#settings-back').hidden;").get<bool>())
      << "the pane's root has no way back on this device";

  browser_->click(".hot.switch[data-key=showPriority]");
  ASSERT_TRUE(browser_->waitFor("document.querySelector('.hot[data-key=showPriority]').dataset.on == 'false'", 20s))
      << note();

  // The middle of a size slider's track is the middle of its span.
  browser_->click("input[name=textSize]");
  EXPECT_TRUE(browser_->waitFor("document.querySelector('.hot[data-key=textSize]').dataset.value == '19'", 20s))
      << note();

  browser_->click(".hot[data-key=textColor]");
  ASSERT_TRUE(settingsShows("choices textColor"));
  ASSERT_TRUE(browser_->waitFor("document.querySelector('#settings').dataset.title == 'Title colour'", 5s));
  browser_->click(".hot[title=Red]");
  ASSERT_TRUE(browser_->waitFor("document.querySelector('.hot[data-checked=true]')?.title == 'Red'", 20s)) << note();
  browser_->click("#settings-back");
  ASSERT_TRUE(settingsShows("show"));
  EXPECT_TRUE(browser_->waitFor("document.querySelector('.hot[data-key=textColor]').dataset.value == 'Red'", 5s));

  browser_->click(".hot[data-action=selectCalendars]");
  ASSERT_TRUE(settingsShows("calendars"));
  const std::string ticked = "document.querySelectorAll('.hot[data-checked=true]').length";
  const int lists = browser_->script("return " + ticked + ";").get<int>();
  ASSERT_GT(lists, 1);
  // All but one list unticked: fewer reminders than the most the screen shows.
  for (int left = lists - 1; left >= 1; --left) {
    browser_->click(".hot[data-checked=true]");
    ASSERT_TRUE(browser_->waitFor(ticked + " == " + std::to_string(left), 20s)) << note();
  }

  browser_->click("#settings-back");
  ASSERT_TRUE(settingsShows("show"));
  browser_->click(".hot[data-action=changeSortOrder]");
  ASSERT_TRUE(settingsShows("sort"));
  const std::string order = "[...document.querySelectorAll('.hot.reorder')].map(r => r.title).join('|')";
  const std::string before = browser_->script("return " + order + ";");
  const int rowHeight = browser_->script("return document.querySelector('.hot.reorder').offsetHeight;").get<int>();
  browser_->drag(".hot.reorder", 0, rowHeight);
  ASSERT_TRUE(browser_->waitFor(order + " != " + nlohmann::json(before).dump(), 20s)) << note();

  browser_->click("#tab-lock");
  browser_->click("#lock");
  EXPECT_TRUE(browser_->waitFor("document.querySelector('#rows').dataset.own < " + std::to_string(own), 20s))
      << "the unticked lists' reminders are gone";
  EXPECT_FALSE(anyOwnTitle("!")) << "the priority marks are gone";
}

TEST_F(BrowserTest, MusicControlsTakeTheRemindersAwayFiveSecondsLater) {
  const auto opened = Clock::now();
  browser_->click("#music-open");
  ASSERT_TRUE(noteSays("now-playing overlay open")) << note();
  ASSERT_TRUE(browser_->waitFor("document.querySelector('#rows').dataset.own == 0", 15s));
  EXPECT_GE(Clock::now() - opened, 4500ms) << "not before the five seconds are up";
  EXPECT_TRUE(browser_->waitFor("document.querySelector('#rows').dataset.count > 0", 5s))
      << "other applications' rows stay";
}

}  // namespace
