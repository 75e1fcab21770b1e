// The tweak loader: filters by bundle identifier or executable, loads real
// shared libraries, and skips what it cannot load.

#include <MobileSubstrate/SubstrateLoader.h>

#include "TempRoot.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

class Loader : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = root_ / "Library/MobileSubstrate/DynamicLibraries";
    fs::create_directories(folder_);
  }

  void install(const std::string& name, const std::string& filterKey, const std::string& value) {
    fs::copy_file(QP_TWEAK_LIBRARY, folder_ / (name + ".dylib"));
    std::ofstream(folder_ / (name + ".plist"))
        << "<?xml version=\"1.0\" encoding=\"UTF-8\"?><plist version=\"1.0\"><dict><key>Filter</key><dict><key>"
        << filterKey << "</key><array><string>" << value << "</string></array></dict></dict></plist>";
  }

  TempRoot root_{"qp-loader"};
  LogCapture log_;
  fs::path folder_;
};

}  // namespace

TEST_F(Loader, LoadsOnlyLibrariesWhoseFilterNamesTheProcess) {
  install("Quillpane", "Bundles", "com.apple.springboard");
  install("MailOnly", "Bundles", "com.apple.mobilemail");
  fs::copy_file(QP_TWEAK_LIBRARY, folder_ / "Unfiltered.dylib");
  auto loaded = substrate::loadTweaksForProcess("com.apple.springboard", "SpringBoard");
  ASSERT_EQ(loaded.size(), 1u);
  EXPECT_EQ(loaded[0].name, "Quillpane");
  EXPECT_EQ(loaded[0].devicePath, "/Library/MobileSubstrate/DynamicLibraries/Quillpane.dylib");
}

TEST_F(Loader, MatchesExecutablesToo) {
  install("ByExecutable", "Executables", "SpringBoard");
  EXPECT_EQ(substrate::loadTweaksForProcess("com.apple.springboard", "SpringBoard").size(), 1u);
}

TEST_F(Loader, ABrokenLibraryIsLoggedAndSkipped) {
  std::ofstream(folder_ / "Broken.dylib") << "not a shared library";
  std::ofstream(folder_ / "Broken.plist")
      << "<plist version=\"1.0\"><dict><key>Filter</key><dict><key>Bundles</key><array>"
         "<string>com.apple.springboard</string></array></dict></dict></plist>";
  std::ofstream(folder_ / "Garbage.plist") << "{{{";
  std::ofstream(folder_ / "Garbage.dylib") << "";
  EXPECT_TRUE(substrate::loadTweaksForProcess("com.apple.springboard", "SpringBoard").empty());
  EXPECT_TRUE(log_->contains("Broken.dylib could not be loaded"));
}

TEST_F(Loader, NoFolderLoadsNothing) {
  fs::remove_all(folder_);
  EXPECT_TRUE(substrate::loadTweaksForProcess("com.apple.springboard", "SpringBoard").empty());
}
