#pragma once
// The Settings host on a copy of the demo root with the pane installed.

#include "SettingsCommand.h"
#include "TempRoot.h"

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
    fs::copy(fs::path(QP_SOURCE_DIR) / "demo/root", root_.path(), fs::copy_options::recursive);
    fs::remove(root_ / kPreferences);
    // Installed as a package would install it; the library is hard-linked
    // (a link may not lead out of the root), so every test in this process
    // loads the one copy.
    fs::path bundle = root_ / "Library/PreferenceBundles/QuillpanePrefs.bundle";
    fs::create_directories(bundle);
    for (const char* file : {"Info.plist", "QuillpanePrefs.plist", "iconIOS7@2x.png"})
      fs::copy_file(fs::path(QP_SOURCE_DIR) / "prefs/Resources" / file, bundle / file);
    fs::create_hard_link(fs::path(QP_PANE_BUNDLE_DIR) / "QuillpanePrefs", bundle / "QuillpanePrefs");
    fs::create_directories(root_ / "Library/PreferenceLoader/Preferences");
    fs::copy_file(fs::path(QP_SOURCE_DIR) / "prefs/entry/QuillpanePrefs.plist",
                  root_ / "Library/PreferenceLoader/Preferences/QuillpanePrefs.plist");
    foundation::setLogSinks({});
  }

  int run(std::vector<std::string> args) {
    args.insert(args.begin(), {"--root", root_.path().string()});
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

  TempRoot root_{"qp-settings"};
  std::ostringstream out_, err_;
};

}  // namespace
