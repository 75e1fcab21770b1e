#include <objc/runtime.h>

#include <objc/NSObject.h>
#include <objc/message.h>

#include <array>
#include <atomic>
#include <memory>
#include <mutex>
#include <shared_mutex>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

struct objc_selector {
  std::string name;
};

struct objc_method {
  SEL name;
  // Every message send reads it while a hook may be replacing it, as on the
  // device, where reading a method's implementation takes no lock.
  std::atomic<IMP> imp;
  const char* types;  // interned
};

struct objc_ivar {
  objc::IvarDescription desc;
};

struct objc_class {
  std::string name;
  Class superclass = nullptr;
  bool registered = false;
  std::unordered_map<SEL, std::unique_ptr<objc_method>> methods;
  std::vector<std::unique_ptr<objc_ivar>> ivars;
  NSObject* (*make)() = nullptr;  // the C++ type behind the class, if any
};

namespace {

/// All runtime tables. Classes and methods are never freed: as on the
/// device, a class lives as long as the process.
struct Registry {
  std::shared_mutex lock;
  std::unordered_map<std::string, std::unique_ptr<objc_selector>> selectors;
  std::unordered_map<std::string, std::unique_ptr<objc_class>> classes;
  std::unordered_set<std::string> types;
  // Flattened lookup cache (class, selector) -> method; cleared whenever a
  // method table changes.
  struct Key {
    Class cls;
    SEL sel;
    bool operator==(const Key&) const = default;
  };
  struct KeyHash {
    size_t operator()(const Key& k) const noexcept {
      return std::hash<const void*>()(k.cls) * 31 ^ std::hash<const void*>()(k.sel);
    }
  };
  std::unordered_map<Key, Method, KeyHash> cache;
};

/// Bumped whenever a method table changes; a thread's own lookup lines
/// from an older generation are stale.
std::atomic<uint64_t> methodGeneration{1};

Registry& registry() {
  static auto* r = new Registry();  // never destroyed: objects may outlive static teardown
  return *r;
}

Method findUncached(Class cls, SEL sel) {
  for (Class c = cls; c; c = c->superclass) {
    auto it = c->methods.find(sel);
    if (it != c->methods.end()) return it->second.get();
  }
  return nullptr;
}

}  // namespace

SEL sel_registerName(const char* name) {
  auto& r = registry();
  std::string key(name);
  {
    std::shared_lock g(r.lock);
    auto it = r.selectors.find(key);
    if (it != r.selectors.end()) return it->second.get();
  }
  std::unique_lock g(r.lock);
  auto& slot = r.selectors[key];
  if (!slot) slot = std::make_unique<objc_selector>(objc_selector{key});
  return slot.get();
}

const char* sel_getName(SEL sel) { return sel ? sel->name.c_str() : "<null selector>"; }

Class objc_getClass(const char* name) {
  auto& r = registry();
  std::shared_lock g(r.lock);
  auto it = r.classes.find(name);
  return it != r.classes.end() && it->second->registered ? it->second.get() : nullptr;
}

Class objc_allocateClassPair(Class superclass, const char* name) {
  auto& r = registry();
  std::unique_lock g(r.lock);
  auto& slot = r.classes[name];
  if (slot) return nullptr;
  slot = std::make_unique<objc_class>();
  slot->name = name;
  slot->superclass = superclass;
  return slot.get();
}

void objc_registerClassPair(Class cls) {
  std::unique_lock g(registry().lock);
  cls->registered = true;
}

const char* class_getName(Class cls) { return cls ? cls->name.c_str() : "nil"; }
Class class_getSuperclass(Class cls) { return cls ? cls->superclass : nullptr; }

Method class_getInstanceMethod(Class cls, SEL sel) { return objc::lookupMethod(cls, sel); }

bool class_addMethod(Class cls, SEL sel, IMP imp, const char* types) {
  if (!cls || !sel || !imp || !types) return false;
  auto& r = registry();
  std::unique_lock g(r.lock);
  if (cls->methods.count(sel)) return false;
  const char* interned = r.types.insert(types).first->c_str();
  cls->methods[sel].reset(new objc_method{sel, imp, interned});
  r.cache.clear();
  methodGeneration.fetch_add(1, std::memory_order_release);
  return true;
}

IMP class_replaceMethod(Class cls, SEL sel, IMP imp, const char* types) {
  if (!cls || !sel || !imp) return nullptr;
  auto& r = registry();
  std::unique_lock g(r.lock);
  auto it = cls->methods.find(sel);
  if (it != cls->methods.end()) return it->second->imp.exchange(imp, std::memory_order_acq_rel);
  // An inherited method: the class gets an override of its own, the
  // superclass keeps its implementation.
  Method inherited = findUncached(cls->superclass, sel);
  const char* t = inherited ? inherited->types : types;
  if (!t) return nullptr;
  const char* interned = r.types.insert(t).first->c_str();
  cls->methods[sel].reset(new objc_method{sel, imp, interned});
  r.cache.clear();
  methodGeneration.fetch_add(1, std::memory_order_release);
  return inherited ? inherited->imp.load(std::memory_order_acquire) : nullptr;
}

bool class_respondsToSelector(Class cls, SEL sel) { return objc::lookupMethod(cls, sel) != nullptr; }

bool class_isSubclassOf(Class cls, Class ancestor) {
  for (Class c = cls; c; c = c->superclass)
    if (c == ancestor) return true;
  return false;
}

IMP method_getImplementation(Method m) { return m ? m->imp.load(std::memory_order_acquire) : nullptr; }
const char* method_getTypeEncoding(Method m) { return m ? m->types : nullptr; }
SEL method_getName(Method m) { return m ? m->name : nullptr; }

Ivar class_getInstanceVariable(Class cls, const char* name) {
  std::shared_lock g(registry().lock);
  for (Class c = cls; c; c = c->superclass)
    for (auto& iv : c->ivars)
      if (std::string_view(iv->desc.name) == name) return iv.get();
  return nullptr;
}

const char* ivar_getName(Ivar ivar) { return ivar ? ivar->desc.name : nullptr; }
const char* ivar_getTypeEncoding(Ivar ivar) { return ivar ? ivar->desc.types.c_str() : nullptr; }

id object_getIvar(const NSObject* obj, Ivar ivar) {
  if (!obj || !ivar) return nullptr;
  if (!ivar->desc.getObject)
    throw objc::RuntimeError(std::string("object_getIvar: ") + ivar->desc.name + " does not hold an object");
  return ivar->desc.getObject(const_cast<NSObject*>(obj));
}

void* object_getIvarAddress(const NSObject* obj, Ivar ivar) {
  if (!obj || !ivar) return nullptr;
  return ivar->desc.address(const_cast<NSObject*>(obj));
}

id class_createInstance(Class cls) {
  NSObject* (*make)() = nullptr;
  {
    std::shared_lock g(registry().lock);
    for (Class c = cls; c && !make; c = c->superclass) make = c->make;
  }
  if (!make) return id();
  id obj(make());
  obj->setIsa(cls);
  return obj;
}

void objc::class_setInstanceMaker(Class cls, NSObject* (*make)()) {
  if (!cls) return;
  std::unique_lock g(registry().lock);
  cls->make = make;
}

Class object_getClass(const NSObject* obj) { return obj ? obj->isa() : nullptr; }
void object_setClass(NSObject* obj, Class cls) {
  if (obj) obj->setIsa(cls);
}
const char* object_getClassName(const NSObject* obj) { return class_getName(object_getClass(obj)); }

namespace objc {

void class_addIvarDescription(Class cls, IvarDescription ivar) {
  std::unique_lock g(registry().lock);
  cls->ivars.push_back(std::make_unique<objc_ivar>(objc_ivar{std::move(ivar)}));
}

const char* internTypes(const std::string& types) {
  auto& r = registry();
  std::unique_lock g(r.lock);
  return r.types.insert(types).first->c_str();
}

Method lookupMethod(Class cls, SEL sel) {
  if (!cls || !sel) return nullptr;
  // Each thread keeps the answers it used last in lines of its own, as the
  // device's runtime keeps a method cache per class: a message send then
  // takes no lock.
  struct Line {
    Class cls = nullptr;
    SEL sel = nullptr;
    Method method = nullptr;
    uint64_t generation = 0;
  };
  thread_local std::array<Line, 1024> lines;
  const uint64_t generation = methodGeneration.load(std::memory_order_acquire);
  const auto bits = reinterpret_cast<uintptr_t>(cls) ^ (reinterpret_cast<uintptr_t>(sel) >> 3);
  Line& line = lines[(bits ^ (bits >> 10)) & (lines.size() - 1)];
  if (line.cls == cls && line.sel == sel && line.generation == generation) return line.method;
  auto& r = registry();
  {
    std::shared_lock g(r.lock);
    auto it = r.cache.find({cls, sel});
    if (it != r.cache.end()) {
      line = {cls, sel, it->second, generation};
      return it->second;
    }
  }
  std::unique_lock g(r.lock);
  Method m = findUncached(cls, sel);
  r.cache[{cls, sel}] = m;
  line = {cls, sel, m, generation};
  return m;
}

const char* methodTypes(Method m) { return m->types; }

namespace detail {

void throwUnrecognized(const NSObject* self, SEL sel) {
  throw RuntimeError(std::string("-[") + object_getClassName(self) + " " + sel_getName(sel) +
                     "]: unrecognized selector sent to instance");
}

void throwMismatch(const NSObject* self, SEL sel, const char* methodTypes, const char* callTypes) {
  throw RuntimeError(std::string("-[") + object_getClassName(self) + " " + sel_getName(sel) +
                     "]: sent with signature " + callTypes + " but the method's type encoding is " + methodTypes);
}

}  // namespace detail
}  // namespace objc
