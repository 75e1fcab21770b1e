#include <Foundation/NSNumber.h>

#include <objc/ClassBuilder.h>

#include <charconv>
#include <cmath>
#include <limits>

namespace {

/// A real truncated toward zero and held inside the 64-bit range (NaN
/// reads as 0), where a plain cast would be undefined.
int64_t clampToInt64(double d) noexcept {
  if (std::isnan(d)) return 0;
  if (d >= 9223372036854775808.0) return std::numeric_limits<int64_t>::max();
  if (d < -9223372036854775808.0) return std::numeric_limits<int64_t>::min();
  return static_cast<int64_t>(d);
}

uint64_t clampToUInt64(double d) noexcept {
  if (std::isnan(d)) return 0;
  if (d < 0) return static_cast<uint64_t>(clampToInt64(d));
  if (d >= 18446744073709551616.0) return std::numeric_limits<uint64_t>::max();
  return static_cast<uint64_t>(d);
}

const NSNumber* self_(const id& self) { return objc::cast<NSNumber>(self.get()); }
bool boolOf(id self, SEL) { return self_(self)->boolValue(); }
int64_t integerOf(id self, SEL) { return self_(self)->integerValue(); }
uint64_t unsignedOf(id self, SEL) { return self_(self)->unsignedIntegerValue(); }
int32_t intOf(id self, SEL) { return self_(self)->intValue(); }
double doubleOf(id self, SEL) { return self_(self)->doubleValue(); }
float floatOf(id self, SEL) { return self_(self)->floatValue(); }

}  // namespace

Class NSNumber::classObject() {
  static Class cls = objc::ClassBuilder<NSNumber, NSObject>("NSNumber")
                         .function("boolValue", &boolOf)
                         .function("integerValue", &integerOf)
                         .function("unsignedIntegerValue", &unsignedOf)
                         .function("intValue", &intOf)
                         .function("doubleValue", &doubleOf)
                         .function("floatValue", &floatOf)
                         .build();
  return cls;
}
OBJC_REGISTER_CLASS(NSNumber);

Ref<NSNumber> NSNumber::numberWithBool(bool v) {
  auto n = objc::create<NSNumber>();
  n->kind_ = Kind::Boolean;
  n->v_.i = v ? 1 : 0;
  return n;
}

Ref<NSNumber> NSNumber::numberWithInteger(int64_t v) {
  auto n = objc::create<NSNumber>();
  n->kind_ = Kind::Integer;
  n->v_.i = v;
  return n;
}

Ref<NSNumber> NSNumber::numberWithUnsignedInteger(uint64_t v) {
  auto n = objc::create<NSNumber>();
  n->kind_ = Kind::Unsigned;
  n->v_.u = v;
  return n;
}

Ref<NSNumber> NSNumber::numberWithDouble(double v) {
  auto n = objc::create<NSNumber>();
  n->kind_ = Kind::Real;
  n->v_.d = v;
  return n;
}

Ref<NSNumber> NSNumber::numberWithFloat(float v) {
  auto n = numberWithDouble(v);
  n->single_ = true;
  return n;
}

bool NSNumber::boolValue() const noexcept {
  switch (kind_) {
    case Kind::Real: return v_.d != 0.0;  // 0.5 is true; NaN too, as it is non-zero
    case Kind::Unsigned: return v_.u != 0;
    default: return v_.i != 0;
  }
}

int64_t NSNumber::integerValue() const noexcept {
  switch (kind_) {
    case Kind::Real: return clampToInt64(v_.d);
    case Kind::Unsigned: return static_cast<int64_t>(v_.u);
    default: return v_.i;
  }
}

uint64_t NSNumber::unsignedIntegerValue() const noexcept {
  switch (kind_) {
    case Kind::Real: return clampToUInt64(v_.d);
    case Kind::Unsigned: return v_.u;
    default: return static_cast<uint64_t>(v_.i);
  }
}

int32_t NSNumber::intValue() const noexcept { return static_cast<int32_t>(integerValue()); }

double NSNumber::doubleValue() const noexcept {
  switch (kind_) {
    case Kind::Real: return v_.d;
    case Kind::Unsigned: return static_cast<double>(v_.u);
    default: return static_cast<double>(v_.i);
  }
}

std::string NSNumber::descriptionString() const {
  char buf[64];
  std::to_chars_result r{};
  switch (kind_) {
    case Kind::Real:
      if (single_)
        r = std::to_chars(buf, buf + sizeof buf, static_cast<float>(v_.d));
      else
        r = std::to_chars(buf, buf + sizeof buf, v_.d);
      break;
    case Kind::Unsigned: r = std::to_chars(buf, buf + sizeof buf, v_.u); break;
    default: r = std::to_chars(buf, buf + sizeof buf, v_.i); break;
  }
  return std::string(buf, r.ptr);
}

bool NSNumber::isEqualTo(const NSObject& other) const {
  auto* o = dynamic_cast<const NSNumber*>(&other);
  if (!o) return false;
  // Numbers compare by value across kinds (@YES equals @1, @1 equals @1.0).
  const bool realA = kind_ == Kind::Real, realB = o->kind_ == Kind::Real;
  if (realA && realB) return v_.d == o->v_.d;
  if (realA || realB) {
    const NSNumber& r = realA ? *this : *o;
    const NSNumber& n = realA ? *o : *this;
    const double d = r.v_.d;
    if (std::trunc(d) != d) return false;
    if (n.kind_ == Kind::Unsigned) return d >= 0 && d < 18446744073709551616.0 && static_cast<uint64_t>(d) == n.v_.u;
    return d >= -9223372036854775808.0 && d < 9223372036854775808.0 && static_cast<int64_t>(d) == n.v_.i;
  }
  const bool negA = kind_ != Kind::Unsigned && v_.i < 0, negB = o->kind_ != Kind::Unsigned && o->v_.i < 0;
  return negA == negB && unsignedIntegerValue() == o->unsignedIntegerValue();
}

size_t NSNumber::hashValue() const noexcept {
  // Equal numbers hash alike whatever their kind: integral reals hash as
  // the integer they hold.
  if (kind_ == Kind::Real) {
    const double d = v_.d;
    if (std::trunc(d) == d && d >= -9223372036854775808.0 && d < 9223372036854775808.0)
      return std::hash<uint64_t>()(static_cast<uint64_t>(static_cast<int64_t>(d)));
    if (std::trunc(d) == d && d >= 0 && d < 18446744073709551616.0)
      return std::hash<uint64_t>()(static_cast<uint64_t>(d));
    return std::hash<double>()(d);
  }
  return std::hash<uint64_t>()(unsignedIntegerValue());
}
