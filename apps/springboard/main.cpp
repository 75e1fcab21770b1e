// quillpane-springboard: the lock screen of a device root, with the tweaks
// injected, as text, JSON and a picture.

#include "Host.h"

#include <CLI/CLI.hpp>

#include <Foundation/DeviceRoot.h>
#include <Foundation/TerminalText.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <iostream>

#ifndef QP_DEFAULT_ROOT
#define QP_DEFAULT_ROOT "device"
#endif

namespace {

constexpr const char* kName = "quillpane-springboard";

/// An event script is a page of text; anything larger is no script.
constexpr size_t kMaxScriptBytes = 1 << 20;

std::string readScript(const std::string& path) {
  // Without blocking, and only a regular file: a FIFO or /dev/zero would
  // stall or grow without end.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) throw sbhost::HostError("cannot read the script '" + path + "': " + std::strerror(errno));
  struct stat st {};
  const bool regular = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
  std::string text;
  const bool ok =
      regular && uint64_t(st.st_size) <= kMaxScriptBytes && foundation::readOpenFile(fd, text, kMaxScriptBytes);
  ::close(fd);
  if (!regular) throw sbhost::HostError("the script '" + path + "' is not a regular file");
  if (!ok)
    throw sbhost::HostError("the script '" + path + "' cannot be read or is larger than " +
                            std::to_string(kMaxScriptBytes) + " bytes");
  return text;
}

}  // namespace

// CLI11 throws while the options are set up only for a malformed option
// table, which the first run shows; everything after parsing is caught.
int main(int argc, char** argv) {  // NOLINT(bugprone-exception-escape)
  CLI::App app{
      "Runs SpringBoard on a device root: boots the device from its device.plist, injects the tweaks from\n"
      "Library/MobileSubstrate/DynamicLibraries, locks the screen, runs the events, and prints the\n"
      "lock screen's rows (own rows, whose bulletin ID begins \"Quillpane\", are marked *).",
      kName};
  app.get_formatter()->column_width(30);

  sbhost::HostOptions options;
  std::string root = QP_DEFAULT_ROOT, script, png;
  std::vector<std::string> words;
  app.add_option("--root", root, "the device root (default: the demo device)")->type_name("DIR")->capture_default_str();
  app.add_option("--ios", options.overrides.iosRelease, "run this iOS release instead of the profile's (7.0 ... 9.3)")
      ->type_name("RELEASE");
  app.add_option("--now", options.overrides.now,
                 "the device clock's start, ISO 8601 in the device's zone (2026-12-08T09:00) or with an offset")
      ->type_name("TIME");
  app.add_option("--tz", options.overrides.timeZone, "the device's time zone instead of the profile's (Europe/Berlin)")
      ->type_name("ZONE");
  app.add_option("--script", script, "read the events from FILE, one event a line (run before any given as words)")
      ->type_name("FILE");
  app.add_flag("--json", options.json, "print the whole state as JSON instead of the text table");
  app.add_option("--png", png, "draw the lock screen into FILE (PNG)")->type_name("FILE");
  app.add_flag("--log", options.showLog, "print the system log's lines after the rows");
  app.add_option("events", words, "events to run after the first lock (see below)")->type_name("EVENT");
  app.footer(std::string(sbhost::kEventHelp) +
             "\n\nExamples:\n"
             "  quillpane-springboard --png lockscreen.png              the lock screen as a picture\n"
             "  quillpane-springboard now-playing open wait 5           the music screen takes the reminders away\n"
             "  quillpane-springboard --json tap 0                      what a tap on the first row opens\n"
             "  quillpane-springboard --root ~/myphone --now 2026-12-24T08:00 --png xmas.png");

  // Rows and log lines carry the device's data; none may steer the terminal.
  foundation::TerminalTextFilter filterOut(std::cout), filterErr(std::cerr);
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    return app.exit(e);
  }

  try {
    options.root = root;
    if (!script.empty()) {
      options.events = sbhost::parseEventScript(readScript(script), script);
      auto more = sbhost::parseEventWords(words);
      options.events.insert(options.events.end(), more.begin(), more.end());
    } else {
      options.events = sbhost::parseEventWords(words);
    }
    if (!png.empty()) options.pngPath = png;
    std::ostringstream out;
    sbhost::runHost(options, out);
    std::cout << out.str() << std::flush;
    return 0;
  } catch (const sbhost::ScriptError& e) {
    std::cerr << kName << ": " << e.what() << "\n";
    return 2;
  } catch (const sbhost::HostError& e) {
    std::cerr << kName << ": " << e.what() << "\n";
    return 2;
  } catch (const std::exception& e) {
    std::cerr << kName << ": " << e.what() << "\n";
    return 1;
  }
}
