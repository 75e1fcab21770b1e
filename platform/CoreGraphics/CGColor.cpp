#include <CoreGraphics/CGColor.h>

#include <objc/ClassBuilder.h>

#include <cstdio>

Class CGColor::classObject() {
  static Class cls = objc::ClassBuilder<CGColor, NSObject>("CGColor").build();
  return cls;
}
OBJC_REGISTER_CLASS(CGColor);

Ref<CGColor> CGColor::createRGBA(double r, double g, double b, double a) { return objc::create<CGColor>(r, g, b, a); }

std::string CGColor::descriptionString() const {
  char buf[128];
  std::snprintf(buf, sizeof buf, "<CGColor [kCGColorSpaceDeviceRGB] ( %g %g %g %g )>", c_[0], c_[1], c_[2], c_[3]);
  return buf;
}

bool CGColor::isEqualTo(const NSObject& other) const {
  const auto* o = dynamic_cast<const CGColor*>(&other);
  return o && o->c_ == c_;
}
