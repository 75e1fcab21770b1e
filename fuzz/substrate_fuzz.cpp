// The Substrate filter property list: any file either names the host (and
// the library beside it is loaded, here failing with a log line) or not
// (and nothing is tried); reading the file gives the same answer as the
// filter read from the same bytes in memory.

#include <Foundation/NSDictionary.h>
#include <Foundation/PropertyList.h>
#include <MobileSubstrate/SubstrateLoader.h>

#include <cstdint>

#include "FuzzSupport.h"

using fuzzsupport::check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzzsupport::deviceRoot();
  auto& log = fuzzsupport::freshLog();
  const std::string_view bytes = fuzzsupport::asText(data, size);
  static const bool laidOut =
      (fuzzsupport::writeDeviceBytes("/Library/MobileSubstrate/DynamicLibraries/Fuzz.dylib", "not a library"), true);
  (void)laidOut;
  fuzzsupport::writeDeviceBytes("/Library/MobileSubstrate/DynamicLibraries/Fuzz.plist", bytes);
  auto root = objc::as<NSDictionary>(
      foundation::propertyListFromBytes(bytes, foundation::PropertyListRoot::Dictionary, "filter"));
  const bool names = substrate::filterMatches(root.get(), "com.apple.springboard", "SpringBoard");
  log.clear();
  const auto loaded = substrate::loadTweaksForProcess("com.apple.springboard", "SpringBoard");
  check(loaded.empty(), "a library that is no library is never loaded");
  check(log.contains("could not be loaded") == names, "a library is tried exactly when its filter names the host");
  return 0;
}
