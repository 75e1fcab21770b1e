#include <Foundation/NSURL.h>

#include <objc/ClassBuilder.h>

#include <array>
#include <cctype>
#include <string_view>

namespace {

// A scheme is ASCII whatever the process's locale says a letter is.
bool asciiLetter(unsigned char c) { return (c | 0x20) >= 'a' && (c | 0x20) <= 'z'; }
bool asciiDigit(unsigned char c) { return c >= '0' && c <= '9'; }

/// The characters a URL never holds unescaped: controls, space, non-ASCII
/// and "<>\"\\^`{|}", one look each for a text checked whole.
constexpr std::array<bool, 256> kNeverInURL = [] {
  std::array<bool, 256> never{};
  for (int c = 0; c < 256; ++c) never[c] = c <= ' ' || c >= 0x7F;
  for (unsigned char c : std::string_view("\"<>\\^`{|}")) never[c] = true;
  return never;
}();

/// The scheme's length: a letter, then letters, digits, "+", "-" or ".",
/// then ":"; 0 when the text has no scheme.
size_t schemeLength(std::string_view text) {
  if (text.empty() || !asciiLetter(static_cast<unsigned char>(text[0]))) return 0;
  for (size_t i = 1; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c == ':') return i;
    if (!asciiLetter(c) && !asciiDigit(c) && c != '+' && c != '-' && c != '.') return 0;
  }
  return 0;
}

Ref<NSString> absoluteStringOf(id self, SEL) { return NSStr(objc::cast<NSURL>(self.get())->absoluteString()); }
Ref<NSURL> urlOf(id self, SEL) { return objc::cast<NSURLRequest>(self.get())->URL(); }
int64_t codeOf(id self, SEL) { return objc::cast<NSError>(self.get())->code(); }

}  // namespace

Class NSURL::classObject() {
  static Class cls = objc::ClassBuilder<NSURL, NSObject>("NSURL").function("absoluteString", &absoluteStringOf).build();
  return cls;
}
OBJC_REGISTER_CLASS(NSURL);

Ref<NSURL> NSURL::URLWithString(std::string_view text) {
  if (schemeLength(text) == 0) return nullptr;
  // Characters a URL never holds unescaped make the text no URL at all.
  for (unsigned char c : text)
    if (kNeverInURL[c]) return nullptr;
  return objc::create<NSURL>(std::string(text));
}

std::string NSURL::scheme() const {
  const size_t n = schemeLength(s_);
  std::string out = s_.substr(0, n);
  for (char& c : out) c = char(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

bool NSURL::isEqualTo(const NSObject& other) const {
  auto* o = dynamic_cast<const NSURL*>(&other);
  return o && o->s_ == s_;
}

Class NSURLRequest::classObject() {
  static Class cls = objc::ClassBuilder<NSURLRequest, NSObject>("NSURLRequest").function("URL", &urlOf).build();
  return cls;
}
OBJC_REGISTER_CLASS(NSURLRequest);

Ref<NSURLRequest> NSURLRequest::requestWithURL(Ref<NSURL> url) {
  auto r = objc::create<NSURLRequest>();
  r->url_ = std::move(url);
  return r;
}

Class NSError::classObject() {
  static Class cls = objc::ClassBuilder<NSError, NSObject>("NSError").function("code", &codeOf).build();
  return cls;
}
OBJC_REGISTER_CLASS(NSError);

Ref<NSError> NSError::errorWithDomain(std::string domain, int64_t code, std::string description) {
  auto e = objc::create<NSError>();
  e->domain_ = std::move(domain);
  e->code_ = code;
  e->description_ = std::move(description);
  return e;
}

std::string NSError::descriptionString() const {
  std::string out = "Error Domain=" + domain_ + " Code=" + std::to_string(code_);
  if (!description_.empty()) out += " \"" + description_ + "\"";
  return out;
}
