// The SpringBoard host: a whole run from process start to the first picture
// on the demo device, and one lock (list load and layout of the visible
// rows) with 100 reminders, first without the tweak, then with it injected
// (the tweak cannot be taken out of a process, so the order matters), and
// drawing the picture of a laid-out lock screen; last, the memory a
// long-running SpringBoard gains over 10,000 locks with other applications'
// bulletins arriving.

#include "DeviceBoot.h"
#include "LockScreenRenderer.h"

#include <Foundation/NSLog.h>
#include <MobileSubstrate/SubstrateLoader.h>
#include <SpringBoard/LockScreenDriver.h>
#include <SpringBoard/SBBacklightController.h>
#include <SpringBoard/SpringBoard.h>

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

extern char** environ;

namespace {

namespace fs = std::filesystem;

constexpr const char* kPlistHead = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n";

/// A device root with one list of n reminders, half of them dated, two
/// other applications' bulletins, and the tweak's library in place.
fs::path makeRoot(int n, const std::string& name = "qp-springboard-bench-") {
  fs::path root = fs::temp_directory_path() / (name + std::to_string(::getpid()));
  fs::remove_all(root);
  const fs::path list = root / "var/mobile/Library/Reminders/iCloud/home";
  const fs::path prefs = root / "var/mobile/Library/Preferences";
  const fs::path libs = root / "Library/MobileSubstrate/DynamicLibraries";
  for (const auto& dir : {list, prefs, libs}) fs::create_directories(dir);
  std::ofstream(list / "displayname") << "Home";
  std::ofstream(list / "color") << "#FF9500";
  for (int i = 0; i < n; ++i) {
    std::ostringstream s;
    s << "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nBEGIN:VTODO\r\nUID:R" << i << "\r\nSUMMARY:Reminder number " << i
      << "\r\nPRIORITY:" << (i % 3 ? 5 : 1) << "\r\nSTATUS:NEEDS-ACTION\r\n";
    if (i % 2) s << "DUE;TZID=Europe/Berlin:202612" << 10 + i % 15 << "T090000\r\n";
    s << "END:VTODO\r\nEND:VCALENDAR\r\n";
    std::ofstream(list / ("R" + std::to_string(i) + ".ics")) << s.str();
  }
  std::ofstream(root / "device.plist")
      << kPlistHead
      << "<dict><key>TimeZone</key><string>Europe/Berlin</string><key>Now</key><date>2026-12-08T08:00:00Z</date>"
         "<key>Bulletins</key><array>"
         "<dict><key>SectionID</key><string>com.apple.MobileSMS</string><key>Title</key><string>Anna</string>"
         "<key>Message</key><string>Running late</string></dict>"
         "<dict><key>SectionID</key><string>com.apple.mobilemail</string><key>Title</key><string>Ben</string>"
         "<key>Message</key><string>Lunch?</string></dict></array></dict></plist>\n";
  std::ofstream(prefs / "org.brightrepo.quillpane.calendars.plist")
      << kPlistHead << "<array><string>home</string></array></plist>\n";
  std::ofstream(prefs / "org.brightrepo.quillpaneprefs.plist")
      << kPlistHead << "<dict><key>iconFile</key><string>DOT</string></dict></plist>\n";
  std::ofstream(prefs / "org.brightrepo.datebeam.sorting.plist")
      << kPlistHead << "<array><string>Quillpane</string><string>System Items</string></array></plist>\n";
  fs::copy_file(QP_TWEAK_LIBRARY, libs / "Quillpane.dylib", fs::copy_options::overwrite_existing);
  fs::copy_file(fs::path(QP_SOURCE_DIR) / "tweak/Quillpane.plist", libs / "Quillpane.plist",
                fs::copy_options::overwrite_existing);
  return root;
}

/// One booted device for the in-process benchmarks.
struct Device {
  fs::path root = makeRoot(100);
  bool tweakLoaded = false;
  std::unique_ptr<LockScreenDriver> manager;

  Device() {
    foundation::setLogSinks({});
    sbhost::bootDeviceRoot(root, {});
    SBRegisterSpringBoardApplicationClass();
    manager = std::make_unique<LockScreenDriver>();
  }
  ~Device() {
    std::error_code ec;
    fs::remove_all(root, ec);
  }
  void loadTweak() {
    if (tweakLoaded) return;
    substrate::loadTweaksForProcess("com.apple.springboard", "SpringBoard");
    tweakLoaded = true;
  }
};

Device& device() {
  static Device* d = new Device();  // lives as long as the tweak in the process
  // ...but its root does not outlive the run.
  static const struct Cleanup {
    fs::path root;
    ~Cleanup() {
      std::error_code ec;
      fs::remove_all(root, ec);
    }
  } cleanup{d->root};
  return *d;
}

void lockOnce(benchmark::State& state) {
  auto& m = *device().manager;
  for (auto _ : state) {
    m.lock();
    benchmark::DoNotOptimize(m.rowCount());
  }
  state.counters["rows"] = static_cast<double>(m.rowCount());
}

void BM_LockWithoutTweak(benchmark::State& state) {
  if (device().tweakLoaded) {
    state.SkipWithError("the tweak is already loaded in this process");
    return;
  }
  lockOnce(state);
}

void BM_LockWithTweak100Reminders(benchmark::State& state) {
  device().loadTweak();
  lockOnce(state);
}

void BM_DrawPicture(benchmark::State& state) {
  auto& m = *device().manager;
  m.lock();
  sbhost::RenderOptions options;
  for (auto _ : state) {
    cairo_surface_t* picture = sbhost::renderLockScreen(m.lockScreenView().get(), options);
    cairo_surface_destroy(picture);
  }
}

/// The whole host as a person runs it: process start, boot, tweak, lock,
/// layout and the PNG, on the demo device.
void BM_BootToFirstPicture(benchmark::State& state) {
  const std::string png = (fs::temp_directory_path() / ("qp-bench-" + std::to_string(::getpid()) + ".png")).string();
  std::vector<std::string> words{QP_SPRINGBOARD_HOST, "--root", QP_DEMO_DEVICE, "--png", png};
  std::vector<char*> argv;
  for (auto& w : words) argv.push_back(w.data());
  argv.push_back(nullptr);
  if (!fs::exists(fs::path(QP_DEMO_DEVICE) / "device.plist")) {
    state.SkipWithError("no demo device: run ./quillpane demo once to lay it out");
    return;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  double cpuMs = 0;
  for (auto _ : state) {
    pid_t pid = 0;
    int status = 0;
    rusage usage{};
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0 ||
        ::wait4(pid, &status, 0, &usage) < 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
      state.SkipWithError("the host failed");
      break;
    }
    auto ms = [](const timeval& t) {
      return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_usec) / 1e3;
    };
    cpuMs += ms(usage.ru_utime) + ms(usage.ru_stime);
  }
  posix_spawn_file_actions_destroy(&actions);
  // The host's own CPU time (all its threads), steadier than wall time on a busy machine.
  state.counters["cpu_ms"] = benchmark::Counter(cpuMs, benchmark::Counter::kAvgIterations);
  std::error_code ec;
  fs::remove(png, ec);
}

/// Resident memory of the process, in bytes.
double residentBytes() {
  long pages = 0, resident = 0;
  if (FILE* f = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
    std::fclose(f);
  }
  return static_cast<double>(resident) * static_cast<double>(::sysconf(_SC_PAGESIZE));
}

/// A long-running SpringBoard: lock after lock, each with another
/// application's bulletin lighting the screen and the log captured as the
/// host captures it. The drift is the growth over 10,000 locks after 1,000
/// to settle.
void BM_MemoryOver10000Locks(benchmark::State& state) {
  device().loadTweak();
  const fs::path root = makeRoot(10, "qp-springboard-bench-memory-");
  sbhost::bootDeviceRoot(root, {});
  auto log = std::make_shared<foundation::CapturingSink>();
  foundation::setLogSinks({log});
  LockScreenDriver m;
  auto lockOnce = [&m](int i) {
    m.lock();
    m.notify("com.apple.MobileSMS", "Anna", "Message " + std::to_string(i));
  };
  double drift = 0;
  for (auto _ : state) {
    for (int i = 0; i < 1000; ++i) lockOnce(i);
    const double before = residentBytes();
    for (int i = 0; i < 10000; ++i) lockOnce(i);
    drift = residentBytes() - before;
  }
  state.counters["drift_MiB"] = drift / (1024.0 * 1024.0);
  state.counters["lightings"] = static_cast<double>(SBBacklightController::sharedInstance()->lightingCount());
  foundation::setLogSinks({});
  std::error_code ec;
  fs::remove_all(root, ec);
}

}  // namespace

BENCHMARK(BM_BootToFirstPicture)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);
BENCHMARK(BM_LockWithoutTweak)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LockWithTweak100Reminders)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DrawPicture)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MemoryOver10000Locks)->Unit(benchmark::kMillisecond)->Iterations(1);
