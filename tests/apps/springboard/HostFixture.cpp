#include "HostFixture.h"

#include <fmt/format.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

extern char** environ;

namespace hosttest {

namespace fs = std::filesystem;

namespace {

constexpr const char* kPlistHead =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" \"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
    "<plist version=\"1.0\">\n";

std::string readAll(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

/// A scratch folder for a host run's output (not a device root).
fs::path makeTempDir(const char* pattern) {
  std::string templ = (fs::temp_directory_path() / pattern).string();
  if (!::mkdtemp(templ.data())) throw std::runtime_error("mkdtemp failed");
  return templ;
}

}  // namespace

FixtureRoot::FixtureRoot() {
  fs::create_directories(dir_ / "var/mobile/Library/Preferences");
  // No custom sorting unless a test asks: the platform orders by date.
  write("/var/mobile/Library/Preferences/org.brightrepo.datebeam.sorting.plist",
        std::string(kPlistHead) + "<array><string>Quillpane</string><string>System Items</string></array></plist>\n");
}

void FixtureRoot::write(const std::string& devicePath, const std::string& contents) {
  fs::path p = dir_ / fs::path(devicePath).relative_path();
  fs::create_directories(p.parent_path());
  std::ofstream(p, std::ios::binary) << contents;
}

void FixtureRoot::profile(const std::string& dictBody) {
  write("/device.plist", std::string(kPlistHead) + "<dict>\n" + dictBody + "\n</dict>\n</plist>\n");
}

void FixtureRoot::prefs(const std::string& dictBody) {
  write("/var/mobile/Library/Preferences/org.brightrepo.quillpaneprefs.plist",
        std::string(kPlistHead) + "<dict>\n" + dictBody + "\n</dict>\n</plist>\n");
}

void FixtureRoot::list(const std::string& id, const std::string& name, const std::string& color,
                       const std::vector<Reminder>& reminders) {
  const std::string folder = "/var/mobile/Library/Reminders/Test/" + id;
  write("/var/mobile/Library/Reminders/Test/displayname", "Test\n");
  write(folder + "/displayname", name + "\n");
  write(folder + "/color", color + "\n");
  for (size_t i = 0; i < reminders.size(); ++i) {
    const Reminder& r = reminders[i];
    std::string ics = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Quillpane tests//EN\r\nBEGIN:VTODO\r\n";
    ics += fmt::format("UID:{}-{}\r\nSUMMARY:{}\r\nSTATUS:NEEDS-ACTION\r\n", id, i, r.title);
    if (r.priority) ics += fmt::format("PRIORITY:{}\r\n", r.priority);
    if (!r.due.empty()) ics += "DUE" + r.due + "\r\n";
    ics += "END:VTODO\r\nEND:VCALENDAR\r\n";
    write(fmt::format("{}/{}-{}.ics", folder, id, i), ics);
  }
  chosen_.push_back(id);
  writeCalendars();
}

void FixtureRoot::writeCalendars() {
  std::string body;
  for (const auto& id : chosen_) body += "<string>" + id + "</string>";
  write("/var/mobile/Library/Preferences/org.brightrepo.quillpane.calendars.plist",
        std::string(kPlistHead) + "<array>" + body + "</array></plist>\n");
}

void FixtureRoot::installTweak() {
  const fs::path libs = dir_ / "Library/MobileSubstrate/DynamicLibraries";
  fs::create_directories(libs);
  fs::copy_file(fs::path(QP_BINARY_DIR) / "device-libs/Quillpane.dylib", libs / "Quillpane.dylib",
                fs::copy_options::overwrite_existing);
  fs::copy_file(fs::path(QP_SOURCE_DIR) / "tweak/Quillpane.plist", libs / "Quillpane.plist",
                fs::copy_options::overwrite_existing);
}

void standardDevice(FixtureRoot& root, const std::string& extraPrefs, bool withTweak, const std::string& extraProfile) {
  root.profile(
      "<key>iOSRelease</key><string>7.1</string>"
      "<key>TimeZone</key><string>Europe/Berlin</string>"
      "<key>Now</key><date>2026-12-08T08:00:00Z</date>"
      "<key>Bulletins</key><array><dict>"
      "<key>SectionID</key><string>com.apple.MobileSMS</string>"
      "<key>Title</key><string>Anna</string>"
      "<key>Message</key><string>Running late, save me a seat</string>"
      "<key>BulletinID</key><string>sms-anna</string>"
      "<key>Date</key><date>2026-12-08T07:55:00Z</date>"
      "</dict></array>" +
      extraProfile);
  root.list("home", "Home", "#FF9500",
            {{"Water the plants", "", 0}, {"Pay the bill", ";TZID=Europe/Berlin:20261209T100000", 1}});
  root.list("work", "Work", "#007AFF", {{"Send the report", ":20261210T090000Z", 5}});
  root.prefs("<key>iconFile</key><string>DOT</string>" + extraPrefs);
  if (withTweak) root.installTweak();
}

nlohmann::json HostResult::json() const { return nlohmann::json::parse(out); }

HostResult runHost(const std::vector<std::string>& args) {
  const fs::path dir = makeTempDir("qp-sbrun-XXXXXX");
  const std::string outPath = (dir / "out").string(), errPath = (dir / "err").string();
  std::vector<std::string> words{QP_SPRINGBOARD_HOST};
  words.insert(words.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (auto& w : words) argv.push_back(w.data());
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  pid_t pid = 0;
  HostResult result;
  if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0) {
    int status = 0;
    ::waitpid(pid, &status, 0);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }
  posix_spawn_file_actions_destroy(&actions);
  result.out = readAll(outPath);
  result.err = readAll(errPath);
  std::error_code ec;
  fs::remove_all(dir, ec);
  return result;
}

std::vector<nlohmann::json> rowsWhere(const nlohmann::json& state, bool own) {
  std::vector<nlohmann::json> rows;
  for (const auto& row : state.at("rows"))
    if (row.at("own").get<bool>() == own) rows.push_back(row);
  return rows;
}

}  // namespace hosttest
