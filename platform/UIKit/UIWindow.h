#pragma once
/// \file
/// The window that shows a root screen: setting the root loads its view,
/// puts it in the window and runs its appearance.

#include <UIKit/UIViewController.h>

class UIWindow : public UIView {
 public:
  static Class classObject();
  UIWindow() = default;

  // Registered: "rootViewController", "setRootViewController:", "makeKeyAndVisible".
  [[nodiscard]] Ref<UIViewController> rootViewController() const { return root_; }
  void setRootViewController(Ref<UIViewController> controller);
  void makeKeyAndVisible();
  [[nodiscard]] bool isKeyWindow() const noexcept { return key_; }

 private:
  Ref<UIViewController> root_;
  bool key_ = false;
};
