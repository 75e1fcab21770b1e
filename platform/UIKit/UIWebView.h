#pragma once
/// \file
/// A web view. The simulated device has no network: every http(s) load
/// fails, and the failure reaches the delegate on a later pass of the main
/// run loop; a file:// address of an existing device file loads. The
/// delegate is held weakly and asked through the runtime:
///   "webView:shouldStartLoadWithRequest:navigationType:" bool (Ref<UIWebView>, Ref<NSURLRequest>, NSInteger)
///   "webViewDidStartLoad:"                 void (Ref<UIWebView>)
///   "webViewDidFinishLoad:"                void (Ref<UIWebView>)
///   "webView:didFailLoadWithError:"        void (Ref<UIWebView>, Ref<NSError>)

#include <Foundation/NSURL.h>
#include <UIKit/UIView.h>

class UIWebView : public UIView {
 public:
  static Class classObject();
  UIWebView() = default;

  id initWithFrame(CGRect frame) override;

  // Registered: "delegate", "setDelegate:", "loadRequest:", "stopLoading", "isLoading", "request".
  [[nodiscard]] id delegate() const { return delegate_.lock(); }
  void setDelegate(id delegate);
  virtual void loadRequest(Ref<NSURLRequest> request);
  void stopLoading();
  [[nodiscard]] bool isLoading() const noexcept { return loading_; }
  [[nodiscard]] Ref<NSURLRequest> request() const { return request_; }
  /// The loaded document's text (file loads), empty otherwise.
  [[nodiscard]] const std::string& documentText() const noexcept { return document_; }

 private:
  void finish(uint64_t generation, Ref<NSError> error, std::string document);

  Weak<NSObject> delegate_;
  Ref<NSURLRequest> request_;
  std::string document_;
  bool loading_ = false;
  uint64_t generation_ = 0;
};
