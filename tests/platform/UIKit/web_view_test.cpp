#include "TempRoot.h"

#include <Foundation/NSRunLoop.h>
#include <UIKit/UIApplication.h>
#include <UIKit/UIWebView.h>
#include <objc/ClassBuilder.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

class WebDelegate : public NSObject {
 public:
  static Class classObject();
  std::vector<std::string> log;
  void started(Ref<UIWebView>) { log.push_back("start"); }
  void finished(Ref<UIWebView>) { log.push_back("finish"); }
  void failed(Ref<UIWebView>, Ref<NSError> error) { log.push_back("fail " + std::to_string(error->code())); }
};

Class WebDelegate::classObject() {
  static Class cls = objc::ClassBuilder<WebDelegate, NSObject>("TestWebDelegate")
                         .method<&WebDelegate::started>("webViewDidStartLoad:")
                         .method<&WebDelegate::finished>("webViewDidFinishLoad:")
                         .method<&WebDelegate::failed>("webView:didFailLoadWithError:")
                         .build();
  return cls;
}
OBJC_REGISTER_CLASS(WebDelegate);

Ref<UIWebView> makeWebView(const id& delegate) {
  auto web = objc::cast<UIWebView>(
      objc::msg<id>(objc::alloc<UIWebView>(), SEL_("initWithFrame:"), CGRectMake(0, 0, 320, 480)));
  objc::msg(web, SEL_("setDelegate:"), delegate);
  return web;
}

void load(const Ref<UIWebView>& web, const char* address) {
  objc::msg(web, SEL_("loadRequest:"), NSURLRequest::requestWithURL(NSURL::URLWithString(address)));
}

}  // namespace

TEST(UIWebView, WithoutANetworkAWebLoadFailsOnALaterPass) {
  auto delegate = objc::create<WebDelegate>();
  auto web = makeWebView(delegate);
  load(web, "https://example.org/tweaks");
  EXPECT_TRUE(web->isLoading());
  EXPECT_TRUE(delegate->log.empty());  // nothing is reported inside loadRequest:
  NSRunLoop::mainRunLoop()->runPending();
  NSRunLoop::mainRunLoop()->runPending();
  EXPECT_EQ(delegate->log, (std::vector<std::string>{"start", "fail -1009"}));
  EXPECT_FALSE(web->isLoading());
}

TEST(UIWebView, AnExistingFileLoadsAndAMissingOneFails) {
  const TempRoot root("uikit_web");
  std::filesystem::create_directories(root / "pages");
  std::ofstream(root / "pages/a b.html") << "<p>hello</p>";
  auto delegate = objc::create<WebDelegate>();
  auto web = makeWebView(delegate);
  load(web, "file:///pages/a%20b.html");
  NSRunLoop::mainRunLoop()->runPending();
  NSRunLoop::mainRunLoop()->runPending();
  EXPECT_EQ(delegate->log, (std::vector<std::string>{"start", "finish"}));
  EXPECT_EQ(web->documentText(), "<p>hello</p>");
  delegate->log.clear();
  load(web, "file:///pages/none.html");
  NSRunLoop::mainRunLoop()->runPending();
  NSRunLoop::mainRunLoop()->runPending();
  EXPECT_EQ(delegate->log, (std::vector<std::string>{"start", "fail -1100"}));
}

TEST(UIWebView, AGoneDelegateIsNotCalledAndANewLoadReplacesTheOld) {
  auto web = makeWebView(objc::create<WebDelegate>());  // held by nobody but the weak link
  load(web, "https://example.org/");
  NSRunLoop::mainRunLoop()->runPending();
  NSRunLoop::mainRunLoop()->runPending();  // nothing to call, nothing crashes
  EXPECT_EQ(web->delegate(), nullptr);

  auto delegate = objc::create<WebDelegate>();
  web->setDelegate(delegate);
  load(web, "https://example.org/first");
  load(web, "https://example.org/second");
  for (int i = 0; i < 3; ++i) NSRunLoop::mainRunLoop()->runPending();
  EXPECT_EQ(delegate->log, (std::vector<std::string>{"start", "fail -1009"}));
  EXPECT_EQ(web->request()->URL()->absoluteString(), "https://example.org/second");
}

TEST(UIApplication, OpenURLRecordsAndHandsTheAddressToTheHost) {
  auto app = UIApplication::sharedApplication();
  std::vector<std::string> seen;
  app->setOpenURLHandler(
      [&](const NSURL& url, bool opened) { seen.push_back(url.absoluteString() + (opened ? " +" : " -")); });
  EXPECT_TRUE(objc::msg<bool>(app, SEL_("openURL:"), NSURL::URLWithString("x-apple-reminder://")));
  EXPECT_TRUE(app->openURL(NSURL::URLWithString("https://twitter.com/")));
  EXPECT_FALSE(app->openURL(NSURL::URLWithString("nosuchapp://x")));
  app->registerURLScheme("nosuchapp");
  EXPECT_TRUE(app->openURL(NSURL::URLWithString("nosuchapp://x")));
  EXPECT_FALSE(app->openURL(nullptr));
  EXPECT_EQ(seen, (std::vector<std::string>{"x-apple-reminder:// +", "https://twitter.com/ +", "nosuchapp://x -",
                                            "nosuchapp://x +"}));
  EXPECT_EQ(app->openedURLs().size(), 4u);
  app->setOpenURLHandler(nullptr);
}
