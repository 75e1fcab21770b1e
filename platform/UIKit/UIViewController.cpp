#include <UIKit/UIViewController.h>

#include <Foundation/NSLog.h>
#include <UIKit/UINavigationController.h>
#include <UIKit/UIScreen.h>
#include <objc/ClassBuilder.h>

Class UINavigationItem::classObject() {
  static Class cls = objc::ClassBuilder<UINavigationItem, NSObject>("UINavigationItem")
                         .method<&UINavigationItem::title>("title")
                         .method<&UINavigationItem::setTitle>("setTitle:")
                         .build();
  return cls;
}
OBJC_REGISTER_CLASS(UINavigationItem);

std::string UINavigationItem::descriptionString() const {
  return "<UINavigationItem: title = '" + (title_ ? title_->str() : std::string()) + "'>";
}

Class UIViewController::classObject() {
  static Class cls =
      objc::ClassBuilder<UIViewController, NSObject>("UIViewController")
          .method<&UIViewController::initWithNibNameBundle>("initWithNibName:bundle:")
          .method<&UIViewController::initPlain>("init")
          .method<&UIViewController::view>("view")
          .method<&UIViewController::setView>("setView:")
          .method<&UIViewController::isViewLoaded>("isViewLoaded")
          .method<&UIViewController::loadView>("loadView")
          .method<&UIViewController::viewDidLoad>("viewDidLoad")
          .method<&UIViewController::viewWillAppear>("viewWillAppear:")
          .method<&UIViewController::viewDidAppear>("viewDidAppear:")
          .method<&UIViewController::viewWillDisappear>("viewWillDisappear:")
          .method<&UIViewController::viewDidDisappear>("viewDidDisappear:")
          .method<&UIViewController::viewDidUnload>("viewDidUnload")
          .method<&UIViewController::didReceiveMemoryWarning>("didReceiveMemoryWarning")
          .method<&UIViewController::shouldAutorotateToInterfaceOrientation>("shouldAutorotateToInterfaceOrientation:")
          .method<&UIViewController::title>("title")
          .method<&UIViewController::setTitle>("setTitle:")
          .method<&UIViewController::navigationItem>("navigationItem")
          .method<&UIViewController::navigationController>("navigationController")
          .ivar<&UIViewController::view_>("_view")
          .build();
  return cls;
}
OBJC_REGISTER_CLASS(UIViewController);

id UIViewController::initWithNibNameBundle(Ref<NSString>, id) { return id(this); }

id UIViewController::initPlain() { return objc::msg<id>(this, SEL_("initWithNibName:bundle:"), Ref<NSString>(), id()); }

Ref<UIView> UIViewController::view() {
  if (!view_) {
    Ref<UIViewController> keep(this);
    objc::msg(this, SEL_("loadView"));
    if (!view_) {
      NSLog("UIKit: -[%s loadView] set no view; using a plain one", object_getClassName(this));
      UIViewController::loadView();
    }
    objc::msg(this, SEL_("viewDidLoad"));
  }
  return view_;
}

void UIViewController::setView(Ref<UIView> view) { view_ = std::move(view); }

void UIViewController::loadView() {
  view_ = objc::cast<UIView>(
      objc::msg<id>(objc::alloc<UIView>(), SEL_("initWithFrame:"), UIScreen::mainScreen()->bounds()));
}

void UIViewController::setTitle(Ref<NSString> title) {
  title_ = title;
  navigationItem()->setTitle(std::move(title));
}

Ref<UINavigationItem> UIViewController::navigationItem() {
  if (!navigationItem_) {
    navigationItem_ = objc::create<UINavigationItem>();
    navigationItem_->setTitle(title_);
  }
  return navigationItem_;
}

Ref<UINavigationController> UIViewController::navigationController() const { return navigationController_.lock(); }

void UIViewController::setNavigationController(UINavigationController* nav) { navigationController_ = nav; }

void UIViewController::beginAppearance(bool animated) {
  Ref<UIViewController> keep(this);
  (void)view();  // loads it
  appearing_ = true;
  objc::msg(this, SEL_("viewWillAppear:"), animated);
}

void UIViewController::endAppearance(bool animated) { objc::msg(this, SEL_("viewDidAppear:"), animated); }

void UIViewController::beginDisappearance(bool animated) {
  Ref<UIViewController> keep(this);
  appearing_ = false;
  objc::msg(this, SEL_("viewWillDisappear:"), animated);
}

void UIViewController::endDisappearance(bool animated) { objc::msg(this, SEL_("viewDidDisappear:"), animated); }

std::string UIViewController::descriptionString() const {
  std::string d = NSObject::descriptionString();
  if (title_) d.insert(d.size() - 1, "; title = '" + title_->str() + "'");
  return d;
}
