#pragma once
/// \file
/// Objective-C type encodings derived from C++ types, so that every send and
/// every method definition can be checked against each other.

#include <objc/Ref.h>
#include <objc/runtime.h>

#include <cstdint>
#include <functional>
#include <string>
#include <type_traits>

namespace objc {

template <class T>
struct TypeEncoding;  // specialise for structs: {Name=fields}

namespace detail {
template <class T>
struct IsRef : std::false_type {};
template <class T>
struct IsRef<Ref<T>> : std::true_type {
  using element = T;
};
template <class T>
struct IsFunction : std::false_type {};
template <class R, class... A>
struct IsFunction<std::function<R(A...)>> : std::true_type {};
}  // namespace detail

/// True for the C++ types that travel as objects ('@').
template <class T>
constexpr bool isObjectType() {
  using U = std::remove_cvref_t<T>;
  if constexpr (detail::IsRef<U>::value) return true;
  if constexpr (std::is_pointer_v<U>) {
    using P = std::remove_cv_t<std::remove_pointer_t<U>>;
    if constexpr (std::is_same_v<P, objc_selector> || std::is_same_v<P, objc_class> || !std::is_class_v<P>)
      return false;
    else
      return std::is_base_of_v<NSObject, P> || std::is_same_v<P, NSObject>;
  }
  return false;
}

template <class T>
std::string encode();

namespace detail {
template <class R, class... A>
std::string encodeBlock(std::function<R(A...)>*) {
  return "@?<" + encode<R>() + "@?" + (encode<A>() + ... + std::string()) + ">";
}
}  // namespace detail

template <class T>
std::string encode() {
  using U = std::remove_cvref_t<T>;
  if constexpr (std::is_void_v<U>)
    return "v";
  else if constexpr (isObjectType<U>() || std::is_same_v<U, std::nullptr_t>)
    return "@";
  else if constexpr (std::is_same_v<U, SEL>)
    return ":";
  else if constexpr (std::is_same_v<U, Class>)
    return "#";
  else if constexpr (std::is_same_v<U, bool>)
    return "B";
  else if constexpr (std::is_same_v<U, const char*> || std::is_same_v<U, char*>)
    return "*";
  else if constexpr (std::is_enum_v<U>)
    return encode<std::underlying_type_t<U>>();
  else if constexpr (std::is_same_v<U, float>)
    return "f";
  else if constexpr (std::is_same_v<U, double>)
    return "d";
  else if constexpr (std::is_integral_v<U>) {
    if constexpr (sizeof(U) == 1)
      return std::is_signed_v<U> ? "c" : "C";
    else if constexpr (sizeof(U) == 2)
      return std::is_signed_v<U> ? "s" : "S";
    else if constexpr (sizeof(U) == 4)
      return std::is_signed_v<U> ? "i" : "I";
    else
      return std::is_signed_v<U> ? "q" : "Q";
  } else if constexpr (detail::IsFunction<U>::value)
    return detail::encodeBlock(static_cast<U*>(nullptr));
  else
    return TypeEncoding<U>::get();
}

/// The encoding of a method: result, receiver, selector, arguments ("v@:").
template <class R, class... A>
const char* methodEncoding() {
  static const char* types = internTypes(encode<R>() + "@:" + (encode<A>() + ... + std::string()));
  return types;
}

/// The calling-convention type of T: every object type travels as id.
template <class T>
using Abi = std::conditional_t<isObjectType<T>() || std::is_same_v<std::remove_cvref_t<T>, std::nullptr_t>, id,
                               std::remove_cvref_t<T>>;

}  // namespace objc
