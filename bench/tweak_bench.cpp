// The tweak's work on the lock screen: a whole list load (settings, query,
// bulletins, the platform's load) with 10 to 10,000 reminders, warm, cold
// and as the first load after a lock, with the benchmark's plain settings and
// with the demo device's own (ordering dates, dots, location lines), beside
// libical's bare parse of the same just-written files; and the cost of one
// row (height, layout, icon) for an own row beside a platform row. Every
// figure is CPU time of all threads: the store answers on a worker.

#include "Replacements.h"
#include "TweakState.h"

#include <Foundation/DeviceProfile.h>
#include <Foundation/DeviceRoot.h>
#include <Foundation/NSArray.h>
#include <Foundation/NSDictionary.h>
#include <Foundation/NSLog.h>
#include <Foundation/NSNumber.h>
#include <SpringBoard/LockScreenDriver.h>
#include <SpringBoard/SpringBoard.h>
#include <UIKit/NSIndexPath.h>
#include <objc/message.h>

#include <benchmark/benchmark.h>
#include <libical/ical.h>

#include <unistd.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <sstream>

namespace {

namespace fs = std::filesystem;

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

/// Settings: the benchmark's plain ones (a dot, every reminder), or the
/// demo device's own with every reminder shown.
enum class Settings { Plain = 0, Demo = 1 };

/// One device root for the whole run, with a list folder of its own for each
/// size, written once and removed when the run ends. Creating thousands of
/// files costs this machine seconds, far more than any load measured, and a
/// run builds a device for every repetition of every benchmark.
class BenchRoot {
 public:
  static BenchRoot& shared() {
    static BenchRoot root;
    return root;
  }
  BenchRoot(const BenchRoot&) = delete;
  BenchRoot& operator=(const BenchRoot&) = delete;

  const fs::path& path() const { return path_; }
  /// The folder of the list with n reminders, written at the first ask.
  fs::path list(int n) {
    const fs::path list = path_ / "var/mobile/Library/Reminders/iCloud" / listName(n);
    if (written_.insert(n).second) {
      fs::create_directories(list);
      std::ofstream(list / "displayname") << "Home";
      std::ofstream(list / "color") << "#FF9500";
      writeReminders(list, n, 0);
    }
    return list;
  }
  static std::string listName(int n) { return "home-" + std::to_string(n); }
  static void writeReminders(const fs::path& list, int n, int generation) {
    for (int i = 0; i < n; ++i) std::ofstream(list / ("r" + std::to_string(i) + ".ics")) << reminder(i, generation);
  }

 private:
  BenchRoot() : path_(fs::temp_directory_path() / ("qp-tweak-bench-" + std::to_string(getpid()))) {
    fs::remove_all(path_);
    fs::create_directories(path_ / "var/mobile/Library/Preferences");
    fs::copy_file(QP_SOURCE_DIR "/prefs/Resources/iconIOS7@2x.png", path_ / "icon@2x.png");
  }
  ~BenchRoot() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }

  fs::path path_;
  std::set<int> written_;
};

/// A booted device with n reminders in one list, SpringBoard and the tweak.
class Device {
 public:
  explicit Device(int n, const char* iconFile = "DOT", Settings settings = Settings::Plain)
      : root_(BenchRoot::shared().path()), list_(BenchRoot::shared().list(n)) {
    foundation::setDeviceRoot(root_);
    foundation::setLogSinks({});
    NSArray::arrayWithObjects({NSStr(BenchRoot::listName(n))})
        ->writeToFile("/var/mobile/Library/Preferences/org.brightrepo.quillpane.calendars.plist", false);
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
  Device(const Device&) = delete;
  Device& operator=(const Device&) = delete;

  void write(int n, int generation) { BenchRoot::writeReminders(list_, n, generation); }
  const fs::path& list() const { return list_; }
  LockScreenDriver& manager() { return *manager_; }

 private:
  fs::path root_, list_;
  std::unique_ptr<LockScreenDriver> manager_;
};

void loadView(LockScreenDriver& m) { objc::msg(m.listController(), SEL_("loadView")); }

/// Arguments: the number of reminders, then the settings.
Settings settingsOf(const benchmark::State& state) { return static_cast<Settings>(state.range(1)); }

/// Loads again and again on one list controller (the list already holds
/// the previous load's rows, as on every load but the first after a lock).
void BM_ListLoadWarm(benchmark::State& state) {
  Device device(static_cast<int>(state.range(0)), "DOT", settingsOf(state));
  loadView(device.manager());
  for (auto _ : state) loadView(device.manager());
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

/// The first load after a lock: the list view was laid out, so every row
/// has a recorded height the withdrawal of the previous load forgets.
void BM_ListLoadAfterLock(benchmark::State& state) {
  Device device(static_cast<int>(state.range(0)), "DOT", settingsOf(state));
  for (auto _ : state) {
    state.PauseTiming();
    device.manager().lock();
    state.ResumeTiming();
    loadView(device.manager());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

/// A load of files written just before it, on a lock screen that has
/// loaded before: the device's first load (the lists looked up, the folder
/// watched) is the boot's cost, not a cold load's.
void BM_ListLoadCold(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  Device device(n, "DOT", settingsOf(state));
  loadView(device.manager());
  int generation = 1;
  for (auto _ : state) {
    state.PauseTiming();
    device.write(n, generation++);
    state.ResumeTiming();
    loadView(device.manager());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

/// libical alone over the same just-written files: list the folder, read
/// each file, parse it, free it.
void BM_BareLibicalParse(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  Device device(n);
  int generation = 1;
  for (auto _ : state) {
    state.PauseTiming();
    device.write(n, generation++);
    state.ResumeTiming();
    for (const auto& entry : fs::directory_iterator(device.list())) {
      if (entry.path().extension() != ".ics") continue;
      std::ifstream in(entry.path(), std::ios::binary);
      std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
      icalcomponent* c = icalparser_parse_string(text.c_str());
      benchmark::DoNotOptimize(c);
      icalcomponent_free(c);
    }
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

/// Height, layout and icon of one row, as the table asks for them.
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

/// Row kinds: 0 another application's row, 1 an own row with a list-colour
/// dot, 2 an own row with the configured icon image.
void BM_RowPass(benchmark::State& state) {
  Device device(3, state.range(0) == 1 ? "DOT" : "/icon@2x.png");
  auto& m = device.manager();
  m.notify("com.apple.mobilemail", "Lunch on Friday?", "See you at noon");
  m.layout();
  auto row = firstRow(m, state.range(0) != 0);
  if (!row) return state.SkipWithError("no such row on screen");
  for (auto _ : state) rowPass(m, *row);
}

}  // namespace

// Sizes by settings; the CPU column counts every thread of the process.
void loads(benchmark::internal::Benchmark* b) {
  b->ArgNames({"n", "settings"})->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
  for (int settings : {0, 1})
    for (int n : {10, 100, 1000, 10000}) b->Args({n, settings});
}
BENCHMARK(BM_ListLoadWarm)->Apply(loads);
BENCHMARK(BM_ListLoadAfterLock)->Apply(loads);
BENCHMARK(BM_ListLoadCold)->Apply(loads);
BENCHMARK(BM_BareLibicalParse)
    ->ArgName("n")
    ->Arg(10)
    ->Arg(100)
    ->Arg(1000)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime();
BENCHMARK(BM_RowPass)->ArgName("kind")->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond)->MeasureProcessCPUTime();
