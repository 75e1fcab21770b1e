#include "PaneFixture.h"
#include "QPN_OtherAppsViewController.h"

namespace {

class OtherAppsTest : public PaneFixture {
 protected:
  Ref<QPN_OtherAppsViewController> open() { return objc::cast<QPN_OtherAppsViewController>(press("viewOtherApps")); }
  static Ref<UIWebView> webViewOf(const Ref<QPN_OtherAppsViewController>& page) {
    for (const auto& v : page->view()->subviewList())
      if (auto web = objc::as<UIWebView>(v)) return web;
    return nullptr;
  }
};

class OtherAppsOnAWideScreenTest : public OtherAppsTest {
  foundation::DeviceProfile profile() const override {
    foundation::DeviceProfile p;
    p.screenWidth = 414;
    p.screenHeight = 736;
    return p;
  }
};

}  // namespace

TEST_F(OtherAppsTest, TheLabelShowsWhileLoadingAndGoesAfterTheLoadFails) {
  auto page = open();
  EXPECT_EQ(page->navigationItem()->title()->str(), "My tweaks");
  auto web = webViewOf(page);
  ASSERT_TRUE(web);
  EXPECT_EQ(web->delegate().get(), page.get());
  EXPECT_EQ(web->autoresizingMask(), 0x12u);
  EXPECT_EQ(web->request()->URL()->scheme(), "https");
  ASSERT_TRUE(page->label);
  EXPECT_EQ(page->label->text()->str(), "Loading web page...");
  EXPECT_EQ(page->label->textAlignment(), NSTextAlignmentCenter);
  // Above the web view.
  EXPECT_EQ(page->view()->subviewList().back().get(), page->label.get());

  runMainLoop();  // no network: the load fails, then the removal runs
  EXPECT_EQ(page->label->superview(), nullptr);
  EXPECT_TRUE(page->label);  // kept while the page lives
  // A second callback changes nothing.
  objc::msg<void>(page, SEL_("webViewDidFinishLoad:"), web);
  runMainLoop();
  EXPECT_EQ(page->label->superview(), nullptr);
}

TEST_F(OtherAppsTest, TheLabelAlsoGoesAfterAFinishedLoad) {
  auto page = open();
  objc::msg<void>(page, SEL_("webViewDidFinishLoad:"), webViewOf(page));
  EXPECT_NE(page->label->superview(), nullptr);  // queued, not done at once
  runMainLoop();
  EXPECT_EQ(page->label->superview(), nullptr);
}

TEST_F(OtherAppsTest, ThePageStopsBeingTheDelegateWhenItGoesAway) {
  Ref<UIWebView> web;
  {
    auto page = open();
    web = webViewOf(page);
    navigation->popViewControllerAnimated(true);
  }
  EXPECT_EQ(web->delegate(), nullptr);
  runMainLoop();  // the failing load finds no page to call
}

TEST_F(OtherAppsOnAWideScreenTest, TheLabelKeepsItsWidthAtTheLeftEdge) {
  auto page = open();
  CGRect frame = page->label->frame();
  EXPECT_EQ(frame.origin.x, 0);
  EXPECT_EQ(frame.size.width, 320);
  EXPECT_EQ(frame.size.height, 50);
  EXPECT_EQ(frame.origin.y, page->view()->frame().size.height / 2);
  EXPECT_EQ(webViewOf(page)->frame().size.width, 414);
}
