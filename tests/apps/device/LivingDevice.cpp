#include "LivingDevice.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <regex>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace devicetest {

namespace fs = std::filesystem;

DemoRoot::DemoRoot() {
  std::string templ = (fs::temp_directory_path() / "qp-device-XXXXXX").string();
  if (!::mkdtemp(templ.data())) throw std::runtime_error("mkdtemp failed");
  dir_ = fs::path(templ) / "root";
  fs::copy(fs::path(QP_SOURCE_DIR) / "demo/root", dir_, fs::copy_options::recursive);
  const fs::path libs = dir_ / "Library/MobileSubstrate/DynamicLibraries";
  fs::create_directories(libs);
  fs::copy_file(fs::path(QP_BINARY_DIR) / "device-libs/Quillpane.dylib", libs / "Quillpane.dylib");
  fs::copy_file(fs::path(QP_SOURCE_DIR) / "tweak/Quillpane.plist", libs / "Quillpane.plist");
  const fs::path bundle = dir_ / "Library/PreferenceBundles/QuillpanePrefs.bundle";
  fs::create_directories(bundle);
  for (const char* file : {"Info.plist", "QuillpanePrefs.plist", "iconIOS7@2x.png"})
    fs::copy_file(fs::path(QP_SOURCE_DIR) / "prefs/Resources" / file, bundle / file);
  // Copied, as a package installs it: a link may not lead out of the root.
  fs::copy_file(fs::path(QP_PANE_BUNDLE_DIR) / "QuillpanePrefs", bundle / "QuillpanePrefs");
  fs::create_directories(dir_ / "Library/PreferenceLoader/Preferences");
  fs::copy_file(fs::path(QP_SOURCE_DIR) / "prefs/entry/QuillpanePrefs.plist",
                dir_ / "Library/PreferenceLoader/Preferences/QuillpanePrefs.plist");
}

DemoRoot::~DemoRoot() {
  std::error_code ec;
  fs::remove_all(dir_.parent_path(), ec);
}

LivingDevice::LivingDevice(const fs::path& root) {
  int out[2];
  if (::pipe2(out, O_CLOEXEC) != 0) throw std::runtime_error("no pipe");
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], 1);
  std::string program = QP_DEVICE_PROGRAM, rootArg = root.string();
  std::vector<char*> argv{program.data(),         const_cast<char*>("--root"),
                          rootArg.data(),         const_cast<char*>("--port"),
                          const_cast<char*>("0"), nullptr};
  const int rc = ::posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(out[1]);
  out_ = out[0];
  if (rc != 0) throw std::runtime_error("cannot start " + program);
  static const std::regex kOpen(R"(Open http://127\.0\.0\.1:(\d+)/)");
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(90);
  std::smatch m;
  while (!std::regex_search(printed_, m, kOpen)) {
    if (std::chrono::steady_clock::now() > deadline) throw std::runtime_error("the device did not start: " + printed_);
    output();
    int status = 0;
    if (::waitpid(pid_, &status, WNOHANG) == pid_) {
      pid_ = -1;
      throw std::runtime_error("the device ended at start: " + printed_);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  port_ = std::stoi(m[1].str());
}

std::string LivingDevice::output() {
  pollfd p{out_, POLLIN, 0};
  char chunk[4096];
  while (::poll(&p, 1, 0) > 0) {
    const ssize_t n = ::read(out_, chunk, sizeof chunk);
    if (n <= 0) break;
    printed_.append(chunk, static_cast<size_t>(n));
  }
  return printed_;
}

int LivingDevice::stop(int signal, double seconds) {
  if (pid_ <= 0) return -1;
  ::kill(pid_, signal);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (std::chrono::steady_clock::now() < deadline) {
    int status = 0;
    if (::waitpid(pid_, &status, WNOHANG) == pid_) {
      pid_ = -1;
      output();
      return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return -1;
}

LivingDevice::~LivingDevice() {
  if (pid_ > 0 && stop(SIGTERM, 10) < 0) {
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
  }
  if (out_ >= 0) ::close(out_);
}

}  // namespace devicetest
