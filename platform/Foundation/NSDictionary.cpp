#include <Foundation/NSDictionary.h>

#include <Foundation/CollectionDescription.h>
#include <Foundation/NSArray.h>
#include <Foundation/NSString.h>
#include <Foundation/PropertyList.h>
#include <objc/ClassBuilder.h>

#include <absl/container/flat_hash_map.h>
#include <absl/hash/hash.h>

namespace {

const NSDictionary* dict_(const id& self) { return objc::cast<NSDictionary>(self.get()); }
NSMutableDictionary* mutable_(const id& self) { return objc::cast<NSMutableDictionary>(self.get()); }

uint64_t countOf(id self, SEL) { return dict_(self)->count(); }
id objectFor(id self, SEL, id key) { return dict_(self)->objectForKey(key.get()); }
Ref<NSArray> keysOf(id self, SEL) { return NSArray::arrayWithObjects(dict_(self)->allKeys()); }
void setFor(id self, SEL, id obj, id key) { mutable_(self)->setObjectForKey(std::move(obj), std::move(key)); }
void removeFor(id self, SEL, id key) { mutable_(self)->removeObjectForKey(key.get()); }
void removeAll(id self, SEL) { mutable_(self)->removeAllObjects(); }

}  // namespace

/// Entry positions by key. The keys' own hashes are mixed once more: an
/// object's hash is often its address, whose low bits never vary.
struct NSDictionary::Index {
  struct Mixed {
    using is_transparent = void;
    size_t operator()(const IndexKey& k) const noexcept { return absl::Hash<size_t>()(k.hash); }
    size_t operator()(const StringKey& k) const noexcept { return absl::Hash<size_t>()(k.hash); }
  };
  absl::flat_hash_map<IndexKey, size_t, Mixed, KeyEq> positions;
};

NSDictionary::NSDictionary() : index_(std::make_unique<Index>()) {}
NSDictionary::~NSDictionary() = default;

bool NSDictionary::KeyEq::operator()(const StringKey& a, const IndexKey& b) const noexcept {
  if (a.hash != b.hash) return false;
  auto* s = dynamic_cast<const NSString*>(b.object);
  return s && s->str() == a.text;
}

Class NSDictionary::classObject() {
  static Class cls = objc::ClassBuilder<NSDictionary, NSObject>("NSDictionary")
                         .function("count", &countOf)
                         .function("objectForKey:", &objectFor)
                         .function("allKeys", &keysOf)
                         .build();
  return cls;
}
OBJC_REGISTER_CLASS(NSDictionary);

Class NSMutableDictionary::classObject() {
  static Class cls = objc::ClassBuilder<NSMutableDictionary, NSDictionary>("NSMutableDictionary")
                         .function("setObject:forKey:", &setFor)
                         .function("removeObjectForKey:", &removeFor)
                         .function("removeAllObjects", &removeAll)
                         .build();
  return cls;
}
OBJC_REGISTER_CLASS(NSMutableDictionary);

Ref<NSDictionary> NSDictionary::dictionary() { return objc::create<NSDictionary>(); }

Ref<NSDictionary> NSDictionary::dictionaryWithEntries(std::vector<std::pair<id, id>> entries) {
  auto d = objc::create<NSDictionary>();
  d->entries_.reserve(entries.size());
  d->index_->positions.reserve(entries.size());
  for (auto& [key, value] : entries) {
    if (!key || !value) throw objc::RuntimeError("NSInvalidArgumentException: object or key cannot be nil");
    const IndexKey indexed = indexKey(key.get());
    auto it = d->index_->positions.find(indexed);
    if (it != d->index_->positions.end()) {
      d->entries_[it->second].second = std::move(value);
      continue;
    }
    d->entries_.emplace_back(std::move(key), std::move(value));
    d->index_->positions.emplace(indexed, d->entries_.size() - 1);
  }
  return d;
}

Ref<NSDictionary> NSDictionary::dictionaryWithContentsOfFile(const std::string& devicePath) {
  return objc::as<NSDictionary>(foundation::readPropertyListFile(devicePath, foundation::PropertyListRoot::Dictionary));
}

id NSDictionary::objectForKey(const NSObject* key) const {
  if (!key) return nullptr;
  auto it = index_->positions.find(indexKey(key));
  return it == index_->positions.end() ? id() : entries_[it->second].second;
}

id NSDictionary::objectForKey(std::string_view key) const {
  auto it = index_->positions.find(stringKey(key));
  return it == index_->positions.end() ? id() : entries_[it->second].second;
}

std::vector<id> NSDictionary::allKeys() const {
  std::vector<id> keys;
  keys.reserve(count());
  for (const auto& e : entries()) keys.push_back(e.first);
  return keys;
}

bool NSDictionary::writeToFile(const std::string& devicePath, bool atomically) const {
  return foundation::writePropertyListFile(devicePath, *this, atomically);
}

std::string NSDictionary::descriptionString() const { return foundation::describeDictionary(*this, 0); }

bool NSDictionary::isEqualTo(const NSObject& other) const {
  auto* o = dynamic_cast<const NSDictionary*>(&other);
  if (!o || o->count() != count()) return false;
  for (const auto& [key, value] : entries()) {
    id theirs = o->objectForKey(key.get());
    if (!theirs || !value->isEqualTo(*theirs)) return false;
  }
  return true;
}

Ref<NSMutableDictionary> NSMutableDictionary::dictionary() { return objc::create<NSMutableDictionary>(); }

Ref<NSMutableDictionary> NSMutableDictionary::dictionaryWithDictionary(const NSDictionary* other) {
  auto d = dictionary();
  d->addEntriesFromDictionary(other);
  return d;
}

Ref<NSMutableDictionary> NSMutableDictionary::dictionaryWithContentsOfFile(const std::string& devicePath) {
  auto d = NSDictionary::dictionaryWithContentsOfFile(devicePath);
  return d ? dictionaryWithDictionary(d.get()) : nullptr;
}

void NSMutableDictionary::setObjectForKey(id obj, id key) {
  if (!obj || !key) throw objc::RuntimeError("NSInvalidArgumentException: object or key cannot be nil");
  const IndexKey indexed = indexKey(key.get());
  auto it = index_->positions.find(indexed);
  if (it != index_->positions.end()) {
    entries_[it->second].second = std::move(obj);
    return;
  }
  entries_.emplace_back(std::move(key), std::move(obj));
  index_->positions.emplace(indexed, entries_.size() - 1);
}

void NSMutableDictionary::setObjectForKey(id obj, std::string_view key) {
  auto it = index_->positions.find(stringKey(key));
  if (it != index_->positions.end() && obj) {
    entries_[it->second].second = std::move(obj);
    return;
  }
  setObjectForKey(std::move(obj), id(NSStr(key)));
}

void NSMutableDictionary::removeObjectForKey(const NSObject* key) {
  if (!key) return;
  auto it = index_->positions.find(indexKey(key));
  if (it == index_->positions.end()) return;
  const size_t at = it->second;
  index_->positions.erase(it);
  // Moved out first: the key may be what keeps `key` alive.
  auto removed = std::move(entries_[at]);
  entries_[at] = {};
  ++holes_;
  if (holes_ > entries_.size() / 2) sweepHoles();
}

void NSMutableDictionary::sweepHoles() {
  // The index already holds every key with its hash: its positions are
  // renumbered in place, rather than the index rebuilt by asking every key
  // for its hash again, which at thousands of keys visits each of them.
  std::vector<size_t> moved(entries_.size());
  size_t kept = 0;
  for (size_t at = 0; at < entries_.size(); ++at) {
    moved[at] = kept;
    if (!entries_[at].first) continue;
    if (kept != at) entries_[kept] = std::move(entries_[at]);
    ++kept;
  }
  entries_.resize(kept);
  for (auto& entry : index_->positions) entry.second = moved[entry.second];
  holes_ = 0;
}

void NSMutableDictionary::addEntriesFromDictionary(const NSDictionary* other) {
  if (!other || other == this) return;
  for (const auto& [key, value] : other->entries()) setObjectForKey(value, key);
}

void NSMutableDictionary::removeAllObjects() noexcept {
  index_->positions.clear();
  entries_.clear();
  holes_ = 0;
}
