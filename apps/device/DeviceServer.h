#pragma once
/// \file
/// The living device's web server: the page, the lock screen's picture,
/// and a small JSON interface to the two programs. It listens on the
/// loopback address only and answers only requests addressed to it there
/// (Host, and Origin when a browser sends one), so no other web page can
/// drive the device.

#include "ChildProcess.h"

#include <filesystem>
#include <memory>
#include <string>

namespace httplib {
class Server;
}

namespace device {

class DeviceServer {
 public:
  /// program is this executable, started again for each child.
  DeviceServer(std::filesystem::path root, std::string program);
  ~DeviceServer();
  DeviceServer(const DeviceServer&) = delete;
  DeviceServer& operator=(const DeviceServer&) = delete;

  /// Starts SpringBoard and Settings on the root; ChildError when either
  /// cannot boot.
  void startPrograms();
  /// Binds 127.0.0.1:port (0: any free port) and returns the port; false
  /// (as 0) when the port is taken.
  int bind(int port);
  /// Serves until stop().
  void run();
  /// Ends run(); safe from any thread.
  void stop();
  /// Ends both programs, letting a request in flight finish first.
  void stopPrograms();

  [[nodiscard]] std::string address() const;

 private:
  void routes();
  [[nodiscard]] bool addressedToUs(const std::string& host, const std::string& origin) const;

  std::filesystem::path root_;
  std::unique_ptr<httplib::Server> server_;
  ChildProcess springboard_, settings_;
  int port_ = 0;
};

}  // namespace device
