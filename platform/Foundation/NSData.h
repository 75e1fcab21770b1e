#pragma once
/// \file
/// Bytes as an object.

#include <objc/NSObject.h>

#include <cstdint>
#include <string>
#include <vector>

class NSData : public NSObject {
 public:
  static Class classObject();
  NSData() = default;
  explicit NSData(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {}

  /// The whole file at a device path; nil when it cannot be read.
  static Ref<NSData> dataWithContentsOfFile(const std::string& devicePath);
  [[nodiscard]] const std::vector<uint8_t>& bytes() const noexcept { return bytes_; }
  [[nodiscard]] uint64_t length() const noexcept { return bytes_.size(); }
  bool writeToFile(const std::string& devicePath, bool atomically) const;

  [[nodiscard]] std::string descriptionString() const override;
  [[nodiscard]] bool isEqualTo(const NSObject& other) const override;

 private:
  std::vector<uint8_t> bytes_;
};
