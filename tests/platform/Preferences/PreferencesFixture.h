#pragma once
// A fresh device root per test, the log captured, and a screen class whose
// getter and setter record what the framework sends them.

#include <Foundation/NSNumber.h>
#include <Preferences/PSPreferenceBundle.h>
#include <Preferences/PSSpecifierLayout.h>
#include <Preferences/Preferences.h>

#include "TempRoot.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <vector>

class PreferencesFixture : public ::testing::Test {
 protected:
  void SetUp() override { std::filesystem::create_directories(root_ / "var/mobile/Library/Preferences"); }

  /// A layout dictionary from entries.
  static Ref<NSDictionary> layout(std::vector<id> items) {
    auto d = NSMutableDictionary::dictionary();
    d->setObjectForKey(NSArray::arrayWithObjects(std::move(items)), "items");
    return d;
  }
  static Ref<NSDictionary> entry(std::initializer_list<std::pair<const char*, id>> fields) {
    auto d = NSMutableDictionary::dictionary();
    for (const auto& [k, v] : fields) d->setObjectForKey(v, k);
    return d;
  }
  static id num(int64_t v) { return NSNumber::numberWithInteger(v); }
  static id yes() { return NSNumber::numberWithBool(true); }
  static id str(const char* s) { return NSStr(s); }
  static Ref<NSArray> arr(std::vector<id> v) { return NSArray::arrayWithObjects(std::move(v)); }

  TempRoot root_{"qp-prefs"};
  LogCapture log_;
};

/// A preference screen that keeps values in memory and records each call.
class RecordingListController : public PSListController {
 public:
  static Class classObject();
  Ref<NSArray> specifiers() override { return _specifiers; }
  id readPreferenceValue(Ref<PSSpecifier> control) override {
    ++reads;
    auto v = values->objectForKey(NSStr(control->stringProperty("key")).get());
    return v ? v : control->property("default");
  }
  void setPreferenceValueSpecifier(id value, Ref<PSSpecifier> control) override {
    stored.push_back(value);
    values->setObjectForKey(value, control->stringProperty("key"));
  }
  void useSpecifiers(Ref<NSArray> controls) { _specifiers = std::move(controls); }
  void tapped() { ++taps; }
  void tappedWith(Ref<PSSpecifier> control) { tappedSpecifier = control; }

  Ref<NSMutableDictionary> values = NSMutableDictionary::dictionary();
  std::vector<id> stored;
  int reads = 0, taps = 0;
  Ref<PSSpecifier> tappedSpecifier;
};
