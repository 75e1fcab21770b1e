#pragma once
/// \file
/// A stack of screens. The stack owns the screens pushed on it; pushing and
/// popping run the appearance calls of the screens that come and go.

#include <UIKit/UIViewController.h>

#include <vector>

#include <Foundation/NSArray.h>

class UINavigationController : public UIViewController {
 public:
  static Class classObject();
  UINavigationController() = default;

  // Registered: "initWithRootViewController:".
  virtual id initWithRootViewController(Ref<UIViewController> root);

  // Registered: "pushViewController:animated:", "popViewControllerAnimated:",
  // "popToRootViewControllerAnimated:", "viewControllers", "topViewController",
  // "visibleViewController".
  virtual void pushViewController(Ref<UIViewController> controller, bool animated);
  /// The screen taken off, or nil when only the root is left.
  virtual Ref<UIViewController> popViewControllerAnimated(bool animated);
  Ref<NSArray> popToRootViewControllerAnimated(bool animated);
  [[nodiscard]] Ref<NSArray> viewControllers() const;
  [[nodiscard]] const std::vector<Ref<UIViewController>>& stack() const noexcept { return stack_; }
  [[nodiscard]] Ref<UIViewController> topViewController() const;
  [[nodiscard]] Ref<UIViewController> visibleViewController() const { return topViewController(); }

  /// The top screen appears and disappears with the navigation controller.
  void viewWillAppear(bool animated) override;
  void viewDidAppear(bool animated) override;
  void viewWillDisappear(bool animated) override;
  void viewDidDisappear(bool animated) override;

 private:
  void show(const Ref<UIViewController>& controller);
  std::vector<Ref<UIViewController>> stack_;
};
