#include <SpringBoard/SBApplicationIcons.h>

#include <Foundation/DeviceRoot.h>
#include <Foundation/NSArray.h>
#include <Foundation/NSDictionary.h>
#include <Foundation/NSLog.h>
#include <Foundation/NSString.h>
#include <UIKit/UIGraphics.h>

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

namespace springboard {

namespace {

namespace fs = std::filesystem;

struct InstalledApplication {
  std::string folder;    ///< device path of the .app folder
  std::string iconName;  ///< from Info.plist; empty when it names none
};

/// Bundle identifier -> application, per device root.
using ApplicationIndex = std::map<std::string, InstalledApplication, std::less<>>;

std::string stringValue(const id& value) {
  auto s = objc::as<NSString>(value);
  return s ? s->str() : std::string();
}

/// The icon file name Info.plist gives: CFBundleIconFile, else the first of
/// CFBundleIconFiles (top level or under CFBundleIcons' primary icon).
std::string iconNameOf(const NSDictionary& info) {
  std::string name = stringValue(info.objectForKey("CFBundleIconFile"));
  if (!name.empty()) return name;
  auto firstOf = [](const id& files) {
    auto list = objc::as<NSArray>(files);
    return list && list->count() > 0 ? stringValue(list->firstObject()) : std::string();
  };
  name = firstOf(info.objectForKey("CFBundleIconFiles"));
  if (!name.empty()) return name;
  if (auto icons = objc::as<NSDictionary>(info.objectForKey("CFBundleIcons")))
    if (auto primary = objc::as<NSDictionary>(icons->objectForKey("CFBundlePrimaryIcon")))
      return firstOf(primary->objectForKey("CFBundleIconFiles"));
  return "";
}

ApplicationIndex scanApplications() {
  ApplicationIndex index;
  std::vector<foundation::FolderEntry> entries;
  (void)foundation::listDeviceFolder("/Applications", entries);
  std::vector<std::string> names;
  for (auto& entry : entries)
    if (entry.name.size() > 4 && entry.name.ends_with(".app")) names.push_back(std::move(entry.name));
  std::sort(names.begin(), names.end());  // the first of two same identifiers wins, every run
  for (const auto& name : names) {
    std::string app = "/Applications/" + name;
    auto info = NSDictionary::dictionaryWithContentsOfFile(app + "/Info.plist");
    if (!info) {
      NSLog("SpringBoard: no readable Info.plist in %s, application ignored", app);
      continue;
    }
    std::string bundleID = stringValue(info->objectForKey("CFBundleIdentifier"));
    if (bundleID.empty()) {
      NSLog("SpringBoard: %s has no CFBundleIdentifier, application ignored", app);
      continue;
    }
    index.try_emplace(bundleID, InstalledApplication{app, iconNameOf(*info)});
  }
  return index;
}

bool deviceFileExists(const std::string& devicePath) { return foundation::deviceItemExists(devicePath); }

/// Candidate files for an icon name, the double-resolution file first.
std::vector<std::string> iconCandidates(const std::string& folder, const std::string& iconName) {
  std::vector<std::string> files;
  auto addName = [&](const std::string& name) {
    if (name.ends_with(".png")) {
      std::string stem = name.substr(0, name.size() - 4);
      if (!stem.ends_with("@2x")) files.push_back(folder + "/" + stem + "@2x.png");
      files.push_back(folder + "/" + name);
    } else {
      files.push_back(folder + "/" + name + "@2x.png");
      files.push_back(folder + "/" + name + ".png");
    }
  };
  if (!iconName.empty()) addName(iconName);
  addName("Icon.png");
  return files;
}

Ref<UIImage> loadIcon(const InstalledApplication& app) {
  for (const auto& file : iconCandidates(app.folder, app.iconName)) {
    if (!deviceFileExists(file)) continue;
    if (auto image = UIImage::imageWithContentsOfFile(file)) return image;
  }
  NSLog("SpringBoard: no readable icon in %s", app.folder);
  return nullptr;
}

struct IconCache {
  std::mutex lock;
  std::map<std::string, ApplicationIndex> applications;               // root -> index
  std::map<std::pair<std::string, std::string>, Ref<UIImage>> icons;  // (root, id) -> icon or nil
};

IconCache& iconCache() {
  static auto* cache = new IconCache();  // outlives static teardown, as the images may
  return *cache;
}

void roundedSquarePath(cairo_t* cr, double x, double y, double side, double radius) {
  cairo_new_sub_path(cr);
  cairo_arc(cr, x + side - radius, y + radius, radius, -M_PI / 2, 0);
  cairo_arc(cr, x + side - radius, y + side - radius, radius, 0, M_PI / 2);
  cairo_arc(cr, x + radius, y + side - radius, radius, M_PI / 2, M_PI);
  cairo_arc(cr, x + radius, y + radius, radius, M_PI, 3 * M_PI / 2);
  cairo_close_path(cr);
}

Ref<UIImage> drawGenericIcon() {
  constexpr double side = 40;
  UIGraphicsBeginImageContextWithOptions(CGSizeMake(side, side), false, 2);
  CGContextRef ctx = UIGraphicsGetCurrentContext();
  if (!ctx) return nullptr;
  cairo_t* cr = ctx->cairo();
  cairo_save(cr);
  roundedSquarePath(cr, 0.5, 0.5, side - 1, 9);
  cairo_pattern_t* shade = cairo_pattern_create_linear(0, 0, 0, side);
  cairo_pattern_add_color_stop_rgb(shade, 0, 0.80, 0.82, 0.85);
  cairo_pattern_add_color_stop_rgb(shade, 1, 0.55, 0.57, 0.61);
  cairo_set_source(cr, shade);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(shade);
  cairo_set_source_rgba(cr, 1, 1, 1, 0.8);
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
  cairo_restore(cr);
  Ref<UIImage> image = UIGraphicsGetImageFromCurrentImageContext();
  UIGraphicsEndImageContext();
  return image;
}

}  // namespace

Ref<UIImage> installedApplicationIcon(std::string_view bundleIdentifier) {
  if (bundleIdentifier.empty()) return nullptr;
  auto& cache = iconCache();
  std::string root = foundation::deviceRoot().string();
  std::lock_guard guard(cache.lock);
  auto key = std::make_pair(root, std::string(bundleIdentifier));
  if (auto it = cache.icons.find(key); it != cache.icons.end()) return it->second;
  auto [apps, scanned] = cache.applications.try_emplace(root);
  if (scanned) apps->second = scanApplications();
  Ref<UIImage> icon;
  if (auto app = apps->second.find(bundleIdentifier); app != apps->second.end()) icon = loadIcon(app->second);
  cache.icons.emplace(key, icon);
  return icon;
}

Ref<UIImage> genericApplicationIcon() {
  static Ref<UIImage>* icon = new Ref<UIImage>(drawGenericIcon());
  return *icon;
}

bool isGenericApplicationIcon(const UIImage* image) { return image && image == genericApplicationIcon().get(); }

}  // namespace springboard
