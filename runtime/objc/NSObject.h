#pragma once
/// \file
/// The root class. Every platform and product object derives from NSObject
/// and carries its runtime class (isa), so sends, class-name tests and
/// instance-variable lookups work on it as on the device.

#include <objc/runtime.h>

#include <atomic>
#include <string>
#include <typeinfo>

class NSObject : public objc::RefCounted {
 public:
  NSObject() = default;
  ~NSObject() override;

  static Class classObject();

  [[nodiscard]] Class isa() const noexcept { return isa_; }
  void setIsa(Class cls) noexcept { isa_ = cls; }

  /// The text "%@" prints. Subclasses describe themselves in their own terms.
  [[nodiscard]] virtual std::string descriptionString() const;
  /// Equality and hashing as `isEqual:` and `hash` answer them.
  [[nodiscard]] virtual bool isEqualTo(const NSObject& other) const { return this == &other; }
  [[nodiscard]] virtual size_t hashValue() const noexcept;

  // Runtime-registered behaviour of the root class.
  id init();
  bool respondsToSelector(SEL sel);
  bool isKindOfClass(Class cls);
  bool isMemberOfClass(Class cls);

 private:
  friend struct NSObjectWeakAccess;
  Class isa_ = nullptr;
  std::atomic<bool> weaklyReferenced_{false};
};

namespace objc {

/// Allocates an instance of T whose runtime class is cls (T's own by
/// default, or a runtime subclass of it). Like +alloc: the object still
/// needs its init method.
template <class T>
Ref<T> alloc(Class cls = T::classObject()) {
  if (!class_isSubclassOf(cls, T::classObject())) throw RuntimeError("alloc: class is not a kind of the C++ type");
  Ref<T> obj(new T());
  obj->setIsa(cls);
  return obj;
}

/// alloc + the C++ initialiser in one step for plain value objects whose
/// init is not replaceable.
template <class T, class... A>
Ref<T> create(A&&... args) {
  Ref<T> obj(new T(std::forward<A>(args)...));
  obj->setIsa(T::classObject());
  return obj;
}

/// A checked downcast: null for nil, throws for an object of another class.
/// The object as a T, or null: every message to a C++ method converts its
/// receiver, so an object of exactly that type skips the hierarchy walk.
template <class T, class U>
T* downcast(U* obj) noexcept {
  if (!obj) return nullptr;
  if (typeid(*obj) == typeid(T)) return static_cast<T*>(obj);
  return dynamic_cast<T*>(obj);
}

template <class T, class U>
Ref<T> cast(const Ref<U>& obj) {
  if (!obj) return nullptr;
  auto* p = downcast<T>(obj.get());
  if (!p)
    throw RuntimeError(std::string("object of class ") + object_getClassName(obj.get()) +
                       " is not of the expected type");
  return Ref<T>(p);
}
template <class T, class U>
T* cast(U* obj) {
  if (!obj) return nullptr;
  auto* p = downcast<T>(obj);
  if (!p)
    throw RuntimeError(std::string("object of class ") + object_getClassName(obj) + " is not of the expected type");
  return p;
}
/// A downcast that answers null for an object of another class.
template <class T, class U>
Ref<T> as(const Ref<U>& obj) {
  return Ref<T>(downcast<T>(obj.get()));
}

}  // namespace objc
