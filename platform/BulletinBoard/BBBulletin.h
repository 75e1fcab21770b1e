#pragma once
/// \file
/// A bulletin: one notification record as the bulletin server hands it to
/// the lock screen. Every field is reachable through the runtime under the
/// device's selector names (`title`, `setTitle:` ...).

#include <BulletinBoard/BBAction.h>
#include <Foundation/NSDate.h>
#include <Foundation/NSString.h>

#include <cstdint>

class BBBulletin : public NSObject {
 public:
  static Class classObject();
  /// A new bulletin carries a fresh identifier, as the server assigns one.
  BBBulletin();
  ~BBBulletin() override;
  void prefetchHeld() const noexcept override;

  [[nodiscard]] Ref<NSString> title() const { return title_; }
  void setTitle(Ref<NSString> v) { title_ = std::move(v); }
  [[nodiscard]] Ref<NSString> subtitle() const { return subtitle_; }
  void setSubtitle(Ref<NSString> v) { subtitle_ = std::move(v); }
  [[nodiscard]] Ref<NSString> message() const { return message_; }
  void setMessage(Ref<NSString> v) { message_ = std::move(v); }

  [[nodiscard]] Ref<NSDate> date() const { return date_; }
  void setDate(Ref<NSDate> v) { date_ = std::move(v); }
  [[nodiscard]] bool dateIsAllDay() const { return dateIsAllDay_; }
  void setDateIsAllDay(bool v) { dateIsAllDay_ = v; }
  [[nodiscard]] Ref<NSDate> publicationDate() const { return publicationDate_; }
  void setPublicationDate(Ref<NSDate> v) { publicationDate_ = std::move(v); }
  [[nodiscard]] Ref<NSDate> lastInterruptDate() const { return lastInterruptDate_; }
  void setLastInterruptDate(Ref<NSDate> v) { lastInterruptDate_ = std::move(v); }

  /// `section` is the older name of `sectionID`: both read and write the
  /// posting application's bundle identifier.
  [[nodiscard]] Ref<NSString> sectionID() const { return sectionID_; }
  void setSectionID(Ref<NSString> v) { sectionID_ = std::move(v); }
  [[nodiscard]] Ref<NSString> section() const { return sectionID_; }
  void setSection(Ref<NSString> v) { sectionID_ = std::move(v); }

  [[nodiscard]] Ref<BBAction> defaultAction() const { return defaultAction_; }
  void setDefaultAction(Ref<BBAction> v) { defaultAction_ = std::move(v); }

  [[nodiscard]] Ref<NSString> bulletinID() const;
  void setBulletinID(Ref<NSString> v) {
    bulletinID_ = std::move(v);
    assignedNumber_ = 0;
  }

  /// True when both name the same bulletin: the same object, or equal
  /// identifiers (the server matches withdrawals by identifier).
  [[nodiscard]] bool isSameBulletin(const BBBulletin* other) const;

  /// "<BBBulletin bulletinID=... sectionID=... title=...>", what the system
  /// log prints for a bulletin.
  [[nodiscard]] std::string descriptionString() const override;

 private:
  Ref<NSString> title_, subtitle_, message_;
  Ref<NSDate> date_, publicationDate_, lastInterruptDate_;
  bool dateIsAllDay_ = false;
  Ref<NSString> sectionID_;
  Ref<BBAction> defaultAction_;
  // The identifier the server assigned is numbered at creation but written
  // out only when first read: most senders give their bulletin one of their
  // own before anyone asks, and the text would be made for nothing.
  mutable Ref<NSString> bulletinID_;
  mutable uint64_t assignedNumber_;
};
