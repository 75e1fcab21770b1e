#pragma once
/// \file
/// Registers a C++ class with the runtime as one short list: its name, its
/// superclass, its replaceable methods (from member functions) and its named
/// instance variables.
///
///   Class Foo::classObject() {
///     static Class cls = objc::ClassBuilder<Foo, NSObject>("Foo")
///         .method<&Foo::bar>("bar:")
///         .ivar<&Foo::_baz>("_baz")
///         .build();
///     return cls;
///   }
///   OBJC_REGISTER_CLASS(Foo)

#include <objc/message.h>

namespace objc {

namespace detail {

template <class T>
std::remove_cvref_t<T> fromAbiArg(Abi<T>&& v) {
  using U = std::remove_cvref_t<T>;
  if constexpr (IsRef<U>::value)
    return cast<typename IsRef<U>::element>(v);
  else if constexpr (isObjectType<U>())
    return cast<std::remove_pointer_t<U>>(v.get());
  else
    return std::move(v);
}

template <class R>
Abi<R> resultToAbi(R&& v) {
  return toAbi(std::forward<R>(v));
}

template <auto M>
struct MemberThunk;

template <class C, class R, class... A, R (C::*M)(A...)>
struct MemberThunk<M> {
  using Owner = C;
  static Abi<R> call(id self, SEL, Abi<A>... args) {
    auto* obj = cast<C>(self.get());
    if constexpr (std::is_void_v<R>)
      (obj->*M)(fromAbiArg<A>(std::move(args))...);
    else
      return resultToAbi<R>((obj->*M)(fromAbiArg<A>(std::move(args))...));
  }
  static const char* types() { return methodEncoding<Abi<R>, Abi<A>...>(); }
};

template <class C, class R, class... A, R (C::*M)(A...) const>
struct MemberThunk<M> {
  using Owner = C;
  static Abi<R> call(id self, SEL, Abi<A>... args) {
    auto* obj = cast<C>(self.get());
    if constexpr (std::is_void_v<R>)
      (obj->*M)(fromAbiArg<A>(std::move(args))...);
    else
      return resultToAbi<R>((obj->*M)(fromAbiArg<A>(std::move(args))...));
  }
  static const char* types() { return methodEncoding<Abi<R>, Abi<A>...>(); }
};

template <auto P>
struct MemberIvar;
template <class C, class T, T C::*P>
struct MemberIvar<P> {
  static void* address(NSObject* obj) { return &(cast<C>(obj)->*P); }
  static id object(NSObject* obj) {
    if constexpr (IsRef<T>::value)
      return id(static_cast<NSObject*>((cast<C>(obj)->*P).get()));
    else
      return id();
  }
  static IvarDescription describe(const char* name) {
    return {name, encode<T>(), &address, isObjectType<T>() ? &object : nullptr};
  }
};

}  // namespace detail

template <class C, class Super>
class ClassBuilder {
 public:
  explicit ClassBuilder(const char* name) : cls_(objc_allocateClassPair(Super::classObject(), name)) {
    if (!cls_) throw RuntimeError(std::string("class registered twice: ") + name);
  }

  /// A method implemented by a member function of C (or of a base of C).
  template <auto M>
  ClassBuilder& method(const char* selector) {
    using Thunk = detail::MemberThunk<M>;
    static_assert(std::is_base_of_v<typename Thunk::Owner, C>, "method of another class");
    class_addMethod(cls_, sel_registerName(selector), reinterpret_cast<IMP>(&Thunk::call), Thunk::types());
    return *this;
  }

  /// A method implemented by a free function with the runtime's calling
  /// convention: fn(id self, SEL _cmd, args...).
  template <class R, class... A>
  ClassBuilder& function(const char* selector, R (*fn)(id, SEL, A...)) {
    class_addMethod(cls_, sel_registerName(selector), reinterpret_cast<IMP>(fn), methodEncoding<R, A...>());
    return *this;
  }

  /// A named instance variable backed by a data member of C.
  template <auto P>
  ClassBuilder& ivar(const char* name) {
    class_addIvarDescription(cls_, detail::MemberIvar<P>::describe(name));
    return *this;
  }

  Class build() {
    if constexpr (std::is_default_constructible_v<C> && !std::is_abstract_v<C>)
      class_setInstanceMaker(cls_, []() -> NSObject* { return new C(); });
    objc_registerClassPair(cls_);
    return cls_;
  }

 private:
  Class cls_;
};

/// Registers a class when its library loads, so objc_getClass finds it by
/// name before any instance exists.
struct ClassRegistrar {
  explicit ClassRegistrar(Class (*registerFn)()) { registerFn(); }
};

}  // namespace objc

#define OBJC_REGISTER_CLASS(T) \
  static const ::objc::ClassRegistrar qp_registrar_##T { &T::classObject }
