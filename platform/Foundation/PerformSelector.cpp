// Delayed and main-thread performs: foundation:: calls for platform code,
// and the NSObject methods the device's code sends.

#include <Foundation/NSLog.h>
#include <Foundation/NSRunLoop.h>
#include <objc/ClassBuilder.h>

#include <condition_variable>
#include <mutex>
#include <string_view>
#include <thread>

namespace {

const std::thread::id mainThread = std::this_thread::get_id();  // the thread that loads Foundation

template <class R>
void sendAndDrop(const id& target, SEL sel, const id& object, bool withObject) {
  if (withObject)
    (void)objc::msg<R>(target, sel, object);
  else
    (void)objc::msg<R>(target, sel);
}

/// Sends sel with one object argument when its method takes one, with none
/// when it takes none; whatever it returns is dropped.
void perform(const id& target, SEL sel, const id& object) {
  if (!target) return;
  Method m = objc::lookupMethod(object_getClass(target.get()), sel);
  if (!m) {
    (void)objc::msg<void>(target, sel);  // raises: unrecognized selector, as the device would crash
    return;
  }
  const std::string_view types = objc::methodTypes(m);
  const size_t self = types.find("@:");
  if (self == std::string_view::npos) {
    NSLog("Foundation: cannot perform %s: method types %s", sel_getName(sel), objc::methodTypes(m));
    return;
  }
  const std::string_view result = types.substr(0, self), args = types.substr(self + 2);
  const bool withObject = args == "@";
  if (!args.empty() && !withObject) {
    NSLog("Foundation: cannot perform %s with an object: it takes %s", sel_getName(sel), std::string(args));
    return;
  }
  if (result.size() != 1) {
    NSLog("Foundation: cannot perform %s: it returns %s", sel_getName(sel), std::string(result));
    return;
  }
  switch (result[0]) {
    case 'v': return sendAndDrop<void>(target, sel, object, withObject);
    case '@': return sendAndDrop<id>(target, sel, object, withObject);
    case 'B': return sendAndDrop<bool>(target, sel, object, withObject);
    case 'c': return sendAndDrop<int8_t>(target, sel, object, withObject);
    case 'C': return sendAndDrop<uint8_t>(target, sel, object, withObject);
    case 's': return sendAndDrop<int16_t>(target, sel, object, withObject);
    case 'S': return sendAndDrop<uint16_t>(target, sel, object, withObject);
    case 'i': return sendAndDrop<int32_t>(target, sel, object, withObject);
    case 'I': return sendAndDrop<uint32_t>(target, sel, object, withObject);
    case 'q': return sendAndDrop<int64_t>(target, sel, object, withObject);
    case 'Q': return sendAndDrop<uint64_t>(target, sel, object, withObject);
    case 'f': return sendAndDrop<float>(target, sel, object, withObject);
    case 'd': return sendAndDrop<double>(target, sel, object, withObject);
    default: NSLog("Foundation: cannot perform %s: it returns %s", sel_getName(sel), std::string(result));
  }
}

void performAfterDelay(id self, SEL, SEL sel, id object, double delay) {
  foundation::performSelectorAfterDelay(std::move(self), sel, std::move(object), delay);
}

void performOnMainThread(id self, SEL, SEL sel, id object, bool wait) {
  if (!wait) {
    foundation::performSelectorOnMainThread(std::move(self), sel, std::move(object));
    return;
  }
  if (std::this_thread::get_id() == mainThread) {
    perform(self, sel, object);
    return;
  }
  struct Done {
    std::mutex lock;
    std::condition_variable cv;
    bool done = false;
  };
  auto done = std::make_shared<Done>();
  NSRunLoop::mainRunLoop()->enqueue([self, sel, object, done] {
    struct Signal {
      Done& d;
      ~Signal() {
        {
          std::lock_guard g(d.lock);
          d.done = true;
        }
        d.cv.notify_all();
      }
    } signal{*done};
    perform(self, sel, object);
  });
  std::unique_lock g(done->lock);
  done->cv.wait(g, [&] { return done->done; });
}

const bool installed = [] {
  Class root = NSObject::classObject();
  class_addMethod(root, sel_registerName("performSelector:withObject:afterDelay:"),
                  reinterpret_cast<IMP>(&performAfterDelay), objc::methodEncoding<void, SEL, id, double>());
  class_addMethod(root, sel_registerName("performSelectorOnMainThread:withObject:waitUntilDone:"),
                  reinterpret_cast<IMP>(&performOnMainThread), objc::methodEncoding<void, SEL, id, bool>());
  return true;
}();

}  // namespace

namespace foundation {

void performSelectorAfterDelay(id target, SEL sel, id object, double delay) {
  if (!target || !sel) return;
  NSRunLoop::mainRunLoop()->scheduleAfter(
      delay, [target = std::move(target), sel, object = std::move(object)] { perform(target, sel, object); });
}

void performSelectorOnMainThread(id target, SEL sel, id object) {
  if (!target || !sel) return;
  NSRunLoop::mainRunLoop()->enqueue(
      [target = std::move(target), sel, object = std::move(object)] { perform(target, sel, object); });
}

}  // namespace foundation
