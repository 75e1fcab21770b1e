// The tweak's work on the lock screen: a whole list load (settings, query,
// bulletins, the platform's load) with 10 to 10,000 reminders, warm, cold
// and as the first load after a lock, with the benchmark's plain settings and
// with the demo device's own (ordering dates, dots, location lines), beside
// libical's bare parse of the same just-written files; and the cost of one
// row (height, layout, icon) for an own row beside a platform row. Every
// figure is CPU time of all threads: the store answers on a worker.

#include "TweakBenchDevice.h"

#include <benchmark/benchmark.h>

namespace {

using namespace tweakbench;

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
    bareParse(device.list());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
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
