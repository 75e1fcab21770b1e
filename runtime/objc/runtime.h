#pragma once
/// \file
/// The object runtime: classes found by name, selectors, method tables with
/// type encodings, and named instance variables. Mirrors the calls the
/// device's libobjc offers, so product code reads as it would on the phone.

#include <objc/Ref.h>

#include <stdexcept>
#include <string>

struct objc_class;
struct objc_selector;
struct objc_method;
struct objc_ivar;
class NSObject;

using Class = objc_class*;
using SEL = const objc_selector*;
/// An implementation pointer; cast to the method's real function type to call.
using IMP = void (*)();
using Method = objc_method*;
using Ivar = const objc_ivar*;
/// A strong reference to any object: the runtime's calling convention passes
/// and returns objects this way.
using id = objc::Ref<NSObject>;

namespace objc {

/// Raised where the device would raise an Objective-C exception and crash:
/// an unrecognised selector, a send whose C++ signature does not match the
/// method's type encoding, an object of the wrong class.
class RuntimeError : public std::logic_error {
 public:
  using std::logic_error::logic_error;
};

}  // namespace objc

/// Interns a selector name. The same name always gives the same SEL.
SEL sel_registerName(const char* name);
const char* sel_getName(SEL sel);

/// The class of that name, or null when this process has none.
Class objc_getClass(const char* name);
/// Creates a class under construction; null when the name is taken.
Class objc_allocateClassPair(Class superclass, const char* name);
void objc_registerClassPair(Class cls);

const char* class_getName(Class cls);
Class class_getSuperclass(Class cls);
/// The method a send of sel to an instance of cls would run (own or inherited).
Method class_getInstanceMethod(Class cls, SEL sel);
/// Adds a method to cls itself; false when cls already defines sel.
bool class_addMethod(Class cls, SEL sel, IMP imp, const char* types);
/// Replaces (or adds) cls's own method for sel; returns the previous IMP of
/// cls, or the inherited one when cls did not define sel itself.
IMP class_replaceMethod(Class cls, SEL sel, IMP imp, const char* types);
bool class_respondsToSelector(Class cls, SEL sel);
bool class_isSubclassOf(Class cls, Class ancestor);

IMP method_getImplementation(Method m);
const char* method_getTypeEncoding(Method m);
SEL method_getName(Method m);

/// The named instance variable of cls or a superclass; null when absent.
Ivar class_getInstanceVariable(Class cls, const char* name);
const char* ivar_getName(Ivar ivar);
const char* ivar_getTypeEncoding(Ivar ivar);
/// The object stored in an object-typed instance variable. Throws
/// RuntimeError for a variable that does not hold an object.
id object_getIvar(const NSObject* obj, Ivar ivar);
/// Address of the variable inside obj (for typed reads of scalars).
void* object_getIvarAddress(const NSObject* obj, Ivar ivar);

/// A new instance of cls, not yet initialised (+alloc): made by the nearest
/// class of cls's chain that knows its C++ type, with cls as its class. nil
/// when no class of the chain does. This is how a class found by name is
/// instantiated (a plug-in's principal class, say).
id class_createInstance(Class cls);

Class object_getClass(const NSObject* obj);
void object_setClass(NSObject* obj, Class cls);
const char* object_getClassName(const NSObject* obj);

namespace objc {

/// Describes an instance variable to the runtime: its name, its encoding and
/// how to find it inside an instance.
struct IvarDescription {
  const char* name;
  std::string types;
  void* (*address)(NSObject*);
  id (*getObject)(NSObject*);  ///< null for variables that hold no object
};
void class_addIvarDescription(Class cls, IvarDescription ivar);
/// How instances of a class backed by a C++ type are made (ClassBuilder
/// tells the runtime for every class it builds).
void class_setInstanceMaker(Class cls, NSObject* (*make)());

/// Interns an encoding so two equal encodings share one pointer.
const char* internTypes(const std::string& types);
/// The method a send would run, or null (fast path with a cache).
Method lookupMethod(Class cls, SEL sel);
/// Interned types of a method.
const char* methodTypes(Method m);

}  // namespace objc

/// A compile-time-cached selector, like \@selector(...).
#define SEL_(name)                                           \
  ([]() -> SEL {                                             \
    static const SEL qp_sel_cached = sel_registerName(name); \
    return qp_sel_cached;                                    \
  }())
