#include <objc/Weak.h>

#include <mutex>
#include <unordered_map>

/// The side table of weakly referenced objects. One lock guards the table
/// and every box, so a load and the object's destruction never interleave.
struct NSObjectWeakAccess {
  static void mark(NSObject* obj) { obj->weaklyReferenced_.store(true, std::memory_order_release); }
};

namespace objc::detail {

namespace {
struct WeakTable {
  std::mutex lock;
  std::unordered_map<const NSObject*, std::shared_ptr<WeakBox>> boxes;
};
WeakTable& weakTable() {
  static auto* t = new WeakTable();  // never destroyed: objects may outlive static teardown
  return *t;
}
}  // namespace

std::shared_ptr<WeakBox> weakBoxFor(NSObject* obj) {
  auto& t = weakTable();
  std::lock_guard g(t.lock);
  auto& box = t.boxes[obj];
  if (!box) {
    box = std::make_shared<WeakBox>(WeakBox{obj});
    NSObjectWeakAccess::mark(obj);
  }
  return box;
}

id loadWeak(const std::shared_ptr<WeakBox>& box) {
  auto& t = weakTable();
  std::lock_guard g(t.lock);
  NSObject* obj = box->object;
  if (!obj || !obj->tryRetain()) return nullptr;
  id strong(obj);
  obj->release();  // the strong reference holds its own count now
  return strong;
}

void clearWeak(const NSObject* obj) {
  auto& t = weakTable();
  std::lock_guard g(t.lock);
  auto it = t.boxes.find(obj);
  if (it == t.boxes.end()) return;
  it->second->object = nullptr;
  t.boxes.erase(it);
}

}  // namespace objc::detail
