// Applications' Info.plist files: any file gives the application (with an
// identifier and a name) or leaves it out with a log line. The input is two
// files split at the first byte 0: a system and a user application's.

#include <AppList/ALApplicationList.h>

#include <cstdint>

#include "FuzzSupport.h"

using fuzzsupport::check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzzsupport::deviceRoot();
  auto& log = fuzzsupport::freshLog();
  const auto [first, second] = fuzzsupport::splitAtNul(fuzzsupport::asText(data, size));
  fuzzsupport::writeDeviceBytes("/Applications/Fuzz.app/Info.plist", first);
  fuzzsupport::writeDeviceBytes("/var/mobile/Containers/Bundle/Application/U1/Other.app/Info.plist", second);
  const auto apps = ALScanInstalledApplications();
  check(apps.size() <= 2, "two bundles, two applications at most");
  for (const auto& a : apps) {
    check(!a.displayIdentifier.empty() && !a.displayName.empty(), "an application has an identifier and a name");
    check(a.isSystemApplication == (a.bundlePath == "/Applications/Fuzz.app"),
          "system applications are /Applications'");
  }
  if (apps.size() == 2) check(apps[0].displayIdentifier != apps[1].displayIdentifier, "identifiers are unique");
  if (apps.empty()) check(log.contains("left out"), "a left-out application is logged");
  return 0;
}
