#include <Foundation/NSString.h>

#include <Foundation/NSArray.h>
#include <Foundation/NumericText.h>
#include <objc/ClassBuilder.h>

#include <unicode/uchar.h>
#include <unicode/ustring.h>

#include <algorithm>
#include <vector>

namespace {

uint64_t lengthOf(id self, SEL) { return objc::cast<NSString>(self.get())->length(); }
const char* utf8Of(id self, SEL) { return objc::cast<NSString>(self.get())->UTF8String(); }
bool boolOf(id self, SEL) { return objc::cast<NSString>(self.get())->boolValue(); }
int64_t integerOf(id self, SEL) { return objc::cast<NSString>(self.get())->integerValue(); }
int32_t intOf(id self, SEL) { return objc::cast<NSString>(self.get())->intValue(); }
double doubleOf(id self, SEL) { return objc::cast<NSString>(self.get())->doubleValue(); }
float floatOf(id self, SEL) { return objc::cast<NSString>(self.get())->floatValue(); }
bool equalsString(id self, SEL, id other) {
  auto* s = objc::cast<NSString>(self.get());
  return s->isEqualToString(dynamic_cast<const NSString*>(other.get()));
}
bool prefixOf(id self, SEL, id other) {
  auto* p = dynamic_cast<const NSString*>(other.get());
  return p && objc::cast<NSString>(self.get())->hasPrefix(p->str());
}
bool suffixOf(id self, SEL, id other) {
  auto* p = dynamic_cast<const NSString*>(other.get());
  return p && objc::cast<NSString>(self.get())->hasSuffix(p->str());
}
int64_t compareCaseless(id self, SEL, id other) {
  auto* o = dynamic_cast<const NSString*>(other.get());
  if (!o) return NSOrderedDescending;
  return objc::cast<NSString>(self.get())->caseInsensitiveCompare(*o);
}
Ref<NSArray> components(id self, SEL, id separator) {
  auto* sep = dynamic_cast<const NSString*>(separator.get());
  return objc::cast<NSString>(self.get())->componentsSeparatedByString(sep ? sep->str() : std::string_view());
}

std::vector<UChar> toUtf16(std::string_view s) {
  std::vector<UChar> out(s.size() + 1);
  int32_t length = 0;
  UErrorCode status = U_ZERO_ERROR;
  u_strFromUTF8WithSub(out.data(), int32_t(out.size()), &length, s.data(), int32_t(s.size()), 0xFFFD, nullptr, &status);
  out.resize(U_SUCCESS(status) ? size_t(length) : 0);
  return out;
}

}  // namespace

Class NSString::classObject() {
  static Class cls = objc::ClassBuilder<NSString, NSObject>("NSString")
                         .function("length", &lengthOf)
                         .function("UTF8String", &utf8Of)
                         .function("boolValue", &boolOf)
                         .function("integerValue", &integerOf)
                         .function("intValue", &intOf)
                         .function("doubleValue", &doubleOf)
                         .function("floatValue", &floatOf)
                         .function("isEqualToString:", &equalsString)
                         .function("hasPrefix:", &prefixOf)
                         .function("hasSuffix:", &suffixOf)
                         .function("caseInsensitiveCompare:", &compareCaseless)
                         .function("componentsSeparatedByString:", &components)
                         .build();
  return cls;
}
OBJC_REGISTER_CLASS(NSString);

Ref<NSString> NSString::stringWithUTF8String(std::string_view utf8) {
  return objc::create<NSString>(std::string(utf8));
}

uint64_t NSString::length() const noexcept {
  // Every UTF-8 sequence is one UTF-16 unit except the four-byte ones
  // (outside the Basic Multilingual Plane), which are a surrogate pair.
  uint64_t units = 0;
  for (unsigned char c : s_) {
    if ((c & 0xC0) != 0x80) ++units;
    if (c >= 0xF0) ++units;
  }
  return units;
}

Ref<NSArray> NSString::componentsSeparatedByString(std::string_view separator) const {
  std::vector<id> parts;
  if (separator.empty()) {
    parts.emplace_back(NSStr(s_));
    return NSArray::arrayWithObjects(std::move(parts));
  }
  std::string_view rest(s_);
  for (size_t at; (at = rest.find(separator)) != std::string_view::npos; rest.remove_prefix(at + separator.size()))
    parts.emplace_back(NSStr(rest.substr(0, at)));
  parts.emplace_back(NSStr(rest));
  return NSArray::arrayWithObjects(std::move(parts));
}

int NSString::caseInsensitiveCompare(const NSString& other) const noexcept {
  const std::string& a = s_;
  const std::string& b = other.s_;
  bool ascii = true;
  for (unsigned char c : a) ascii = ascii && c < 0x80;
  for (unsigned char c : b) ascii = ascii && c < 0x80;
  int r = 0;
  if (ascii) {
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n && r == 0; ++i) {
      const int x = u_tolower(static_cast<unsigned char>(a[i]));
      const int y = u_tolower(static_cast<unsigned char>(b[i]));
      r = x - y;
    }
    if (r == 0) r = a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
  } else {
    const auto ua = toUtf16(a), ub = toUtf16(b);
    UErrorCode status = U_ZERO_ERROR;
    r = u_strCaseCompare(ua.data(), int32_t(ua.size()), ub.data(), int32_t(ub.size()), U_FOLD_CASE_DEFAULT, &status);
  }
  return r < 0 ? -1 : r > 0 ? 1 : 0;
}

bool NSString::boolValue() const noexcept { return foundation::textBoolValue(s_); }
int64_t NSString::integerValue() const noexcept { return foundation::textIntegerValue(s_); }
int32_t NSString::intValue() const noexcept { return foundation::textIntValue(s_); }
double NSString::doubleValue() const noexcept { return foundation::textDoubleValue(s_); }

bool NSString::isEqualTo(const NSObject& other) const {
  auto* s = dynamic_cast<const NSString*>(&other);
  return s && s->s_ == s_;
}
