#pragma once
/// \file
/// The simulator's driver of the lock screen: a person's hands on the device,
/// for the SpringBoard host's event script, the tests and the benchmarks. It
/// is no SpringBoard class. Every action goes through the runtime calls
/// SpringBoard itself makes, so replaced methods take effect where they would
/// on the phone. Construct it once the device has booted: it starts SpringBoard
/// (SBRegisterSpringBoardApplicationClass) if the host has not.
///
/// Actions that need a lock screen throw std::logic_error before the first
/// lock(); a row index past the list's rows throws std::out_of_range.

#include <BulletinBoard/BBBulletin.h>
#include <SpringBoard/SBBacklightController.h>
#include <SpringBoard/SBLockScreenBulletinCell.h>
#include <SpringBoard/SBLockScreenNotificationListController.h>
#include <SpringBoard/SBLockScreenNotificationListView.h>
#include <SpringBoard/SBLockScreenPluginOverlayContext.h>
#include <SpringBoard/SBLockScreenView.h>
#include <SpringBoard/SBLockScreenViewController.h>
#include <SpringBoard/SpringBoard.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

/// What a tap on a row did.
struct RowTapResult {
  enum class Kind { None, OpenedURL, LaunchedApplication };
  Kind kind = Kind::None;
  /// The address opened or the bundle identifier launched.
  std::string target;
  /// Whether the action's call block ran.
  bool ranCallblock = false;
};

class LockScreenDriver {
 public:
  LockScreenDriver();
  LockScreenDriver(const LockScreenDriver&) = delete;
  LockScreenDriver& operator=(const LockScreenDriver&) = delete;
  ~LockScreenDriver();

  // --- actions ---------------------------------------------------------------

  /// Locks: the screen goes dark, a new SBLockScreenView (alloc +
  /// `initWithFrame:`) and list controller (alloc + `init`, then `loadView`)
  /// are made through the runtime, the profile's bulletins of other
  /// applications arrive through the controller's observer, and the visible
  /// rows are laid out. Any open overlay closes.
  void lock();
  /// The home button: lights a dark screen (recorded as the user's).
  void wake();
  /// Another application posts a bulletin (dated now) through the observer;
  /// its default action launches the application. Returns the bulletin.
  Ref<BBBulletin> notify(std::string_view app, std::string_view title, std::string_view message = "");
  /// Opens or closes the now-playing overlay ("NowPlayingArtLockScreen"):
  /// opening makes an SBLockScreenPluginOverlayContext through the runtime's
  /// `initWithPluginName:pluginController:lockScreenViewController:` and asks
  /// for its underlay; closing withdraws it. Repeating a state does nothing.
  void nowPlaying(bool open);
  /// Runs the row's bulletin's default action: opens its address (through
  /// UIApplication's `openURL:`) or launches its application (SpringBoard's
  /// `launchApplicationWithIdentifier:suspended:`), running its call block.
  RowTapResult tap(uint64_t row);
  /// Swipes a row: asks the list view `tableView:canEditRowAtIndexPath:` and,
  /// when it can, commits the deletion, which clears the row. True when cleared.
  bool swipe(uint64_t row);
  /// The notification centre's clear: every item whose
  /// `canBeClearedByNotificationCenter` answers true leaves. Returns how many.
  uint64_t clear();
  /// Scrolls the list by points (positive moves the content up), kept within
  /// the rows; the rows' content alpha follows.
  void scroll(double points);
  /// Runs the main run loop for seconds (advancing a simulated clock, firing
  /// its timers), then lays the rows out again.
  void wait(double seconds);
  /// Lays the lock screen and the visible rows out (through the runtime).
  void layout();

  // --- state -----------------------------------------------------------------

  [[nodiscard]] bool isLocked() const noexcept { return static_cast<bool>(viewController_); }
  [[nodiscard]] bool screenIsOn() const;
  /// Every lighting of the screen since the process started, in order.
  [[nodiscard]] const std::deque<SBScreenLighting>& lightings() const;

  [[nodiscard]] Ref<SpringBoard> application() const { return application_; }
  [[nodiscard]] Ref<SBLockScreenViewController> lockScreenViewController() const { return viewController_; }
  [[nodiscard]] Ref<SBLockScreenView> lockScreenView() const;
  [[nodiscard]] Ref<SBLockScreenNotificationListController> listController() const;
  [[nodiscard]] Ref<SBLockScreenNotificationListView> listView() const;
  [[nodiscard]] Ref<UITableView> tableView() const;
  /// The open now-playing overlay, or nil.
  [[nodiscard]] Ref<SBLockScreenPluginOverlayContext> overlayContext() const { return overlay_; }

  /// The list's rows (its items), read without asking `count`.
  [[nodiscard]] uint64_t rowCount() const;
  [[nodiscard]] id listItemAtRow(uint64_t row) const;
  /// The row's bulletin (`activeBulletin`), nil for items without one.
  [[nodiscard]] Ref<BBBulletin> bulletinAtRow(uint64_t row) const;
  /// The row's cell while it is visible, else nil.
  [[nodiscard]] Ref<SBLockScreenBulletinCell> cellForRow(uint64_t row) const;
  /// The row's rectangle in the table's content, as the table laid it out.
  [[nodiscard]] CGRect rowRect(uint64_t row) const;
  /// The row's rectangle in lock-screen (screen) coordinates.
  [[nodiscard]] CGRect rowFrameOnScreen(uint64_t row) const;
  /// The item's `canBeClearedByNotificationCenter`, through the runtime.
  [[nodiscard]] bool canClearRow(uint64_t row) const;
  /// The list view's `tableView:canEditRowAtIndexPath:`, through the runtime.
  [[nodiscard]] bool canEditRow(uint64_t row) const;

  /// The underlay's requesters in the order they asked, and whether it shows.
  [[nodiscard]] std::vector<std::string> underlayRequesters() const;
  [[nodiscard]] bool underlayShown() const;

  /// Addresses opened and applications launched by taps, in order.
  [[nodiscard]] const std::vector<std::string>& openedURLs() const noexcept { return openedURLs_; }
  [[nodiscard]] const std::vector<std::string>& launchedApplications() const;

 private:
  void requireLock(const char* action) const;
  void checkRow(uint64_t row) const;
  [[nodiscard]] Ref<NSIndexPath> indexPathForRow(uint64_t row) const;
  void deliverProfileBulletins();
  void deliver(const Ref<BBBulletin>& bulletin);

  Ref<SpringBoard> application_;
  Ref<SBLockScreenViewController> viewController_;
  Ref<SBLockScreenPluginOverlayContext> overlay_;
  std::vector<std::string> openedURLs_;
};
