#include <Foundation/NSLog.h>

#include <Foundation/TerminalText.h>

#include <errno.h>
#include <syslog.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>

namespace foundation {

namespace {

const char* processName() { return program_invocation_short_name; }

class StderrSink : public LogSink {
 public:
  void write(const std::string& line) override {
    // Log lines carry data (list names, file contents); a terminal must not
    // take its control characters for commands.
    const std::string out =
        std::string(processName()) + "[" + std::to_string(getpid()) + "] " + terminalText(line) + "\n";
    std::fwrite(out.data(), 1, out.size(), stderr);
  }
};

class SyslogSink : public LogSink {
 public:
  SyslogSink() { openlog(processName(), LOG_PID, LOG_USER); }
  void write(const std::string& line) override { syslog(LOG_NOTICE, "%s", line.c_str()); }
};

struct Sinks {
  std::mutex lock;
  std::vector<std::shared_ptr<LogSink>> sinks{stderrSink()};
};
Sinks& sinks() {
  static auto* s = new Sinks();  // logging may happen during static teardown
  return *s;
}

}  // namespace

std::shared_ptr<LogSink> stderrSink() {
  static const auto sink = std::make_shared<StderrSink>();
  return sink;
}

std::shared_ptr<LogSink> syslogSink() {
  static const auto sink = std::make_shared<SyslogSink>();
  return sink;
}

void CapturingSink::write(const std::string& line) {
  std::lock_guard g(lock_);
  lines_.push_back(line);
  if (lines_.size() > keep_) lines_.pop_front();
  ++written_;
}

std::vector<std::string> CapturingSink::lines() const {
  std::lock_guard g(lock_);
  return {lines_.begin(), lines_.end()};
}

uint64_t CapturingSink::written() const {
  std::lock_guard g(lock_);
  return written_;
}

bool CapturingSink::contains(std::string_view text) const {
  std::lock_guard g(lock_);
  return std::any_of(lines_.begin(), lines_.end(),
                     [text](const std::string& l) { return l.find(text) != std::string::npos; });
}

void CapturingSink::clear() {
  std::lock_guard g(lock_);
  lines_.clear();
  written_ = 0;
}

void setLogSinks(std::vector<std::shared_ptr<LogSink>> list) {
  std::erase(list, nullptr);
  auto& s = sinks();
  std::lock_guard g(s.lock);
  s.sinks = std::move(list);
}

void addLogSink(std::shared_ptr<LogSink> sink) {
  if (!sink) return;
  auto& s = sinks();
  std::lock_guard g(s.lock);
  s.sinks.push_back(std::move(sink));
}

void writeLogLine(const std::string& line) {
  std::vector<std::shared_ptr<LogSink>> targets;
  {
    auto& s = sinks();
    std::lock_guard g(s.lock);
    targets = s.sinks;
  }
  for (const auto& sink : targets) sink->write(line);
}

}  // namespace foundation
