#include <objc/ClassBuilder.h>
#include <objc/Weak.h>
#include <substrate/substrate.h>

#include <gtest/gtest.h>

namespace {

class Animal : public NSObject {
 public:
  static Class classObject();
  virtual long legs() { return 4; }
  std::string name() const { return "animal"; }
  long add(long a, int b) { return a + b; }
  id friendOf() { return friend_; }
  void setFriend(id f) { friend_ = f; }
  id friend_;
  long age_ = 3;
};

class Bird : public Animal {
 public:
  static Class classObject();
  long legs() override { return 2; }
};

Class Animal::classObject() {
  static Class cls = objc::ClassBuilder<Animal, NSObject>("TestAnimal")
                         .method<&Animal::legs>("legs")
                         .method<&Animal::add>("add:to:")
                         .method<&Animal::friendOf>("friend")
                         .method<&Animal::setFriend>("setFriend:")
                         .ivar<&Animal::friend_>("_friend")
                         .ivar<&Animal::age_>("_age")
                         .build();
  return cls;
}
OBJC_REGISTER_CLASS(Animal);

Class Bird::classObject() {
  static Class cls = objc::ClassBuilder<Bird, Animal>("TestBird").build();
  return cls;
}
OBJC_REGISTER_CLASS(Bird);

/// A bird of its own for the refusals, which must find its method unhooked
/// whichever test ran before them in the process.
class Parrot : public Animal {
 public:
  static Class classObject();
  long legs() override { return 2; }
};

Class Parrot::classObject() {
  static Class cls = objc::ClassBuilder<Parrot, Animal>("TestParrot").build();
  return cls;
}
OBJC_REGISTER_CLASS(Parrot);

long (*savedLegs)(id, SEL) = nullptr;
long sixLegs(id self, SEL cmd) { return savedLegs(self, cmd) + 4; }
long (*savedParrotLegs)(id, SEL) = nullptr;
long sixParrotLegs(id self, SEL cmd) { return savedParrotLegs(self, cmd) + 4; }
int (*savedIntLegs)(id, SEL) = nullptr;
int intLegs(id, SEL) { return 0; }

}  // namespace

TEST(Runtime, ClassesAreFoundByNameAndAbsentOnesAreNull) {
  EXPECT_EQ(objc_getClass("TestAnimal"), Animal::classObject());
  EXPECT_EQ(objc_getClass("NoSuchClass"), nullptr);
  EXPECT_EQ(class_getSuperclass(Bird::classObject()), Animal::classObject());
  auto bird = objc::alloc<Bird>();
  EXPECT_TRUE(objc::isKind(bird.get(), Animal::classObject()));
  EXPECT_FALSE(objc::hasClassName(bird.get(), "TestAnimal"));
  EXPECT_TRUE(objc::hasClassName(bird.get(), "TestBird"));
}

TEST(Runtime, SendsWalkTheClassChainAndCheckSignatures) {
  auto bird = objc::alloc<Bird>();
  EXPECT_EQ(objc::msg<long>(bird, SEL_("legs")), 2);  // C++ override reached through the thunk
  EXPECT_EQ(objc::msg<long>(bird, SEL_("add:to:"), 40L, 2), 42);
  EXPECT_THROW(objc::msg<long>(bird, SEL_("add:to:"), 40, 2), objc::RuntimeError);  // int where long is encoded
  EXPECT_THROW(objc::msg<void>(bird, SEL_("fly")), objc::RuntimeError);
  EXPECT_TRUE(objc::msg<bool>(bird, SEL_("respondsToSelector:"), SEL_("legs")));
  EXPECT_FALSE(objc::msg<bool>(bird, SEL_("respondsToSelector:"), SEL_("fly")));
  Ref<Bird> nothing;
  EXPECT_EQ(objc::msg<long>(nothing, SEL_("legs")), 0);  // messages to nil answer zero
}

TEST(Runtime, HookingAnInheritedMethodLeavesTheSuperclassAlone) {
  substrate::hookMessage(Bird::classObject(), SEL_("legs"), &sixLegs, &savedLegs);
  ASSERT_NE(savedLegs, nullptr);
  EXPECT_EQ(objc::msg<long>(objc::alloc<Bird>(), SEL_("legs")), 6);
  EXPECT_EQ(objc::msg<long>(objc::alloc<Animal>(), SEL_("legs")), 4);
}

TEST(Runtime, TheNonThrowingHookRefusesAndLeavesEverythingAlone) {
  // Other types than the method's (int where long is encoded), a missing
  // method and a missing class: each refused with a reason, nothing changed.
  EXPECT_NE(substrate::tryHookMessage(Parrot::classObject(), SEL_("legs"), &intLegs, &savedIntLegs), "");
  EXPECT_NE(substrate::tryHookMessage(Parrot::classObject(), SEL_("fly"), &sixParrotLegs, &savedParrotLegs), "");
  EXPECT_NE(substrate::tryHookMessage(nullptr, SEL_("legs"), &sixParrotLegs, &savedParrotLegs), "");
  EXPECT_EQ(savedIntLegs, nullptr);
  EXPECT_EQ(savedParrotLegs, nullptr);
  EXPECT_EQ(objc::msg<long>(objc::alloc<Parrot>(), SEL_("legs")), 2);
  EXPECT_THROW(substrate::hookMessage(Parrot::classObject(), SEL_("legs"), &intLegs, &savedIntLegs),
               objc::RuntimeError);

  EXPECT_EQ(substrate::tryHookMessage(Parrot::classObject(), SEL_("legs"), &sixParrotLegs, &savedParrotLegs), "");
  EXPECT_EQ(objc::msg<long>(objc::alloc<Parrot>(), SEL_("legs")), 6);
}

TEST(Runtime, AddMethodRefusesAnExistingSelector) {
  auto fn = +[](id, SEL) {};
  EXPECT_TRUE(class_addMethod(Animal::classObject(), SEL_("sleep_QPX"), reinterpret_cast<IMP>(fn), "v@:"));
  EXPECT_FALSE(class_addMethod(Animal::classObject(), SEL_("sleep_QPX"), reinterpret_cast<IMP>(fn), "v@:"));
  EXPECT_STREQ(method_getTypeEncoding(class_getInstanceMethod(Bird::classObject(), SEL_("sleep_QPX"))), "v@:");
}

TEST(Runtime, InstanceVariablesByName) {
  auto a = objc::alloc<Animal>();
  auto b = objc::alloc<Bird>();
  objc::msg(a, SEL_("setFriend:"), b);
  Ivar iv = class_getInstanceVariable(object_getClass(b.get()), "_friend");
  ASSERT_NE(iv, nullptr);
  EXPECT_EQ(object_getIvar(a.get(), iv).get(), b.get());
  EXPECT_EQ(class_getInstanceVariable(Animal::classObject(), "_missing"), nullptr);
  EXPECT_EQ(object_getIvar(a.get(), nullptr), nullptr);
  Ivar age = class_getInstanceVariable(Animal::classObject(), "_age");
  EXPECT_STREQ(ivar_getTypeEncoding(age), "q");
  EXPECT_THROW(object_getIvar(a.get(), age), objc::RuntimeError);
  EXPECT_EQ(*static_cast<long*>(object_getIvarAddress(a.get(), age)), 3);
}

TEST(Runtime, RuntimeSubclassesAndCheckedCasts) {
  Class sub = objc_allocateClassPair(Animal::classObject(), "TestAnimalSub");
  objc_registerClassPair(sub);
  auto s = objc::alloc<Animal>(sub);
  EXPECT_STREQ(object_getClassName(s.get()), "TestAnimalSub");
  EXPECT_EQ(objc::msg<long>(s, SEL_("legs")), 4);
  EXPECT_THROW(objc::alloc<Bird>(sub), objc::RuntimeError);
  id plain = objc::alloc<Animal>();
  EXPECT_THROW(objc::cast<Bird>(plain), objc::RuntimeError);
  EXPECT_EQ(objc::as<Bird>(plain), nullptr);
}

TEST(Runtime, ReferencesCountAndRelease) {
  auto a = objc::alloc<Animal>();
  EXPECT_EQ(a->retainCount(), 1);
  {
    id copy = a;
    EXPECT_EQ(a->retainCount(), 2);
  }
  EXPECT_EQ(a->retainCount(), 1);
}

TEST(Runtime, WeakReferencesReadNilOnceTheObjectIsGone) {
  auto a = objc::alloc<Animal>();
  Weak<Animal> w = a;
  Weak<Animal> copy = w;
  EXPECT_EQ(w.lock().get(), a.get());
  EXPECT_EQ(a->retainCount(), 1);  // a weak reference holds no count
  a = nullptr;
  EXPECT_EQ(w.lock(), nullptr);
  EXPECT_EQ(copy.lock(), nullptr);
}

TEST(Runtime, ClassesFoundByNameMakeInstancesOfTheirOwnType) {
  id bird = class_createInstance(objc_getClass("TestBird"));
  ASSERT_NE(bird, nullptr);
  EXPECT_TRUE(objc::hasClassName(bird.get(), "TestBird"));
  EXPECT_NE(objc::as<Bird>(bird), nullptr);  // the C++ type is Bird's
  // A runtime-only subclass is made by its nearest C++-backed ancestor.
  Class kin = objc_allocateClassPair(Animal::classObject(), "TestAnimalKin");
  objc_registerClassPair(kin);
  id k = class_createInstance(kin);
  EXPECT_TRUE(objc::hasClassName(k.get(), "TestAnimalKin"));
  EXPECT_EQ(objc::msg<long>(k, SEL_("legs")), 4);
  EXPECT_EQ(class_createInstance(nullptr), nullptr);
}
