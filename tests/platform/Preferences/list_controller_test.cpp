#include "PreferencesFixture.h"

#include <UIKit/UINavigationController.h>
#include <notify/CFNotificationCenter.h>
#include <objc/ClassBuilder.h>

Class RecordingListController::classObject() {
  using C = RecordingListController;
  static Class cls = objc::ClassBuilder<C, PSListController>("RecordingListController")
                         .method<&C::specifiers>("specifiers")
                         .method<&C::readPreferenceValue>("readPreferenceValue:")
                         .method<&C::setPreferenceValueSpecifier>("setPreferenceValue:specifier:")
                         .method<&C::tapped>("tapped")
                         .method<&C::tappedWith>("tappedWith:")
                         .build();
  return cls;
}
OBJC_REGISTER_CLASS(RecordingListController);

namespace {

/// A plain screen a link can name by its class.
class DetailScreen : public PSListController {
 public:
  static Class classObject();
};
Class DetailScreen::classObject() {
  static Class cls = objc::ClassBuilder<DetailScreen, PSListController>("TestDetailScreen").build();
  return cls;
}
OBJC_REGISTER_CLASS(DetailScreen);

std::vector<std::string> posted;
void recordPost(CFNotificationCenterRef, void*, CFStringRef name, const void*, CFDictionaryRef) {
  posted.push_back(name->str());
}

class ListControllerTest : public PreferencesFixture {
 protected:
  void SetUp() override {
    PreferencesFixture::SetUp();
    screen = objc::cast<RecordingListController>(objc::msg<id>(objc::alloc<RecordingListController>(), SEL_("init")));
    screen->useSpecifiers(PSSpecifiersFromLayout(
        layout({entry({{"cell", str("PSGroupCell")}, {"label", str("General")}, {"footerText", str("About it")}}),
                entry({{"cell", str("PSSwitchCell")},
                       {"label", str("Enabled")},
                       {"key", str("enabled")},
                       {"default", yes()}}),
                entry({{"cell", str("PSLinkListCell")},
                       {"label", str("Colour")},
                       {"key", str("colour")},
                       {"default", num(3)},
                       {"validValues", arr({num(3), num(5)})},
                       {"validTitles", arr({str("White"), str("Blue")})}}),
                entry({{"cell", str("PSButtonCell")}, {"label", str("Tap")}, {"action", str("tapped")}}),
                entry({{"cell", str("PSButtonCell")}, {"label", str("Tap with")}, {"action", str("tappedWith:")}}),
                entry({{"cell", str("PSButtonCell")}, {"label", str("Broken")}, {"action", str("noSuchAction")}}),
                entry({{"cell", str("PSLinkCell")}, {"label", str("More")}, {"detail", str("TestDetailScreen")}})})
            .get(),
        screen.get(), "test"));
    navigation = objc::cast<UINavigationController>(
        objc::msg<id>(objc::alloc<UINavigationController>(), SEL_("initWithRootViewController:"), screen));
    table = objc::cast<UITableView>(screen->view());
  }

  Ref<PSTableCell> cellAt(NSInteger row) {
    return objc::cast<PSTableCell>(objc::msg<Ref<UITableViewCell>>(screen, SEL_("tableView:cellForRowAtIndexPath:"),
                                                                   table, NSIndexPath::indexPathForRow(row, 0)));
  }

  Ref<RecordingListController> screen;
  Ref<UINavigationController> navigation;
  Ref<UITableView> table;
};

}  // namespace

TEST_F(ListControllerTest, GroupsMakeSectionsAndRowsShowTheirLabels) {
  EXPECT_EQ(table->dataSource().get(), screen.get());
  EXPECT_EQ(objc::msg<NSInteger>(table, SEL_("numberOfSections")), 1);
  EXPECT_EQ(objc::msg<NSInteger>(table, SEL_("numberOfRowsInSection:"), NSInteger(0)), 6);
  EXPECT_EQ(screen->tableViewTitleForHeaderInSection(table, 0)->str(), "General");
  EXPECT_EQ(screen->tableViewTitleForFooterInSection(table, 0)->str(), "About it");
  EXPECT_EQ(cellAt(1)->textLabel()->text()->str(), "Colour");
}

TEST_F(ListControllerTest, ShowingARowAsksTheGetterAndChangingItTellsTheSetter) {
  EXPECT_EQ(cellAt(0)->valueText(), "On");  // the default
  EXPECT_GT(screen->reads, 0);
  screen->values->setObjectForKey(NSNumber::numberWithBool(false), "enabled");
  EXPECT_EQ(cellAt(0)->valueText(), "Off");  // read again when shown again
  EXPECT_EQ(cellAt(1)->valueText(), "White");

  std::string error;
  ASSERT_TRUE(cellAt(1)->takeInput("Blue", &error)) << error;
  ASSERT_EQ(screen->stored.size(), 1u);
  EXPECT_TRUE(screen->stored[0]->isEqualTo(*num(5)));
  EXPECT_EQ(cellAt(1)->valueText(), "Blue");
  EXPECT_FALSE(cellAt(1)->takeInput("Green", &error));
  EXPECT_EQ(screen->stored.size(), 1u);  // a value the control cannot take is not stored
}

TEST_F(ListControllerTest, GetterAndSetterAreSentThroughTheRuntime) {
  // A method added to a runtime subclass is reached only through a send.
  Class sub = objc_allocateClassPair(RecordingListController::classObject(), "RecordingListControllerSub");
  auto fixed = +[](id, SEL, id) -> id { return NSStr("from the runtime"); };
  class_addMethod(sub, SEL_("readPreferenceValue:"), reinterpret_cast<IMP>(fixed), "@@:@");
  objc_registerClassPair(sub);
  auto other = objc::cast<RecordingListController>(objc::msg<id>(class_createInstance(sub), SEL_("init")));
  auto control = PSSpecifier::preferenceSpecifierNamed("Name", other.get(), SEL_("setPreferenceValue:specifier:"),
                                                       SEL_("readPreferenceValue:"), PSEditTextCell);
  control->setPropertyForKey(NSStr("name"), NSStr("key"));
  auto cell = PSTableCell::cellForSpecifier(control);
  EXPECT_EQ(cell->valueText(), "from the runtime");
  EXPECT_EQ(other->reads, 0);
}

TEST_F(ListControllerTest, ButtonsSendTheirActionToTheTarget) {
  EXPECT_TRUE(table->tapRowAtIndexPath(NSIndexPath::indexPathForRow(2, 0)));
  EXPECT_EQ(screen->taps, 1);
  EXPECT_TRUE(table->tapRowAtIndexPath(NSIndexPath::indexPathForRow(3, 0)));
  ASSERT_TRUE(screen->tappedSpecifier);
  EXPECT_EQ(screen->tappedSpecifier->label(), "Tap with");
  // An action the target lacks is logged; nothing else happens.
  EXPECT_TRUE(table->tapRowAtIndexPath(NSIndexPath::indexPathForRow(4, 0)));
  EXPECT_TRUE(log_->contains("has no action noSuchAction"));
  EXPECT_EQ(screen->taps, 1);
}

TEST_F(ListControllerTest, LinksPushAFreshScreenOwnedByTheNavigationStack) {
  auto more = NSIndexPath::indexPathForRow(5, 0);
  ASSERT_TRUE(table->tapRowAtIndexPath(more));
  auto first = navigation->topViewController();
  ASSERT_TRUE(objc::hasClassName(first.get(), "TestDetailScreen"));
  EXPECT_EQ(objc::cast<PSViewController>(first)->specifier()->label(), "More");
  EXPECT_EQ(objc::cast<PSViewController>(first)->parentController().get(), screen.get());
  Weak<UIViewController> firstWeak = first;
  first = nullptr;
  navigation->popViewControllerAnimated(false);
  EXPECT_FALSE(firstWeak.lock());  // the stack held the only reference
  ASSERT_TRUE(table->tapRowAtIndexPath(more));
  EXPECT_TRUE(objc::hasClassName(navigation->topViewController().get(), "TestDetailScreen"));
  EXPECT_EQ(navigation->stack().size(), 2u);
}

TEST_F(ListControllerTest, AScreenOffTheStackCannotPushAndSaysSo) {
  auto loose = objc::cast<PSListController>(objc::msg<id>(objc::alloc<PSListController>(), SEL_("init")));
  objc::msg<void>(loose, SEL_("pushController:animate:"), objc::alloc<PSListController>(), true);
  EXPECT_TRUE(log_->contains("is on no navigation stack"));
}

TEST_F(ListControllerTest, TheBaseKeepsValuesInTheDefaultsDomainAndPostsTheirNotification) {
  auto base = objc::cast<PSListController>(objc::msg<id>(objc::alloc<PSListController>(), SEL_("init")));
  auto control = PSSpecifier::preferenceSpecifierNamed("Sound", base.get(), SEL_("setPreferenceValue:specifier:"),
                                                       SEL_("readPreferenceValue:"), PSSwitchCell);
  control->setPropertyForKey(NSStr("sound"), NSStr("key"));
  control->setPropertyForKey(NSStr("org.example.app"), NSStr("defaults"));
  control->setPropertyForKey(NSNumber::numberWithBool(true), NSStr("default"));
  control->setPropertyForKey(NSStr("org.example.app/changed"), NSStr("PostNotification"));
  EXPECT_TRUE(objc::cast<NSNumber>(control->performGetter())->boolValue());

  CFNotificationCenterAddObserver(CFNotificationCenterGetDarwinNotifyCenter(), this, &recordPost, nullptr, nullptr,
                                  CFNotificationSuspensionBehaviorDeliverImmediately);
  control->performSetterWithValue(NSNumber::numberWithBool(false));
  CFNotificationCenterRemoveEveryObserver(CFNotificationCenterGetDarwinNotifyCenter(), this);
  auto stored = NSDictionary::dictionaryWithContentsOfFile("/var/mobile/Library/Preferences/org.example.app.plist");
  ASSERT_TRUE(stored);
  EXPECT_FALSE(objc::cast<NSNumber>(stored->objectForKey("sound"))->boolValue());
  EXPECT_FALSE(objc::cast<NSNumber>(control->performGetter())->boolValue());
  EXPECT_EQ(posted, std::vector<std::string>{"org.example.app/changed"});
}
