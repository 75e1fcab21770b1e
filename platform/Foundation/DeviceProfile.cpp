#include <Foundation/DeviceClock.h>
#include <Foundation/DeviceProfile.h>

#include <Foundation/NSArray.h>
#include <Foundation/NSCalendar.h>
#include <Foundation/NSDate.h>
#include <Foundation/NSDictionary.h>
#include <Foundation/NSLog.h>
#include <Foundation/NSNumber.h>
#include <Foundation/NSObjCRuntime.h>
#include <Foundation/NSString.h>
#include <Foundation/PropertyList.h>

#include <cmath>
#include <mutex>

namespace foundation {

namespace {

constexpr std::string_view kProfilePath = "/device.plist";

struct ReleaseVersion {
  std::string_view release;
  double version;
};
constexpr ReleaseVersion kReleases[] = {
    {"7.0", NSFoundationVersionNumber_iOS_7_0},
    {"7.1", NSFoundationVersionNumber_iOS_7_1},
    {"8.0", NSFoundationVersionNumber_iOS_8_0},
    {"8.1", 1141.1},
    {"8.2", 1142.14},
    {"8.3", 1144.17},
    {"8.4", NSFoundationVersionNumber_iOS_8_4},
    {"9.0", NSFoundationVersionNumber_iOS_9_0},
    {"9.1", 1241.14},
    {"9.2", 1242.12},
    {"9.3", 1242.12},
};

/// Reads one profile file, logging every value it has to default.
class ProfileReader {
 public:
  explicit ProfileReader(const NSDictionary& d) : d_(d) {}

  std::optional<std::string> string(std::string_view key) {
    id v = d_.objectForKey(key);
    if (!v) return std::nullopt;
    if (auto* s = dynamic_cast<const NSString*>(v.get())) return s->str();
    return bad(key, v, "a string"), std::nullopt;
  }

  std::optional<bool> boolean(std::string_view key) {
    id v = d_.objectForKey(key);
    if (!v) return std::nullopt;
    if (auto* n = dynamic_cast<const NSNumber*>(v.get())) return n->boolValue();
    if (auto* s = dynamic_cast<const NSString*>(v.get())) return s->boolValue();
    return bad(key, v, "a boolean"), std::nullopt;
  }

  /// A number in (0, max]; numeric strings count.
  std::optional<double> positive(std::string_view key, double max) {
    id v = d_.objectForKey(key);
    if (!v) return std::nullopt;
    double x = std::nan("");
    if (auto* n = dynamic_cast<const NSNumber*>(v.get()); n && !n->isBoolean())
      x = n->doubleValue();
    else if (auto* s = dynamic_cast<const NSString*>(v.get()))
      x = s->doubleValue();
    if (x > 0 && x <= max) return x;
    return bad(key, v, "a positive number"), std::nullopt;
  }

  std::optional<double> date(std::string_view key) { return dateIn(d_, key); }

  std::optional<double> dateIn(const NSDictionary& d, std::string_view key) {
    id v = d.objectForKey(key);
    if (!v) return std::nullopt;
    if (auto* t = dynamic_cast<const NSDate*>(v.get()); t && std::isfinite(t->timeIntervalSinceReferenceDate()))
      return t->timeIntervalSinceReferenceDate();
    return bad(key, v, "a date"), std::nullopt;
  }

  void bad(std::string_view key, const id& value, const char* expected) {
    NSLog("Foundation: device profile key %@ is not %s (%@); using the default", key, expected, value);
  }

 private:
  const NSDictionary& d_;
};

std::string stringIn(const NSDictionary& d, std::string_view key) {
  auto* s = dynamic_cast<const NSString*>(d.objectForKey(key).get());
  return s ? s->str() : std::string();
}

void readBulletins(ProfileReader& r, const id& value, DeviceProfile& p) {
  auto* list = dynamic_cast<const NSArray*>(value.get());
  if (!list) return r.bad("Bulletins", value, "an array");
  uint64_t position = 0;
  for (const id& item : *list) {
    ++position;
    auto* d = dynamic_cast<const NSDictionary*>(item.get());
    if (!d || stringIn(*d, "SectionID").empty()) {
      NSLog("Foundation: device profile bulletin %lu has no SectionID; skipped", position);
      continue;
    }
    ProfileBulletin b;
    b.sectionID = stringIn(*d, "SectionID");
    b.title = stringIn(*d, "Title");
    b.message = stringIn(*d, "Message");
    b.subtitle = stringIn(*d, "Subtitle");
    b.bulletinID = stringIn(*d, "BulletinID");
    if (b.bulletinID.empty()) b.bulletinID = b.sectionID + "-" + std::to_string(position);
    b.date = r.dateIn(*d, "Date");
    p.bulletins.push_back(std::move(b));
  }
}

DeviceProfile profileFrom(const NSDictionary& d) {
  DeviceProfile p;
  ProfileReader r(d);
  const auto release = r.string("iOSRelease");
  const auto version = r.positive("FoundationVersion", 100000);
  if (release) {
    const auto known = foundationVersionForRelease(*release);
    if (known || version) {
      p.iosRelease = *release;
      p.foundationVersion = version ? *version : *known;
    } else {
      NSLog("Foundation: device profile names unknown release %@ without a FoundationVersion; using %@", *release,
            p.iosRelease);
    }
  } else if (version) {
    p.foundationVersion = *version;
  }
  if (auto w = r.positive("ScreenWidth", 4096)) p.screenWidth = *w;
  if (auto h = r.positive("ScreenHeight", 4096)) p.screenHeight = *h;
  if (auto s = r.positive("ScreenScale", 4)) p.screenScale = *s;
  // The lock screen is drawn at full resolution: keep it to a picture the
  // size of the largest device's several times over, not gigabytes.
  constexpr double kMaxScreenPixels = 4096.0 * 4096.0;
  if (const double pixels = p.screenWidth * p.screenHeight * p.screenScale * p.screenScale; pixels > kMaxScreenPixels) {
    const DeviceProfile defaults;
    NSLog("Foundation: device profile screen %g x %g at scale %g is over %g pixels; using %g x %g at scale %g",
          p.screenWidth, p.screenHeight, p.screenScale, kMaxScreenPixels, defaults.screenWidth, defaults.screenHeight,
          defaults.screenScale);
    p.screenWidth = defaults.screenWidth;
    p.screenHeight = defaults.screenHeight;
    p.screenScale = defaults.screenScale;
  }
  if (auto zone = r.string("TimeZone")) {
    if (NSTimeZone::timeZoneWithName(*zone))
      p.timeZone = *zone;
    else
      NSLog("Foundation: device profile time zone %@ is unknown; using %@", *zone, p.timeZone);
  }
  if (auto access = r.boolean("RemindersAccess")) p.remindersAccess = *access;
  p.now = r.date("Now");
  if (auto wallpaper = r.string("Wallpaper")) p.wallpaper = *wallpaper;
  if (auto playing = r.boolean("NowPlaying")) p.nowPlaying = *playing;
  if (id bulletins = d.objectForKey(std::string_view("Bulletins"))) readBulletins(r, bulletins, p);
  return p;
}

std::mutex& profileLock() {
  static std::mutex m;
  return m;
}
DeviceProfile& profileSlot() {
  static auto* p = new DeviceProfile();
  return *p;
}

}  // namespace

std::optional<double> foundationVersionForRelease(std::string_view release) {
  // "8.4.1" is a release of 8.4: only major.minor counts.
  const size_t first = release.find('.');
  if (first != std::string_view::npos) {
    const size_t second = release.find('.', first + 1);
    if (second != std::string_view::npos) release = release.substr(0, second);
  }
  for (const auto& r : kReleases)
    if (r.release == release) return r.version;
  return std::nullopt;
}

DeviceProfile loadDeviceProfile() {
  id root = readPropertyListFile(kProfilePath, PropertyListRoot::Dictionary);
  auto* d = dynamic_cast<const NSDictionary*>(root.get());
  return d ? profileFrom(*d) : DeviceProfile();
}

const DeviceProfile& currentDeviceProfile() {
  std::lock_guard g(profileLock());
  return profileSlot();
}

void bootDevice(const DeviceProfile& profile) {
  {
    std::lock_guard g(profileLock());
    profileSlot() = profile;
  }
  NSFoundationVersionNumber = profile.foundationVersion;
  auto zone = NSTimeZone::timeZoneWithName(profile.timeZone);
  NSTimeZone::setDefaultTimeZone(zone ? zone : NSTimeZone::timeZoneWithName("UTC"));
  if (profile.now) DeviceClock::setSimulated(*profile.now);
}

}  // namespace foundation
