#include "PreferencesFixture.h"

#include <fstream>

namespace {

void writeText(const std::filesystem::path& path, const std::string& text) {
  std::filesystem::create_directories(path.parent_path());
  std::ofstream(path) << text;
}

const char* kPlistHead = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n";

}  // namespace

using BundleTest = PreferencesFixture;

TEST_F(BundleTest, ABundleThatCannotBeLoadedSaysWhy) {
  std::string why;
  EXPECT_FALSE(PSLoadPreferenceBundle("/Library/PreferenceBundles/None.bundle", &why));
  EXPECT_NE(why.find("no readable Info.plist"), std::string::npos);

  writeText(root_ / "Library/PreferenceBundles/NoClass.bundle/Info.plist",
            std::string(kPlistHead) + "<dict><key>CFBundleExecutable</key><string>NoClass</string></dict></plist>");
  EXPECT_FALSE(PSLoadPreferenceBundle("/Library/PreferenceBundles/NoClass.bundle", &why));
  EXPECT_NE(why.find("names no NSPrincipalClass"), std::string::npos);

  writeText(root_ / "Library/PreferenceBundles/NoLib.bundle/Info.plist",
            std::string(kPlistHead) + "<dict><key>NSPrincipalClass</key><string>X</string></dict></plist>");
  writeText(root_ / "Library/PreferenceBundles/NoLib.bundle/NoLib", "not a library");
  EXPECT_FALSE(PSLoadPreferenceBundle("/Library/PreferenceBundles/NoLib.bundle", &why));
  EXPECT_NE(why.find("cannot load /Library/PreferenceBundles/NoLib.bundle/NoLib"), std::string::npos);
}

TEST_F(BundleTest, AScreenReadsItsLayoutFromItsBundleFolder) {
  writeText(root_ / "Library/PreferenceBundles/Test.bundle/Screen.plist",
            std::string(kPlistHead) +
                "<dict><key>title</key><string>Test pane</string><key>items</key><array>"
                "<dict><key>cell</key><string>PSSwitchCell</string><key>label</key><string>On</string>"
                "<key>key</key><string>on</string></dict></array></dict></plist>");
  PSSetBundlePathForClass(RecordingListController::classObject(), "/Library/PreferenceBundles/Test.bundle");
  auto screen = objc::cast<PSListController>(objc::msg<id>(objc::alloc<RecordingListController>(), SEL_("init")));
  auto controls =
      objc::msg<Ref<NSMutableArray>>(screen, SEL_("loadSpecifiersFromPlistName:target:"), NSStr("Screen"), id(screen));
  ASSERT_EQ(controls->count(), 1u);
  EXPECT_EQ(objc::cast<PSSpecifier>(controls->objectAtIndex(0))->target().get(), screen.get());
  EXPECT_EQ(screen->title()->str(), "Test pane");

  auto none =
      objc::msg<Ref<NSMutableArray>>(screen, SEL_("loadSpecifiersFromPlistName:target:"), NSStr("Missing"), id(screen));
  EXPECT_EQ(none->count(), 0u);
  EXPECT_TRUE(log_->contains("no specifier layout at /Library/PreferenceBundles/Test.bundle/Missing.plist"));
}

TEST_F(BundleTest, SettingsListsThePanesOfItsEntryFolder) {
  writeText(root_ / "Library/PreferenceLoader/Preferences/B.plist",
            std::string(kPlistHead) +
                "<dict><key>entry</key><dict><key>bundle</key><string>BPrefs</string>"
                "<key>label</key><string>Beta</string></dict></dict></plist>");
  writeText(root_ / "Library/PreferenceLoader/Preferences/A.plist",
            std::string(kPlistHead) +
                "<dict><key>entry</key><dict><key>bundle</key><string>APrefs</string>"
                "<key>label</key><string>Alpha</string></dict></dict></plist>");
  writeText(root_ / "Library/PreferenceLoader/Preferences/Broken.plist", "garbage");
  auto entries = PSPreferenceLoaderEntries();
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].label, "Alpha");
  EXPECT_EQ(entries[0].bundlePath, "/Library/PreferenceBundles/APrefs.bundle");
  EXPECT_EQ(entries[1].label, "Beta");
  EXPECT_TRUE(log_->contains("Broken.plist holds no entry dictionary"));
}
