#include <substrate/substrate.h>

void MSHookMessageEx(Class cls, SEL sel, IMP replacement, IMP* result) {
  IMP old = class_replaceMethod(cls, sel, replacement, nullptr);
  if (result) *result = old;
}
