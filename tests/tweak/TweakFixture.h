#pragma once
// A fresh device root per test, with helpers to write the three files.

#include "TweakState.h"

#include <Foundation/DeviceRoot.h>
#include <Foundation/NSArray.h>
#include <Foundation/NSDate.h>
#include <Foundation/NSDictionary.h>
#include <Foundation/NSLog.h>
#include <Foundation/NSNumber.h>

#include <gtest/gtest.h>

#include <unistd.h>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

class TweakFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = std::filesystem::temp_directory_path() / ("qp-tweak-" + std::to_string(::getpid()) + "-" +
                                                      ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(root_);
    std::filesystem::create_directories(root_ / "var/mobile/Library/Preferences");
    foundation::setDeviceRoot(root_);
    log_ = std::make_shared<foundation::CapturingSink>();
    foundation::setLogSinks({log_});
    quillpane::resetStateForTesting();
  }
  void TearDown() override { std::filesystem::remove_all(root_); }

  static void writePreferences(const Ref<NSDictionary>& prefs) {
    ASSERT_TRUE(prefs->writeToFile("/var/mobile/Library/Preferences/org.brightrepo.quillpaneprefs.plist", true));
  }
  static void writeSorting(std::vector<id> entries) {
    ASSERT_TRUE(NSArray::arrayWithObjects(std::move(entries))
                    ->writeToFile("/var/mobile/Library/Preferences/org.brightrepo.datebeam.sorting.plist", true));
  }
  static void writeCalendars(std::vector<id> entries) {
    ASSERT_TRUE(NSArray::arrayWithObjects(std::move(entries))
                    ->writeToFile("/var/mobile/Library/Preferences/org.brightrepo.quillpane.calendars.plist", false));
  }
  static Ref<NSMutableDictionary> prefs() { return NSMutableDictionary::dictionary(); }

  [[nodiscard]] std::size_t logCount(std::string_view text) const {
    std::size_t n = 0;
    for (const auto& l : log_->lines()) n += l.find(text) != std::string::npos;
    return n;
  }

  std::filesystem::path root_;
  std::shared_ptr<foundation::CapturingSink> log_;
};
