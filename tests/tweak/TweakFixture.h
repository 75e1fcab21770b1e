#pragma once
// A fresh device root per test, with helpers to write the three files.

#include "TempRoot.h"
#include "TweakState.h"

#include <Foundation/NSArray.h>
#include <Foundation/NSDate.h>
#include <Foundation/NSDictionary.h>
#include <Foundation/NSNumber.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

class TweakFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directories(root_ / "var/mobile/Library/Preferences");
    quillpane::resetStateForTesting();
  }

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

  [[nodiscard]] std::size_t logCount(std::string_view text) const { return log_.count(text); }

  TempRoot root_{"qp-tweak"};
  LogCapture log_;
};
