#pragma once
/// \file
/// The base of the framework's screens: the specifier that opened the
/// screen and the screen it was pushed from.

#include <Preferences/PSSpecifier.h>
#include <UIKit/UIViewController.h>
#include <objc/Weak.h>

class PSViewController : public UIViewController {
 public:
  static Class classObject();
  PSViewController() = default;

  // Registered: "specifier", "setSpecifier:", "parentController", "setParentController:".
  [[nodiscard]] Ref<PSSpecifier> specifier() const { return specifier_; }
  virtual void setSpecifier(Ref<PSSpecifier> specifier);
  /// The screen that pushed this one (held weakly).
  [[nodiscard]] id parentController() const { return parent_.lock(); }
  void setParentController(id parent) { parent_ = parent; }

 private:
  Ref<PSSpecifier> specifier_;
  Weak<NSObject> parent_;
};
