#pragma once
/// \file
/// Bytes as an object.

#include <objc/NSObject.h>

#include <cstdint>
#include <string>
#include <vector>

enum : uint64_t {
  NSDataWritingAtomic = 1u << 0,
  NSDataWritingWithoutOverwriting = 1u << 1,
};

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
  /// Writes with NSDataWritingOptions: NSDataWritingAtomic, and
  /// NSDataWritingWithoutOverwriting, which fails when a file is there.
  bool writeToFileOptions(const std::string& devicePath, uint64_t options) const;

  [[nodiscard]] std::string descriptionString() const override;
  [[nodiscard]] bool isEqualTo(const NSObject& other) const override;

 private:
  std::vector<uint8_t> bytes_;
};
