#pragma once
/// \file
/// The Settings application of the simulated device: it boots a device
/// root, loads a preference pane from its bundle the way the Settings
/// application does, shows the pane's root screen on a navigation stack,
/// and tells what the pane does outside itself (Darwin notifications
/// posted, addresses opened).

#include <Preferences/PSListController.h>
#include <UIKit/UINavigationController.h>
#include <UIKit/UIWindow.h>

#include <Foundation/NSLog.h>

#include <filesystem>
#include <memory>
#include <mutex>
#include <ostream>
#include <set>
#include <stdexcept>
#include <string>

namespace settings {

/// What the person asked for cannot be done; the message says why.
class HostError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class SettingsHost {
 public:
  explicit SettingsHost(std::ostream& out);
  ~SettingsHost();
  SettingsHost(const SettingsHost&) = delete;
  SettingsHost& operator=(const SettingsHost&) = delete;

  /// Boots root, finds the Settings entry labelled paneLabel, loads its
  /// bundle, makes its principal class and shows it. HostError when the
  /// root, the entry or the bundle is not usable.
  void open(const std::filesystem::path& root, const std::string& paneLabel);

  [[nodiscard]] Ref<PSListController> rootScreen() const { return root_; }
  [[nodiscard]] Ref<UINavigationController> navigation() const { return navigation_; }
  /// The screen on top of the navigation stack.
  [[nodiscard]] Ref<UIViewController> topScreen() const;
  /// Pops back to the root screen.
  void backToRoot();

  /// Lets the main run loop do the work queued so far (web view callbacks,
  /// performs on the main thread) and lays the window out.
  void settle();
  /// Before the host quits: waits, for at most boundSeconds, until the
  /// background work still under way (a store's access answer, a fetch)
  /// and the main-thread work it queues have run. True when all has.
  bool finish(double boundSeconds = kFinishBoundSeconds);
  static constexpr double kFinishBoundSeconds = 2.0;
  /// While held, settle() only lays out: screens stay as they first show
  /// (a page still loading keeps its loading label).
  void holdQueuedWork(bool hold) { holdQueuedWork_ = hold; }

  [[nodiscard]] std::ostream& out() const { return out_; }

 private:
  std::ostream& out_;
  Ref<UIWindow> window_;
  Ref<UINavigationController> navigation_;
  Ref<PSListController> root_;
  bool finished_ = false;
  bool holdQueuedWork_ = false;
};

/// Passes each distinct log line on once: a fault met again and again in
/// one command (every control reading an unreadable file) is one line.
class DistinctLinesSink : public foundation::LogSink {
 public:
  explicit DistinctLinesSink(std::shared_ptr<foundation::LogSink> next) : next_(std::move(next)) {}
  void write(const std::string& line) override;

 private:
  std::shared_ptr<foundation::LogSink> next_;
  std::mutex lock_;
  std::set<std::string> seen_;
};

/// Throws HostError unless root is a folder laid out like a device.
void checkDeviceRoot(const std::filesystem::path& root);

}  // namespace settings
