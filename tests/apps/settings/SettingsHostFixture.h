#pragma once
// The Settings host on a copy of the demo root with the pane installed.

#include "SettingsCommand.h"

#include <Foundation/NSDictionary.h>
#include <Foundation/NSLog.h>
#include <Foundation/NSNumber.h>
#include <Foundation/NSString.h>

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

const char* const kPreferences = "var/mobile/Library/Preferences/org.brightrepo.quillpaneprefs.plist";

class SettingsHostTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() / ("qp-settings-" + std::to_string(::getpid()) + "-" +
                                         ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(root_);
    fs::copy(fs::path(QP_SOURCE_DIR) / "demo/root", root_, fs::copy_options::recursive);
    fs::remove(root_ / kPreferences);
    // Installed as a package would install it; the library is linked, so
    // every test in this process loads the one copy.
    fs::path bundle = root_ / "Library/PreferenceBundles/QuillpanePrefs.bundle";
    fs::create_directories(bundle);
    for (const char* file : {"Info.plist", "QuillpanePrefs.plist", "iconIOS7@2x.png"})
      fs::copy_file(fs::path(QP_SOURCE_DIR) / "prefs/Resources" / file, bundle / file);
    fs::create_symlink(fs::path(QP_PANE_BUNDLE_DIR) / "QuillpanePrefs", bundle / "QuillpanePrefs");
    fs::create_directories(root_ / "Library/PreferenceLoader/Preferences");
    fs::copy_file(fs::path(QP_SOURCE_DIR) / "prefs/entry/QuillpanePrefs.plist",
                  root_ / "Library/PreferenceLoader/Preferences/QuillpanePrefs.plist");
    foundation::setLogSinks({});
  }
  void TearDown() override { fs::remove_all(root_); }

  int run(std::vector<std::string> args) {
    args.insert(args.begin(), {"--root", root_.string()});
    out_.str("");
    err_.str("");
    return settings::runSettingsCommand(args, out_, err_);
  }
  Ref<NSDictionary> preferences() const {
    return NSDictionary::dictionaryWithContentsOfFile("/" + std::string(kPreferences));
  }
  std::string file(const std::string& relative) const {
    std::ifstream in(root_ / relative, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }
  bool said(const std::string& text) const { return out_.str().find(text) != std::string::npos; }
  bool complained(const std::string& text) const { return err_.str().find(text) != std::string::npos; }

  fs::path root_;
  std::ostringstream out_, err_;
};

}  // namespace
