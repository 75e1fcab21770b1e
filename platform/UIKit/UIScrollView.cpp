#include <UIKit/UIScrollView.h>

#include <objc/ClassBuilder.h>

Class UIScrollView::classObject() {
  static Class cls = objc::ClassBuilder<UIScrollView, UIView>("UIScrollView")
                         .method<&UIScrollView::contentOffset>("contentOffset")
                         .method<&UIScrollView::setContentOffset>("setContentOffset:")
                         .method<&UIScrollView::setContentOffsetAnimated>("setContentOffset:animated:")
                         .method<&UIScrollView::contentSize>("contentSize")
                         .method<&UIScrollView::setContentSize>("setContentSize:")
                         .method<&UIScrollView::delegate>("delegate")
                         .method<&UIScrollView::setDelegate>("setDelegate:")
                         .build();
  return cls;
}
OBJC_REGISTER_CLASS(UIScrollView);

void UIScrollView::setContentOffset(CGPoint offset) {
  CGRect b = bounds();
  if (b.origin == offset) return;
  b.origin = offset;
  UIView::setBounds(b);
  contentOffsetDidChange();
  if (id d = delegate(); d && objc::respondsTo(d.get(), SEL_("scrollViewDidScroll:")))
    objc::msg(d, SEL_("scrollViewDidScroll:"), Ref<UIScrollView>(this));
}

void UIScrollView::setDelegate(id delegate) { delegate_ = delegate; }
