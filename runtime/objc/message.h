#pragma once
/// \file
/// Typed message sends. A send looks the selector up along the receiver's
/// class chain and checks the C++ signature of the call against the
/// method's type encoding: a mismatch throws instead of calling through a
/// wrongly typed pointer. A send to nil answers the zero value, as on the
/// device.

#include <objc/NSObject.h>
#include <objc/encoding.h>

#include <string>
#include <utility>

namespace objc {

namespace detail {

template <class T>
Abi<T> toAbi(T&& v) {
  using U = std::remove_cvref_t<T>;
  if constexpr (std::is_same_v<U, std::nullptr_t>)
    return id();
  else if constexpr (IsRef<U>::value)
    return id(static_cast<NSObject*>(v.get()));
  else if constexpr (isObjectType<U>())
    return id(static_cast<NSObject*>(v));
  else
    return std::forward<T>(v);
}

template <class R>
R fromAbi(Abi<R>&& v) {
  using U = std::remove_cvref_t<R>;
  if constexpr (IsRef<U>::value)
    return cast<typename IsRef<U>::element>(v);
  else
    return std::move(v);
}

template <class T>
NSObject* receiver(const T& self) {
  if constexpr (IsRef<T>::value)
    return const_cast<NSObject*>(static_cast<const NSObject*>(self.get()));
  else
    return const_cast<NSObject*>(static_cast<const NSObject*>(self));
}

[[noreturn]] void throwUnrecognized(const NSObject* self, SEL sel);
[[noreturn]] void throwMismatch(const NSObject* self, SEL sel, const char* methodTypes, const char* callTypes);

template <class R, class... A>
R invoke(Method m, NSObject* obj, SEL sel, A&&... args) {
  static_assert(!std::is_pointer_v<R> || !isObjectType<R>(), "object results are returned as Ref<T>");
  const char* callTypes = methodEncoding<Abi<R>, Abi<A>...>();
  if (methodTypes(m) != callTypes) throwMismatch(obj, sel, methodTypes(m), callTypes);
  auto fn = reinterpret_cast<Abi<R> (*)(id, SEL, Abi<A>...)>(method_getImplementation(m));
  if constexpr (std::is_void_v<R>)
    fn(id(obj), sel, toAbi(std::forward<A>(args))...);
  else
    return fromAbi<R>(fn(id(obj), sel, toAbi(std::forward<A>(args))...));
}

}  // namespace detail

/// Sends sel to self with args and returns an R. Throws RuntimeError for an
/// unrecognised selector or a signature that does not match the method.
template <class R = void, class Self, class... A>
R msg(const Self& self, SEL sel, A&&... args) {
  NSObject* obj = detail::receiver(self);
  if (!obj) {
    if constexpr (std::is_void_v<R>)
      return;
    else
      return R{};
  }
  Method m = lookupMethod(object_getClass(obj), sel);
  if (!m) detail::throwUnrecognized(obj, sel);
  return detail::invoke<R>(m, obj, sel, std::forward<A>(args)...);
}

/// Sends sel starting the lookup at superclass (a [super ...] call).
template <class R = void, class Self, class... A>
R msgSuper(const Self& self, Class superclass, SEL sel, A&&... args) {
  NSObject* obj = detail::receiver(self);
  if (!obj) {
    if constexpr (std::is_void_v<R>)
      return;
    else
      return R{};
  }
  Method m = lookupMethod(superclass, sel);
  if (!m) detail::throwUnrecognized(obj, sel);
  return detail::invoke<R>(m, obj, sel, std::forward<A>(args)...);
}

/// `respondsToSelector:` without a send.
inline bool respondsTo(const NSObject* obj, SEL sel) {
  return obj && lookupMethod(object_getClass(obj), sel) != nullptr;
}

/// `isKindOfClass:` without a send.
inline bool isKind(const NSObject* obj, Class cls) {
  return obj && cls && class_isSubclassOf(object_getClass(obj), cls);
}

/// Exact class-name test, the way the device's code tells classes apart.
inline bool hasClassName(const NSObject* obj, const char* name) {
  return obj && std::string_view(object_getClassName(obj)) == name;
}

}  // namespace objc
