#pragma once
/// \file
/// A screen: it loads its view lazily and hears of its appearance. Every
/// life-cycle call (`loadView`, `viewDidLoad`, `viewWillAppear:` ...) is sent
/// through the runtime, so a subclass that registers or overrides one is
/// called where UIKit would call it.

#include <Foundation/NSString.h>
#include <UIKit/UIView.h>

class UINavigationController;

/// The title and bar contents a navigation controller shows for a screen.
class UINavigationItem : public NSObject {
 public:
  static Class classObject();
  UINavigationItem() = default;

  // Registered: "title", "setTitle:".
  [[nodiscard]] Ref<NSString> title() const { return title_; }
  void setTitle(Ref<NSString> title) { title_ = std::move(title); }

  [[nodiscard]] std::string descriptionString() const override;

 private:
  Ref<NSString> title_;
};

class UIViewController : public NSObject {
 public:
  static Class classObject();
  UIViewController() = default;

  // Registered: "initWithNibName:bundle:", and "init", which sends it with nil, nil.
  virtual id initWithNibNameBundle(Ref<NSString> nibName, id bundle);
  id initPlain();

  // Registered: "view", "setView:", "isViewLoaded".
  /// Loads the view on first use: `loadView`, then `viewDidLoad`.
  [[nodiscard]] Ref<UIView> view();
  void setView(Ref<UIView> view);
  [[nodiscard]] bool isViewLoaded() const noexcept { return static_cast<bool>(view_); }

  // Registered life-cycle methods; subclasses call the base for the default.
  /// A plain view the size of the screen.
  virtual void loadView();
  virtual void viewDidLoad() {}
  virtual void viewWillAppear(bool animated) {}
  virtual void viewDidAppear(bool animated) {}
  virtual void viewWillDisappear(bool animated) {}
  virtual void viewDidDisappear(bool animated) {}
  virtual void viewDidUnload() {}
  virtual void didReceiveMemoryWarning() {}
  /// Portrait only by default (orientation 1).
  virtual bool shouldAutorotateToInterfaceOrientation(NSInteger orientation) { return orientation == 1; }

  // Registered: "title", "setTitle:", "navigationItem", "navigationController".
  [[nodiscard]] Ref<NSString> title() const { return title_; }
  /// Also the navigation item's title, as on the device.
  void setTitle(Ref<NSString> title);
  [[nodiscard]] Ref<UINavigationItem> navigationItem();
  [[nodiscard]] Ref<UINavigationController> navigationController() const;

  /// Sets by the navigation controller that pushes this screen (weak).
  void setNavigationController(UINavigationController* nav);
  /// True between viewWillAppear: and viewWillDisappear:.
  [[nodiscard]] bool isAppearing() const noexcept { return appearing_; }

  /// Appearance calls, sent through the runtime. The containers and the
  /// hosts use these rather than sending the selectors themselves.
  void beginAppearance(bool animated);
  void endAppearance(bool animated);
  void beginDisappearance(bool animated);
  void endDisappearance(bool animated);

  [[nodiscard]] std::string descriptionString() const override;

 private:
  Ref<UIView> view_;
  Ref<NSString> title_;
  Ref<UINavigationItem> navigationItem_;
  Weak<UINavigationController> navigationController_;
  bool appearing_ = false;
};
