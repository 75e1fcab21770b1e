// Property-list bytes of any kind: reading must give objects or nil, never
// crash, and whatever was read must write back out and read again.

#include <Foundation/NSLog.h>
#include <Foundation/PropertyList.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool quiet = (foundation::setLogSinks({}), true);
  (void)quiet;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  id root = foundation::propertyListFromBytes(bytes, foundation::PropertyListRoot::Any, "fuzz input");
  if (!root) return 0;
  (void)root->descriptionString();
  std::string xml;
  if (foundation::propertyListXML(*root, xml))
    (void)foundation::propertyListFromBytes(xml, foundation::PropertyListRoot::Any);
  return 0;
}
