#include "ChildProcess.h"

#include <fmt/format.h>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <ctime>
#include <thread>

extern char** environ;

namespace device {

using Clock = std::chrono::steady_clock;

namespace {

std::string exitText(int status) {
  if (WIFSIGNALED(status)) return fmt::format("signal {}", WTERMSIG(status));
  if (WIFEXITED(status)) return fmt::format("status {}", WEXITSTATUS(status));
  return "an unknown cause";
}

std::string wallClock() {
  std::time_t t = std::time(nullptr);
  std::tm tm{};
  ::localtime_r(&t, &tm);
  char text[16];
  std::strftime(text, sizeof text, "%H:%M:%S", &tm);
  return text;
}

int remainingMs(Clock::time_point deadline) {
  auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
  return left < 0 ? 0 : static_cast<int>(left);
}

}  // namespace

ChildProcess::ChildProcess(std::string name, std::vector<std::string> argv)
    : name_(std::move(name)), argv_(std::move(argv)) {}

ChildProcess::~ChildProcess() { stop(std::chrono::milliseconds(2000)); }

pid_t ChildProcess::pid() const {
  std::lock_guard guard(lock_);
  return pid_;
}

int ChildProcess::restarts() const {
  std::lock_guard guard(lock_);
  return restarts_;
}

std::vector<std::string> ChildProcess::notes() const {
  std::lock_guard guard(lock_);
  return notes_;
}

void ChildProcess::start(std::chrono::milliseconds bootTimeout) {
  std::lock_guard guard(lock_);
  bootTimeout_ = bootTimeout;
  spawnLocked();
}

void ChildProcess::spawnLocked() {
  int in[2], out[2];
  if (::pipe2(in, O_CLOEXEC) != 0) throw ChildError(fmt::format("{}: no pipe: {}", name_, std::strerror(errno)));
  if (::pipe2(out, O_CLOEXEC) != 0) {
    ::close(in[0]);
    ::close(in[1]);
    throw ChildError(fmt::format("{}: no pipe: {}", name_, std::strerror(errno)));
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, in[0], 0);
  posix_spawn_file_actions_adddup2(&actions, out[1], 1);
  std::vector<char*> args;
  for (const auto& a : argv_) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  pid_t pid = -1;
  const int rc = ::posix_spawn(&pid, args[0], &actions, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(in[0]);
  ::close(out[1]);
  if (rc != 0) {
    ::close(in[1]);
    ::close(out[0]);
    throw ChildError(fmt::format("{}: cannot start {}: {}", name_, argv_[0], std::strerror(rc)));
  }
  pid_ = pid;
  toChild_ = in[1];
  fromChild_ = out[0];
  buffer_.clear();

  std::string line, why;
  if (!readLineLocked(line, Clock::now() + bootTimeout_, why)) {
    reapLocked(true, "");
    throw ChildError(fmt::format("{} did not start: {}", name_, why));
  }
  auto hello = nlohmann::json::parse(line, nullptr, false);
  if (!hello.is_object() || !hello.value("ready", false)) {
    std::string complaint = hello.is_object() ? hello.value("error", line) : line;
    reapLocked(true, "");
    throw ChildError(fmt::format("{} did not start: {}", name_, complaint));
  }
}

void ChildProcess::reapLocked(bool kill, const std::string& why) {
  if (pid_ <= 0) return;
  if (toChild_ >= 0) ::close(toChild_);
  if (fromChild_ >= 0) ::close(fromChild_);
  toChild_ = fromChild_ = -1;
  if (kill) ::kill(pid_, SIGKILL);
  int status = 0;
  while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
  }
  if (!why.empty()) notes_.push_back(fmt::format("{} {}: {} ({})", wallClock(), name_, why, exitText(status)));
  pid_ = -1;
}

bool ChildProcess::fillLocked(Clock::time_point deadline, std::string& why) {
  pollfd p{fromChild_, POLLIN, 0};
  for (;;) {
    const int n = ::poll(&p, 1, remainingMs(deadline));
    if (n < 0 && errno == EINTR) continue;
    if (n == 0) {
      why = "it did not answer in time";
      return false;
    }
    if (n < 0) {
      why = std::strerror(errno);
      return false;
    }
    char chunk[65536];
    const ssize_t got = ::read(fromChild_, chunk, sizeof chunk);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) {
      why = "it ended";
      return false;
    }
    buffer_.append(chunk, static_cast<size_t>(got));
    return true;
  }
}

bool ChildProcess::readLineLocked(std::string& line, Clock::time_point deadline, std::string& why) {
  for (;;) {
    const size_t end = buffer_.find('\n');
    if (end != std::string::npos) {
      line = buffer_.substr(0, end);
      buffer_.erase(0, end + 1);
      return true;
    }
    if (!fillLocked(deadline, why)) return false;
  }
}

bool ChildProcess::readBytesLocked(std::string& bytes, size_t n, Clock::time_point deadline, std::string& why) {
  while (buffer_.size() < n)
    if (!fillLocked(deadline, why)) return false;
  bytes = buffer_.substr(0, n);
  buffer_.erase(0, n);
  return true;
}

ChildProcess::Reply ChildProcess::request(const nlohmann::json& request, std::chrono::milliseconds timeout) {
  std::lock_guard guard(lock_);
  if (pid_ > 0) {
    int status = 0;
    if (::waitpid(pid_, &status, WNOHANG) == pid_) {
      notes_.push_back(fmt::format("{} {} ended ({}); restarted", wallClock(), name_, exitText(status)));
      ::close(toChild_);
      ::close(fromChild_);
      toChild_ = fromChild_ = -1;
      pid_ = -1;
    }
  }
  if (pid_ <= 0) {
    ++restarts_;
    spawnLocked();
  }

  const std::string text = request.dump() + "\n";
  size_t sent = 0;
  while (sent < text.size()) {
    const ssize_t n = ::write(toChild_, text.data() + sent, text.size() - sent);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      reapLocked(true, "stopped taking requests; restarted");
      ++restarts_;
      spawnLocked();
      throw ChildError(fmt::format("{} stopped while taking the request and was restarted", name_));
    }
    sent += static_cast<size_t>(n);
  }

  const auto deadline = Clock::now() + timeout;
  Reply reply;
  std::string line, why;
  bool ok = readLineLocked(line, deadline, why);
  if (ok) {
    reply.head = nlohmann::json::parse(line, nullptr, false);
    if (!reply.head.is_object()) {
      ok = false;
      why = "it answered nonsense";
    }
  }
  if (ok && reply.head.contains("bytes")) {
    const auto n = reply.head["bytes"];
    ok = n.is_number_unsigned() && readBytesLocked(reply.bytes, n.get<size_t>(), deadline, why);
  }
  if (!ok) {
    reapLocked(true, fmt::format("{}; restarted", why));
    ++restarts_;
    spawnLocked();
    throw ChildError(fmt::format("{} failed on the request ({}) and was restarted", name_, why));
  }
  return reply;
}

void ChildProcess::stop(std::chrono::milliseconds grace) {
  std::lock_guard guard(lock_);
  if (pid_ <= 0) return;
  ::close(toChild_);
  toChild_ = -1;
  const auto deadline = Clock::now() + grace;
  int status = 0;
  while (Clock::now() < deadline) {
    if (::waitpid(pid_, &status, WNOHANG) == pid_) {
      ::close(fromChild_);
      fromChild_ = -1;
      pid_ = -1;
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  reapLocked(true, "");
}

}  // namespace device
