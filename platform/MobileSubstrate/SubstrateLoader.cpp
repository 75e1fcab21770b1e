#include <MobileSubstrate/SubstrateLoader.h>

#include <Foundation/DeviceRoot.h>
#include <Foundation/NSArray.h>
#include <Foundation/NSDictionary.h>
#include <Foundation/NSLog.h>
#include <Foundation/NSString.h>

#include <dlfcn.h>

#include <algorithm>
#include <filesystem>

namespace substrate {

namespace {

constexpr std::string_view kTweakFolder = "/Library/MobileSubstrate/DynamicLibraries";

bool listNames(const NSDictionary* filter, std::string_view key, std::string_view wanted) {
  auto list = objc::as<NSArray>(filter->objectForKey(key));
  if (!list) return false;
  return std::any_of(list->begin(), list->end(), [&](const id& entry) {
    auto s = objc::as<NSString>(entry);
    return s && s->isEqualToString(wanted);
  });
}

}  // namespace

bool filterMatches(const NSDictionary* root, std::string_view bundleId, std::string_view executable) {
  if (!root) return false;
  auto filter = objc::as<NSDictionary>(root->objectForKey("Filter"));
  if (!filter) return false;
  return listNames(filter.get(), "Bundles", bundleId) || listNames(filter.get(), "Executables", executable);
}

std::vector<LoadedTweak> loadTweaksForProcess(std::string_view bundleIdentifier, std::string_view executableName) {
  std::vector<LoadedTweak> loaded;
  std::vector<foundation::FolderEntry> entries;
  (void)foundation::listDeviceFolder(kTweakFolder, entries);
  std::vector<std::string> names;
  for (const auto& entry : entries) {
    const std::filesystem::path file(entry.name);
    if (file.extension() == ".dylib") names.push_back(file.stem().string());
  }
  std::sort(names.begin(), names.end());

  for (const auto& name : names) {
    std::string base = std::string(kTweakFolder) + "/" + name;
    auto filter = NSDictionary::dictionaryWithContentsOfFile(base + ".plist");
    if (!filterMatches(filter.get(), bundleIdentifier, executableName)) continue;
    std::string why;
    if (!foundation::loadDeviceLibrary(base + ".dylib", why)) {
      NSLog("MS:Error: %s could not be loaded: %s", base + ".dylib", why);
      continue;
    }
    NSLog("MS:Notice: Loading: %s", base + ".dylib");
    loaded.push_back({name, base + ".dylib"});
  }
  return loaded;
}

}  // namespace substrate
