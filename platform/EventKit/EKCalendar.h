#pragma once
/// \file
/// A reminder list: one vdir collection folder inside an account folder.
/// Its folder name is the identifier ("<account>/<list>" where two accounts
/// have a list folder of that name), its "displayname" file the title and
/// its "color" file the colour (a calendar colour without one).

#include <CoreGraphics/CGColor.h>
#include <EventKit/EKSource.h>
#include <Foundation/NSString.h>

#include <filesystem>
#include <functional>
#include <mutex>
#include <string>

/// What a calendar or a store holds (NSUInteger on the device: pass these
/// constants, not plain ints, in runtime sends).
enum EKEntityType : uint64_t { EKEntityTypeEvent = 0, EKEntityTypeReminder = 1 };

class EKCalendar : public NSObject {
 public:
  static Class classObject();
  EKCalendar() = default;

  [[nodiscard]] Ref<NSString> title() const;
  [[nodiscard]] Ref<NSString> calendarIdentifier() const { return calendarIdentifier_; }
  /// Every list of the store has one; nil only for a list made in memory
  /// without one.
  [[nodiscard]] Ref<::CGColor> CGColor() const;
  [[nodiscard]] Ref<EKSource> source() const { return source_; }
  /// Reminder lists hold reminders only.
  [[nodiscard]] uint64_t allowedEntityTypes() const { return 1ULL << EKEntityTypeReminder; }

  void setTitle(Ref<NSString> title);
  void setCalendarIdentifier(Ref<NSString> identifier) { calendarIdentifier_ = std::move(identifier); }
  void setCGColor(Ref<::CGColor> color);

  /// The title and colour of a list on disk are read when first asked for,
  /// so finding one list among thousands reads no other list's files. load
  /// runs at most once, on the thread that asks first.
  using MetadataLoader = std::function<void(Ref<NSString>& title, Ref<::CGColor>& color)>;
  void setMetadataLoader(MetadataLoader load);
  void setSource(Ref<EKSource> source) { source_ = std::move(source); }

  /// The collection folder behind the list: its path on this machine and
  /// its device path (for log lines). Empty for a list made in memory.
  void setFolder(std::filesystem::path hostPath, std::string devicePath) {
    hostFolder_ = std::move(hostPath);
    deviceFolder_ = std::move(devicePath);
  }
  [[nodiscard]] const std::filesystem::path& hostFolder() const noexcept { return hostFolder_; }
  [[nodiscard]] const std::string& deviceFolder() const noexcept { return deviceFolder_; }

  [[nodiscard]] std::string descriptionString() const override;

 private:
  /// Runs a pending loader; returns with metadataLock_ held.
  std::unique_lock<std::mutex> loadedMetadata() const;

  mutable std::mutex metadataLock_;
  mutable MetadataLoader loader_;
  mutable Ref<NSString> title_;
  Ref<NSString> calendarIdentifier_;
  mutable Ref<::CGColor> color_;
  Ref<EKSource> source_;
  std::filesystem::path hostFolder_;
  std::string deviceFolder_;
};
