// Property-list bytes of any kind: reading gives objects, or nil with a log
// line; whatever was read writes back out as XML and reads again equal.

#include <Foundation/NSLog.h>
#include <Foundation/PropertyList.h>

#include <cmath>
#include <cstdint>
#include <string>

#include "FuzzSupport.h"

using fuzzsupport::check;

namespace {
/// NaN is not equal to itself, so a list holding one cannot compare equal
/// after a round trip; its text form must still be stable.
bool sameAfterRoundTrip(const NSObject& a, const NSObject& b) {
  return a.isEqualTo(b) || a.descriptionString() == b.descriptionString();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  auto& log = fuzzsupport::freshLog();
  const std::string_view bytes = fuzzsupport::asText(data, size);
  id root = foundation::propertyListFromBytes(bytes, foundation::PropertyListRoot::Any, "fuzz input");
  if (!root) {
    check(log.contains("fuzz input"), "a refused list is logged by name");
    return 0;
  }
  (void)root->descriptionString();
  std::string xml;
  if (!foundation::propertyListXML(*root, xml)) return 0;
  id again = foundation::propertyListFromBytes(xml, foundation::PropertyListRoot::Any, "written copy");
  check(again != nullptr, "what was read writes out readable");
  check(sameAfterRoundTrip(*root, *again), "the written copy reads back equal");
  std::string xml2;
  check(foundation::propertyListXML(*again, xml2) && xml2 == xml, "writing is stable");
  return 0;
}
