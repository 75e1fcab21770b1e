#pragma once
/// \file
/// The system log. Lines are formatted like NSLog and handed to every
/// installed sink: stderr by default, syslog on request, a capturing sink in
/// tests. Data is always an argument, never the format.

#include <Foundation/NSFormat.h>

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
class CapturingSink : public LogSink {
 public:
  void write(const std::string& line) override;
  [[nodiscard]] std::vector<std::string> lines() const;
  [[nodiscard]] bool contains(std::string_view text) const;
  void clear();

 private:
  mutable std::mutex lock_;
  std::vector<std::string> lines_;
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
