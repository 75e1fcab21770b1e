// Reads the benchmarks' JSON reports and prints the speed and memory goals:
// each goal, the figure measured in this run, and whether it holds. Figures
// are medians over the repetitions when there were several (the memory drift:
// the largest), CPU time of all threads; a ratio is the median of each
// repetition's ratio of two workloads that took turns in it.
//
//   bench_goals [--demo-steps=N --all-steps=M] REPORT.json...

#include <nlohmann/json.hpp>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <optional>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr const char* kUsage = "bench_goals [--demo-steps=N --all-steps=M] REPORT.json...";

struct Figure {
  double cpuMs = 0;
  /// The repetitions' coefficient of variation (0.1 is 10 %), when repeated.
  std::optional<double> spread;
  std::map<std::string, double> counters;
  /// Each counter's largest value over the repetitions.
  std::map<std::string, double> peaks;
  /// Each counter's coefficient of variation over the repetitions.
  std::map<std::string, double> counterSpreads;
};

double toMs(double value, const std::string& unit) {
  if (unit == "ns") return value / 1e6;
  if (unit == "us") return value / 1e3;
  if (unit == "s") return value * 1e3;
  return value;
}

/// Figures by run name ("BM_ListLoadWarm/n:1000/settings:1/process_time"):
/// the median when there are repetitions, else the one run.
std::map<std::string, Figure> read(const std::vector<std::string>& files) {
  std::map<std::string, Figure> single, median;
  std::map<std::string, double> spreads;
  std::map<std::string, std::map<std::string, double>> peaks, counterSpreads;
  for (const auto& file : files) {
    std::ifstream in(file);
    std::stringstream text;
    text << in.rdbuf();
    // Google Benchmark writes a figure that is not a number (the spread of
    // repetitions that all read 0) as a bare NaN, which JSON has no word for;
    // read it as null, or the whole report would be lost.
    static const std::regex kNotANumber(R"(:\s*-?(NaN|nan|Infinity|inf)\b)");
    const auto doc = nlohmann::json::parse(std::regex_replace(text.str(), kNotANumber, ": null"), nullptr, false);
    if (doc.is_discarded() || !doc.contains("benchmarks")) continue;
    for (const auto& b : doc["benchmarks"]) {
      if (b.contains("error_occurred") && b["error_occurred"].get<bool>()) continue;
      const std::string name = b.value("run_name", b.value("name", ""));
      Figure f;
      f.cpuMs = toMs(b.value("cpu_time", 0.0), b.value("time_unit", "ns"));
      for (const auto& [key, value] : b.items())
        if (value.is_number() && key != "cpu_time" && key != "real_time") f.counters[key] = value.get<double>();
      if (b.value("run_type", "") == "aggregate") {
        if (b.value("aggregate_name", "") == "median") median[name] = f;
        if (b.value("aggregate_name", "") == "cv" && b.contains("cpu_time") && b["cpu_time"].is_number())
          spreads[name] = b["cpu_time"].get<double>();
        if (b.value("aggregate_name", "") == "cv") counterSpreads[name] = f.counters;
      } else {
        for (const auto& [key, value] : f.counters) {
          auto [peak, added] = peaks[name].try_emplace(key, value);
          if (!added) peak->second = std::max(peak->second, value);
        }
        single.try_emplace(name, f);
      }
    }
  }
  for (auto& [name, f] : median) single[name] = f;
  for (auto& [name, cv] : spreads)
    if (auto it = single.find(name); it != single.end()) it->second.spread = cv;
  for (auto& [name, p] : peaks)
    if (auto it = single.find(name); it != single.end()) it->second.peaks = std::move(p);
  for (auto& [name, cv] : counterSpreads)
    if (auto it = single.find(name); it != single.end()) it->second.counterSpreads = std::move(cv);
  return single;
}

/// The figure whose run name starts with prefix.
std::optional<Figure> find(const std::map<std::string, Figure>& all, const std::string& prefix) {
  for (const auto& [name, f] : all)
    if (name == prefix || name.rfind(prefix + "/", 0) == 0) return f;
  return std::nullopt;
}

struct Row {
  std::string goal, measured;
  bool holds;
  std::string spread = "";
};

/// A coefficient of variation as a percentage.
std::string percent(double cv) {
  char text[16];
  std::snprintf(text, sizeof text, "%.0f %%", cv * 100);
  return text;
}

/// The larger spread of the figures a goal compares, as a percentage.
std::string spreadOf(std::initializer_list<std::optional<Figure>> figures) {
  std::optional<double> widest;
  for (const auto& f : figures)
    if (f && f->spread) widest = std::max(widest.value_or(0), *f->spread);
  return widest ? percent(*widest) : "";
}

/// The count after an option's "=", or nullopt when it is not one.
std::optional<long> countIn(std::string_view text) {
  long value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value < 0) return std::nullopt;
  return value;
}

int run(int argc, char** argv) {
  std::vector<std::string> files;
  long demoSteps = -1, allSteps = -1;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a.rfind("--", 0) != 0) {
      files.push_back(a);
      continue;
    }
    bool known = false;
    for (auto [option, count] : {std::pair{"--demo-steps=", &demoSteps}, std::pair{"--all-steps=", &allSteps}}) {
      if (a.rfind(option, 0) != 0) continue;
      known = true;
      auto value = countIn(std::string_view(a).substr(std::strlen(option)));
      if (!value) {
        std::fprintf(stderr, "bench_goals: %s takes a count of build steps, not \"%s\"\n", option,
                     a.substr(std::strlen(option)).c_str());
        return 2;
      }
      *count = *value;
    }
    // A mistyped option would otherwise drop its figure from the table unseen.
    if (!known) {
      std::fprintf(stderr, "bench_goals: unknown option \"%s\"\nusage: %s\n", a.c_str(), kUsage);
      return 2;
    }
  }
  const auto all = read(files);
  std::vector<Row> rows;
  char buf[160];
  auto cpu = [&](const std::string& name) -> std::optional<double> {
    auto f = find(all, name);
    return f ? std::optional<double>(f->cpuMs) : std::nullopt;
  };
  auto counter = [&](const std::string& name, const std::string& key) -> std::optional<double> {
    auto f = find(all, name);
    if (!f || !f->counters.contains(key)) return std::nullopt;
    return f->counters.at(key);
  };
  auto peak = [&](const std::string& name, const std::string& key) -> std::optional<double> {
    auto f = find(all, name);
    if (!f || !f->peaks.contains(key)) return std::nullopt;
    return f->peaks.at(key);
  };
  // A ratio measured side by side: the median over the repetitions of each
  // repetition's ratio, beside the medians of its two sides.
  auto sideBySide = [&](const std::string& goal, const std::string& name, const std::string& over,
                        const std::string& under, double limit) {
    auto f = find(all, name);
    auto r = counter(name, "ratio"), x = counter(name, over + "_ms"), y = counter(name, under + "_ms");
    if (!f || !r || !x || !y) return rows.push_back({goal, "not measured", false});
    std::snprintf(buf, sizeof buf, "%.2fx (%.3g / %.3g ms)", *r, *x, *y);
    const auto spread = f->counterSpreads.find("ratio");
    rows.push_back({goal, buf, *r <= limit, spread == f->counterSpreads.end() ? "" : percent(spread->second)});
  };
  auto atMost = [&](const std::string& goal, std::optional<double> v, const char* unit, double limit) {
    if (!v) return rows.push_back({goal, "not measured", false});
    std::snprintf(buf, sizeof buf, "%.3g %s", *v, unit);
    rows.push_back({goal, buf, *v <= limit});
  };

  const char* const kinds[] = {"Warm", "AfterLock", "Cold"};
  for (int kind = 0; kind < 3; ++kind)
    sideBySide(std::string("linear: ") + kinds[kind] + " load, 10,000 vs 1,000 (<= 11x)",
               "BM_LinearLoad/load:" + std::to_string(kind), "n10000", "n1000", 11);
  atMost("quarter frame: warm load of 1,000, demo settings (<= 4.2 ms)", cpu("BM_ListLoadWarm/n:1000/settings:1"), "ms",
         4.2);
  rows.back().spread = spreadOf({find(all, "BM_ListLoadWarm/n:1000/settings:1")});
  for (const char* n : {"100", "1000"})
    sideBySide(std::string("cold load of ") + n + " vs bare libical parse (<= 1.2x)",
               std::string("BM_ColdLoadVsBareParse/n:") + n, "cold", "bare", 1.2);
  sideBySide("dot row vs platform row (<= 5x)", "BM_DotRowVsPlatformRow", "dot", "platform", 5);
  // The largest drift, not the median: only the first repetition starts from
  // a fresh process, the later ones from a heap that has already grown.
  atMost("memory drift over 10,000 locks (<= 1 MiB)", peak("BM_MemoryOver10000Locks", "drift_MiB"), "MiB", 1);
  atMost("boot to first picture, host CPU (<= 60 ms)", counter("BM_BootToFirstPicture", "cpu_ms"), "ms", 60);
  if (demoSteps >= 0 && allSteps > 0) {
    std::snprintf(buf, sizeof buf, "%ld of %ld build steps", demoSteps, allSteps);
    rows.push_back({"first run: the demo builds only what it needs", buf, demoSteps < allSteps});
  }

  size_t width = 4;
  for (const auto& r : rows) width = std::max(width, r.goal.size());
  std::printf("\nGoals\n  %-*s  %-34s  %-5s  %s\n", static_cast<int>(width), "goal", "measured", "holds", "spread");
  bool allHold = true;
  for (const auto& r : rows) {
    std::printf("  %-*s  %-34s  %-5s  %s\n", static_cast<int>(width), r.goal.c_str(), r.measured.c_str(),
                r.holds ? "yes" : "NO", r.spread.c_str());
    allHold = allHold && r.holds;
  }
  // A figure's spread tells how far another run on the same machine may
  // move it: a goal closer to its limit than that may fall either side.
  std::printf(
      "  (spread: the coefficient of variation over the repetitions of a ratio, or of the figure a goal reads)\n");
  return allHold ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return run(argc, argv);
  } catch (const std::exception& e) {
    // A report of the wrong shape (a field of another type) is named, not a crash.
    std::fprintf(stderr, "bench_goals: cannot read the reports: %s\n", e.what());
    return 2;
  }
}
