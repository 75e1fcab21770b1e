#pragma once
/// \file
/// What the tweak's benchmarks run on: one device root with a reminder list
/// of each size asked for, a booted SpringBoard with the tweak, and the
/// steps they time (a list load, one row's pass, libical's bare parse).

#include <SpringBoard/LockScreenDriver.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <set>
#include <string>

namespace tweakbench {

/// Settings: the benchmark's plain ones (a dot, every reminder), or the
/// demo device's own with every reminder shown.
enum class Settings { Plain = 0, Demo = 1 };

/// One device root for the whole run, with a list folder of its own for each
/// size, written once and removed when the run ends. Creating thousands of
/// files costs this machine seconds, far more than any load measured, and a
/// run builds a device for every repetition of every benchmark.
class BenchRoot {
 public:
  static BenchRoot& shared();
  BenchRoot(const BenchRoot&) = delete;
  BenchRoot& operator=(const BenchRoot&) = delete;

  [[nodiscard]] const std::filesystem::path& path() const { return path_; }
  /// The folder of the list with n reminders, written at the first ask.
  std::filesystem::path list(int n);
  static std::string listName(int n) { return "home-" + std::to_string(n); }
  static void writeReminders(const std::filesystem::path& list, int n, int generation);

 private:
  BenchRoot();
  ~BenchRoot();

  std::filesystem::path path_;
  std::set<int> written_;
};

/// A booted device showing one list of n reminders, SpringBoard and the
/// tweak, locked once.
class Device {
 public:
  explicit Device(int n, const char* iconFile = "DOT", Settings settings = Settings::Plain);
  Device(const Device&) = delete;
  Device& operator=(const Device&) = delete;

  /// Rewrites the list of n reminders, each file changed.
  void write(int n, int generation);
  /// Shows the list of n reminders from the next load on, in place of the
  /// one shown before.
  void show(int n);
  [[nodiscard]] const std::filesystem::path& list() const { return list_; }
  LockScreenDriver& manager() { return *manager_; }

 private:
  std::filesystem::path root_, list_;
  std::unique_ptr<LockScreenDriver> manager_;
};

/// One load of the lock screen's notification list, as a wake asks for it.
void loadView(LockScreenDriver& m);
/// Height, layout and icon of one row, as the table asks for them.
void rowPass(LockScreenDriver& m, uint64_t row);
/// The first row on screen that is the tweak's own (or another application's).
std::optional<uint64_t> firstRow(LockScreenDriver& m, bool own);
/// libical alone over a list folder: list it, read each file, parse it, free it.
void bareParse(const std::filesystem::path& list);

}  // namespace tweakbench
