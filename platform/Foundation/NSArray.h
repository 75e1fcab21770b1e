#pragma once
/// \file
/// Ordered collections of objects. Equality for `containsObject:` and
/// friends is `isEqual:` (isEqualTo), as on the device.

#include <objc/NSObject.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

enum NSComparisonResult : int64_t { NSOrderedAscending = -1, NSOrderedSame = 0, NSOrderedDescending = 1 };
constexpr uint64_t NSNotFound = INT64_MAX;

class NSArray : public NSObject {
 public:
  static Class classObject();
  NSArray() = default;
  ~NSArray() override { objc::releaseAll(items_); }
  explicit NSArray(std::vector<id> items) : items_(std::move(items)) {}

  static Ref<NSArray> array();
  static Ref<NSArray> arrayWithObjects(std::vector<id> items);
  /// A property-list file (XML or binary) whose root is an array; nil when
  /// the file is missing, unreadable or has another root.
  static Ref<NSArray> arrayWithContentsOfFile(const std::string& devicePath);

  [[nodiscard]] uint64_t count() const noexcept { return items_.size(); }
  /// Throws objc::RuntimeError out of range, as NSRangeException would crash.
  [[nodiscard]] id objectAtIndex(uint64_t index) const;
  [[nodiscard]] id firstObject() const { return items_.empty() ? id() : items_.front(); }
  [[nodiscard]] id lastObject() const { return items_.empty() ? id() : items_.back(); }
  [[nodiscard]] bool containsObject(const NSObject* obj) const;
  [[nodiscard]] uint64_t indexOfObject(const NSObject* obj) const;
  [[nodiscard]] const std::vector<id>& items() const noexcept { return items_; }
  /// Writes the array as an XML property list; false when it holds a value
  /// a property list cannot carry or the file cannot be written.
  bool writeToFile(const std::string& devicePath, bool atomically) const;

  auto begin() const noexcept { return items_.begin(); }
  auto end() const noexcept { return items_.end(); }

  [[nodiscard]] std::string descriptionString() const override;
  [[nodiscard]] bool isEqualTo(const NSObject& other) const override;

 protected:
  std::vector<id> items_;
};

class NSMutableArray : public NSArray {
 public:
  static Class classObject();
  NSMutableArray() = default;
  explicit NSMutableArray(std::vector<id> items) : NSArray(std::move(items)) {}

  static Ref<NSMutableArray> array();
  static Ref<NSMutableArray> arrayWithArray(const NSArray* other);
  static Ref<NSMutableArray> arrayWithContentsOfFile(const std::string& devicePath);

  void addObject(id obj);
  void insertObjectAtIndex(id obj, uint64_t index);
  void removeObjectAtIndex(uint64_t index);
  /// Removes every object equal to obj.
  void removeObject(const NSObject* obj);
  void removeObjectIdenticalTo(const NSObject* obj);
  /// Removes every object equal to one in others, in one pass.
  void removeObjectsInArray(const NSArray* others);
  void removeLastObject();
  void removeAllObjects() noexcept { objc::releaseAll(items_); }
  /// Replaces the contents with items (`setArray:`).
  void setArray(std::vector<id> items) noexcept {
    std::swap(items_, items);
    objc::releaseAll(items);
  }
  void replaceObjectAtIndex(uint64_t index, id obj);
  /// A stable in-place sort (`sortUsingComparator:`).
  void sortUsingComparator(const std::function<NSComparisonResult(const id&, const id&)>& cmp);
};
