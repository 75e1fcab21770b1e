#include <UIKit/UIFont.h>

#include <UIKit/FontFace.h>

#include <Foundation/NSLog.h>
#include <objc/ClassBuilder.h>

#include <strings.h>
#include <cmath>
#include <cstdio>
#include <map>
#include <mutex>
#include <vector>

namespace {

/// The device's system face is Helvetica (Neue); Nimbus Sans has its metrics.
constexpr const char* kSystemFamily = "Nimbus Sans";
/// `[UIFont systemFontSize]`.
constexpr double kSystemFontSize = 14;

std::shared_ptr<uikit::FontFace> loadSystemFace(bool bold) {
  auto face = uikit::FontFace::forFamily(kSystemFamily, bold);
  if (face) return face;
  NSLog("UIKit: the system face %s is not installed; using fontconfig's sans-serif", kSystemFamily);
  return uikit::FontFace::forFamily("sans-serif", bold, false);
}

const std::shared_ptr<uikit::FontFace>& systemFace(bool bold) {
  static const auto regular = loadSystemFace(false);
  static const auto boldFace = loadSystemFace(true);
  return bold ? boldFace : regular;
}

/// One UIFont per face, size and name: fonts are immutable and shared.
Ref<UIFont> cachedFont(const std::shared_ptr<uikit::FontFace>& face, const std::string& name, double size) {
  if (!face) return nullptr;
  static std::mutex lock;
  static auto* cache = new std::map<std::pair<const uikit::FontFace*, double>, std::vector<Ref<UIFont>>>();
  std::lock_guard g(lock);
  auto& fonts = (*cache)[{face.get(), size}];
  for (const auto& f : fonts)
    if (f->fontNameString() == name) return f;
  fonts.push_back(objc::create<UIFont>(face, name, size));
  return fonts.back();
}

double sanitizedSize(double size) { return std::isfinite(size) && size > 0 ? size : kSystemFontSize; }

struct Alias {
  const char* name;
  bool bold;
};
// The device's Helvetica names, all served by the system face.
constexpr Alias kHelveticaNames[] = {
    {"Helvetica", false},
    {"Helvetica-Bold", true},
    {"HelveticaNeue", false},
    {"HelveticaNeue-Bold", true},
    {"HelveticaNeue-Medium", true},
    {"HelveticaNeue-Light", false},
    {".HelveticaNeueInterface-Regular", false},
    {".HelveticaNeueInterface-M3", false},
    {".HelveticaNeueInterface-MediumP4", true},
};

}  // namespace

Class UIFont::classObject() {
  static Class cls = objc::ClassBuilder<UIFont, NSObject>("UIFont")
                         .method<&UIFont::fontWithSize>("fontWithSize:")
                         .method<&UIFont::pointSize>("pointSize")
                         .method<&UIFont::fontName>("fontName")
                         .method<&UIFont::familyName>("familyName")
                         .method<&UIFont::ascender>("ascender")
                         .method<&UIFont::descender>("descender")
                         .method<&UIFont::lineHeight>("lineHeight")
                         .method<&UIFont::capHeight>("capHeight")
                         .build();
  return cls;
}
OBJC_REGISTER_CLASS(UIFont);

UIFont::UIFont(std::shared_ptr<uikit::FontFace> face, std::string name, double size)
    : face_(std::move(face)), name_(std::move(name)), size_(size) {}

Ref<UIFont> UIFont::systemFontOfSize(double size) {
  auto face = systemFace(false);
  return cachedFont(face, face ? face->postScriptName() : "", sanitizedSize(size));
}

Ref<UIFont> UIFont::boldSystemFontOfSize(double size) {
  auto face = systemFace(true);
  return cachedFont(face, face ? face->postScriptName() : "", sanitizedSize(size));
}

Ref<UIFont> UIFont::fontWithName(std::string_view name, double size) {
  std::string n(name);
  for (const auto& alias : kHelveticaNames)
    if (n == alias.name) return cachedFont(systemFace(alias.bold), n, sanitizedSize(size));
  // "Family-Bold", "Family-Regular" or a plain family name.
  std::string family = n;
  bool bold = false;
  if (auto dash = n.rfind('-'); dash != std::string::npos) {
    std::string style = n.substr(dash + 1);
    if (strcasecmp(style.c_str(), "Bold") == 0 || strcasecmp(style.c_str(), "Regular") == 0 ||
        strcasecmp(style.c_str(), "Roman") == 0) {
      bold = strcasecmp(style.c_str(), "Bold") == 0;
      family = n.substr(0, dash);
    }
  }
  auto face = uikit::FontFace::forFamily(family, bold);
  if (!face && family.find(' ') == std::string::npos) {
    // PostScript names drop the spaces of the family ("NimbusSans").
    for (size_t i = 1; i < family.size(); ++i)
      if (std::isupper(static_cast<unsigned char>(family[i])) &&
          std::islower(static_cast<unsigned char>(family[i - 1]))) {
        face = uikit::FontFace::forFamily(family.substr(0, i) + " " + family.substr(i), bold);
        break;
      }
  }
  return cachedFont(face, n, sanitizedSize(size));
}

Ref<UIFont> UIFont::fontWithSize(double size) const {
  if (!std::isfinite(size) || size <= 0) size = size_;
  return cachedFont(face_, name_, size);
}

Ref<NSString> UIFont::fontName() const { return NSStr(name_); }
Ref<NSString> UIFont::familyName() const { return NSStr(face_ ? face_->familyName() : ""); }
bool UIFont::isBold() const noexcept { return face_ && face_->isBold(); }
double UIFont::ascender() const { return face_ ? face_->ascender() * size_ : 0; }
double UIFont::descender() const { return face_ ? face_->descender() * size_ : 0; }
double UIFont::lineHeight() const { return face_ ? face_->lineHeight() * size_ : 0; }
double UIFont::capHeight() const { return face_ ? face_->capHeight() * size_ : 0; }

std::string UIFont::descriptionString() const {
  char buf[64];
  std::snprintf(buf, sizeof buf, "; font-size: %gpt", size_);
  return "<UIFont: font-family: \"" + (face_ ? face_->familyName() : std::string()) +
         "\"; font-weight: " + (isBold() ? "bold" : "normal") + buf + ">";
}

bool UIFont::isEqualTo(const NSObject& other) const {
  const auto* o = dynamic_cast<const UIFont*>(&other);
  return o && o->face_ == face_ && o->size_ == size_;
}

size_t UIFont::hashValue() const noexcept {
  return std::hash<const void*>()(face_.get()) ^ (std::hash<double>()(size_) << 1);
}
