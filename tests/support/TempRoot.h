#pragma once
// Shared by every test that needs a device root or the log: a fresh root
// per use, removed afterwards, and a capture of the log lines.

#include <Foundation/DeviceRoot.h>
#include <Foundation/NSLog.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

/// A new, empty folder under the system's temporary folder that is the
/// device root until the next one is made; removed with its contents.
class TempRoot {
 public:
  explicit TempRoot(std::string_view prefix = "qp-root") {
    std::string pattern = (std::filesystem::temp_directory_path() / (std::string(prefix) + "-XXXXXX")).string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed for " + pattern);
    path_ = pattern;
    // Open to other users, as a phone's folders are: tests that run the
    // pane as an ordinary user must reach the files inside.
    std::filesystem::permissions(path_, std::filesystem::perms(0755));
    foundation::setDeviceRoot(path_);
  }
  ~TempRoot() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  TempRoot(const TempRoot&) = delete;
  TempRoot& operator=(const TempRoot&) = delete;

  [[nodiscard]] const std::filesystem::path& path() const { return path_; }
  /// A path inside the root, on the host.
  std::filesystem::path operator/(const std::filesystem::path& inside) const { return path_ / inside; }
  /// Makes the device folder (and its parents) under the root.
  void makeFolder(std::string_view devicePath) const {
    std::filesystem::create_directories(foundation::resolveDevicePath(devicePath));
  }

 private:
  std::filesystem::path path_;
};

/// Captures the log for the life of the object, then gives it back to
/// standard error.
class LogCapture {
 public:
  LogCapture() : sink_(std::make_shared<foundation::CapturingSink>()) { foundation::setLogSinks({sink_}); }
  ~LogCapture() { foundation::setLogSinks({foundation::stderrSink()}); }
  LogCapture(const LogCapture&) = delete;
  LogCapture& operator=(const LogCapture&) = delete;

  foundation::CapturingSink& operator*() const { return *sink_; }
  foundation::CapturingSink* operator->() const { return sink_.get(); }
  [[nodiscard]] const std::shared_ptr<foundation::CapturingSink>& sink() const { return sink_; }

  /// How many captured lines contain the text.
  [[nodiscard]] std::size_t count(std::string_view text) const {
    std::size_t n = 0;
    for (const auto& line : sink_->lines()) n += line.find(text) != std::string::npos;
    return n;
  }

 private:
  std::shared_ptr<foundation::CapturingSink> sink_;
};
