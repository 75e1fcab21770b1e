#include <Foundation/NSData.h>

#include <Foundation/DeviceRoot.h>
#include <objc/ClassBuilder.h>

namespace {
uint64_t lengthOf(id self, SEL) { return objc::cast<NSData>(self.get())->length(); }
}  // namespace

Class NSData::classObject() {
  static Class cls = objc::ClassBuilder<NSData, NSObject>("NSData").function("length", &lengthOf).build();
  return cls;
}
OBJC_REGISTER_CLASS(NSData);

Ref<NSData> NSData::dataWithContentsOfFile(const std::string& devicePath) {
  std::string contents;
  if (!foundation::readDeviceFile(devicePath, contents)) return nullptr;
  return objc::create<NSData>(std::vector<uint8_t>(contents.begin(), contents.end()));
}

bool NSData::writeToFile(const std::string& devicePath, bool atomically) const {
  return writeToFileOptions(devicePath, atomically ? uint64_t(NSDataWritingAtomic) : uint64_t(0));
}

bool NSData::writeToFileOptions(const std::string& devicePath, uint64_t options) const {
  const std::string_view contents(reinterpret_cast<const char*>(bytes_.data()), bytes_.size());
  if (options & NSDataWritingWithoutOverwriting) return foundation::createDeviceFile(devicePath, contents);
  return foundation::writeDeviceFile(devicePath, contents, (options & NSDataWritingAtomic) != 0);
}

std::string NSData::descriptionString() const {
  // "<0a1b2c3d 4e5f>": hex, a space after every four bytes.
  static const char digits[] = "0123456789abcdef";
  std::string out = "<";
  for (size_t i = 0; i < bytes_.size(); ++i) {
    if (i && i % 4 == 0) out += ' ';
    out += digits[bytes_[i] >> 4];
    out += digits[bytes_[i] & 15];
  }
  return out + ">";
}

bool NSData::isEqualTo(const NSObject& other) const {
  auto* o = dynamic_cast<const NSData*>(&other);
  return o && o->bytes_ == bytes_;
}
