#include <Preferences/PSPreferenceBundle.h>

#include <Foundation/DeviceRoot.h>
#include <Foundation/NSDictionary.h>
#include <Foundation/NSLog.h>
#include <Foundation/NSString.h>

#include <dlfcn.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <mutex>

namespace {

std::mutex& registryLock() {
  static std::mutex lock;
  return lock;
}
std::map<Class, std::string>& bundleOfClass() {
  static std::map<Class, std::string> registry;
  return registry;
}

std::string stringValue(const NSDictionary* dict, std::string_view key) {
  auto s = objc::as<NSString>(dict->objectForKey(key));
  return s ? s->str() : std::string();
}

std::string lastComponentWithoutExtension(const std::string& path) {
  return std::filesystem::path(path).filename().replace_extension().string();
}

}  // namespace

std::optional<PSPreferenceBundle> PSLoadPreferenceBundle(const std::string& bundlePath, std::string* error) {
  auto fail = [&](std::string why) -> std::optional<PSPreferenceBundle> {
    if (error) *error = std::move(why);
    return std::nullopt;
  };
  auto info = NSDictionary::dictionaryWithContentsOfFile(bundlePath + "/Info.plist");
  if (!info) return fail("no readable Info.plist in " + bundlePath);

  PSPreferenceBundle bundle;
  bundle.path = bundlePath;
  bundle.identifier = stringValue(info.get(), "CFBundleIdentifier");
  std::string executable = stringValue(info.get(), "CFBundleExecutable");
  if (executable.empty()) executable = lastComponentWithoutExtension(bundlePath);
  bundle.executable = bundlePath + "/" + executable;
  std::string principal = stringValue(info.get(), "NSPrincipalClass");
  if (principal.empty()) return fail(bundlePath + "/Info.plist names no NSPrincipalClass");

  // The library's classes register themselves while it loads.
  std::string why;
  if (!foundation::loadDeviceLibrary(bundle.executable, why))
    return fail("cannot load " + bundle.executable + ": " + why);
  bundle.principalClass = objc_getClass(principal.c_str());
  if (!bundle.principalClass) return fail(bundle.executable + " has no class " + principal);
  PSSetBundlePathForClass(bundle.principalClass, bundlePath);
  return bundle;
}

std::string PSBundlePathForClass(Class cls) {
  std::lock_guard guard(registryLock());
  for (; cls; cls = class_getSuperclass(cls)) {
    auto it = bundleOfClass().find(cls);
    if (it != bundleOfClass().end()) return it->second;
  }
  return {};
}

void PSSetBundlePathForClass(Class cls, const std::string& bundlePath) {
  std::lock_guard guard(registryLock());
  bundleOfClass()[cls] = bundlePath;
}

std::vector<PSPreferenceLoaderEntry> PSPreferenceLoaderEntries() {
  const std::string folder = "/Library/PreferenceLoader/Preferences";
  std::vector<PSPreferenceLoaderEntry> entries;
  std::vector<foundation::FolderEntry> files;
  (void)foundation::listDeviceFolder(folder, files);
  for (const auto& file : files) {
    if (std::filesystem::path(file.name).extension() != ".plist") continue;
    std::string devicePath = folder + "/" + file.name;
    auto root = NSDictionary::dictionaryWithContentsOfFile(devicePath);
    auto entry = root ? objc::as<NSDictionary>(root->objectForKey("entry")) : nullptr;
    if (!entry) {
      NSLog("Preferences: %s holds no entry dictionary, left out", devicePath);
      continue;
    }
    PSPreferenceLoaderEntry e;
    e.file = devicePath;
    e.label = stringValue(entry.get(), "label");
    e.detail = stringValue(entry.get(), "detail");
    std::string bundle = stringValue(entry.get(), "bundle");
    e.bundlePath = stringValue(entry.get(), "bundlePath");
    if (e.bundlePath.empty() && !bundle.empty()) e.bundlePath = "/Library/PreferenceBundles/" + bundle + ".bundle";
    if (e.label.empty()) e.label = bundle.empty() ? lastComponentWithoutExtension(devicePath) : bundle;
    entries.push_back(std::move(e));
  }
  std::sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) { return a.label < b.label; });
  return entries;
}
