#include <Foundation/NSArray.h>

#include <Foundation/CollectionDescription.h>
#include <Foundation/PropertyList.h>
#include <objc/ClassBuilder.h>

#include <algorithm>
#include <unordered_set>
#include <utility>

namespace {

const NSArray* array_(const id& self) { return objc::cast<NSArray>(self.get()); }
NSMutableArray* mutable_(const id& self) { return objc::cast<NSMutableArray>(self.get()); }

uint64_t countOf(id self, SEL) { return array_(self)->count(); }
id objectAt(id self, SEL, uint64_t index) { return array_(self)->objectAtIndex(index); }
id firstOf(id self, SEL) { return array_(self)->firstObject(); }
id lastOf(id self, SEL) { return array_(self)->lastObject(); }
bool containsOf(id self, SEL, id obj) { return array_(self)->containsObject(obj.get()); }
uint64_t indexOf(id self, SEL, id obj) { return array_(self)->indexOfObject(obj.get()); }
void addTo(id self, SEL, id obj) { mutable_(self)->addObject(std::move(obj)); }
void insertInto(id self, SEL, id obj, uint64_t index) { mutable_(self)->insertObjectAtIndex(std::move(obj), index); }
void removeAt(id self, SEL, uint64_t index) { mutable_(self)->removeObjectAtIndex(index); }
void removeFrom(id self, SEL, id obj) { mutable_(self)->removeObject(obj.get()); }
void removeAll(id self, SEL) { mutable_(self)->removeAllObjects(); }
void removeIn(id self, SEL, id others) { mutable_(self)->removeObjectsInArray(objc::as<NSArray>(others).get()); }
void removeLast(id self, SEL) { mutable_(self)->removeLastObject(); }
void replaceAt(id self, SEL, uint64_t index, id obj) { mutable_(self)->replaceObjectAtIndex(index, std::move(obj)); }

[[noreturn]] void outOfRange(uint64_t index, uint64_t count) {
  throw objc::RuntimeError("NSRangeException: index " + std::to_string(index) + " beyond bounds [0 .. " +
                           (count ? std::to_string(count - 1) : std::string("-1")) + "]");
}

}  // namespace

Class NSArray::classObject() {
  static Class cls = objc::ClassBuilder<NSArray, NSObject>("NSArray")
                         .function("count", &countOf)
                         .function("objectAtIndex:", &objectAt)
                         .function("firstObject", &firstOf)
                         .function("lastObject", &lastOf)
                         .function("containsObject:", &containsOf)
                         .function("indexOfObject:", &indexOf)
                         .build();
  return cls;
}
OBJC_REGISTER_CLASS(NSArray);

Class NSMutableArray::classObject() {
  static Class cls = objc::ClassBuilder<NSMutableArray, NSArray>("NSMutableArray")
                         .function("addObject:", &addTo)
                         .function("insertObject:atIndex:", &insertInto)
                         .function("removeObjectAtIndex:", &removeAt)
                         .function("removeObject:", &removeFrom)
                         .function("removeAllObjects", &removeAll)
                         .function("removeObjectsInArray:", &removeIn)
                         .function("removeLastObject", &removeLast)
                         .function("replaceObjectAtIndex:withObject:", &replaceAt)
                         .build();
  return cls;
}
OBJC_REGISTER_CLASS(NSMutableArray);

Ref<NSArray> NSArray::array() { return objc::create<NSArray>(); }

Ref<NSArray> NSArray::arrayWithObjects(std::vector<id> items) { return objc::create<NSArray>(std::move(items)); }

Ref<NSArray> NSArray::arrayWithContentsOfFile(const std::string& devicePath) {
  return objc::as<NSArray>(foundation::readPropertyListFile(devicePath, foundation::PropertyListRoot::Array));
}

id NSArray::objectAtIndex(uint64_t index) const {
  if (index >= items_.size()) outOfRange(index, items_.size());
  // Lists are mostly walked in order, long after they were filled.
  objc::readAhead(items_, index);
  return items_[index];
}

bool NSArray::containsObject(const NSObject* obj) const { return indexOfObject(obj) != NSNotFound; }

uint64_t NSArray::indexOfObject(const NSObject* obj) const {
  if (!obj) return NSNotFound;
  for (size_t i = 0; i < items_.size(); ++i)
    if (items_[i].get() == obj || (items_[i] && obj->isEqualTo(*items_[i]))) return i;
  return NSNotFound;
}

bool NSArray::writeToFile(const std::string& devicePath, bool atomically) const {
  return foundation::writePropertyListFile(devicePath, *this, atomically);
}

std::string NSArray::descriptionString() const { return foundation::describeArray(*this, 0); }

bool NSArray::isEqualTo(const NSObject& other) const {
  auto* o = dynamic_cast<const NSArray*>(&other);
  if (!o || o->items_.size() != items_.size()) return false;
  for (size_t i = 0; i < items_.size(); ++i) {
    const NSObject* a = items_[i].get();
    const NSObject* b = o->items_[i].get();
    if (a != b && (!a || !b || !a->isEqualTo(*b))) return false;
  }
  return true;
}

Ref<NSMutableArray> NSMutableArray::array() { return objc::create<NSMutableArray>(); }

Ref<NSMutableArray> NSMutableArray::arrayWithArray(const NSArray* other) {
  return objc::create<NSMutableArray>(other ? other->items() : std::vector<id>());
}

Ref<NSMutableArray> NSMutableArray::arrayWithContentsOfFile(const std::string& devicePath) {
  auto a = NSArray::arrayWithContentsOfFile(devicePath);
  return a ? arrayWithArray(a.get()) : nullptr;
}

void NSMutableArray::addObject(id obj) {
  if (!obj) throw objc::RuntimeError("NSInvalidArgumentException: object cannot be nil");
  items_.push_back(std::move(obj));
}

void NSMutableArray::insertObjectAtIndex(id obj, uint64_t index) {
  if (!obj) throw objc::RuntimeError("NSInvalidArgumentException: object cannot be nil");
  if (index > items_.size()) outOfRange(index, items_.size());
  items_.insert(items_.begin() + std::ptrdiff_t(index), std::move(obj));
}

void NSMutableArray::removeObjectAtIndex(uint64_t index) {
  if (index >= items_.size()) outOfRange(index, items_.size());
  items_.erase(items_.begin() + std::ptrdiff_t(index));
}

void NSMutableArray::removeObject(const NSObject* obj) {
  if (!obj) return;
  Ref<const NSObject> keep(obj);  // obj may be one of the items
  std::erase_if(items_, [obj](const id& item) { return item.get() == obj || (item && obj->isEqualTo(*item)); });
}

void NSMutableArray::removeObjectIdenticalTo(const NSObject* obj) {
  std::erase_if(items_, [obj](const id& item) { return item.get() == obj; });
}

void NSMutableArray::removeObjectsInArray(const NSArray* others) {
  if (!others || others->count() == 0) return;
  struct Hash {
    size_t operator()(const NSObject* o) const noexcept { return o->hashValue(); }
  };
  struct Equal {
    bool operator()(const NSObject* a, const NSObject* b) const noexcept { return a == b || a->isEqualTo(*b); }
  };
  // Held until the pass is over: an item may be what keeps an entry alive.
  const Ref<const NSArray> keep(others);
  std::unordered_set<const NSObject*, Hash, Equal> gone;
  for (const auto& o : *others)
    if (o) gone.insert(o.get());
  std::vector<id> kept;
  kept.reserve(items_.size());
  for (auto& item : items_)
    if (!item || !gone.contains(item.get())) kept.push_back(std::move(item));
  std::vector<id> removed = std::exchange(items_, std::move(kept));
}

void NSMutableArray::removeLastObject() {
  if (items_.empty()) outOfRange(0, 0);
  items_.pop_back();
}

void NSMutableArray::replaceObjectAtIndex(uint64_t index, id obj) {
  if (!obj) throw objc::RuntimeError("NSInvalidArgumentException: object cannot be nil");
  if (index >= items_.size()) outOfRange(index, items_.size());
  items_[index] = std::move(obj);
}

void NSMutableArray::sortUsingComparator(const std::function<NSComparisonResult(const id&, const id&)>& cmp) {
  std::stable_sort(items_.begin(), items_.end(),
                   [&cmp](const id& a, const id& b) { return cmp(a, b) == NSOrderedAscending; });
}
