#pragma once
// A fresh device root per test with the pane's bundle folder, its root
// screen on a visible navigation stack, the log captured and every Darwin
// notification recorded together with the preference file as it stood then.

#include "PaneFiles.h"
#include "QuillpanePrefsListController.h"
#include "TempRoot.h"

#include <Foundation/DeviceProfile.h>
#include <Foundation/NSNumber.h>
#include <Foundation/NSRunLoop.h>
#include <Preferences/PSPreferenceBundle.h>
#include <Preferences/PSTableCell.h>
#include <UIKit/UINavigationController.h>
#include <UIKit/UIWindow.h>
#include <notify/CFNotificationCenter.h>
#include <objc/message.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using quillpane::prefs::kCalendarsFile;
using quillpane::prefs::kPreferenceFile;
using quillpane::prefs::kSortingFile;

class PaneFixture : public ::testing::Test {
 protected:
  static constexpr const char* kBundle = "/Library/PreferenceBundles/QuillpanePrefs.bundle";

  void SetUp() override {
    fs::create_directories(root_ / "var/mobile/Library/Preferences");
    fs::create_directories(root_ / "Library/PreferenceBundles/QuillpanePrefs.bundle");
    fs::copy_file(fs::path(QP_SOURCE_DIR) / "prefs/Resources/QuillpanePrefs.plist",
                  root_ / "Library/PreferenceBundles/QuillpanePrefs.bundle/QuillpanePrefs.plist");
    foundation::bootDevice(profile());
    PSSetBundlePathForClass(QuillpanePrefsListController::classObject(), kBundle);
    CFNotificationCenterAddObserver(CFNotificationCenterGetDarwinNotifyCenter(), this, &heard, nullptr, nullptr,
                                    CFNotificationSuspensionBehaviorDeliverImmediately);

    root = objc::cast<QuillpanePrefsListController>(
        objc::msg<id>(objc::alloc<QuillpanePrefsListController>(), SEL_("init")));
    window = objc::cast<UIWindow>(objc::msg<id>(objc::alloc<UIWindow>(), SEL_("initWithFrame:"),
                                                CGRectMake(0, 0, profile().screenWidth, profile().screenHeight)));
    navigation = objc::cast<UINavigationController>(
        objc::msg<id>(objc::alloc<UINavigationController>(), SEL_("initWithRootViewController:"), root));
    objc::msg<void>(window, SEL_("setRootViewController:"), navigation);
    objc::msg<void>(window, SEL_("makeKeyAndVisible"));
  }
  void TearDown() override {
    CFNotificationCenterRemoveEveryObserver(CFNotificationCenterGetDarwinNotifyCenter(), this);
  }

  /// The device this test runs on; tests may change it before SetUp.
  virtual foundation::DeviceProfile profile() const { return {}; }

  // Files.
  fs::path host(const std::string& devicePath) const { return foundation::resolveDevicePath(devicePath); }
  void writeText(const std::string& devicePath, const std::string& text) const {
    fs::create_directories(host(devicePath).parent_path());
    std::ofstream(host(devicePath), std::ios::binary | std::ios::trunc) << text;
  }
  std::string readText(const std::string& devicePath) const {
    std::ifstream in(host(devicePath), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }
  static Ref<NSDictionary> preferences() { return NSDictionary::dictionaryWithContentsOfFile(kPreferenceFile); }
  static void writePreferences(std::initializer_list<std::pair<const char*, id>> entries) {
    auto d = NSMutableDictionary::dictionary();
    for (const auto& [k, v] : entries) d->setObjectForKey(v, k);
    ASSERT_TRUE(d->writeToFile(kPreferenceFile, true));
  }
  static std::vector<std::string> strings(const Ref<NSArray>& array) {
    std::vector<std::string> out;
    if (array)
      for (const id& item : *array) out.push_back(item->descriptionString());
    return out;
  }
  static void writeStrings(const std::string& devicePath, const std::vector<std::string>& items) {
    std::vector<id> objects;
    for (const auto& s : items) objects.push_back(NSStr(s));
    ASSERT_TRUE(NSArray::arrayWithObjects(objects)->writeToFile(devicePath, true));
  }

  // The root screen's controls.
  Ref<NSArray> specifiers() { return objc::msg<Ref<NSArray>>(root, SEL_("specifiers")); }
  Ref<PSSpecifier> controlFor(const std::string& key) {
    for (const id& item : *specifiers())
      if (auto control = objc::as<PSSpecifier>(item); control && control->stringProperty("key") == key) return control;
    ADD_FAILURE() << "no control for " << key;
    return nullptr;
  }
  /// What the row of key shows, read as the framework reads it.
  id shown(const std::string& key) { return objc::msg<id>(root, SEL_("readPreferenceValue:"), controlFor(key)); }
  /// A change made on the row of key, as the framework hands it over.
  void change(const std::string& key, id value) {
    objc::msg<void>(root, SEL_("setPreferenceValue:specifier:"), value, controlFor(key));
  }

  /// Presses one of the root screen's actions and answers the screen on top.
  Ref<UIViewController> press(const char* action) {
    objc::msg<void>(root, sel_registerName(action));
    return navigation->topViewController();
  }
  static void runMainLoop() {
    for (int i = 0; i < 4; ++i) NSRunLoop::mainRunLoop()->runPending();
  }

  struct Heard {
    std::string name;
    Ref<NSDictionary> fileThen;  ///< the preference file when the notification came
  };
  static void heard(CFNotificationCenterRef, void* self, CFStringRef name, const void*, CFDictionaryRef) {
    static_cast<PaneFixture*>(self)->posts.push_back({name->str(), preferences()});
  }

  TempRoot root_{"qp-pane"};
  LogCapture log_;
  std::vector<Heard> posts;
  Ref<QuillpanePrefsListController> root;
  Ref<UIWindow> window;
  Ref<UINavigationController> navigation;
};
