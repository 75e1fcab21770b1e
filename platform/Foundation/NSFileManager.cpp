#include <Foundation/NSFileManager.h>

#include <Foundation/DeviceRoot.h>
#include <Foundation/NSString.h>
#include <objc/ClassBuilder.h>

namespace {
bool fileExistsOf(id self, SEL, Ref<NSString> path) {
  return path && objc::cast<NSFileManager>(self.get())->fileExistsAtPath(path->str());
}
}  // namespace

Class NSFileManager::classObject() {
  static Class cls =
      objc::ClassBuilder<NSFileManager, NSObject>("NSFileManager").function("fileExistsAtPath:", &fileExistsOf).build();
  return cls;
}
OBJC_REGISTER_CLASS(NSFileManager);

Ref<NSFileManager> NSFileManager::defaultManager() {
  static Ref<NSFileManager>* shared = new Ref<NSFileManager>(objc::create<NSFileManager>());
  return *shared;
}

bool NSFileManager::fileExistsAtPath(const std::string& devicePath) const {
  return foundation::deviceItemExists(devicePath);
}
