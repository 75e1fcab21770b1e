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
  browser_->click("#tab-settings");
  ASSERT_TRUE(browser_->waitFor("document.querySelector('.cell[data-key=maxRemindersToDisplay]')", 20s));
  browser_->click(".cell[data-key=maxRemindersToDisplay]");
  ASSERT_TRUE(browser_->waitFor("document.querySelector('input[name=maxRemindersToDisplay]')", 20s));
  browser_->type("input[name=maxRemindersToDisplay]", "2\xee\x80\x87");  // U+E007, the Enter key
  ASSERT_TRUE(browser_->waitFor(
      "[...document.querySelectorAll('.cell[data-key=maxRemindersToDisplay] .value')].some(v => v.textContent == '2')",
      20s));

  browser_->click("#tab-lock");
  EXPECT_GT(ownRows(), 2) << "nothing changes before the next lock";
  browser_->click("#lock");
  EXPECT_TRUE(browser_->waitFor("document.querySelector('#rows').dataset.own == 2", 20s)) << ownRows();
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
