#pragma once
/// \file
/// Cydia Substrate's method replacement, as tweaks call it.

#include <objc/message.h>

#include <string>

/// Replaces the implementation of cls's instance method sel with replacement
/// and stores the implementation that was in place (own or inherited) into
/// *result. The superclass's own method is left untouched.
void MSHookMessageEx(Class cls, SEL sel, IMP replacement, IMP* result);

namespace substrate {

/// Why cls's method sel cannot take a replacement with the given (interned)
/// type encoding: no class, no such method, or other types. Empty when it
/// can.
std::string hookRefusal(Class cls, SEL sel, const char* types);

/// Typed form that never throws: installs the replacement and fills the
/// saved-implementation pointer of the same type, or leaves both the class
/// and the pointer alone and answers why (empty on success).
template <class R, class... A>
[[nodiscard]] std::string tryHookMessage(Class cls, SEL sel, R (*replacement)(id, SEL, A...),
                                         R (**saved)(id, SEL, A...)) {
  std::string refusal = hookRefusal(cls, sel, objc::methodEncoding<R, A...>());
  if (!refusal.empty()) return refusal;
  IMP old = nullptr;
  MSHookMessageEx(cls, sel, reinterpret_cast<IMP>(replacement), &old);
  *saved = reinterpret_cast<R (*)(id, SEL, A...)>(old);
  return refusal;
}

/// Typed form: checks that the replacement's signature matches the method
/// being replaced, and fills the saved-implementation pointer of the same
/// type. Throws objc::RuntimeError on a mismatch or a missing method.
template <class R, class... A>
void hookMessage(Class cls, SEL sel, R (*replacement)(id, SEL, A...), R (**saved)(id, SEL, A...)) {
  if (auto refusal = tryHookMessage(cls, sel, replacement, saved); !refusal.empty())
    throw objc::RuntimeError("MSHookMessageEx: " + refusal);
}

}  // namespace substrate
