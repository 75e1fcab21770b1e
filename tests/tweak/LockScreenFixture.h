#pragma once
// A booted device with reminder lists, SpringBoard started and the tweak
// initialised in this process, driven through the platform's lock screen.

#include "Replacements.h"
#include "TweakFixture.h"

#include <Foundation/DeviceProfile.h>
#include <Foundation/NSDate.h>
#include <SpringBoard/LockScreenDriver.h>
#include <SpringBoard/SpringBoard.h>

#include <fstream>
#include <optional>

class LockScreenFixture : public TweakFixture {
 protected:
  /// 2026-12-08 09:00 in Berlin.
  static constexpr double kNow = 818409600.0;

  void SetUp() override {
    TweakFixture::SetUp();
    profile_.timeZone = "Europe/Berlin";
    profile_.now = kNow;
  }

  /// Boots the device, starts SpringBoard and loads the tweak.
  void boot(bool withTweak = true) {
    foundation::bootDevice(profile_);
    SBRegisterSpringBoardApplicationClass();
    if (withTweak) quillpane::initializeTweak();
    manager_ = std::make_unique<LockScreenDriver>();
  }

  /// A list folder with an optional "#RRGGBB" colour.
  void addList(const std::string& account, const std::string& list, const std::string& title,
               const std::optional<std::string>& colour) {
    auto dir = root_ / "var/mobile/Library/Reminders" / account / list;
    std::filesystem::create_directories(dir);
    std::ofstream(dir / "displayname") << title;
    if (colour) std::ofstream(dir / "color") << *colour;
  }

  /// One reminder file; due is an iCalendar value line suffix such as
  /// ";VALUE=DATE:20261208" or ":20261209T100000Z", empty for none.
  void addReminder(const std::string& account, const std::string& list, const std::string& uid,
                   const std::string& title, int priority = 0, const std::string& due = "",
                   const std::string& extra = "") {
    auto path = root_ / "var/mobile/Library/Reminders" / account / list / (uid + ".ics");
    std::ofstream f(path);
    f << "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Apple Inc.//iOS 7.1//EN\r\nBEGIN:VTODO\r\nUID:" << uid
      << "\r\nSUMMARY:" << title << "\r\n";
    if (priority) f << "PRIORITY:" << priority << "\r\n";
    if (!due.empty()) f << "DUE" << due << "\r\n";
    f << extra << "END:VTODO\r\nEND:VCALENDAR\r\n";
  }

  static std::string locationAlarm(const std::string& title, const std::string& proximity) {
    return "BEGIN:VALARM\r\nACTION:DISPLAY\r\nTRIGGER;VALUE=DATE-TIME:19760401T005545Z\r\nX-APPLE-PROXIMITY:" +
           proximity + "\r\nX-APPLE-STRUCTURED-LOCATION;VALUE=URI;X-TITLE=" + title +
           ":geo:52.5,13.4\r\nEND:VALARM\r\n";
  }

  /// Identifiers of the rows' bulletins, in list order.
  [[nodiscard]] std::vector<std::string> rowIDs() const {
    std::vector<std::string> ids;
    for (uint64_t r = 0; r < manager_->rowCount(); ++r) {
      auto b = manager_->bulletinAtRow(r);
      ids.push_back(b && b->bulletinID() ? b->bulletinID()->str() : std::string());
    }
    return ids;
  }
  [[nodiscard]] std::optional<uint64_t> rowWithTitle(std::string_view title) const {
    for (uint64_t r = 0; r < manager_->rowCount(); ++r) {
      auto b = manager_->bulletinAtRow(r);
      if (b && b->title() && b->title()->str() == title) return r;
    }
    return std::nullopt;
  }
  [[nodiscard]] Ref<BBBulletin> bulletinTitled(std::string_view title) const {
    auto r = rowWithTitle(title);
    return r ? manager_->bulletinAtRow(*r) : nullptr;
  }

  foundation::DeviceProfile profile_;
  std::unique_ptr<LockScreenDriver> manager_;
};
