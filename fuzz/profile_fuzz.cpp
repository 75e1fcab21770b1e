// The device profile ("device.plist") beyond its property-list layer: any
// file gives a profile whose every field is usable, each bad value logged.

#include <Foundation/DeviceProfile.h>
#include <Foundation/NSCalendar.h>

#include <cmath>
#include <cstdint>

#include "FuzzSupport.h"

using fuzzsupport::check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzzsupport::deviceRoot();
  fuzzsupport::freshLog();
  fuzzsupport::writeDeviceBytes("/device.plist", fuzzsupport::asText(data, size));
  const foundation::DeviceProfile p = foundation::loadDeviceProfile();
  check(!p.iosRelease.empty() && p.foundationVersion > 0, "a release and its version");
  for (double v : {p.screenWidth, p.screenHeight, p.screenScale}) check(std::isfinite(v) && v > 0, "a screen");
  const double pixels = p.screenWidth * p.screenScale * p.screenHeight * p.screenScale;
  check(pixels <= 4096.0 * 4096.0, "a screen drawn within its pixel budget");
  check(NSTimeZone::timeZoneWithName(p.timeZone) != nullptr, "a time zone the device knows");
  check(!p.now || std::isfinite(*p.now), "a finite clock");
  for (const auto& b : p.bulletins) {
    check(!b.sectionID.empty() && !b.bulletinID.empty(), "bulletins name their application and themselves");
    check(!b.date || std::isfinite(*b.date), "finite bulletin dates");
  }
  return 0;
}
