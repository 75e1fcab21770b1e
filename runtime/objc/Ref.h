#pragma once
/// \file
/// Strong references to runtime objects. Objects carry their own count, as
/// Objective-C objects do, so a raw pointer handed across the runtime can be
/// re-wrapped into a strong reference at any time.

#include <atomic>
#include <cstddef>
#include <utility>

namespace objc {

/// Intrusive reference count; every runtime object derives from it.
class RefCounted {
 public:
  RefCounted() = default;
  RefCounted(const RefCounted&) = delete;
  RefCounted& operator=(const RefCounted&) = delete;
  virtual ~RefCounted() = default;

  void retain() const noexcept { count_.fetch_add(1, std::memory_order_relaxed); }
  void release() const noexcept {
    if (count_.fetch_sub(1, std::memory_order_acq_rel) == 1) delete this;
  }
  [[nodiscard]] long retainCount() const noexcept { return count_.load(std::memory_order_relaxed); }
  /// Asks for the lines of the objects this one holds, a few steps before a
  /// run over many objects reaches it. Nothing by default.
  virtual void prefetchHeld() const noexcept {}
  /// Retains unless the count already reached zero (the object is being
  /// destroyed); weak references load through this.
  bool tryRetain() const noexcept {
    long c = count_.load(std::memory_order_relaxed);
    while (c > 0)
      if (count_.compare_exchange_weak(c, c + 1, std::memory_order_acquire, std::memory_order_relaxed)) return true;
    return false;
  }

 private:
  mutable std::atomic<long> count_{0};
};

/// A strong reference (the default ownership of the device's object
/// references). Null is a valid value, like nil.
template <class T>
class Ref {
 public:
  using element_type = T;

  Ref() noexcept = default;
  Ref(std::nullptr_t) noexcept {}  // NOLINT(google-explicit-constructor): nil converts freely
  Ref(T* p) noexcept : p_(p) {     // NOLINT(google-explicit-constructor): raw runtime pointers re-wrap
    if (p_) p_->retain();
  }
  Ref(const Ref& o) noexcept : Ref(o.p_) {}
  Ref(Ref&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
  template <class U>
  Ref(const Ref<U>& o) noexcept : Ref(static_cast<T*>(o.get())) {}  // NOLINT(google-explicit-constructor)
  template <class U>
  Ref(Ref<U>&& o) noexcept : p_(static_cast<T*>(o.leak())) {}  // NOLINT(google-explicit-constructor)
  ~Ref() {
    if (p_) p_->release();
  }

  Ref& operator=(const Ref& o) noexcept {  // NOLINT(bugprone-unhandled-self-assignment): copy-and-swap
    Ref(o).swap(*this);
    return *this;
  }
  Ref& operator=(Ref&& o) noexcept {
    Ref(std::move(o)).swap(*this);
    return *this;
  }

  void swap(Ref& o) noexcept { std::swap(p_, o.p_); }
  [[nodiscard]] T* get() const noexcept { return p_; }
  T* operator->() const noexcept { return p_; }
  T& operator*() const noexcept { return *p_; }
  explicit operator bool() const noexcept { return p_ != nullptr; }
  /// Gives up ownership without releasing (the caller takes the count).
  T* leak() noexcept { return std::exchange(p_, nullptr); }

  friend bool operator==(const Ref& a, const Ref& b) noexcept { return a.p_ == b.p_; }
  friend bool operator==(const Ref& a, std::nullptr_t) noexcept { return a.p_ == nullptr; }

 private:
  T* p_ = nullptr;
};

/// Asks for the lines of objects whose counts are about to change. A count
/// changes by a locked write that waits for its object's line, so objects
/// last touched a whole list ago would otherwise be fetched one by one.
template <class... R>
inline void prefetchCounts(const R&... refs) noexcept {
  (__builtin_prefetch(refs.get(), 1, 0), ...);
}

/// How far ahead a run over many objects asks for them: each object's own
/// lines this many steps before it is reached, and what it holds half as many.
inline constexpr size_t kReadAhead = 8;

/// Asks for the objects a run over refs reaches after position i.
template <class Vector>
inline void readAhead(const Vector& refs, size_t i) noexcept {
  const size_t n = refs.size();
  if (i + kReadAhead < n) {
    // An object with a few fields spans two lines; its fields are read next.
    const auto* ahead = reinterpret_cast<const char*>(refs[i + kReadAhead].get());
    __builtin_prefetch(ahead, 1, 0);
    __builtin_prefetch(ahead + 64, 1, 0);
  }
  if (i + kReadAhead / 2 < n)
    if (const auto* held = refs[i + kReadAhead / 2].get()) held->prefetchHeld();
}

/// Releases a run of references in order, fetching a few ahead. The run is
/// taken over first, so a release that reaches back into its owner finds it
/// already emptied.
template <class Vector>
void releaseAll(Vector& refs) noexcept {
  Vector doomed = std::move(refs);
  refs.clear();
  const size_t n = doomed.size();
  for (size_t i = 0; i < n; ++i) {
    readAhead(doomed, i);
    [[maybe_unused]] const typename Vector::value_type gone = std::move(doomed[i]);
  }
}

/// Makes a new object and returns the only strong reference to it.
template <class T, class... A>
Ref<T> make_ref(A&&... args) {
  return Ref<T>(new T(std::forward<A>(args)...));
}

}  // namespace objc

/// Product and platform code name strong references simply Ref<T>.
using objc::Ref;
