#pragma once
/// \file
/// Web and file addresses, and requests to load them.

#include <Foundation/NSString.h>

class NSURL : public NSObject {
 public:
  static Class classObject();
  NSURL() = default;
  explicit NSURL(std::string s) : s_(std::move(s)) {}
  /// nil for text that is not an absolute address (no scheme).
  static Ref<NSURL> URLWithString(std::string_view text);
  [[nodiscard]] const std::string& absoluteString() const noexcept { return s_; }
  [[nodiscard]] std::string scheme() const;
  [[nodiscard]] std::string descriptionString() const override { return s_; }
  [[nodiscard]] bool isEqualTo(const NSObject& other) const override;

 private:
  std::string s_;
};

class NSURLRequest : public NSObject {
 public:
  static Class classObject();
  static Ref<NSURLRequest> requestWithURL(Ref<NSURL> url);
  [[nodiscard]] Ref<NSURL> URL() const { return url_; }

 private:
  Ref<NSURL> url_;
};

class NSError : public NSObject {
 public:
  static Class classObject();
  static Ref<NSError> errorWithDomain(std::string domain, int64_t code, std::string description);
  [[nodiscard]] const std::string& domain() const noexcept { return domain_; }
  [[nodiscard]] int64_t code() const noexcept { return code_; }
  [[nodiscard]] std::string descriptionString() const override;

 private:
  std::string domain_, description_;
  int64_t code_ = 0;
};
