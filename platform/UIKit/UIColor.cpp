#include <UIKit/UIColor.h>

#include <CoreImage/CIColor.h>
#include <objc/ClassBuilder.h>

#include <cstdio>

Class UIColor::classObject() {
  static Class cls = objc::ClassBuilder<UIColor, NSObject>("UIColor")
                         .method<&UIColor::CGColor>("CGColor")
                         .method<&UIColor::colorWithAlphaComponent>("colorWithAlphaComponent:")
                         .build();
  return cls;
}
OBJC_REGISTER_CLASS(UIColor);

Ref<UIColor> UIColor::colorWithRed(double red, double green, double blue, double alpha) {
  return objc::create<UIColor>(red, green, blue, alpha);
}

Ref<UIColor> UIColor::colorWithWhite(double white, double alpha) {
  return objc::create<UIColor>(white, white, white, alpha, true);
}

Ref<UIColor> UIColor::colorWithCGColor(const ::CGColor* color) {
  if (!color) return nullptr;
  return colorWithRed(color->red(), color->green(), color->blue(), color->alpha());
}

Ref<UIColor> UIColor::colorWithCIColor(const CIColor* color) {
  if (!color) return nullptr;
  return colorWithRed(color->red(), color->green(), color->blue(), color->alpha());
}

Ref<UIColor> UIColor::blackColor() { return colorWithWhite(0, 1); }
Ref<UIColor> UIColor::darkGrayColor() { return colorWithWhite(1.0 / 3.0, 1); }
Ref<UIColor> UIColor::lightGrayColor() { return colorWithWhite(2.0 / 3.0, 1); }
Ref<UIColor> UIColor::whiteColor() { return colorWithWhite(1, 1); }
Ref<UIColor> UIColor::grayColor() { return colorWithWhite(0.5, 1); }
Ref<UIColor> UIColor::redColor() { return colorWithRed(1, 0, 0, 1); }
Ref<UIColor> UIColor::greenColor() { return colorWithRed(0, 1, 0, 1); }
Ref<UIColor> UIColor::blueColor() { return colorWithRed(0, 0, 1, 1); }
Ref<UIColor> UIColor::cyanColor() { return colorWithRed(0, 1, 1, 1); }
Ref<UIColor> UIColor::yellowColor() { return colorWithRed(1, 1, 0, 1); }
Ref<UIColor> UIColor::magentaColor() { return colorWithRed(1, 0, 1, 1); }
Ref<UIColor> UIColor::orangeColor() { return colorWithRed(1, 0.5, 0, 1); }
Ref<UIColor> UIColor::purpleColor() { return colorWithRed(0.5, 0, 0.5, 1); }
Ref<UIColor> UIColor::brownColor() { return colorWithRed(0.6, 0.4, 0.2, 1); }
Ref<UIColor> UIColor::clearColor() { return colorWithWhite(0, 0); }

CGColorRef UIColor::CGColor() const { return CGColor::createRGBA(c_[0], c_[1], c_[2], c_[3]); }

Ref<UIColor> UIColor::colorWithAlphaComponent(double alpha) const {
  return objc::create<UIColor>(c_[0], c_[1], c_[2], alpha, white_);
}

std::string UIColor::descriptionString() const {
  char buf[96];
  if (white_)
    std::snprintf(buf, sizeof buf, "UIDeviceWhiteColorSpace %g %g", c_[0], c_[3]);
  else
    std::snprintf(buf, sizeof buf, "UIDeviceRGBColorSpace %g %g %g %g", c_[0], c_[1], c_[2], c_[3]);
  return buf;
}

bool UIColor::isEqualTo(const NSObject& other) const {
  const auto* o = dynamic_cast<const UIColor*>(&other);
  return o && o->c_ == c_;
}

size_t UIColor::hashValue() const noexcept {
  size_t h = 0;
  for (double v : c_) h = h * 31 + std::hash<double>()(v);
  return h;
}
