// The device profile read at boot, and what booting applies.

#include <Foundation/DeviceClock.h>
#include <Foundation/DeviceProfile.h>
#include <Foundation/NSCalendar.h>
#include <Foundation/NSDictionary.h>
#include <Foundation/NSNumber.h>
#include <Foundation/NSObjCRuntime.h>

#include <gtest/gtest.h>

#include "TempRoot.h"

namespace {

class DeviceProfileTest : public ::testing::Test {
 protected:
  void write(const std::string& body) {
    const std::string xml =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>" + body + "</dict></plist>";
    ASSERT_TRUE(foundation::writeDeviceFile("/device.plist", xml, false));
  }
  TempRoot root;
  LogCapture log;
};

TEST(DeviceProfileReleases, Presets) {
  EXPECT_EQ(foundation::foundationVersionForRelease("7.0"), NSFoundationVersionNumber_iOS_7_0);
  EXPECT_EQ(foundation::foundationVersionForRelease("7.1"), NSFoundationVersionNumber_iOS_7_1);
  EXPECT_EQ(foundation::foundationVersionForRelease("8.0"), NSFoundationVersionNumber_iOS_8_0);
  EXPECT_EQ(foundation::foundationVersionForRelease("8.4"), NSFoundationVersionNumber_iOS_8_4);
  EXPECT_EQ(foundation::foundationVersionForRelease("8.4.1"), NSFoundationVersionNumber_iOS_8_4);
  EXPECT_EQ(foundation::foundationVersionForRelease("9.0"), NSFoundationVersionNumber_iOS_9_0);
  EXPECT_FALSE(foundation::foundationVersionForRelease("10.0"));
  EXPECT_FALSE(foundation::foundationVersionForRelease(""));
  EXPECT_EQ(NSFoundationVersionNumber, 1047.25);
}

TEST_F(DeviceProfileTest, MissingFileGivesDefaultsSilently) {
  const auto p = foundation::loadDeviceProfile();
  EXPECT_EQ(p.iosRelease, "7.1");
  EXPECT_EQ(p.foundationVersion, 1047.25);
  EXPECT_EQ(p.timeZone, "UTC");
  EXPECT_TRUE(p.remindersAccess);
  EXPECT_FALSE(p.now);
  EXPECT_TRUE(p.bulletins.empty());
  EXPECT_TRUE(log->lines().empty());
}

TEST_F(DeviceProfileTest, EveryKey) {
  write(
      "<key>iOSRelease</key><string>8.4</string>"
      "<key>ScreenWidth</key><integer>375</integer><key>ScreenHeight</key><real>667</real>"
      "<key>ScreenScale</key><string>3</string>"
      "<key>TimeZone</key><string>Europe/Berlin</string>"
      "<key>RemindersAccess</key><false/>"
      "<key>Now</key><date>2026-12-08T09:30:00Z</date>"
      "<key>Wallpaper</key><string>/var/mobile/Library/SpringBoard/LockBackground.png</string>"
      "<key>NowPlaying</key><string>YES</string>"
      "<key>Bulletins</key><array>"
      "<dict><key>SectionID</key><string>com.apple.MobileSMS</string><key>Title</key><string>Anna</string>"
      "<key>Message</key><string>Lunch?</string><key>Date</key><date>2026-12-08T09:00:00Z</date></dict>"
      "<dict><key>Title</key><string>no section</string></dict>"
      "<dict><key>SectionID</key><string>com.apple.mobilemail</string><key>BulletinID</key><string>m1</string></dict>"
      "</array>");
  const auto p = foundation::loadDeviceProfile();
  EXPECT_EQ(p.iosRelease, "8.4");
  EXPECT_EQ(p.foundationVersion, NSFoundationVersionNumber_iOS_8_4);
  EXPECT_EQ(p.screenWidth, 375);
  EXPECT_EQ(p.screenHeight, 667);
  EXPECT_EQ(p.screenScale, 3);
  EXPECT_EQ(p.timeZone, "Europe/Berlin");
  EXPECT_FALSE(p.remindersAccess);
  ASSERT_TRUE(p.now);
  EXPECT_EQ(NSDate::dateWithTimeIntervalSinceReferenceDate(*p.now)->descriptionString(), "2026-12-08 09:30:00 +0000");
  EXPECT_EQ(p.wallpaper, "/var/mobile/Library/SpringBoard/LockBackground.png");
  EXPECT_TRUE(p.nowPlaying);
  ASSERT_EQ(p.bulletins.size(), 2u);
  EXPECT_EQ(p.bulletins[0].sectionID, "com.apple.MobileSMS");
  EXPECT_EQ(p.bulletins[0].title, "Anna");
  EXPECT_EQ(p.bulletins[0].message, "Lunch?");
  EXPECT_EQ(p.bulletins[0].subtitle, "");
  EXPECT_EQ(p.bulletins[0].bulletinID, "com.apple.MobileSMS-1");
  EXPECT_TRUE(p.bulletins[0].date);
  EXPECT_EQ(p.bulletins[1].bulletinID, "m1");
  EXPECT_FALSE(p.bulletins[1].date);
  EXPECT_TRUE(log->contains("bulletin 2 has no SectionID"));
}

TEST_F(DeviceProfileTest, BadValuesAreLoggedAndDefaulted) {
  write(
      "<key>iOSRelease</key><string>12.0</string>"
      "<key>ScreenWidth</key><integer>-5</integer>"
      "<key>ScreenScale</key><true/>"
      "<key>TimeZone</key><string>Nowhere/Special</string>"
      "<key>RemindersAccess</key><array/>"
      "<key>Now</key><string>tomorrow</string>"
      "<key>Bulletins</key><dict/>");
  const auto p = foundation::loadDeviceProfile();
  const foundation::DeviceProfile defaults;
  EXPECT_EQ(p.iosRelease, defaults.iosRelease);
  EXPECT_EQ(p.foundationVersion, defaults.foundationVersion);
  EXPECT_EQ(p.screenWidth, defaults.screenWidth);
  EXPECT_EQ(p.screenScale, defaults.screenScale);
  EXPECT_EQ(p.timeZone, "UTC");
  EXPECT_TRUE(p.remindersAccess);
  EXPECT_FALSE(p.now);
  EXPECT_TRUE(p.bulletins.empty());
  for (const char* key :
       {"12.0", "ScreenWidth", "ScreenScale", "Nowhere/Special", "RemindersAccess", "Now", "Bulletins"})
    EXPECT_TRUE(log->contains(key)) << key;
}

TEST_F(DeviceProfileTest, ScreensOverTheirPixelBudgetFallBackToTheDefaultScreen) {
  // Each value is within its own range; together they are a billion pixels.
  write(
      "<key>ScreenWidth</key><integer>4096</integer><key>ScreenHeight</key><integer>4096</integer>"
      "<key>ScreenScale</key><integer>4</integer>");
  const auto p = foundation::loadDeviceProfile();
  const foundation::DeviceProfile defaults;
  EXPECT_EQ(p.screenWidth * p.screenHeight * p.screenScale,
            defaults.screenWidth * defaults.screenHeight * defaults.screenScale);
  EXPECT_TRUE(log->contains("screen 4096 x 4096 at scale 4 is over"));

  write(
      "<key>ScreenWidth</key><integer>1366</integer><key>ScreenHeight</key><integer>1024</integer>"
      "<key>ScreenScale</key><integer>2</integer>");
  EXPECT_EQ(foundation::loadDeviceProfile().screenWidth, 1366);
}

TEST_F(DeviceProfileTest, AnUnknownReleaseNeedsItsVersion) {
  write("<key>iOSRelease</key><string>9.9</string><key>FoundationVersion</key><real>1299</real>");
  const auto p = foundation::loadDeviceProfile();
  EXPECT_EQ(p.iosRelease, "9.9");
  EXPECT_EQ(p.foundationVersion, 1299);
}

TEST_F(DeviceProfileTest, CorruptFileGivesDefaults) {
  ASSERT_TRUE(foundation::writeDeviceFile("/device.plist", "<plist><dict><key>iOSRelease", false));
  EXPECT_EQ(foundation::loadDeviceProfile().iosRelease, "7.1");
  EXPECT_TRUE(log->contains("device.plist"));
}

TEST_F(DeviceProfileTest, BootAppliesTheProfile) {
  write(
      "<key>iOSRelease</key><string>9.0</string><key>TimeZone</key><string>Asia/Tokyo</string>"
      "<key>Now</key><date>2026-12-08T09:30:00Z</date>");
  foundation::bootDevice(foundation::loadDeviceProfile());
  EXPECT_EQ(NSFoundationVersionNumber, NSFoundationVersionNumber_iOS_9_0);
  EXPECT_EQ(foundation::currentDeviceProfile().iosRelease, "9.0");
  EXPECT_EQ(NSTimeZone::defaultTimeZone()->name(), "Asia/Tokyo");
  EXPECT_TRUE(foundation::DeviceClock::isSimulated());
  EXPECT_EQ(NSDate::date()->descriptionString(), "2026-12-08 09:30:00 +0000");
}

}  // namespace
