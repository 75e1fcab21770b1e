#pragma once
/// \file
/// Points, sizes and rectangles in points (CGFloat is double).

#include <objc/encoding.h>

#include <string>

using CGFloat = double;

struct CGPoint {
  CGFloat x = 0, y = 0;
  bool operator==(const CGPoint&) const = default;
};
struct CGSize {
  CGFloat width = 0, height = 0;
  bool operator==(const CGSize&) const = default;
};
struct CGRect {
  CGPoint origin;
  CGSize size;
  bool operator==(const CGRect&) const = default;
};

inline CGRect CGRectMake(CGFloat x, CGFloat y, CGFloat w, CGFloat h) { return {{x, y}, {w, h}}; }
inline CGSize CGSizeMake(CGFloat w, CGFloat h) { return {w, h}; }
inline CGPoint CGPointMake(CGFloat x, CGFloat y) { return {x, y}; }
inline CGFloat CGRectGetMaxX(const CGRect& r) { return r.origin.x + r.size.width; }
inline CGFloat CGRectGetMaxY(const CGRect& r) { return r.origin.y + r.size.height; }
inline CGFloat CGRectGetWidth(const CGRect& r) { return r.size.width; }
inline CGFloat CGRectGetHeight(const CGRect& r) { return r.size.height; }
constexpr CGRect CGRectZero{};

template <>
struct objc::TypeEncoding<CGPoint> {
  static std::string get() { return "{CGPoint=dd}"; }
};
template <>
struct objc::TypeEncoding<CGSize> {
  static std::string get() { return "{CGSize=dd}"; }
};
template <>
struct objc::TypeEncoding<CGRect> {
  static std::string get() { return "{CGRect={CGPoint=dd}{CGSize=dd}}"; }
};
