#pragma once
// A fresh device root per test, removed afterwards, and a log capture.

#include <Foundation/DeviceRoot.h>
#include <Foundation/NSLog.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

class TempRoot {
 public:
  TempRoot() {
    std::string pattern = (std::filesystem::temp_directory_path() / "qp-root-XXXXXX").string();
    path_ = mkdtemp(pattern.data());
    foundation::setDeviceRoot(path_);
  }
  ~TempRoot() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  TempRoot(const TempRoot&) = delete;
  TempRoot& operator=(const TempRoot&) = delete;

  [[nodiscard]] const std::filesystem::path& path() const { return path_; }
  /// Makes the device folder (and its parents) under the root.
  void makeFolder(std::string_view devicePath) const {
    std::filesystem::create_directories(foundation::resolveDevicePath(devicePath));
  }

 private:
  std::filesystem::path path_;
};

/// Captures the log for the life of the object.
class LogCapture {
 public:
  LogCapture() : sink_(std::make_shared<foundation::CapturingSink>()) { foundation::setLogSinks({sink_}); }
  ~LogCapture() { foundation::setLogSinks({foundation::stderrSink()}); }
  foundation::CapturingSink& operator*() const { return *sink_; }
  foundation::CapturingSink* operator->() const { return sink_.get(); }

 private:
  std::shared_ptr<foundation::CapturingSink> sink_;
};
