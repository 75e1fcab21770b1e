#include <objc/ClassBuilder.h>
#include <objc/NSObject.h>

#include <cstdio>
#include <functional>

Class NSObject::classObject() {
  static Class cls = [] {
    Class c = objc_allocateClassPair(nullptr, "NSObject");
    class_addMethod(c, sel_registerName("init"),
                    reinterpret_cast<IMP>(&objc::detail::MemberThunk<&NSObject::init>::call),
                    objc::detail::MemberThunk<&NSObject::init>::types());
    class_addMethod(c, sel_registerName("respondsToSelector:"),
                    reinterpret_cast<IMP>(&objc::detail::MemberThunk<&NSObject::respondsToSelector>::call),
                    objc::detail::MemberThunk<&NSObject::respondsToSelector>::types());
    class_addMethod(c, sel_registerName("isKindOfClass:"),
                    reinterpret_cast<IMP>(&objc::detail::MemberThunk<&NSObject::isKindOfClass>::call),
                    objc::detail::MemberThunk<&NSObject::isKindOfClass>::types());
    class_addMethod(c, sel_registerName("isMemberOfClass:"),
                    reinterpret_cast<IMP>(&objc::detail::MemberThunk<&NSObject::isMemberOfClass>::call),
                    objc::detail::MemberThunk<&NSObject::isMemberOfClass>::types());
    objc_registerClassPair(c);
    return c;
  }();
  return cls;
}
OBJC_REGISTER_CLASS(NSObject);

namespace objc::detail {
void clearWeak(const NSObject* obj);
}

NSObject::~NSObject() {
  if (weaklyReferenced_.load(std::memory_order_acquire)) objc::detail::clearWeak(this);
}

std::string NSObject::descriptionString() const {
  char buf[64];
  std::snprintf(buf, sizeof buf, ": %p>", static_cast<const void*>(this));
  return std::string("<") + object_getClassName(this) + buf;
}

size_t NSObject::hashValue() const noexcept { return std::hash<const void*>()(this); }

id NSObject::init() { return id(this); }
bool NSObject::respondsToSelector(SEL sel) { return objc::respondsTo(this, sel); }
bool NSObject::isKindOfClass(Class cls) { return objc::isKind(this, cls); }
bool NSObject::isMemberOfClass(Class cls) { return object_getClass(this) == cls; }
