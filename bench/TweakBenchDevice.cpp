#include "TweakBenchDevice.h"

#include "Replacements.h"
#include "TweakState.h"

#include <Foundation/DeviceProfile.h>
#include <Foundation/DeviceRoot.h>
#include <Foundation/NSArray.h>
#include <Foundation/NSDictionary.h>
#include <Foundation/NSLog.h>
#include <Foundation/NSNumber.h>
#include <SpringBoard/SpringBoard.h>
#include <UIKit/NSIndexPath.h>
#include <objc/message.h>

#include <benchmark/benchmark.h>
#include <libical/ical.h>

#include <unistd.h>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace tweakbench {

namespace fs = std::filesystem;

namespace {

std::string reminder(int i, int generation) {
  std::ostringstream s;
  s << "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Apple Inc.//iOS 7.1//EN\r\nBEGIN:VTODO\r\nUID:B" << i
    << "\r\nSEQUENCE:" << generation << "\r\nSUMMARY:Reminder " << i << "\r\nPRIORITY:" << (i % 2 ? 1 : 5) << "\r\n";
  if (i % 2) s << "DUE;TZID=Europe/Berlin:20261210T1" << i % 10 << "0000\r\n";
  if (i % 3 == 1)
    s << "BEGIN:VALARM\r\nACTION:DISPLAY\r\nTRIGGER;VALUE=DATE-TIME:19760401T005545Z\r\nX-APPLE-PROXIMITY:ARRIVE\r\n"
         "X-APPLE-STRUCTURED-LOCATION;VALUE=URI;X-TITLE=REWE Markt:geo:52.5382,13.4109\r\nEND:VALARM\r\n";
  s << "END:VTODO\r\nEND:VCALENDAR\r\n";
  return s.str();
}

const char* const kCalendarsFile = "/var/mobile/Library/Preferences/org.brightrepo.quillpane.calendars.plist";

}  // namespace

BenchRoot& BenchRoot::shared() {
  static BenchRoot root;
  return root;
}

BenchRoot::BenchRoot() : path_(fs::temp_directory_path() / ("qp-tweak-bench-" + std::to_string(getpid()))) {
  fs::remove_all(path_);
  fs::create_directories(path_ / "var/mobile/Library/Preferences");
  fs::copy_file(QP_SOURCE_DIR "/prefs/Resources/iconIOS7@2x.png", path_ / "icon@2x.png");
}

BenchRoot::~BenchRoot() {
  std::error_code ignored;
  fs::remove_all(path_, ignored);
}

fs::path BenchRoot::list(int n) {
  fs::path list = path_ / "var/mobile/Library/Reminders/iCloud" / listName(n);
  if (written_.insert(n).second) {
    fs::create_directories(list);
    std::ofstream(list / "displayname") << "Home";
    std::ofstream(list / "color") << "#FF9500";
    writeReminders(list, n, 0);
  }
  return list;
}

void BenchRoot::writeReminders(const fs::path& list, int n, int generation) {
  for (int i = 0; i < n; ++i) std::ofstream(list / ("r" + std::to_string(i) + ".ics")) << reminder(i, generation);
}

Device::Device(int n, const char* iconFile, Settings settings) : root_(BenchRoot::shared().path()) {
  foundation::setDeviceRoot(root_);
  foundation::setLogSinks({});
  show(n);
  const std::string prefsFile = "/var/mobile/Library/Preferences/org.brightrepo.quillpaneprefs.plist";
  auto prefs = NSMutableDictionary::dictionary();
  const fs::path here = root_ / "var/mobile/Library/Preferences";
  fs::remove(here / "org.brightrepo.datebeam.sorting.plist");
  if (settings == Settings::Demo) {
    // The demo device's own files, with the cap on shown reminders lifted.
    const fs::path demo = QP_SOURCE_DIR "/demo/root/var/mobile/Library/Preferences";
    for (const char* f : {"org.brightrepo.quillpaneprefs.plist", "org.brightrepo.datebeam.sorting.plist"})
      fs::copy_file(demo / f, here / f, fs::copy_options::overwrite_existing);
    prefs = NSMutableDictionary::dictionaryWithContentsOfFile(prefsFile);
    if (!prefs) std::abort();
  }
  prefs->setObjectForKey(NSStr(iconFile), "iconFile");
  prefs->setObjectForKey(NSNumber::numberWithInteger(0), "maxRemindersToDisplay");
  prefs->writeToFile(prefsFile, true);
  foundation::DeviceProfile profile;
  profile.timeZone = "Europe/Berlin";
  profile.now = 818409600.0;
  foundation::bootDevice(profile);
  SBRegisterSpringBoardApplicationClass();
  static bool loaded = false;
  if (!loaded) quillpane::initializeTweak();
  loaded = true;
  manager_ = std::make_unique<LockScreenDriver>();
  manager_->lock();
}

void Device::write(int n, int generation) { BenchRoot::writeReminders(BenchRoot::shared().list(n), n, generation); }

void Device::show(int n) {
  list_ = BenchRoot::shared().list(n);
  NSArray::arrayWithObjects({NSStr(BenchRoot::listName(n))})->writeToFile(kCalendarsFile, false);
}

void loadView(LockScreenDriver& m) { objc::msg(m.listController(), SEL_("loadView")); }

void rowPass(LockScreenDriver& m, uint64_t row) {
  auto indexPath = NSIndexPath::indexPathForRow(static_cast<NSInteger>(row), 0);
  benchmark::DoNotOptimize(
      objc::msg<double>(m.listView(), SEL_("tableView:heightForRowAtIndexPath:"), m.tableView(), indexPath));
  objc::msg(m.cellForRow(row), SEL_("layoutSubviews"));
  benchmark::DoNotOptimize(objc::msg<id>(m.listItemAtRow(row), SEL_("iconImage")));
}

std::optional<uint64_t> firstRow(LockScreenDriver& m, bool own) {
  for (uint64_t r = 0; r < m.rowCount(); ++r) {
    auto b = m.bulletinAtRow(r);
    if (b && b->bulletinID() && b->bulletinID()->hasPrefix("Quillpane") == own && m.cellForRow(r)) return r;
  }
  return std::nullopt;
}

void bareParse(const fs::path& list) {
  for (const auto& entry : fs::directory_iterator(list)) {
    if (entry.path().extension() != ".ics") continue;
    std::ifstream in(entry.path(), std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    icalcomponent* c = icalparser_parse_string(text.c_str());
    benchmark::DoNotOptimize(c);
    icalcomponent_free(c);
  }
}

}  // namespace tweakbench
