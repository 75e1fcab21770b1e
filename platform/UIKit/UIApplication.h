#pragma once
/// \file
/// The running application: opening addresses in other applications.

#include <Foundation/NSURL.h>

#include <functional>
#include <mutex>
#include <string>
#include <vector>

class UIApplication : public NSObject {
 public:
  static Class classObject();
  UIApplication() = default;

  static Ref<UIApplication> sharedApplication();

  // Registered: "openURL:", "canOpenURL:".
  /// Records the address and hands it to the host's handler; true when some
  /// application takes its scheme (web, mail, phone, reminders, settings,
  /// Cydia, and schemes the host registers).
  virtual bool openURL(Ref<NSURL> url);
  [[nodiscard]] bool canOpenURL(Ref<NSURL> url) const;

  /// Hosts print or record every address asked for (opened: whether an
  /// application took it). Without a handler the address is logged.
  void setOpenURLHandler(std::function<void(const NSURL&, bool opened)> handler);
  void registerURLScheme(std::string scheme);
  [[nodiscard]] std::vector<Ref<NSURL>> openedURLs() const;

 private:
  mutable std::mutex lock_;
  std::function<void(const NSURL&, bool)> handler_;
  std::vector<std::string> extraSchemes_;
  std::vector<Ref<NSURL>> opened_;
};
