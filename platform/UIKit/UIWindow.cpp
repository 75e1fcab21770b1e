#include <UIKit/UIWindow.h>

#include <objc/ClassBuilder.h>

Class UIWindow::classObject() {
  static Class cls = objc::ClassBuilder<UIWindow, UIView>("UIWindow")
                         .method<&UIWindow::rootViewController>("rootViewController")
                         .method<&UIWindow::setRootViewController>("setRootViewController:")
                         .method<&UIWindow::makeKeyAndVisible>("makeKeyAndVisible")
                         .build();
  return cls;
}
OBJC_REGISTER_CLASS(UIWindow);

void UIWindow::setRootViewController(Ref<UIViewController> controller) {
  if (controller == root_) return;
  Ref<UIViewController> old = root_;
  if (old && key_) old->beginDisappearance(false);
  if (old && old->isViewLoaded()) old->view()->removeFromSuperview();
  if (old && key_) old->endDisappearance(false);
  root_ = std::move(controller);
  if (!root_ || !key_) return;
  root_->beginAppearance(false);
  Ref<UIView> content = root_->view();
  objc::msg(content, SEL_("setFrame:"), bounds());
  addSubview(content);
  root_->endAppearance(false);
}

void UIWindow::makeKeyAndVisible() {
  if (key_) return;
  key_ = true;
  if (!root_) return;
  Ref<UIViewController> root = std::move(root_);
  setRootViewController(root);
}
