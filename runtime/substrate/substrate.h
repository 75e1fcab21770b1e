#pragma once
/// \file
/// Cydia Substrate's method replacement, as tweaks call it.

#include <objc/message.h>

/// Replaces the implementation of cls's instance method sel with replacement
/// and stores the implementation that was in place (own or inherited) into
/// *result. The superclass's own method is left untouched.
void MSHookMessageEx(Class cls, SEL sel, IMP replacement, IMP* result);

namespace substrate {

/// Typed form: checks that the replacement's signature matches the method
/// being replaced, and fills the saved-implementation pointer of the same
/// type. Throws objc::RuntimeError on a mismatch or a missing method.
template <class R, class... A>
void hookMessage(Class cls, SEL sel, R (*replacement)(id, SEL, A...), R (**saved)(id, SEL, A...)) {
  Method m = class_getInstanceMethod(cls, sel);
  if (!m) throw objc::RuntimeError(std::string("MSHookMessageEx: no method ") + sel_getName(sel));
  if (method_getTypeEncoding(m) != objc::methodEncoding<R, A...>())
    throw objc::RuntimeError(std::string("MSHookMessageEx: replacement for ") + sel_getName(sel) +
                             " does not match the method's type encoding " + method_getTypeEncoding(m));
  IMP old = nullptr;
  MSHookMessageEx(cls, sel, reinterpret_cast<IMP>(replacement), &old);
  *saved = reinterpret_cast<R (*)(id, SEL, A...)>(old);
}

}  // namespace substrate
