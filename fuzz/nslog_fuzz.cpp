// Log formats of any text with arguments of every kind: the formatter must
// print placeholders for what does not fit, never read past its arguments.

#include <Foundation/NSFormat.h>
#include <Foundation/NSNumber.h>
#include <Foundation/NSString.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The first byte picks the arguments (two bits each), the rest is the format.
  const uint8_t pick = size ? data[0] : 0;
  const std::string_view format(reinterpret_cast<const char*>(data) + (size ? 1 : 0), size ? size - 1 : 0);
  std::vector<foundation::FormatArg> args;
  for (int i = 0; i < 4; ++i) {
    switch ((pick >> (2 * i)) & 3) {
      case 0: args.emplace_back(NSStr(format.substr(0, 8))); break;
      case 1: args.emplace_back(int64_t(-1) - i); break;
      case 2: args.emplace_back(1.0 / (i + 1)); break;
      case 3: args.emplace_back(std::string(format.substr(0, 4))); break;
    }
  }
  if (pick & 1) args.emplace_back(nullptr);
  (void)foundation::formatString(format, args);
  (void)foundation::formatString(format, {});
  return 0;
}
