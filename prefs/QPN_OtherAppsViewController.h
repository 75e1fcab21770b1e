#pragma once
/// \file
/// "My tweaks": the authors' page of their other tweaks in a web view, with
/// a loading label until the page has loaded or failed.

#include <UIKit/UILabel.h>
#include <UIKit/UIViewController.h>
#include <UIKit/UIWebView.h>

class QPN_OtherAppsViewController : public UIViewController {
 public:
  static Class classObject();
  QPN_OtherAppsViewController() = default;
  /// Stops being the web view's delegate, so a load still under way never
  /// calls back into a page that is gone.
  ~QPN_OtherAppsViewController() override;

  void viewDidLoad() override;
  // UIWebViewDelegate.
  void webViewDidFinishLoad(Ref<UIWebView> webView);
  void webViewDidFailLoadWithError(Ref<UIWebView> webView, Ref<NSError> error);

  Ref<UILabel> label;  ///< "Loading web page...", kept while the screen lives
};
