// The ratios the goals compare, each measured side by side: the two
// workloads take turns within every round, so a slow spell of a shared
// machine falls on both sides of a ratio instead of deciding it, as it did
// when each side ran for seconds of its own. A side's turn starts untimed
// (the list it shows selected, one step to settle what the other side
// disturbed), then its timed steps, each read alone on the CPU clock of all
// threads. The rounds alternate which side goes first.
//
// Counters: each side's CPU per load or per row ("<side>_ms") and their
// ratio ("ratio", the second side over the first).

#include "TweakBenchDevice.h"

#include <benchmark/benchmark.h>

#include <array>
#include <ctime>
#include <functional>
#include <string>

namespace {

using tweakbench::Device;
using tweakbench::Settings;

double processCpuMs() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

struct Side {
  std::string name;
  /// Untimed, as the side takes its turn.
  std::function<void()> settle;
  /// Untimed, before each timed step.
  std::function<void()> prepare;
  std::function<void()> step;
  /// Timed steps in one turn: about as much CPU on either side.
  int steps = 1;
  /// What one step is worth in the figure ("_ms" per this many).
  double perStep = 1;
};

void takeTurns(benchmark::State& state, std::array<Side, 2> sides) {
  std::array<double, 2> ms{};
  std::array<int64_t, 2> steps{};
  bool secondFirst = false;
  for (auto _ : state) {
    double round = 0;
    for (int turn = 0; turn < 2; ++turn) {
      const size_t s = static_cast<size_t>(turn) ^ (secondFirst ? 1U : 0U);
      Side& side = sides[s];
      if (side.settle) side.settle();
      for (int i = 0; i < side.steps; ++i) {
        if (side.prepare) side.prepare();
        const double start = processCpuMs();
        side.step();
        const double spent = processCpuMs() - start;
        ms[s] += spent;
        round += spent;
        ++steps[s];
      }
    }
    secondFirst = !secondFirst;
    state.SetIterationTime(round / 1e3);
  }
  if (steps[0] == 0 || steps[1] == 0) return;
  const double first = ms[0] / static_cast<double>(steps[0]) / sides[0].perStep,
               second = ms[1] / static_cast<double>(steps[1]) / sides[1].perStep;
  state.counters[sides[0].name + "_ms"] = first;
  state.counters[sides[1].name + "_ms"] = second;
  if (first > 0) state.counters["ratio"] = second / first;
}

/// Load kinds, as the per-size figures name them.
enum class Load { Warm = 0, AfterLock = 1, Cold = 2 };

/// One size's side of a load at 10,000 against 1,000: its own lock screen
/// on the one device, shown its own list during its turn.
Side loadSide(Device& device, LockScreenDriver& screen, int n, Load load, int steps, int& generation) {
  Side side{"n" + std::to_string(n),
            [&device, &screen, n] {
              device.show(n);
              tweakbench::loadView(screen);
            },
            nullptr, [&screen] { tweakbench::loadView(screen); }, steps};
  if (load == Load::AfterLock) {
    // The lock loads the list itself, which settles the turn.
    side.settle = [&device, n] { device.show(n); };
    side.prepare = [&screen] { screen.lock(); };
  } else if (load == Load::Cold) {
    side.prepare = [&device, n, &generation] { device.write(n, ++generation); };
  }
  return side;
}

/// Loads of 10,000 reminders against loads of 1,000, with the demo
/// device's settings; argument: the load kind.
void BM_LinearLoad(benchmark::State& state) {
  const auto load = static_cast<Load>(state.range(0));
  Device device(1000, "DOT", Settings::Demo);
  device.show(10000);
  LockScreenDriver large;
  large.lock();
  int generation = 0;
  // Ten small loads a turn against one large: about as long on each side.
  takeTurns(state, {loadSide(device, device.manager(), 1000, load, 10, generation),
                    loadSide(device, large, 10000, load, 1, generation)});
}

/// A cold load against libical's bare parse of the same just-written
/// files, with the benchmark's plain settings; argument: the reminders.
void BM_ColdLoadVsBareParse(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  Device device(n);
  int generation = 0;
  auto rewrite = [&device, n, &generation] { device.write(n, ++generation); };
  const int steps = n >= 1000 ? 2 : 10;
  takeTurns(state, {Side{"bare", nullptr, rewrite, [&device] { tweakbench::bareParse(device.list()); }, steps},
                    Side{"cold", [&device] { tweakbench::loadView(device.manager()); }, rewrite,
                         [&device] { tweakbench::loadView(device.manager()); }, steps}});
}

/// An own row with a list-colour dot against another application's row,
/// both on one lock screen.
void BM_DotRowVsPlatformRow(benchmark::State& state) {
  Device device(3, "DOT");
  auto& m = device.manager();
  m.notify("com.apple.mobilemail", "Lunch on Friday?", "See you at noon");
  m.layout();
  const auto platform = tweakbench::firstRow(m, false), own = tweakbench::firstRow(m, true);
  if (!platform || !own) return state.SkipWithError("no such row on screen");
  // A row's pass is microseconds: timed a hundred at a time.
  auto passes = [&m](uint64_t row) {
    return [&m, row] {
      for (int i = 0; i < 100; ++i) tweakbench::rowPass(m, row);
    };
  };
  takeTurns(state, {Side{"platform", nullptr, nullptr, passes(*platform), 10, 100},
                    Side{"dot", nullptr, nullptr, passes(*own), 10, 100}});
}

}  // namespace

BENCHMARK(BM_LinearLoad)
    ->ArgName("load")
    ->DenseRange(0, 2)
    ->Iterations(12)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ColdLoadVsBareParse)
    ->ArgName("n")
    ->Arg(100)
    ->Arg(1000)
    ->Iterations(12)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DotRowVsPlatformRow)->Iterations(40)->UseManualTime()->Unit(benchmark::kMillisecond);
