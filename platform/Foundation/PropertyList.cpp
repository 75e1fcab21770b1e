#include <Foundation/PropertyList.h>

#include <Foundation/DeviceRoot.h>
#include <Foundation/NSArray.h>
#include <Foundation/NSData.h>
#include <Foundation/NSDate.h>
#include <Foundation/NSDictionary.h>
#include <Foundation/NSLog.h>
#include <Foundation/NSNumber.h>
#include <Foundation/NSString.h>
#include <Foundation/PropertyListShape.h>

#include <plist/plist.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <limits>
#include <map>
#include <memory>
#include <mutex>

namespace foundation {

namespace {

/// Deeper trees are refused rather than risk the stack.
constexpr int kMaxDepth = 512;
/// Values in one list, keys included. No preference file, profile or
/// Info.plist comes near; reading this many already takes a tenth of a
/// second on the device, and libplist's dictionary insert slows down
/// sharply beyond it.
constexpr size_t kMaxObjects = 65536;
/// libplist takes 32-bit lengths; no preference file comes near this.
constexpr size_t kMaxBytes = 64u << 20;

struct PlistFree {
  void operator()(plist_t p) const { plist_free(p); }
};
using PlistPtr = std::unique_ptr<void, PlistFree>;

/// The XML text libplist writes for one node (a copy of it, so the node's
/// place in its tree does not matter).
std::string nodeXML(plist_t node) {
  PlistPtr copy(plist_copy(node));
  char* xml = nullptr;
  uint32_t length = 0;
  plist_to_xml(copy.get(), &xml, &length);
  std::string out(xml ? xml : "", xml ? length : 0);
  if (xml) plist_to_xml_free(xml);
  return out;
}

/// The text between <tag> and </tag> in xml.
std::string elementText(const std::string& xml, std::string_view tag) {
  const std::string open = "<" + std::string(tag) + ">", close = "</" + std::string(tag) + ">";
  const size_t a = xml.find(open);
  if (a == std::string::npos) return {};
  const size_t b = xml.find(close, a);
  return b == std::string::npos ? std::string() : xml.substr(a + open.size(), b - a - open.size());
}

/// A node parsed from a one-value XML property list: the way to build
/// values the node constructors cannot express (unsigned integers above
/// INT64_MAX, dates beyond 32-bit seconds).
plist_t parseXMLValue(const std::string& element) {
  const std::string doc = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">" + element + "</plist>";
  plist_t node = nullptr;
  plist_from_xml(doc.data(), uint32_t(doc.size()), &node);
  return node;
}

// ---- reading

/// True when a key holds a NUL character. Only binary files can carry one,
/// and libplist cannot hand such a key out (it asserts), so these files are
/// refused; the XML form writes the key's bytes whole, NUL included.
bool hasKeyWithNul(plist_t root) {
  char* xml = nullptr;
  uint32_t length = 0;
  plist_to_xml(root, &xml, &length);
  if (!xml) return true;
  const std::string_view text(xml, length);
  bool found = false;
  for (size_t at = text.find('\0'); at != std::string_view::npos && !found; at = text.find('\0', at + 1)) {
    const size_t open = text.rfind('<', at);  // text content has its '<' escaped
    found = open != std::string_view::npos && text.substr(open, 5) == "<key>";
  }
  plist_to_xml_free(xml);
  return found;
}

id integerObject(plist_t node) {
  uint64_t v = 0;
  plist_get_uint_val(node, &v);
  if (v <= uint64_t(std::numeric_limits<int64_t>::max())) return NSNumber::numberWithInteger(int64_t(v));
  // The same 64 bits are a negative number or a large unsigned one; only
  // the node's own text form tells which.
  const std::string text = elementText(nodeXML(node), "integer");
  if (!text.empty() && text[0] == '-') return NSNumber::numberWithInteger(int64_t(v));
  return NSNumber::numberWithUnsignedInteger(v);
}

/// "YYYY-MM-DDTHH:MM:SSZ" as seconds since the reference date.
bool parseISODate(const std::string& text, double& out) {
  long long y = 0;
  unsigned mo = 0, d = 0, h = 0, mi = 0, s = 0;
  if (std::sscanf(text.c_str(), "%lld-%u-%uT%u:%u:%uZ", &y, &mo, &d, &h, &mi, &s) != 6) return false;
  using namespace std::chrono;
  const year_month_day ymd{year(int(y)), month(mo), day(d)};
  if (!ymd.ok()) return false;
  const auto days = sys_days(ymd).time_since_epoch().count();
  out = double(days) * 86400 + h * 3600.0 + mi * 60.0 + s - NSTimeIntervalSince1970;
  return true;
}

id dateObject(plist_t node) {
  // libplist hands out whole seconds only as 32 bits, which cannot hold
  // dates before 1933 or after 2069: the whole seconds come from the node's
  // text form, which libplist writes from its full value, and only the
  // fraction from the node itself.
  int32_t usec = 0;
  plist_get_date_val(node, nullptr, &usec);
  double whole = 0;
  if (!parseISODate(elementText(nodeXML(node), "date"), whole)) return nullptr;
  const double fraction = usec / 1e6;
  return NSDate::dateWithTimeIntervalSinceReferenceDate(whole < 0 ? whole - fraction : whole + fraction);
}

id toObject(plist_t node, int depth) {
  if (!node || depth > kMaxDepth) return nullptr;
  switch (plist_get_node_type(node)) {
    case PLIST_BOOLEAN: {
      uint8_t b = 0;
      plist_get_bool_val(node, &b);
      return NSNumber::numberWithBool(b != 0);
    }
    case PLIST_UINT: return integerObject(node);
    case PLIST_REAL: {
      double d = 0;
      plist_get_real_val(node, &d);
      return NSNumber::numberWithDouble(d);
    }
    case PLIST_STRING:
    case PLIST_KEY: {
      uint64_t length = 0;
      const char* s = plist_get_string_ptr(node, &length);
      return NSStr(std::string_view(s ? s : "", s ? size_t(length) : 0));
    }
    case PLIST_DATE: return dateObject(node);
    case PLIST_DATA: {
      uint64_t length = 0;
      const char* p = plist_get_data_ptr(node, &length);
      const auto* bytes = reinterpret_cast<const uint8_t*>(p);
      return objc::create<NSData>(p ? std::vector<uint8_t>(bytes, bytes + length) : std::vector<uint8_t>());
    }
    case PLIST_UID: {
      uint64_t uid = 0;
      plist_get_uid_val(node, &uid);
      return NSDictionary::dictionaryWithEntries({{NSStr("CF$UID"), NSNumber::numberWithUnsignedInteger(uid)}});
    }
    case PLIST_ARRAY: {
      std::vector<id> items;
      const uint32_t n = plist_array_get_size(node);
      items.reserve(n);
      for (uint32_t i = 0; i < n; ++i) {
        id item = toObject(plist_array_get_item(node, i), depth + 1);
        if (!item) return nullptr;
        items.push_back(std::move(item));
      }
      return NSArray::arrayWithObjects(std::move(items));
    }
    case PLIST_DICT: {
      std::vector<std::pair<id, id>> entries;
      plist_dict_iter it = nullptr;
      plist_dict_new_iter(node, &it);
      bool ok = it != nullptr;
      while (ok) {
        char* key = nullptr;
        plist_t value = nullptr;
        plist_dict_next_item(node, it, &key, &value);
        if (!value) {
          std::free(key);
          break;
        }
        id object = toObject(value, depth + 1);
        if (object && key)
          entries.emplace_back(NSStr(key), std::move(object));
        else
          ok = false;
        std::free(key);
      }
      std::free(it);
      if (!ok) return nullptr;
      return NSDictionary::dictionaryWithEntries(std::move(entries));
    }
    default: return nullptr;
  }
}

const char* rootName(PropertyListRoot r) { return r == PropertyListRoot::Array ? "an array" : "a dictionary"; }

}  // namespace

id propertyListFromBytes(std::string_view bytes, PropertyListRoot expected, std::string_view origin) {
  if (bytes.size() > kMaxBytes) {
    NSLog("Foundation: property list %@ is too large (%lu bytes)", origin, bytes.size());
    return nullptr;
  }
  const PropertyListLimits limits{kMaxDepth, kMaxObjects};
  const bool binary = bytes.starts_with("bplist00");
  switch (binary ? binaryPropertyListShape(bytes, limits) : xmlPropertyListShape(bytes, limits)) {
    case PropertyListShape::Fits: break;
    case PropertyListShape::Malformed: NSLog("Foundation: %@ is not a property list", origin); return nullptr;
    case PropertyListShape::TooDeep:
      NSLog("Foundation: property list %@ nests deeper than %d levels", origin, kMaxDepth);
      return nullptr;
    case PropertyListShape::TooLarge:
      NSLog("Foundation: property list %@ holds more than %lu values", origin, kMaxObjects);
      return nullptr;
    case PropertyListShape::Cycle:
      NSLog("Foundation: property list %@ has a container that holds itself", origin);
      return nullptr;
  }
  plist_t raw = nullptr;
  if (!bytes.empty()) plist_from_memory(bytes.data(), uint32_t(bytes.size()), &raw);
  PlistPtr root(raw);
  if (!root) {
    NSLog("Foundation: %@ is not a property list", origin);
    return nullptr;
  }
  if (plist_is_binary(bytes.data(), uint32_t(bytes.size())) && hasKeyWithNul(root.get())) {
    NSLog("Foundation: property list %@ has a key with a NUL character", origin);
    return nullptr;
  }
  const plist_type type = plist_get_node_type(root.get());
  if ((expected == PropertyListRoot::Array && type != PLIST_ARRAY) ||
      (expected == PropertyListRoot::Dictionary && type != PLIST_DICT)) {
    NSLog("Foundation: property list %@ is not %s", origin, rootName(expected));
    return nullptr;
  }
  id out = toObject(root.get(), 0);
  if (!out) NSLog("Foundation: property list %@ holds values that cannot be read", origin);
  return out;
}

namespace {

/// The last reading of each file, valid while the file on disk has the same
/// identity: a host that reads one preference file for every control on a
/// screen parses it once. Values are immutable, so a reading is shared.
struct Reading {
  struct stat stamp {};
  PropertyListRoot expected = PropertyListRoot::Any;
  id value;
};
struct ReadingCache {
  std::mutex lock;
  std::map<std::string, Reading, std::less<>> entries;
};
ReadingCache& readings() {
  static auto* cache = new ReadingCache();
  return *cache;
}
/// Only small files are kept; a device has a handful of them.
constexpr size_t kCachedFileBytes = 1u << 20;
constexpr size_t kCachedFiles = 32;

bool sameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size &&
         a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec &&
         a.st_ctim.tv_sec == b.st_ctim.tv_sec && a.st_ctim.tv_nsec == b.st_ctim.tv_nsec;
}

}  // namespace

id readPropertyListFile(std::string_view devicePath, PropertyListRoot expected) {
  FileResult opened;
  struct stat st {};  // taken from the open file as it was checked
  const int fd = openDeviceFile(devicePath, kPropertyListFileCap, &opened, &st);
  if (fd < 0) return nullptr;  // missing (not logged) or refused (logged by the file layer)
  auto& cache = readings();
  {
    std::lock_guard guard(cache.lock);
    auto it = cache.entries.find(devicePath);
    if (it != cache.entries.end() && it->second.expected == expected && sameFile(it->second.stamp, st)) {
      ::close(fd);
      return it->second.value;
    }
  }
  std::string contents;
  const bool ok = readOpenFile(fd, contents, kPropertyListFileCap);
  ::close(fd);
  if (!ok) {
    NSLog("Foundation: cannot read property list %@", devicePath);
    return nullptr;
  }
  id value = propertyListFromBytes(contents, expected, devicePath);
  // A file written in the last moments may be written again within the
  // same tick of the file system's clock, unseen by its time stamps.
  const bool settled = ::time(nullptr) - st.st_mtim.tv_sec >= 2;
  if (value && settled && contents.size() <= kCachedFileBytes) {
    std::lock_guard guard(cache.lock);
    if (cache.entries.size() >= kCachedFiles) cache.entries.clear();
    cache.entries[std::string(devicePath)] = Reading{st, expected, value};
  }
  return value;
}

// ---- writing

namespace {

plist_t dateNode(double t) {
  const double whole = std::trunc(t);
  if (whole >= std::numeric_limits<int32_t>::min() && whole <= std::numeric_limits<int32_t>::max())
    return plist_new_date(int32_t(whole), int32_t(std::lround((t - whole) * 1e6)));
  auto f = foundation::utcFields(std::floor(t) + NSTimeIntervalSince1970);
  if (!f) return nullptr;
  char buf[64];
  std::snprintf(buf, sizeof buf, "<date>%04d-%02u-%02uT%02d:%02d:%02dZ</date>", f->year, f->month, f->day, f->hour,
                f->minute, f->second);
  return parseXMLValue(buf);
}

plist_t numberNode(const NSNumber& n) {
  switch (n.kind()) {
    case NSNumber::Kind::Boolean: return plist_new_bool(n.boolValue() ? 1 : 0);
    case NSNumber::Kind::Real: return plist_new_real(n.doubleValue());
    case NSNumber::Kind::Unsigned:
      if (n.unsignedIntegerValue() > uint64_t(std::numeric_limits<int64_t>::max()))
        return parseXMLValue("<integer>" + std::to_string(n.unsignedIntegerValue()) + "</integer>");
      [[fallthrough]];
    case NSNumber::Kind::Integer: return plist_new_uint(uint64_t(n.integerValue()));
  }
  return nullptr;
}

plist_t toNode(const NSObject* obj, int depth) {
  if (!obj || depth > kMaxDepth) return nullptr;
  // libplist takes strings as C strings: one holding a NUL would lose its
  // tail, so it cannot be written rather than be written short.
  if (auto* s = dynamic_cast<const NSString*>(obj))
    return s->str().find('\0') == std::string::npos ? plist_new_string(s->UTF8String()) : nullptr;
  if (auto* n = dynamic_cast<const NSNumber*>(obj)) return numberNode(*n);
  if (auto* d = dynamic_cast<const NSDate*>(obj)) return dateNode(d->timeIntervalSinceReferenceDate());
  if (auto* d = dynamic_cast<const NSData*>(obj))
    return plist_new_data(reinterpret_cast<const char*>(d->bytes().data()), d->length());
  if (auto* a = dynamic_cast<const NSArray*>(obj)) {
    PlistPtr node(plist_new_array());
    for (const id& item : *a) {
      plist_t child = toNode(item.get(), depth + 1);
      if (!child) return nullptr;
      plist_array_append_item(node.get(), child);
    }
    return node.release();
  }
  if (auto* d = dynamic_cast<const NSDictionary*>(obj)) {
    PlistPtr node(plist_new_dict());
    for (const auto& [key, value] : d->entries()) {
      auto* k = dynamic_cast<const NSString*>(key.get());
      if (!k || k->str().find('\0') != std::string::npos) return nullptr;
      plist_t child = toNode(value.get(), depth + 1);
      if (!child) return nullptr;
      plist_dict_set_item(node.get(), k->UTF8String(), child);
    }
    return node.release();
  }
  return nullptr;
}

}  // namespace

bool propertyListXML(const NSObject& root, std::string& xml) {
  PlistPtr node(toNode(&root, 0));
  if (!node) return false;
  char* text = nullptr;
  uint32_t length = 0;
  plist_to_xml(node.get(), &text, &length);
  if (!text) return false;
  xml.assign(text, length);
  plist_to_xml_free(text);
  return true;
}

bool writePropertyListFile(std::string_view devicePath, const NSObject& root, bool atomically) {
  std::string xml;
  if (!propertyListXML(root, xml)) {
    NSLog("Foundation: %@ cannot be written as a property list to %@", object_getClassName(&root), devicePath);
    return false;
  }
  return writeDeviceFile(devicePath, xml, atomically);
}

}  // namespace foundation
