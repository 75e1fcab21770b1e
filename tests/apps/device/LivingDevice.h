#pragma once
// The living device as its tests see it: a copy of the demo device with the
// product installed, and the device program running on it.

#include <sys/types.h>

#include <filesystem>
#include <string>

namespace devicetest {

/// A throw-away copy of the demo root with the tweak and the pane installed.
class DemoRoot {
 public:
  DemoRoot();
  ~DemoRoot();
  DemoRoot(const DemoRoot&) = delete;
  DemoRoot& operator=(const DemoRoot&) = delete;
  [[nodiscard]] const std::filesystem::path& path() const { return dir_; }

 private:
  std::filesystem::path dir_;
};

/// quillpane-device on a root, on a free port, until stop() or the end.
class LivingDevice {
 public:
  explicit LivingDevice(const std::filesystem::path& root);
  ~LivingDevice();
  LivingDevice(const LivingDevice&) = delete;
  LivingDevice& operator=(const LivingDevice&) = delete;

  [[nodiscard]] int port() const { return port_; }
  [[nodiscard]] std::string address() const { return "http://127.0.0.1:" + std::to_string(port_) + "/"; }
  [[nodiscard]] pid_t pid() const { return pid_; }
  /// Sends the signal and waits for the program's end; its exit status,
  /// or -1 when it did not end within seconds.
  int stop(int signal, double seconds);
  /// What the program printed so far.
  std::string output();

 private:
  pid_t pid_ = -1;
  int out_ = -1;
  int port_ = 0;
  std::string printed_;
};

}  // namespace devicetest
