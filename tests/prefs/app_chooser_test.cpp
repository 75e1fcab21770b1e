#include "PaneFixture.h"
#include "QPN_AppListTVC.h"

namespace {

class AppChooserTest : public PaneFixture {
 protected:
  void SetUp() override {
    PaneFixture::SetUp();
    install("/Applications/MobileCal.app", "com.apple.mobilecal", "Calendar");
    install("/Applications/Reminders.app", "com.apple.reminders", "Reminders");
    install("/var/mobile/Applications/UUID/Tasks.app", "org.example.tasks", "Tasks");
  }
  void install(const std::string& bundle, const std::string& identifier, const std::string& name) {
    auto info = NSMutableDictionary::dictionary();
    info->setObjectForKey(NSStr(identifier), "CFBundleIdentifier");
    info->setObjectForKey(NSStr(name), "CFBundleDisplayName");
    fs::create_directories(host(bundle));
    ASSERT_TRUE(info->writeToFile(bundle + "/Info.plist", true));
  }
  Ref<QPN_AppListTVC> open() {
    auto screen = objc::cast<QPN_AppListTVC>(press("selectAppToOpen"));
    window->layoutIfNeeded();
    return screen;
  }
  static void tap(const Ref<QPN_AppListTVC>& screen, NSInteger row, NSInteger section) {
    ASSERT_TRUE(screen->tableView()->tapRowAtIndexPath(NSIndexPath::indexPathForRow(row, section)));
  }
};

}  // namespace

TEST_F(AppChooserTest, TheTableShowsTheInstalledApplicationsFromAppList) {
  auto screen = open();
  auto table = screen->tableView();
  EXPECT_EQ(table->dataSource().get(), screen->dataSource.get());
  EXPECT_EQ(table->delegate().get(), screen.get());
  EXPECT_EQ(screen->dataSource->tableView().get(), table.get());
  EXPECT_EQ(objc::msg<NSInteger>(table, SEL_("numberOfSections")), 2);
  EXPECT_EQ(objc::msg<NSInteger>(table, SEL_("numberOfRowsInSection:"), NSInteger(0)), 2);
  EXPECT_FALSE(objc::msg<bool>(screen, SEL_("shouldAutorotateToInterfaceOrientation:"), NSInteger(1)));
}

TEST_F(AppChooserTest, AChoiceWithNoFileCreatesOneWithTheSingleKeyAndGoesBack) {
  auto screen = open();
  tap(screen, 0, 1);
  auto stored = preferences();
  ASSERT_TRUE(stored);
  EXPECT_EQ(stored->count(), 1u);
  EXPECT_EQ(objc::cast<NSString>(stored->objectForKey("customLaunchAppBundleID"))->str(), "org.example.tasks");
  EXPECT_EQ(navigation->topViewController().get(), root.get());
  EXPECT_EQ(navigation->stack().size(), 1u);
  EXPECT_TRUE(posts.empty());  // this key is announced to nobody
  // The root screen shows the choice when its row is shown again.
  EXPECT_EQ(objc::cast<NSString>(shown("customLaunchAppBundleID"))->str(), "org.example.tasks");
}

TEST_F(AppChooserTest, AChoiceKeepsEveryOtherKeyAndReplacesTheEarlierOne) {
  writePreferences({{"customLaunchAppBundleID", NSStr("com.apple.reminders")},
                    {"enabled", NSNumber::numberWithBool(false)},
                    {"textColor", NSNumber::numberWithInteger(5)}});
  tap(open(), 0, 0);
  auto stored = preferences();
  ASSERT_EQ(stored->count(), 3u);
  EXPECT_EQ(objc::cast<NSString>(stored->objectForKey("customLaunchAppBundleID"))->str(), "com.apple.mobilecal");
  EXPECT_FALSE(objc::cast<NSNumber>(stored->objectForKey("enabled"))->boolValue());
  EXPECT_EQ(objc::cast<NSNumber>(stored->objectForKey("textColor"))->integerValue(), 5);
}

TEST_F(AppChooserTest, ARowWithoutAnApplicationStoresNothingAndTheScreenStays) {
  auto screen = open();
  objc::msg<void>(screen, SEL_("tableView:didSelectRowAtIndexPath:"), screen->tableView(),
                  NSIndexPath::indexPathForRow(7, 0));
  EXPECT_FALSE(fs::exists(host(kPreferenceFile)));
  EXPECT_EQ(navigation->topViewController().get(), screen.get());
  EXPECT_TRUE(log_->contains("names no application; nothing stored"));
}

TEST_F(AppChooserTest, AnUnreadableFileIsKeptBeforeTheChoiceReplacesIt) {
  writeText(kPreferenceFile, "\x00\x01 binary rubbish");
  tap(open(), 1, 0);
  EXPECT_TRUE(fs::exists(host(kPreferenceFile + ".corrupt")));
  EXPECT_EQ(preferences()->count(), 1u);
}

TEST_F(AppChooserTest, TheDataSourceLetsGoOfTheTableWhenTheScreenGoesAway) {
  Ref<ALApplicationTableDataSource> source;
  Ref<UITableView> table;
  {
    auto screen = open();
    source = screen->dataSource;
    table = screen->tableView();
    navigation->popViewControllerAnimated(true);
  }
  EXPECT_EQ(source->tableView(), nullptr);
  // And when only the view goes.
  auto screen = open();
  objc::msg<void>(screen, SEL_("viewDidUnload"));
  EXPECT_EQ(screen->dataSource->tableView(), nullptr);
}
