#pragma once
/// \file
/// A lock-screen plug-in's overlay (the now-playing artwork is the plug-in
/// "NowPlayingArtLockScreen"). While it is open it holds the wallpaper
/// underlay under the requester "OverlayContext-<plug-in name>".

#include <Foundation/NSString.h>

class SBLockScreenPluginOverlayContext : public NSObject {
 public:
  static Class classObject();
  SBLockScreenPluginOverlayContext() = default;

  static constexpr const char* kNowPlayingPluginName = "NowPlayingArtLockScreen";
  static constexpr const char* kRequesterPrefix = "OverlayContext";

  // Registered: "initWithPluginName:pluginController:lockScreenViewController:",
  // "pluginName", "pluginController", "lockScreenViewController".
  id initWithPluginName(Ref<NSString> pluginName, id pluginController, id lockScreenViewController);
  [[nodiscard]] Ref<NSString> pluginName() const { return pluginName_; }
  [[nodiscard]] id pluginController() const { return pluginController_; }
  [[nodiscard]] id lockScreenViewController() const { return viewController_; }

  /// "OverlayContext-NowPlayingArtLockScreen" and the like.
  [[nodiscard]] Ref<NSString> underlayRequesterName() const;

  /// The overlay opens: asks the lock-screen view for the underlay (through
  /// the runtime, under underlayRequesterName()).
  void presentOverlay();
  /// The overlay closes: withdraws its underlay request.
  void dismissOverlay();
  [[nodiscard]] bool isPresented() const noexcept { return presented_; }

  [[nodiscard]] std::string descriptionString() const override;

 private:
  [[nodiscard]] id lockScreenView() const;

  Ref<NSString> pluginName_;
  id pluginController_, viewController_;
  bool presented_ = false;
};
