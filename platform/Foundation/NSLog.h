#pragma once
/// \file
/// The system log. Lines are formatted like NSLog and handed to every
/// installed sink: stderr by default, syslog on request, a capturing sink in
/// tests. Data is always an argument, never the format.

#include <Foundation/NSFormat.h>

#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace foundation {

class LogSink {
 public:
  virtual ~LogSink() = default;
  virtual void write(const std::string& line) = 0;
};

/// Writes "<process>[pid] line" to standard error.
std::shared_ptr<LogSink> stderrSink();
/// Writes to syslog(3) under the process name.
std::shared_ptr<LogSink> syslogSink();

/// Keeps every line, for tests and for the hosts' JSON output.
/// Keeps the last lines written (a long-running process logs without end)
/// and counts them all.
class CapturingSink : public LogSink {
 public:
  explicit CapturingSink(size_t keep = 4096) : keep_(keep ? keep : 1) {}
  void write(const std::string& line) override;
  /// The kept lines, oldest first.
  [[nodiscard]] std::vector<std::string> lines() const;
  /// Every line written since the start or the last clear.
  [[nodiscard]] uint64_t written() const;
  [[nodiscard]] bool contains(std::string_view text) const;
  void clear();

 private:
  mutable std::mutex lock_;
  size_t keep_;
  std::deque<std::string> lines_;
  uint64_t written_ = 0;
};

/// Replaces the set of sinks (an empty set silences the log).
void setLogSinks(std::vector<std::shared_ptr<LogSink>> sinks);
void addLogSink(std::shared_ptr<LogSink> sink);
void writeLogLine(const std::string& line);

}  // namespace foundation

template <class... A>
void NSLog(std::string_view format, const A&... args) {
  foundation::writeLogLine(foundation::format(format, args...));
}
