#pragma once
/// \file
/// A view whose bounds origin is its content offset. Scrolling tells the
/// delegate through the runtime (`scrollViewDidScroll:`).

#include <UIKit/UIView.h>

class UIScrollView : public UIView {
 public:
  static Class classObject();
  UIScrollView() = default;

  // Registered: "contentOffset", "setContentOffset:", "setContentOffset:animated:",
  // "contentSize", "setContentSize:", "delegate", "setDelegate:".
  [[nodiscard]] CGPoint contentOffset() const noexcept { return bounds().origin; }
  virtual void setContentOffset(CGPoint offset);
  void setContentOffsetAnimated(CGPoint offset, bool animated) { setContentOffset(offset); }
  [[nodiscard]] CGSize contentSize() const noexcept { return contentSize_; }
  void setContentSize(CGSize size) noexcept { contentSize_ = size; }

  /// Held weakly, as the device holds it.
  [[nodiscard]] id delegate() const { return delegate_.lock(); }
  virtual void setDelegate(id delegate);

 protected:
  /// Runs after the offset changed and before the delegate hears of it.
  virtual void contentOffsetDidChange() {}

 private:
  CGSize contentSize_{};
  Weak<NSObject> delegate_;
};
