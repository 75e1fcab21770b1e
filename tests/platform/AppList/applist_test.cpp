#include <AppList/ALApplicationTableDataSource.h>
#include <Foundation/NSNumber.h>
#include <objc/message.h>

#include "TempRoot.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

class AppListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    install("/Applications/MobileCal.app", "com.apple.mobilecal", "MobileCal", "Calendar");
    install("/Applications/Reminders.app", "com.apple.reminders", "Reminders", "");
    install("/Applications/WebSheet.app", "com.apple.websheet", "WebSheet", "Web", /*hidden=*/true);
    install("/Applications/Nameless.app", "org.example.nameless", "", "");
    install("/var/mobile/Applications/UUID-1/Tasks.app", "org.example.tasks", "Tasks", "tidy tasks");
    install("/var/mobile/Containers/Bundle/Application/UUID-2/Atlas.app", "org.example.atlas", "Atlas", "");
    write("/Applications/Broken.app/Info.plist", "not a property list");
    install("/Applications/NoID.app", "", "NoID", "");
  }

  void write(const std::string& devicePath, const std::string& text) {
    auto path = foundation::resolveDevicePath(devicePath);
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path) << text;
  }
  void install(const std::string& bundle, const std::string& identifier, const std::string& name,
               const std::string& displayName, bool hidden = false) {
    auto info = NSMutableDictionary::dictionary();
    if (!identifier.empty()) info->setObjectForKey(NSStr(identifier), "CFBundleIdentifier");
    if (!name.empty()) info->setObjectForKey(NSStr(name), "CFBundleName");
    if (!displayName.empty()) info->setObjectForKey(NSStr(displayName), "CFBundleDisplayName");
    if (hidden) info->setObjectForKey(NSArray::arrayWithObjects({NSStr("hidden")}), "SBAppTags");
    std::filesystem::create_directories(foundation::resolveDevicePath(bundle));
    ASSERT_TRUE(info->writeToFile(bundle + "/Info.plist", true));
  }

  TempRoot root_{"qp-applist"};
  LogCapture log_;
};

std::vector<std::string> identifiersOf(const std::vector<ALInstalledApplication>& apps) {
  std::vector<std::string> out;
  for (const auto& a : apps) out.push_back(a.displayIdentifier);
  return out;
}

}  // namespace

TEST_F(AppListTest, InstalledApplicationsComeFromTheirBundles) {
  auto apps = ALScanInstalledApplications();
  // By name without regard to case; the unreadable and unnamed bundles are left out.
  EXPECT_EQ(identifiersOf(apps),
            (std::vector<std::string>{"org.example.atlas", "com.apple.mobilecal", "org.example.nameless",
                                      "com.apple.reminders", "org.example.tasks", "com.apple.websheet"}));
  EXPECT_EQ(apps[1].displayName, "Calendar");   // CFBundleDisplayName first
  EXPECT_EQ(apps[3].displayName, "Reminders");  // then CFBundleName
  EXPECT_EQ(apps[2].displayName, "Nameless");   // then the folder
  EXPECT_TRUE(apps[1].isSystemApplication);
  EXPECT_FALSE(apps[0].isSystemApplication);
  EXPECT_FALSE(apps[4].isSystemApplication);
  EXPECT_TRUE(apps[5].isHidden);
  EXPECT_TRUE(log_->contains("/Applications/Broken.app has no readable Info.plist"));
  EXPECT_TRUE(log_->contains("/Applications/NoID.app names no CFBundleIdentifier"));
  auto names = ALApplicationList::sharedApplicationList()->applications();
  EXPECT_EQ(objc::as<NSString>(names->objectForKey("com.apple.mobilecal"))->str(), "Calendar");
}

TEST_F(AppListTest, TheStandardSectionsServeATable) {
  auto source = objc::cast<ALApplicationTableDataSource>(
      objc::msg<id>(objc::alloc<ALApplicationTableDataSource>(), SEL_("init")));
  objc::msg<void>(source, SEL_("setSectionDescriptors:"), ALApplicationTableDataSource::standardSectionDescriptors());
  auto table = objc::cast<UITableView>(
      objc::msg<id>(objc::alloc<UITableView>(), SEL_("initWithFrame:"), CGRectMake(0, 0, 320, 568)));
  objc::msg<void>(table, SEL_("setDataSource:"), id(source));
  objc::msg<void>(source, SEL_("setTableView:"), table);

  // System applications, then user ones; the hidden one is left out.
  ASSERT_EQ(objc::msg<NSInteger>(table, SEL_("numberOfSections")), 2);
  EXPECT_EQ(objc::msg<NSInteger>(table, SEL_("numberOfRowsInSection:"), NSInteger(0)), 3);
  EXPECT_EQ(objc::msg<NSInteger>(table, SEL_("numberOfRowsInSection:"), NSInteger(1)), 2);
  EXPECT_EQ(source->tableViewTitleForHeaderInSection(table, 1)->str(), "User Applications");
  auto row = [](NSInteger r, NSInteger s) { return NSIndexPath::indexPathForRow(r, s); };
  EXPECT_EQ(objc::msg<Ref<NSString>>(source, SEL_("displayIdentifierForIndexPath:"), row(2, 0))->str(),
            "com.apple.reminders");
  EXPECT_EQ(objc::msg<Ref<NSString>>(source, SEL_("displayIdentifierForIndexPath:"), row(1, 1))->str(),
            "org.example.tasks");
  EXPECT_EQ(objc::msg<Ref<NSString>>(source, SEL_("displayIdentifierForIndexPath:"), row(2, 1)), nullptr);
  auto cell = objc::msg<Ref<UITableViewCell>>(source, SEL_("tableView:cellForRowAtIndexPath:"), table, row(0, 0));
  EXPECT_EQ(cell->textLabel()->text()->str(), "Calendar");

  objc::msg<void>(source, SEL_("setTableView:"), Ref<UITableView>());
  EXPECT_EQ(source->tableView(), nullptr);
}

TEST_F(AppListTest, ADescriptorItCannotReadGivesAnEmptySection) {
  auto source = objc::create<ALApplicationTableDataSource>();
  auto odd = NSMutableDictionary::dictionary();
  odd->setObjectForKey(NSStr("bundleIdentifier BEGINSWITH 'com'"), "predicate");
  auto all = NSMutableDictionary::dictionary();
  source->setSectionDescriptors(NSArray::arrayWithObjects({odd, NSStr("not a descriptor"), all}));
  EXPECT_EQ(source->numberOfSectionsInTableView(nullptr), 3);
  EXPECT_EQ(source->tableViewNumberOfRowsInSection(nullptr, 0), 0);
  EXPECT_EQ(source->tableViewNumberOfRowsInSection(nullptr, 1), 0);
  EXPECT_EQ(source->tableViewNumberOfRowsInSection(nullptr, 2), 6);  // no predicate, hidden ones kept
  EXPECT_TRUE(log_->contains("is not understood"));
}
