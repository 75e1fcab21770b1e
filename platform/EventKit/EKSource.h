#pragma once
/// \file
/// An account that holds reminder lists (one folder under the reminders
/// folder of the device).

#include <Foundation/NSString.h>

class EKSource : public NSObject {
 public:
  static Class classObject();
  EKSource() = default;
  EKSource(Ref<NSString> identifier, Ref<NSString> title)
      : sourceIdentifier_(std::move(identifier)), title_(std::move(title)) {}

  [[nodiscard]] Ref<NSString> title() const { return title_; }
  [[nodiscard]] Ref<NSString> sourceIdentifier() const { return sourceIdentifier_; }
  void setTitle(Ref<NSString> title) { title_ = std::move(title); }

  [[nodiscard]] std::string descriptionString() const override;

 private:
  Ref<NSString> sourceIdentifier_;
  Ref<NSString> title_;
};
