#include <UIKit/UIWebView.h>

#include <Foundation/DeviceRoot.h>
#include <Foundation/NSRunLoop.h>
#include <objc/ClassBuilder.h>

namespace {

// NSURLErrorDomain codes the device reports.
constexpr int64_t kNotConnectedToInternet = -1009;
constexpr int64_t kFileDoesNotExist = -1100;
constexpr int64_t kUnsupportedURL = -1002;
constexpr NSInteger kNavigationTypeOther = 5;

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

/// The device path of a file:// address ("file:///var/x%20y" -> "/var/x y").
std::string filePath(const std::string& url) {
  std::string rest = url.substr(url.find(':') + 1);
  if (rest.starts_with("//")) {
    rest = rest.substr(2);
    size_t slash = rest.find('/');
    rest = slash == std::string::npos ? "/" : rest.substr(slash);  // drops "localhost"
  }
  if (size_t q = rest.find_first_of("?#"); q != std::string::npos) rest.resize(q);
  std::string out;
  for (size_t i = 0; i < rest.size(); ++i) {
    if (rest[i] == '%' && i + 2 < rest.size() + 0 && hexValue(rest[i + 1]) >= 0 && hexValue(rest[i + 2]) >= 0) {
      out.push_back(static_cast<char>(hexValue(rest[i + 1]) * 16 + hexValue(rest[i + 2])));
      i += 2;
    } else {
      out.push_back(rest[i]);
    }
  }
  return out;
}

bool answers(const id& obj, SEL sel) { return obj && objc::respondsTo(obj.get(), sel); }

}  // namespace

Class UIWebView::classObject() {
  static Class cls = objc::ClassBuilder<UIWebView, UIView>("UIWebView")
                         .method<&UIWebView::delegate>("delegate")
                         .method<&UIWebView::setDelegate>("setDelegate:")
                         .method<&UIWebView::loadRequest>("loadRequest:")
                         .method<&UIWebView::stopLoading>("stopLoading")
                         .method<&UIWebView::isLoading>("isLoading")
                         .method<&UIWebView::request>("request")
                         .build();
  return cls;
}
OBJC_REGISTER_CLASS(UIWebView);

id UIWebView::initWithFrame(CGRect frame) {
  UIView::initWithFrame(frame);
  return id(this);
}

void UIWebView::setDelegate(id delegate) { delegate_ = delegate; }

void UIWebView::loadRequest(Ref<NSURLRequest> request) {
  if (!request || !request->URL()) return;
  Ref<UIWebView> self(this);
  if (id d = delegate(); answers(d, SEL_("webView:shouldStartLoadWithRequest:navigationType:")) &&
                         !objc::msg<bool>(d, SEL_("webView:shouldStartLoadWithRequest:navigationType:"), self, request,
                                          kNavigationTypeOther))
    return;
  uint64_t generation = ++generation_;
  request_ = request;
  document_.clear();
  loading_ = true;

  // The load runs on later passes of the main run loop, as the network would
  // answer: first the start, then the outcome.
  Weak<UIWebView> weak(this);
  NSRunLoop::mainRunLoop()->enqueue([weak, generation, request] {
    Ref<UIWebView> view = weak.lock();
    if (!view || view->generation_ != generation) return;
    if (id d = view->delegate(); answers(d, SEL_("webViewDidStartLoad:")))
      objc::msg(d, SEL_("webViewDidStartLoad:"), view);
    NSRunLoop::mainRunLoop()->enqueue([weak, generation, request] {
      Ref<UIWebView> view = weak.lock();
      if (!view || view->generation_ != generation) return;
      const std::string& url = request->URL()->absoluteString();
      std::string scheme = request->URL()->scheme();
      if (scheme == "file") {
        std::string contents;
        if (foundation::readDeviceFile(filePath(url), contents, foundation::kPageFileCap))
          return view->finish(generation, nullptr, contents);
        return view->finish(generation,
                            NSError::errorWithDomain("NSURLErrorDomain", kFileDoesNotExist,
                                                     "The requested URL was not found on this server."),
                            {});
      }
      if (scheme == "http" || scheme == "https")
        return view->finish(generation,
                            NSError::errorWithDomain("NSURLErrorDomain", kNotConnectedToInternet,
                                                     "The Internet connection appears to be offline."),
                            {});
      view->finish(generation, NSError::errorWithDomain("NSURLErrorDomain", kUnsupportedURL, "unsupported URL"), {});
    });
  });
}

void UIWebView::finish(uint64_t generation, Ref<NSError> error, std::string document) {
  if (generation != generation_) return;
  Ref<UIWebView> self(this);
  loading_ = false;
  document_ = std::move(document);
  id d = delegate();
  if (!error) {
    if (answers(d, SEL_("webViewDidFinishLoad:"))) objc::msg(d, SEL_("webViewDidFinishLoad:"), self);
  } else if (answers(d, SEL_("webView:didFailLoadWithError:"))) {
    objc::msg(d, SEL_("webView:didFailLoadWithError:"), self, error);
  }
}

void UIWebView::stopLoading() {
  ++generation_;
  loading_ = false;
}
