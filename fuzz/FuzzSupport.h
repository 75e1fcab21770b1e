#pragma once
// What the fuzz targets share: a scratch device root made once per process,
// a log that each input starts empty, and the check that stops on a broken
// property with the reason.

#include <Foundation/DeviceRoot.h>
#include <Foundation/NSLog.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <system_error>

namespace fuzzsupport {

/// A device root of its own in shared memory (or the temporary folder),
/// removed when the process ends.
inline const std::filesystem::path& deviceRoot() {
  static const std::filesystem::path root = [] {
    std::error_code ec;
    std::filesystem::path base = std::filesystem::is_directory("/dev/shm", ec) ? std::filesystem::path("/dev/shm")
                                                                               : std::filesystem::temp_directory_path();
    std::string pattern = (base / "qp-fuzz-XXXXXX").string();
    if (!mkdtemp(pattern.data())) std::abort();
    static const std::string made = pattern;
    std::atexit([] {
      std::error_code e;
      std::filesystem::remove_all(made, e);
    });
    foundation::setDeviceRoot(pattern);
    return std::filesystem::path(pattern);
  }();
  return root;
}

/// The log of the current input: call at the start of each input.
inline foundation::CapturingSink& freshLog() {
  static const auto sink = [] {
    auto s = std::make_shared<foundation::CapturingSink>();
    foundation::setLogSinks({s});
    return s;
  }();
  sink->clear();
  return *sink;
}

inline void check(bool holds, const char* property) {
  if (holds) return;
  std::fprintf(stderr, "property broken: %s\n", property);
  std::abort();
}

/// Writes bytes to a device path, making its folders.
inline void writeDeviceBytes(std::string_view devicePath, std::string_view bytes) {
  const auto path = deviceRoot() / std::string(devicePath.substr(devicePath.starts_with('/') ? 1 : 0));
  std::error_code ec;
  std::filesystem::create_directories(path.parent_path(), ec);
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) std::abort();
  if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
}

inline std::string_view asText(const uint8_t* data, size_t size) { return {reinterpret_cast<const char*>(data), size}; }

/// The input split at the first byte 0: two fields for targets that read
/// two files or two values.
inline std::pair<std::string_view, std::string_view> splitAtNul(std::string_view bytes) {
  const size_t at = bytes.find('\0');
  if (at == std::string_view::npos) return {bytes, {}};
  return {bytes.substr(0, at), bytes.substr(at + 1)};
}

}  // namespace fuzzsupport
