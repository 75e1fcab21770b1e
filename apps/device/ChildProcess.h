#pragma once
/// \file
/// One of the device's programs as a long-lived child process, spoken to
/// over a pipe: a request is one line of JSON, the answer one line of JSON,
/// followed by "bytes" raw bytes when it says so. A child that dies, or
/// stops answering, is restarted, as SpringBoard is after a crash, and the
/// restart is noted for the page.

#include <nlohmann/json.hpp>

#include <sys/types.h>

#include <chrono>
#include <mutex>
#include <stdexcept>
#include <string>
#include <vector>

namespace device {

/// The child could not answer; it has been restarted. The message says why.
class ChildError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class ChildProcess {
 public:
  // Moving a JSON value does not throw; the check cannot see through it.
  struct Reply {  // NOLINT(bugprone-exception-escape)
    nlohmann::json head;
    std::string bytes;
  };

  /// name is what the page calls it ("SpringBoard"); argv the program and
  /// its arguments. Nothing starts until start().
  ChildProcess(std::string name, std::vector<std::string> argv);
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  /// Starts the child and waits for its first line; throws ChildError with
  /// the child's own complaint when it cannot boot.
  void start(std::chrono::milliseconds bootTimeout);

  /// Sends one request and reads the answer. A dead child is restarted
  /// first; one that dies or times out meanwhile is restarted and the
  /// request fails with ChildError.
  Reply request(const nlohmann::json& request, std::chrono::milliseconds timeout);

  /// Closes the child's input, the sign to finish, and waits for it; kills
  /// it when it does not end within grace.
  void stop(std::chrono::milliseconds grace);

  [[nodiscard]] const std::string& name() const { return name_; }
  [[nodiscard]] pid_t pid() const;
  [[nodiscard]] int restarts() const;
  /// What happened to the child, oldest first ("SpringBoard ended (signal 9); restarted").
  [[nodiscard]] std::vector<std::string> notes() const;

 private:
  void spawnLocked();
  void reapLocked(bool kill, const std::string& why);
  bool readLineLocked(std::string& line, std::chrono::steady_clock::time_point deadline, std::string& why);
  bool readBytesLocked(std::string& bytes, size_t n, std::chrono::steady_clock::time_point deadline, std::string& why);
  bool fillLocked(std::chrono::steady_clock::time_point deadline, std::string& why);

  const std::string name_;
  const std::vector<std::string> argv_;
  mutable std::mutex lock_;
  pid_t pid_ = -1;
  int toChild_ = -1, fromChild_ = -1;
  std::string buffer_;
  std::chrono::milliseconds bootTimeout_{30000};
  int restarts_ = 0;
  std::vector<std::string> notes_;
};

}  // namespace device
