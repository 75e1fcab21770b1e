#pragma once
/// \file
/// Zeroing weak references, as `__weak` and the device's weak properties
/// give them: a Weak never keeps its object alive, and reads as nil once the
/// object is gone. Delegates and superviews are held this way.

#include <objc/NSObject.h>

#include <memory>

namespace objc {

namespace detail {
/// One per weakly referenced object, shared by every Weak to it; the
/// object's destructor clears it.
struct WeakBox {
  NSObject* object;
};
std::shared_ptr<WeakBox> weakBoxFor(NSObject* obj);
/// A strong reference to the box's object, or nil once it is being destroyed.
id loadWeak(const std::shared_ptr<WeakBox>& box);
}  // namespace detail

template <class T>
class Weak {
 public:
  Weak() noexcept = default;
  Weak(std::nullptr_t) noexcept {}  // NOLINT(google-explicit-constructor)
  Weak(T* obj) { assign(obj); }     // NOLINT(google-explicit-constructor)
  template <class U>
  Weak(const Ref<U>& obj) {  // NOLINT(google-explicit-constructor)
    assign(static_cast<T*>(obj.get()));
  }

  Weak& operator=(T* obj) {
    assign(obj);
    return *this;
  }
  template <class U>
  Weak& operator=(const Ref<U>& obj) {
    assign(static_cast<T*>(obj.get()));
    return *this;
  }
  Weak& operator=(std::nullptr_t) noexcept {
    box_.reset();
    return *this;
  }

  /// The object while it lives, else nil.
  [[nodiscard]] Ref<T> lock() const {
    if (!box_) return nullptr;
    id obj = detail::loadWeak(box_);
    return Ref<T>(static_cast<T*>(obj.get()));
  }
  explicit operator bool() const { return static_cast<bool>(lock()); }

 private:
  void assign(T* obj) { box_ = obj ? detail::weakBoxFor(static_cast<NSObject*>(obj)) : nullptr; }
  std::shared_ptr<detail::WeakBox> box_;
};

}  // namespace objc

using objc::Weak;
