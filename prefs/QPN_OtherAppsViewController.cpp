#include "QPN_OtherAppsViewController.h"

#include <objc/ClassBuilder.h>
#include <objc/message.h>

namespace {

const char* const kOtherTweaksURL = "https://brightrepo.org/tweaks/";

void removeLabelLater(const Ref<UILabel>& label) {
  objc::msg<void>(label, SEL_("performSelectorOnMainThread:withObject:waitUntilDone:"), SEL_("removeFromSuperview"),
                  id(), false);
}

}  // namespace

Class QPN_OtherAppsViewController::classObject() {
  using C = QPN_OtherAppsViewController;
  static Class cls = objc::ClassBuilder<C, UIViewController>("QPN_OtherAppsViewController")
                         .method<&C::viewDidLoad>("viewDidLoad")
                         .method<&C::webViewDidFinishLoad>("webViewDidFinishLoad:")
                         .method<&C::webViewDidFailLoadWithError>("webView:didFailLoadWithError:")
                         .ivar<&C::label>("label")
                         .build();
  return cls;
}
OBJC_REGISTER_CLASS(QPN_OtherAppsViewController);

QPN_OtherAppsViewController::~QPN_OtherAppsViewController() {
  if (!isViewLoaded()) return;
  for (const auto& subview : view()->subviewList())
    if (objc::isKind(subview.get(), UIWebView::classObject())) objc::msg<void>(subview, SEL_("setDelegate:"), id());
}

void QPN_OtherAppsViewController::viewDidLoad() {
  UIViewController::viewDidLoad();
  objc::msg<void>(navigationItem(), SEL_("setTitle:"), NSStr("My tweaks"));
  auto page = view();

  auto web = objc::cast<UIWebView>(objc::msg<id>(objc::alloc<UIWebView>(), SEL_("initWithFrame:"), page->bounds()));
  objc::msg<void>(web, SEL_("setDelegate:"), id(this));
  objc::msg<void>(web, SEL_("setBackgroundColor:"), UIColor::clearColor());
  objc::msg<void>(web, SEL_("setAutoresizingMask:"),
                  NSUInteger(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight));
  objc::msg<void>(page, SEL_("addSubview:"), web);

  CGRect frame = page->frame();
  label = objc::cast<UILabel>(
      objc::msg<id>(objc::alloc<UILabel>(), SEL_("initWithFrame:"), CGRectMake(0, frame.size.height / 2, 320, 50)));
  objc::msg<void>(label, SEL_("setText:"), NSStr("Loading web page..."));
  objc::msg<void>(label, SEL_("setTextAlignment:"), NSInteger(NSTextAlignmentCenter));
  objc::msg<void>(label, SEL_("setBackgroundColor:"), UIColor::clearColor());
  objc::msg<void>(page, SEL_("addSubview:"), label);

  objc::msg<void>(web, SEL_("loadRequest:"), NSURLRequest::requestWithURL(NSURL::URLWithString(kOtherTweaksURL)));
}

void QPN_OtherAppsViewController::webViewDidFinishLoad(Ref<UIWebView>) { removeLabelLater(label); }

void QPN_OtherAppsViewController::webViewDidFailLoadWithError(Ref<UIWebView>, Ref<NSError>) { removeLabelLater(label); }
