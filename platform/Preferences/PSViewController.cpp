#include <Preferences/PSViewController.h>

#include <objc/ClassBuilder.h>

Class PSViewController::classObject() {
  static Class cls = objc::ClassBuilder<PSViewController, UIViewController>("PSViewController")
                         .method<&PSViewController::specifier>("specifier")
                         .method<&PSViewController::setSpecifier>("setSpecifier:")
                         .method<&PSViewController::parentController>("parentController")
                         .method<&PSViewController::setParentController>("setParentController:")
                         .build();
  return cls;
}
OBJC_REGISTER_CLASS(PSViewController);

void PSViewController::setSpecifier(Ref<PSSpecifier> specifier) { specifier_ = std::move(specifier); }
