#pragma once
/// \file
/// One row of the reminder-list chooser: a list's title, its calendar
/// identifier (what the calendars file stores) and its account's title.

#include <Foundation/NSString.h>

#include <mutex>

class QPNCalendar : public NSObject {
 public:
  static Class classObject();
  QPNCalendar() = default;

  // Atomic, strong properties.
  Ref<NSString> title() const { return get(_title); }
  void setTitle(Ref<NSString> title) { set(_title, std::move(title)); }
  Ref<NSString> uuid() const { return get(_uuid); }
  void setUuid(Ref<NSString> uuid) { set(_uuid, std::move(uuid)); }
  Ref<NSString> storeName() const { return get(_storeName); }
  void setStoreName(Ref<NSString> storeName) { set(_storeName, std::move(storeName)); }

 private:
  Ref<NSString> get(const Ref<NSString>& field) const {
    std::lock_guard guard(lock_);
    return field;
  }
  void set(Ref<NSString>& field, Ref<NSString> value) {
    std::lock_guard guard(lock_);
    field.swap(value);
  }

  mutable std::mutex lock_;
  Ref<NSString> _title;
  Ref<NSString> _uuid;
  Ref<NSString> _storeName;
};
