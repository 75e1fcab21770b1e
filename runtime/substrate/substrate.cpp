#include <substrate/substrate.h>

void MSHookMessageEx(Class cls, SEL sel, IMP replacement, IMP* result) {
  IMP old = class_replaceMethod(cls, sel, replacement, nullptr);
  if (result) *result = old;
}

namespace substrate {

std::string hookRefusal(Class cls, SEL sel, const char* types) {
  if (!cls) return std::string("no class for ") + sel_getName(sel);
  Method m = class_getInstanceMethod(cls, sel);
  if (!m) return std::string("no method ") + sel_getName(sel);
  // Encodings are interned, so equal ones are the same pointer.
  if (method_getTypeEncoding(m) != types)
    return std::string("replacement for ") + sel_getName(sel) + " does not match the method's type encoding " +
           method_getTypeEncoding(m);
  return {};
}

}  // namespace substrate
