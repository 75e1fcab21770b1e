#include "LockScreenTestSupport.h"

#include <SpringBoard/SBApplicationIcons.h>

#include <cairo.h>

#include <fstream>

using namespace sbtest;

namespace {

class ApplicationIcons : public LockScreenTest {
 protected:
  std::filesystem::path app(const std::string& name) {
    auto folder = root_ / "Applications" / (name + ".app");
    std::filesystem::create_directories(folder);
    return folder;
  }
  static void writeInfo(const std::filesystem::path& folder, const std::string& entries) {
    std::ofstream(folder / "Info.plist") << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                            "<plist version=\"1.0\"><dict>"
                                         << entries << "</dict></plist>\n";
  }
  static void writePNG(const std::filesystem::path& file, int side) {
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, side, side);
    cairo_t* cr = cairo_create(s);
    cairo_set_source_rgb(cr, 1, 0, 0);
    cairo_paint(cr);
    cairo_destroy(cr);
    cairo_surface_write_to_png(s, file.c_str());
    cairo_surface_destroy(s);
  }
  static Ref<UIImage> iconOfItemFor(const std::string& section) {
    auto b = bulletin("icon");
    b->setSectionID(NSStr(section));
    auto item = objc::msg<id>(objc::alloc<SBAwayBulletinListItem>(), SEL_("initWithBulletin:andObserver:"), b, id());
    return objc::msg<Ref<UIImage>>(item, SEL_("iconImage"));
  }
};

TEST_F(ApplicationIcons, TheIconFileNamedInInfoPlistIsLoadedDoubleResolutionFirst) {
  auto messages = app("MobileSMS");
  writeInfo(messages,
            "<key>CFBundleIdentifier</key><string>com.apple.MobileSMS</string>"
            "<key>CFBundleIconFile</key><string>Icon-Small</string>");
  writePNG(messages / "Icon-Small.png", 29);
  writePNG(messages / "Icon-Small@2x.png", 58);
  auto icon = iconOfItemFor("com.apple.MobileSMS");
  ASSERT_TRUE(icon);
  EXPECT_EQ(icon->pixelWidth(), 58);
  EXPECT_DOUBLE_EQ(icon->scale(), 2);
  EXPECT_FALSE(springboard::isGenericApplicationIcon(icon.get()));
  EXPECT_EQ(icon->pixelRGBA(10, 10), 0xFF0000FFu);
}

TEST_F(ApplicationIcons, WithoutAnIconEntryTheConventionalFileIsUsed) {
  auto mail = app("MobileMail");
  writeInfo(mail,
            "<key>CFBundleIdentifier</key><string>com.apple.mobilemail</string>"
            "<key>CFBundleIconFiles</key><array><string>Missing.png</string></array>");
  writePNG(mail / "Icon.png", 40);
  auto icon = springboard::installedApplicationIcon("com.apple.mobilemail");
  ASSERT_TRUE(icon);
  EXPECT_EQ(icon->pixelWidth(), 40);
}

TEST_F(ApplicationIcons, UnknownOrBrokenApplicationsGetTheGenericIconAndALogLine) {
  std::ofstream(app("Broken") / "Info.plist") << "<plist><dict><key>CFBundleIdentifier</key>";
  writeInfo(app("NoIdentifier"), "<key>CFBundleName</key><string>x</string>");
  writeInfo(app("NoIcon"), "<key>CFBundleIdentifier</key><string>com.example.noicon</string>");

  EXPECT_EQ(springboard::installedApplicationIcon("com.example.absent"), nullptr);
  EXPECT_TRUE(log_->contains("/Applications/Broken.app"));
  EXPECT_TRUE(log_->contains("/Applications/NoIdentifier.app has no CFBundleIdentifier"));
  EXPECT_EQ(springboard::installedApplicationIcon("com.example.noicon"), nullptr);
  EXPECT_TRUE(log_->contains("no readable icon in /Applications/NoIcon.app"));

  auto generic = iconOfItemFor("com.example.noicon");
  ASSERT_TRUE(generic);
  EXPECT_TRUE(springboard::isGenericApplicationIcon(generic.get()));
  EXPECT_DOUBLE_EQ(generic->size().width, 40);
  EXPECT_EQ(generic->pixelRGBA(0, 0) & 0xFF, 0u);       // rounded corner: transparent
  EXPECT_EQ(generic->pixelRGBA(40, 40) & 0xFF, 0xFFu);  // the square itself is opaque
  EXPECT_TRUE(springboard::isGenericApplicationIcon(iconOfItemFor("").get()));
}

TEST_F(ApplicationIcons, ApplicationsAreLookedUpOncePerDeviceRoot) {
  auto notes = app("MobileNotes");
  writeInfo(notes, "<key>CFBundleIdentifier</key><string>com.apple.mobilenotes</string>");
  writePNG(notes / "Icon@2x.png", 80);
  auto first = springboard::installedApplicationIcon("com.apple.mobilenotes");
  std::filesystem::remove(notes / "Icon@2x.png");
  EXPECT_EQ(springboard::installedApplicationIcon("com.apple.mobilenotes"), first);
}

}  // namespace
