#include <UIKit/UINavigationController.h>

#include <Foundation/NSArray.h>
#include <objc/ClassBuilder.h>

#include <algorithm>

Class UINavigationController::classObject() {
  static Class cls =
      objc::ClassBuilder<UINavigationController, UIViewController>("UINavigationController")
          .method<&UINavigationController::initWithRootViewController>("initWithRootViewController:")
          .method<&UINavigationController::pushViewController>("pushViewController:animated:")
          .method<&UINavigationController::popViewControllerAnimated>("popViewControllerAnimated:")
          .method<&UINavigationController::popToRootViewControllerAnimated>("popToRootViewControllerAnimated:")
          .method<&UINavigationController::viewControllers>("viewControllers")
          .method<&UINavigationController::topViewController>("topViewController")
          .method<&UINavigationController::visibleViewController>("visibleViewController")
          .build();
  return cls;
}
OBJC_REGISTER_CLASS(UINavigationController);

id UINavigationController::initWithRootViewController(Ref<UIViewController> root) {
  UIViewController::initWithNibNameBundle(nullptr, nullptr);
  if (root) {
    stack_ = {root};
    root->setNavigationController(this);
  }
  return id(this);
}

Ref<UIViewController> UINavigationController::topViewController() const {
  return stack_.empty() ? nullptr : stack_.back();
}

Ref<NSArray> UINavigationController::viewControllers() const {
  return NSArray::arrayWithObjects(std::vector<id>(stack_.begin(), stack_.end()));
}

void UINavigationController::show(const Ref<UIViewController>& controller) {
  Ref<UIView> container = view();
  Ref<UIView> content = controller->view();
  objc::msg(content, SEL_("setFrame:"), container->bounds());
  container->addSubview(content);
}

void UINavigationController::pushViewController(Ref<UIViewController> controller, bool animated) {
  if (!controller) throw objc::RuntimeError("Application tried to push a nil view controller on the navigation stack");
  if (std::find(stack_.begin(), stack_.end(), controller) != stack_.end())
    throw objc::RuntimeError("Pushing the same view controller instance more than once is not supported");
  Ref<UINavigationController> keep(this);
  Ref<UIViewController> previous = topViewController();
  stack_.push_back(controller);
  controller->setNavigationController(this);
  if (!isAppearing()) return;  // off screen: the top screen appears with the navigation controller
  (void)controller->view();    // the incoming screen is loaded before the transition starts
  if (previous) previous->beginDisappearance(animated);
  controller->beginAppearance(animated);
  if (previous) {
    if (previous->isViewLoaded()) previous->view()->removeFromSuperview();
    previous->endDisappearance(animated);
  }
  show(controller);
  controller->endAppearance(animated);
}

Ref<UIViewController> UINavigationController::popViewControllerAnimated(bool animated) {
  if (stack_.size() < 2) return nullptr;
  Ref<UINavigationController> keep(this);
  Ref<UIViewController> leaving = stack_.back();
  stack_.pop_back();
  Ref<UIViewController> below = stack_.back();
  if (isAppearing()) {
    leaving->beginDisappearance(animated);
    below->beginAppearance(animated);
    if (leaving->isViewLoaded()) leaving->view()->removeFromSuperview();
    leaving->endDisappearance(animated);
    show(below);
    below->endAppearance(animated);
  }
  leaving->setNavigationController(nullptr);
  return leaving;
}

Ref<NSArray> UINavigationController::popToRootViewControllerAnimated(bool animated) {
  std::vector<id> popped;
  while (stack_.size() > 1) {
    // Screens between the top and the root leave without appearing again.
    if (stack_.size() > 2) {
      Ref<UIViewController> middle = stack_[stack_.size() - 2];
      stack_.erase(stack_.end() - 2);
      middle->setNavigationController(nullptr);
      popped.insert(popped.begin(), middle);
      continue;
    }
    popped.insert(popped.begin(), popViewControllerAnimated(animated));
  }
  return NSArray::arrayWithObjects(std::move(popped));
}

void UINavigationController::viewWillAppear(bool animated) {
  if (Ref<UIViewController> top = topViewController()) top->beginAppearance(animated);
}

void UINavigationController::viewDidAppear(bool animated) {
  if (Ref<UIViewController> top = topViewController()) {
    show(top);
    top->endAppearance(animated);
  }
}

void UINavigationController::viewWillDisappear(bool animated) {
  if (Ref<UIViewController> top = topViewController()) top->beginDisappearance(animated);
}

void UINavigationController::viewDidDisappear(bool animated) {
  if (Ref<UIViewController> top = topViewController()) top->endDisappearance(animated);
}
