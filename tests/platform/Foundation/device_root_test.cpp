// Device paths under the root, and whole-file writes that readers never
// see half done.

#include <Foundation/DeviceRoot.h>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "TempRoot.h"

namespace {

TEST(DeviceRootTest, DevicePathsResolveUnderTheRoot) {
  foundation::setDeviceRoot("/tmp/device");
  using foundation::resolveDevicePath;
  EXPECT_EQ(resolveDevicePath("/var/mobile/Library/Preferences/a.plist"),
            "/tmp/device/var/mobile/Library/Preferences/a.plist");
  EXPECT_EQ(resolveDevicePath("var/mobile"), "/tmp/device/var/mobile");
  EXPECT_EQ(resolveDevicePath("/var//mobile/./x"), "/tmp/device/var/mobile/x");
  EXPECT_EQ(resolveDevicePath("/var/mobile/../root"), "/tmp/device/var/root");
  EXPECT_EQ(resolveDevicePath("/../../etc/passwd"), "/tmp/device/etc/passwd");
  EXPECT_EQ(resolveDevicePath("/a/../../../b/.."), "/tmp/device");
}

TEST(DeviceRootTest, ReadAndWriteWholeFiles) {
  TempRoot root;
  root.makeFolder("/var/mobile");
  std::string text;
  EXPECT_FALSE(foundation::readDeviceFile("/var/mobile/none", text));
  EXPECT_FALSE(foundation::readDeviceFile("/var/mobile", text));  // a folder is no file
  for (bool atomically : {false, true}) {
    ASSERT_TRUE(foundation::writeDeviceFile("/var/mobile/f", atomically ? "atomic" : "plain", atomically));
    ASSERT_TRUE(foundation::readDeviceFile("/var/mobile/f", text));
    EXPECT_EQ(text, atomically ? "atomic" : "plain");
  }
  EXPECT_FALSE(foundation::writeDeviceFile("/no/such/folder/f", "x", true));
  EXPECT_FALSE(foundation::writeDeviceFile("/no/such/folder/f", "x", false));
}

TEST(DeviceRootTest, AtomicWriteLeavesNoTemporaryFile) {
  TempRoot root;
  root.makeFolder("/prefs");
  ASSERT_TRUE(foundation::writeDeviceFile("/prefs/a.plist", "one", true));
  ASSERT_TRUE(foundation::writeDeviceFile("/prefs/a.plist", "two", true));
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(root.path() / "prefs")) names.push_back(e.path().filename());
  EXPECT_EQ(names, std::vector<std::string>{"a.plist"});
  EXPECT_EQ(std::filesystem::status(root.path() / "prefs/a.plist").permissions() & std::filesystem::perms::owner_read,
            std::filesystem::perms::owner_read);
}

TEST(DeviceRootTest, ReadersNeverSeeATornAtomicWrite) {
  TempRoot root;
  const std::string a(size_t(256) * 1024, 'a'), b(size_t(512) * 1024, 'b');
  ASSERT_TRUE(foundation::writeDeviceFile("/f", a, true));
  std::atomic<bool> stop{false};
  std::atomic<int> torn{0}, reads{0};
  std::thread reader([&] {
    std::string seen;
    while (!stop) {
      if (!foundation::readDeviceFile("/f", seen)) {
        ++torn;  // the file must exist at every moment
        continue;
      }
      ++reads;
      if (seen != a && seen != b) ++torn;
    }
  });
  for (int i = 0; i < 60; ++i) ASSERT_TRUE(foundation::writeDeviceFile("/f", i % 2 ? a : b, true));
  stop = true;
  reader.join();
  EXPECT_GT(reads.load(), 0);
  EXPECT_EQ(torn.load(), 0);
}

}  // namespace
