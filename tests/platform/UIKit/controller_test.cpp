#include <UIKit/UINavigationController.h>
#include <UIKit/UITableViewController.h>
#include <UIKit/UIWindow.h>
#include <objc/ClassBuilder.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> events;

/// A screen that records its life cycle by name.
class Screen : public UIViewController {
 public:
  static Class classObject();
  std::string name = "screen";
  id initWithNibNameBundle(Ref<NSString> nib, id bundle) override {
    events.push_back("init");
    return UIViewController::initWithNibNameBundle(nib, bundle);
  }
  void loadView() override {
    events.push_back(name + " loadView");
    UIViewController::loadView();
  }
  void viewDidLoad() override { events.push_back(name + " viewDidLoad"); }
  void viewWillAppear(bool) override { events.push_back(name + " willAppear"); }
  void viewDidAppear(bool) override { events.push_back(name + " didAppear"); }
  void viewWillDisappear(bool) override { events.push_back(name + " willDisappear"); }
  void viewDidDisappear(bool) override { events.push_back(name + " didDisappear"); }
};

Class Screen::classObject() {
  static Class cls = objc::ClassBuilder<Screen, UIViewController>("TestScreen").build();
  return cls;
}
OBJC_REGISTER_CLASS(Screen);

/// A table screen answering its rows as a pane's screen does.
class ListScreen : public UITableViewController {
 public:
  static Class classObject();
  int rowsAsked = 0;
  int64_t rows(Ref<UITableView>, int64_t) {
    ++rowsAsked;
    return 2;
  }
  Ref<UITableViewCell> cell(Ref<UITableView>, Ref<NSIndexPath>) {
    return objc::cast<UITableViewCell>(objc::msg<id>(objc::alloc<UITableViewCell>(), SEL_("init")));
  }
};

Class ListScreen::classObject() {
  static Class cls = objc::ClassBuilder<ListScreen, UITableViewController>("TestListScreen")
                         .method<&ListScreen::rows>("tableView:numberOfRowsInSection:")
                         .method<&ListScreen::cell>("tableView:cellForRowAtIndexPath:")
                         .build();
  return cls;
}
OBJC_REGISTER_CLASS(ListScreen);

Ref<Screen> makeScreen(const std::string& name) {
  auto s = objc::cast<Screen>(objc::msg<id>(objc::alloc<Screen>(), SEL_("init")));
  s->name = name;
  return s;
}

Ref<UINavigationController> showNavigation(const Ref<UIViewController>& root, Ref<UIWindow>& window) {
  auto nav = objc::cast<UINavigationController>(
      objc::msg<id>(objc::alloc<UINavigationController>(), SEL_("initWithRootViewController:"), root));
  window =
      objc::cast<UIWindow>(objc::msg<id>(objc::alloc<UIWindow>(), SEL_("initWithFrame:"), CGRectMake(0, 0, 320, 568)));
  window->setRootViewController(nav);
  window->makeKeyAndVisible();
  return nav;
}

}  // namespace

TEST(UIViewController, PlainInitReachesInitWithNibAndTheViewLoadsOnFirstUse) {
  events.clear();
  auto screen = makeScreen("a");
  EXPECT_EQ(events, (std::vector<std::string>{"init"}));
  EXPECT_FALSE(screen->isViewLoaded());
  Ref<UIView> view = objc::msg<Ref<UIView>>(screen, SEL_("view"));
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(screen->view(), view);  // loaded once
  EXPECT_EQ(events, (std::vector<std::string>{"init", "a loadView", "a viewDidLoad"}));
  screen->setTitle(NSStr("Sort Order"));
  EXPECT_EQ(screen->navigationItem()->title()->str(), "Sort Order");
}

TEST(UITableViewController, ItsTableAsksItThroughTheRuntimeAndReloadsOnFirstAppearance) {
  auto list = objc::cast<ListScreen>(
      objc::msg<id>(objc::alloc<ListScreen>(), SEL_("initWithStyle:"), NSInteger{UITableViewStyleGrouped}));
  auto table = list->tableView();
  ASSERT_NE(table, nullptr);
  EXPECT_EQ(table->style(), UITableViewStyleGrouped);
  EXPECT_EQ(table->dataSource().get(), list.get());
  EXPECT_EQ(table->delegate().get(), list.get());
  table->layoutIfNeeded();
  EXPECT_EQ(list->rowsAsked, 1);
  list->beginAppearance(false);  // the first appearance reloads
  table->layoutIfNeeded();
  EXPECT_EQ(list->rowsAsked, 2);
  EXPECT_EQ(table->visibleCells()->count(), 2u);
  list->beginDisappearance(false);
  list->beginAppearance(false);  // later ones do not
  table->layoutIfNeeded();
  EXPECT_EQ(list->rowsAsked, 2);
  objc::msg(list, SEL_("setEditing:animated:"), true, false);
  EXPECT_TRUE(table->isEditing());
}

TEST(UINavigationController, PushAndPopRunTheAppearanceCallsInOrder) {
  events.clear();
  auto root = makeScreen("root");
  Ref<UIWindow> window;
  auto nav = showNavigation(root, window);
  EXPECT_EQ(events, (std::vector<std::string>{"init", "root loadView", "root viewDidLoad", "root willAppear",
                                              "root didAppear"}));
  events.clear();
  auto next = makeScreen("next");
  objc::msg(nav, SEL_("pushViewController:animated:"), next, true);
  EXPECT_EQ(events, (std::vector<std::string>{"init", "next loadView", "next viewDidLoad", "root willDisappear",
                                              "next willAppear", "root didDisappear", "next didAppear"}));
  EXPECT_EQ(nav->topViewController().get(), next.get());
  EXPECT_EQ(next->navigationController(), nav);
  EXPECT_EQ(next->view()->superview(), nav->view());
  EXPECT_EQ(root->view()->superview(), nullptr);

  events.clear();
  Weak<Screen> gone = next;
  next = nullptr;
  EXPECT_NE(gone.lock(), nullptr);  // the stack owns its screens
  auto popped = objc::msg<Ref<UIViewController>>(nav, SEL_("popViewControllerAnimated:"), true);
  EXPECT_EQ(events,
            (std::vector<std::string>{"next willDisappear", "root willAppear", "next didDisappear", "root didAppear"}));
  EXPECT_EQ(popped->navigationController(), nullptr);
  popped = nullptr;
  EXPECT_EQ(gone.lock(), nullptr);                           // popped and released
  EXPECT_EQ(nav->popViewControllerAnimated(true), nullptr);  // the root stays
  EXPECT_EQ(nav->stack().size(), 1u);
}

TEST(UINavigationController, PushesOffScreenWaitAndDuplicatesAreRefused) {
  events.clear();
  auto root = makeScreen("root");
  auto nav = objc::cast<UINavigationController>(
      objc::msg<id>(objc::alloc<UINavigationController>(), SEL_("initWithRootViewController:"), root));
  auto a = makeScreen("a"), b = makeScreen("b");
  nav->pushViewController(a, false);
  nav->pushViewController(b, false);
  EXPECT_FALSE(a->isViewLoaded());  // nothing appears while the stack is off screen
  EXPECT_THROW(nav->pushViewController(a, false), objc::RuntimeError);
  auto popped = nav->popToRootViewControllerAnimated(false);
  EXPECT_EQ(popped->count(), 2u);
  EXPECT_EQ(nav->topViewController().get(), root.get());
  EXPECT_EQ(a->navigationController(), nullptr);
}
