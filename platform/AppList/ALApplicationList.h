#pragma once
/// \file
/// The installed applications, read from their bundles on the device:
/// system applications in "/Applications/*.app", user (App Store)
/// applications in "/var/mobile/Applications/<uuid>/*.app" (iOS 7) and
/// "/var/mobile/Containers/Bundle/Application/<uuid>/*.app" (iOS 8 and
/// later). Each bundle's Info.plist gives the display identifier
/// (CFBundleIdentifier) and the name (CFBundleDisplayName, else
/// CFBundleName, else the folder's name).

#include <Foundation/NSDictionary.h>

#include <string>
#include <vector>

struct ALInstalledApplication {
  std::string displayIdentifier;
  std::string displayName;
  std::string bundlePath;  ///< device path of the .app folder
  bool isSystemApplication = false;
  bool isHidden = false;  ///< "SBAppTags" holds "hidden"
};

/// Every application found now, sorted by name without regard to case.
/// Bundles without a readable Info.plist or a CFBundleIdentifier are logged
/// and left out; an identifier found twice keeps its first bundle.
std::vector<ALInstalledApplication> ALScanInstalledApplications();

class ALApplicationList : public NSObject {
 public:
  static Class classObject();
  static Ref<ALApplicationList> sharedApplicationList();

  // Registered: "applications" — display identifier to name, read anew.
  [[nodiscard]] Ref<NSDictionary> applications() const;
};
