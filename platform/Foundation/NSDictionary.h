#pragma once
/// \file
/// Key-value collections. Keys compare with `isEqual:` and `hash`; the
/// entries keep insertion order so output is deterministic. Removing a key
/// leaves a hole in the order that is swept up later, so removing keys one
/// by one costs what a lookup costs.

#include <objc/NSObject.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class NSArray;

class NSDictionary : public NSObject {
 public:
  static Class classObject();
  NSDictionary();
  ~NSDictionary() override;

  static Ref<NSDictionary> dictionary();
  /// The given key-value pairs in order; a repeated key keeps its last value.
  static Ref<NSDictionary> dictionaryWithEntries(std::vector<std::pair<id, id>> entries);
  /// A property-list file (XML or binary) whose root is a dictionary; nil
  /// when the file is missing, unreadable or has another root.
  static Ref<NSDictionary> dictionaryWithContentsOfFile(const std::string& devicePath);

  /// The live entries in insertion order, skipping removed ones.
  class Entries {
   public:
    using Entry = std::pair<id, id>;
    class iterator {
     public:
      using value_type = Entry;
      using difference_type = std::ptrdiff_t;
      iterator() = default;
      iterator(const Entry* at, const Entry* end) : at_(at), end_(end) { skip(); }
      const Entry& operator*() const { return *at_; }
      const Entry* operator->() const { return at_; }
      iterator& operator++() {
        ++at_;
        skip();
        return *this;
      }
      iterator operator++(int) {
        auto old = *this;
        ++*this;
        return old;
      }
      bool operator==(const iterator& o) const { return at_ == o.at_; }

     private:
      void skip() {
        while (at_ != end_ && !at_->first) ++at_;
      }
      const Entry* at_ = nullptr;
      const Entry* end_ = nullptr;
    };
    explicit Entries(const std::vector<Entry>& all) : all_(all) {}
    [[nodiscard]] iterator begin() const { return {all_.data(), all_.data() + all_.size()}; }
    [[nodiscard]] iterator end() const { return {all_.data() + all_.size(), all_.data() + all_.size()}; }

   private:
    const std::vector<Entry>& all_;
  };

  [[nodiscard]] uint64_t count() const noexcept { return entries_.size() - holes_; }
  [[nodiscard]] id objectForKey(const NSObject* key) const;
  /// Lookup by a string key without building an NSString.
  [[nodiscard]] id objectForKey(std::string_view key) const;
  [[nodiscard]] std::vector<id> allKeys() const;
  [[nodiscard]] Entries entries() const noexcept { return Entries(entries_); }
  bool writeToFile(const std::string& devicePath, bool atomically) const;

  [[nodiscard]] std::string descriptionString() const override;
  [[nodiscard]] bool isEqualTo(const NSObject& other) const override;

 protected:
  // Each key is indexed with its hash, so growing the index or dropping an
  // entry never asks a (possibly long untouched) key object again. String
  // lookups build no NSString (an NSString's hash is the hash of its UTF-8
  // text).
  struct IndexKey {
    const NSObject* object;
    size_t hash;
  };
  struct StringKey {
    std::string_view text;
    size_t hash;
  };
  static IndexKey indexKey(const NSObject* key) noexcept { return {key, key->hashValue()}; }
  static StringKey stringKey(std::string_view key) noexcept { return {key, std::hash<std::string_view>()(key)}; }
  struct KeyHash {
    using is_transparent = void;
    size_t operator()(const IndexKey& k) const noexcept { return k.hash; }
    size_t operator()(const StringKey& k) const noexcept { return k.hash; }
  };
  struct KeyEq {
    using is_transparent = void;
    bool operator()(const IndexKey& a, const IndexKey& b) const noexcept {
      return a.hash == b.hash && (a.object == b.object || a.object->isEqualTo(*b.object));
    }
    bool operator()(const StringKey& a, const IndexKey& b) const noexcept;
    bool operator()(const IndexKey& a, const StringKey& b) const noexcept { return (*this)(b, a); }
  };
  // Removed entries stay as holes (a null key) until they outnumber the
  // live ones; the index then is rebuilt once. The index is open-addressed
  // (defined with the dictionary): a lookup, insertion or removal is a probe
  // of one table, not a walk through list nodes.
  struct Index;
  std::vector<std::pair<id, id>> entries_;
  std::unique_ptr<Index> index_;
  size_t holes_ = 0;
};

class NSMutableDictionary : public NSDictionary {
 public:
  static Class classObject();
  static Ref<NSMutableDictionary> dictionary();
  static Ref<NSMutableDictionary> dictionaryWithDictionary(const NSDictionary* other);
  static Ref<NSMutableDictionary> dictionaryWithContentsOfFile(const std::string& devicePath);

  void setObjectForKey(id obj, id key);
  void setObjectForKey(id obj, std::string_view key);
  void removeObjectForKey(const NSObject* key);
  void addEntriesFromDictionary(const NSDictionary* other);
  void removeAllObjects() noexcept;

 private:
  void sweepHoles();
};
