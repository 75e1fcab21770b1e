// Foundation's additions to the root class, installed when the library
// loads, as Foundation's categories on NSObject are on the device.

#include <Foundation/NSString.h>
#include <objc/ClassBuilder.h>

namespace {

Ref<NSString> descriptionOf(id self, SEL) { return NSStr(self->descriptionString()); }
bool isEqualOf(id self, SEL, id other) { return other && (self == other || self->isEqualTo(*other)); }
uint64_t hashOf(id self, SEL) { return self->hashValue(); }

template <class R, class... A>
void add(const char* selector, R (*fn)(id, SEL, A...)) {
  class_addMethod(NSObject::classObject(), sel_registerName(selector), reinterpret_cast<IMP>(fn),
                  objc::methodEncoding<R, A...>());
}

const bool installed = [] {
  add("description", &descriptionOf);
  add("isEqual:", &isEqualOf);
  add("hash", &hashOf);
  return true;
}();

}  // namespace
