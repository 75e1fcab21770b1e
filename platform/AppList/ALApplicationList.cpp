#include <AppList/ALApplicationList.h>

#include <Foundation/DeviceRoot.h>
#include <Foundation/NSArray.h>
#include <Foundation/NSLog.h>
#include <Foundation/NSString.h>
#include <objc/ClassBuilder.h>

#include <algorithm>
#include <filesystem>
#include <set>

namespace fs = std::filesystem;

namespace {

std::string stringValue(const NSDictionary* dict, std::string_view key) {
  auto s = objc::as<NSString>(dict->objectForKey(key));
  return s ? s->str() : std::string();
}

bool taggedHidden(const NSDictionary* info) {
  auto tags = objc::as<NSArray>(info->objectForKey("SBAppTags"));
  if (!tags) return false;
  return std::any_of(tags->begin(), tags->end(), [](const id& tag) {
    auto s = objc::as<NSString>(tag);
    return s && s->str() == "hidden";
  });
}

/// The .app folders directly in folder, or one level down when nested
/// (user applications sit in a folder per installation).
std::vector<std::string> appBundlesIn(const std::string& folder, bool nested) {
  std::vector<std::string> found;
  std::vector<foundation::FolderEntry> entries;
  (void)foundation::listDeviceFolder(folder, entries);
  for (const auto& entry : entries) {
    if (entry.kind != foundation::FolderEntry::Kind::Folder) continue;
    if (nested) {
      for (const auto& inner : appBundlesIn(folder + "/" + entry.name, false)) found.push_back(inner);
    } else if (fs::path(entry.name).extension() == ".app") {
      found.push_back(folder + "/" + entry.name);
    }
  }
  std::sort(found.begin(), found.end());
  return found;
}

void addBundle(const std::string& bundlePath, bool system, std::vector<ALInstalledApplication>& apps,
               std::set<std::string>& seen) {
  auto info = NSDictionary::dictionaryWithContentsOfFile(bundlePath + "/Info.plist");
  if (!info) {
    NSLog("AppList: %s has no readable Info.plist, left out", bundlePath);
    return;
  }
  ALInstalledApplication app;
  app.displayIdentifier = stringValue(info.get(), "CFBundleIdentifier");
  if (app.displayIdentifier.empty()) {
    NSLog("AppList: %s names no CFBundleIdentifier, left out", bundlePath);
    return;
  }
  if (!seen.insert(app.displayIdentifier).second) return;
  app.displayName = stringValue(info.get(), "CFBundleDisplayName");
  if (app.displayName.empty()) app.displayName = stringValue(info.get(), "CFBundleName");
  if (app.displayName.empty()) app.displayName = fs::path(bundlePath).stem().string();
  app.bundlePath = bundlePath;
  app.isSystemApplication = system;
  app.isHidden = taggedHidden(info.get());
  apps.push_back(std::move(app));
}

}  // namespace

std::vector<ALInstalledApplication> ALScanInstalledApplications() {
  std::vector<ALInstalledApplication> apps;
  std::set<std::string> seen;
  for (const auto& bundle : appBundlesIn("/Applications", false)) addBundle(bundle, true, apps, seen);
  for (const char* folder : {"/var/mobile/Applications", "/var/mobile/Containers/Bundle/Application"})
    for (const auto& bundle : appBundlesIn(folder, true)) addBundle(bundle, false, apps, seen);
  std::stable_sort(apps.begin(), apps.end(), [](const auto& a, const auto& b) {
    return NSString(a.displayName).caseInsensitiveCompare(NSString(b.displayName)) < 0;
  });
  return apps;
}

Class ALApplicationList::classObject() {
  static Class cls = objc::ClassBuilder<ALApplicationList, NSObject>("ALApplicationList")
                         .method<&ALApplicationList::applications>("applications")
                         .build();
  return cls;
}
OBJC_REGISTER_CLASS(ALApplicationList);

Ref<ALApplicationList> ALApplicationList::sharedApplicationList() {
  static Ref<ALApplicationList> shared = objc::create<ALApplicationList>();
  return shared;
}

Ref<NSDictionary> ALApplicationList::applications() const {
  auto dict = NSMutableDictionary::dictionary();
  for (const auto& app : ALScanInstalledApplications())
    dict->setObjectForKey(NSStr(app.displayName), app.displayIdentifier);
  return dict;
}
