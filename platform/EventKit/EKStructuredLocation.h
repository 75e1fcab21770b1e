#pragma once
/// \file
/// The place a location alarm watches (X-APPLE-STRUCTURED-LOCATION).

#include <Foundation/NSString.h>

class EKStructuredLocation : public NSObject {
 public:
  static Class classObject();
  EKStructuredLocation() = default;
  explicit EKStructuredLocation(Ref<NSString> title) : title_(std::move(title)) {}

  static Ref<EKStructuredLocation> locationWithTitle(Ref<NSString> title);

  [[nodiscard]] Ref<NSString> title() const { return title_; }
  void setTitle(Ref<NSString> title) { title_ = std::move(title); }

  [[nodiscard]] std::string descriptionString() const override;

 private:
  Ref<NSString> title_;
};
