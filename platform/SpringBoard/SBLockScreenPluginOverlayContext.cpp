#include <SpringBoard/SBLockScreenPluginOverlayContext.h>

#include <objc/ClassBuilder.h>

Class SBLockScreenPluginOverlayContext::classObject() {
  using Context = SBLockScreenPluginOverlayContext;
  static Class cls =
      objc::ClassBuilder<Context, NSObject>("SBLockScreenPluginOverlayContext")
          .method<&Context::initWithPluginName>("initWithPluginName:pluginController:lockScreenViewController:")
          .method<&Context::pluginName>("pluginName")
          .method<&Context::pluginController>("pluginController")
          .method<&Context::lockScreenViewController>("lockScreenViewController")
          .build();
  return cls;
}
OBJC_REGISTER_CLASS(SBLockScreenPluginOverlayContext);

id SBLockScreenPluginOverlayContext::initWithPluginName(Ref<NSString> pluginName, id pluginController,
                                                        id lockScreenViewController) {
  pluginName_ = std::move(pluginName);
  pluginController_ = std::move(pluginController);
  viewController_ = std::move(lockScreenViewController);
  return id(this);
}

Ref<NSString> SBLockScreenPluginOverlayContext::underlayRequesterName() const {
  return NSStr(std::string(kRequesterPrefix) + "-" + (pluginName_ ? pluginName_->str() : std::string()));
}

id SBLockScreenPluginOverlayContext::lockScreenView() const {
  if (!objc::respondsTo(viewController_.get(), SEL_("lockScreenView"))) return nullptr;
  return objc::msg<id>(viewController_, SEL_("lockScreenView"));
}

void SBLockScreenPluginOverlayContext::presentOverlay() {
  if (presented_) return;
  presented_ = true;
  if (id view = lockScreenView())
    objc::msg(view, SEL_("_addLockContentUnderlayWithRequester:"), underlayRequesterName());
}

void SBLockScreenPluginOverlayContext::dismissOverlay() {
  if (!presented_) return;
  presented_ = false;
  if (id view = lockScreenView())
    objc::msg(view, SEL_("_removeLockContentUnderlayWithRequester:"), underlayRequesterName());
}

std::string SBLockScreenPluginOverlayContext::descriptionString() const {
  return "<SBLockScreenPluginOverlayContext plugin=" + (pluginName_ ? pluginName_->str() : std::string("(null)")) + ">";
}
