// The reminder store's fetch as the lock screen makes it (a fresh store, one
// list, a predicate, the completion on a worker, a wait for it) over 10, 100
// and 1000 reminder files, cold (files just written) and warm (unchanged),
// beside libical reading and parsing the same files and nothing else.

#include <EventKit/EventKit.h>
#include <Foundation/DeviceRoot.h>
#include <Foundation/NSLog.h>
#include <Foundation/dispatch.h>
#include <objc/message.h>

#include <benchmark/benchmark.h>
#include <dirent.h>
#include <libical/ical.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

namespace fs = std::filesystem;

const char* kBerlin =
    "BEGIN:VTIMEZONE\r\nTZID:Europe/Berlin\r\nBEGIN:DAYLIGHT\r\nDTSTART:19810329T020000\r\n"
    "RRULE:FREQ=YEARLY;BYMONTH=3;BYDAY=-1SU\r\nTZNAME:CEST\r\nTZOFFSETFROM:+0100\r\nTZOFFSETTO:+0200\r\n"
    "END:DAYLIGHT\r\nBEGIN:STANDARD\r\nDTSTART:19961027T030000\r\nRRULE:FREQ=YEARLY;BYMONTH=10;BYDAY=-1SU\r\n"
    "TZNAME:CET\r\nTZOFFSETFROM:+0200\r\nTZOFFSETTO:+0100\r\nEND:STANDARD\r\nEND:VTIMEZONE\r\n";

/// Reminders as the device writes them: a third with a zoned due time, a
/// third with a location alarm, a third plain with a date.
std::string reminderFile(int i, int generation) {
  std::ostringstream s;
  s << "BEGIN:VCALENDAR\r\nCALSCALE:GREGORIAN\r\nPRODID:-//Apple Inc.//iOS 7.1//EN\r\nVERSION:2.0\r\n";
  if (i % 3 == 0) s << kBerlin;
  s << "BEGIN:VTODO\r\nCREATED:20261201T081500Z\r\nDTSTAMP:20261201T081500Z\r\nLAST-MODIFIED:20261201T081500Z\r\n"
    << "PRIORITY:"
    << (i % 4 == 0   ? 0
        : i % 4 == 1 ? 1
        : i % 4 == 2 ? 5
                     : 9)
    << "\r\nSEQUENCE:" << generation << "\r\nSTATUS:NEEDS-ACTION\r\nSUMMARY:Reminder number " << i << "\r\nUID:BENCH-"
    << i << "\r\n";
  if (i % 3 == 0) s << "DUE;TZID=Europe/Berlin:20261209T" << 10 + i % 10 << "0000\r\n";
  if (i % 3 == 1)
    s << "BEGIN:VALARM\r\nACTION:DISPLAY\r\nDESCRIPTION:Reminder\r\nTRIGGER;VALUE=DATE-TIME:19760401T005545Z\r\n"
         "UID:ALARM-"
      << i
      << "\r\nX-APPLE-PROXIMITY:ARRIVE\r\nX-APPLE-STRUCTURED-LOCATION;VALUE=URI;X-ADDRESS=Kastanienallee 12\\\\n1\r\n"
         " 0435 Berlin;X-APPLE-RADIUS=100;X-APPLE-REFERENCEFRAME=1;X-TITLE=REWE Markt:geo:52.5382,13.4109\r\n"
         "END:VALARM\r\n";
  if (i % 3 == 2) s << "DUE;VALUE=DATE:2026121" << i % 10 << "\r\n";
  s << "END:VTODO\r\nEND:VCALENDAR\r\n";
  return s.str();
}

/// A device root with one list of n reminder files.
class Fixture {
 public:
  explicit Fixture(int n) : n_(n) {
    std::string tmpl = (fs::temp_directory_path() / "qp-eventkit-bench-XXXXXX").string();
    if (!mkdtemp(tmpl.data())) std::abort();
    root_ = tmpl;
    foundation::setDeviceRoot(root_);
    foundation::setLogSinks({});
    list_ = foundation::resolveDevicePath("/var/mobile/Library/Reminders/iCloud/bench");
    fs::create_directories(list_);
    std::ofstream(list_ / "displayname") << "Bench\n";
    std::ofstream(list_ / "color") << "#FF9500\n";
    writeAll();
  }
  ~Fixture() {
    std::error_code ec;
    fs::remove_all(root_, ec);
  }
  Fixture(const Fixture&) = delete;
  Fixture& operator=(const Fixture&) = delete;

  void writeAll() {
    ++generation_;
    for (int i = 0; i < n_; ++i)
      std::ofstream(list_ / ("R" + std::to_string(100000 + i) + ".ics"), std::ios::binary | std::ios::trunc)
          << reminderFile(i, generation_);
  }
  [[nodiscard]] const fs::path& list() const { return list_; }

 private:
  int n_;
  int generation_ = 0;
  fs::path root_, list_;
};

/// What the tweak does for one lock-screen load.
uint64_t fetchOnce() {
  auto store = objc::msg<id>(objc::alloc<EKEventStore>(), SEL_("init"));
  auto calendar = objc::msg<id>(store, SEL_("calendarWithIdentifier:"), NSStr("bench"));
  auto predicate = objc::msg<id>(store, SEL_("predicateForIncompleteRemindersWithDueDateStarting:ending:calendars:"),
                                 Ref<NSDate>(), Ref<NSDate>(), NSArray::arrayWithObjects({calendar}));
  auto done = dispatch_semaphore_create(0);
  auto result = objc::create<NSMutableArray>();
  EKEventStoreFetchRemindersCompletionHandler completion = [result, done](Ref<NSArray> reminders) {
    for (const id& r : *reminders) result->addObject(r);
    dispatch_semaphore_signal(done);
  };
  objc::msg<id>(store, SEL_("fetchRemindersMatchingPredicate:completion:"), predicate, completion);
  dispatch_semaphore_wait(done, DISPATCH_TIME_FOREVER);
  return result->count();
}

/// CPU time of every thread of the process, in milliseconds.
double processCpuMs() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

/// Times one measured section: wall time for the benchmark, and the CPU time
/// of all threads as the "cpu_ms" counter (steadier than wall time on a busy
/// machine).
class Section {
 public:
  explicit Section(benchmark::State& state) : state_(state) {}
  template <class F>
  void run(F&& work) {
    double cpu0 = processCpuMs();
    auto start = std::chrono::steady_clock::now();
    work();
    state_.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    cpuMs_ += processCpuMs() - cpu0;
  }
  ~Section() { state_.counters["cpu_ms"] = benchmark::Counter(cpuMs_, benchmark::Counter::kAvgIterations); }
  Section(const Section&) = delete;
  Section& operator=(const Section&) = delete;

 private:
  benchmark::State& state_;
  double cpuMs_ = 0;
};

void checkCount(benchmark::State& state, uint64_t got) {
  if (got != static_cast<uint64_t>(state.range(0))) state.SkipWithError("the fetch missed reminders");
}

void BM_FetchWarm(benchmark::State& state) {
  Fixture fixture(static_cast<int>(state.range(0)));
  std::this_thread::sleep_for(std::chrono::milliseconds(100));  // the files are old news
  checkCount(state, fetchOnce());
  for (auto _ : state) benchmark::DoNotOptimize(fetchOnce());
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_FetchCold(benchmark::State& state) {
  Fixture fixture(static_cast<int>(state.range(0)));
  checkCount(state, fetchOnce());
  Section section(state);
  for (auto _ : state) {
    fixture.writeAll();  // outside the measured time, which is the fetch's alone
    section.run([] { benchmark::DoNotOptimize(fetchOnce()); });
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

/// libical alone over the same just-written files: list the folder, read
/// each file, parse it, free it.
void BM_LibicalBareParse(benchmark::State& state) {
  Fixture fixture(static_cast<int>(state.range(0)));
  Section section(state);
  for (auto _ : state) {
    fixture.writeAll();
    section.run([&] {
      int parsed = 0;
      DIR* dir = opendir(fixture.list().c_str());
      while (dirent* e = readdir(dir)) {
        std::string name = e->d_name;
        if (!name.ends_with(".ics")) continue;
        std::string bytes;
        if (FILE* f = std::fopen((fixture.list() / name).c_str(), "rb")) {
          char buf[16384];
          while (size_t n = std::fread(buf, 1, sizeof buf, f)) bytes.append(buf, n);
          std::fclose(f);
        }
        if (icalcomponent* c = icalparser_parse_string(bytes.c_str())) {
          ++parsed;
          icalcomponent_free(c);
        }
      }
      closedir(dir);
      benchmark::DoNotOptimize(parsed);
    });
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

}  // namespace

// The fetch finishes on a worker thread: the warm fetch reports wall time,
// what the waiting caller sees, and a CPU column counting every thread. The
// cold fetch and the bare parse time themselves, leaving out the writing.
/// A device root with n list folders in two accounts, each with its
/// displayname and, for half of them, a colour.
class ManyLists {
 public:
  explicit ManyLists(int n) {
    std::string tmpl = (fs::temp_directory_path() / "qp-eventkit-lists-XXXXXX").string();
    if (!mkdtemp(tmpl.data())) std::abort();
    root_ = tmpl;
    foundation::setDeviceRoot(root_);
    foundation::setLogSinks({});
    for (int i = 0; i < n; ++i) {
      std::string name = "list" + std::to_string(100000 + i);
      fs::path dir = foundation::resolveDevicePath("/var/mobile/Library/Reminders/" +
                                                   std::string(i % 2 ? "iCloud/" : "Nextcloud/") + name);
      fs::create_directories(dir);
      std::ofstream(dir / "displayname") << "List " << i << "\n";
      if (i % 2) std::ofstream(dir / "color") << "#FF9500\n";
      identifiers_.push_back(NSStr(name));
    }
  }
  ~ManyLists() {
    std::error_code ec;
    fs::remove_all(root_, ec);
  }
  ManyLists(const ManyLists&) = delete;
  ManyLists& operator=(const ManyLists&) = delete;
  [[nodiscard]] const std::vector<id>& identifiers() const { return identifiers_; }

 private:
  fs::path root_;
  std::vector<id> identifiers_;
};

/// The main thread's part of a lock with every list chosen: a fresh store,
/// a lookup of each chosen list, the predicate. The fetch itself runs on a
/// worker and is not part of it.
void BM_LookupEveryListOnTheMainThread(benchmark::State& state) {
  ManyLists lists(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    auto store = objc::msg<id>(objc::alloc<EKEventStore>(), SEL_("init"));
    auto chosen = objc::create<NSMutableArray>();
    for (const id& identifier : lists.identifiers())
      if (auto c = objc::msg<id>(store, SEL_("calendarWithIdentifier:"), identifier)) chosen->addObject(c);
    auto predicate = objc::msg<id>(store, SEL_("predicateForIncompleteRemindersWithDueDateStarting:ending:calendars:"),
                                   Ref<NSDate>(), Ref<NSDate>(), chosen);
    if (chosen->count() != lists.identifiers().size()) state.SkipWithError("a list was not found");
    benchmark::DoNotOptimize(predicate);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

BENCHMARK(BM_LookupEveryListOnTheMainThread)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LibicalBareParse)
    ->Arg(10)
    ->Arg(100)
    ->Arg(1000)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime();
BENCHMARK(BM_FetchCold)->Arg(10)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_FetchWarm)
    ->Arg(10)
    ->Arg(100)
    ->Arg(1000)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();
