// The device's files as an attacker or a clumsy user leaves them: links
// out of the root, FIFOs, huge files, files another user owns, writes cut
// short by a kill.

#include "AsNobody.h"

#include <Foundation/DeviceRoot.h>
#include <Foundation/NSData.h>
#include <Foundation/PropertyList.h>

#include <gtest/gtest.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstddef>
#include <fstream>

#include "TempRoot.h"

namespace fs = std::filesystem;

namespace {

/// A folder outside the device root, holding what no device read may see.
class Outside {
 public:
  Outside() {
    std::string pattern = (fs::temp_directory_path() / "qp-outside-XXXXXX").string();
    path_ = mkdtemp(pattern.data());
    std::ofstream(path_ / "secret.plist") << "<plist><dict><key>secret</key><true/></dict></plist>";
    fs::create_directories(path_ / "Fake.app");
    std::ofstream(path_ / "Fake.app/Info.plist") << "<plist><dict/></plist>";
  }
  ~Outside() {
    std::error_code ec;
    fs::remove_all(path_, ec);
  }
  Outside(const Outside&) = delete;
  Outside& operator=(const Outside&) = delete;
  [[nodiscard]] const fs::path& path() const { return path_; }
  [[nodiscard]] std::vector<std::string> names() const {
    std::vector<std::string> out;
    for (const auto& e : fs::directory_iterator(path_)) out.push_back(e.path().filename());
    std::sort(out.begin(), out.end());
    return out;
  }

 private:
  fs::path path_;
};

void writeHost(const fs::path& path, const std::string& text) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << text;
}

TEST(DeviceFilesTest, LinksResolveInsideTheRootAndNeverOutOfIt) {
  TempRoot root;
  Outside outside;
  LogCapture log;
  root.makeFolder("/var/mobile/Library");
  writeHost(root.path() / "var/mobile/real.plist", "<plist><dict><key>inside</key><true/></dict></plist>");
  // The phone reads an absolute link from its own "/": inside the root.
  fs::create_symlink("/var/mobile/real.plist", root.path() / "var/mobile/absolute-in.plist");
  fs::create_symlink(outside.path() / "secret.plist", root.path() / "var/mobile/absolute-out.plist");
  fs::create_symlink("../../../../../../../../" + (outside.path() / "secret.plist").string().substr(1),
                     root.path() / "var/mobile/relative-out.plist");
  fs::create_symlink(outside.path(), root.path() / "Applications");

  auto readable = [](const std::string& devicePath) {
    std::string text;
    return bool(foundation::readDeviceFile(devicePath, text));
  };
  EXPECT_TRUE(readable("/var/mobile/absolute-in.plist"));
  EXPECT_TRUE(foundation::readPropertyListFile("/var/mobile/absolute-in.plist", foundation::PropertyListRoot::Any));
  for (const char* out : {"/var/mobile/absolute-out.plist", "/var/mobile/relative-out.plist",
                          "/Applications/secret.plist", "/Applications/Fake.app/Info.plist"}) {
    SCOPED_TRACE(out);
    EXPECT_FALSE(readable(out));
    EXPECT_FALSE(foundation::readPropertyListFile(out, foundation::PropertyListRoot::Any));
    EXPECT_FALSE(NSData::dataWithContentsOfFile(out));
    EXPECT_FALSE(foundation::deviceItemExists(out));
  }
  std::vector<foundation::FolderEntry> entries;
  EXPECT_FALSE(foundation::listDeviceFolder("/Applications", entries));
  EXPECT_LT(foundation::openDeviceFolder("/Applications"), 0);
  std::string why;
  EXPECT_FALSE(foundation::loadDeviceLibrary("/var/mobile/absolute-out.plist", why));

  // A listing names a link inside the root by what it leads to.
  fs::create_symlink("/var/mobile/Library", root.path() / "var/mobile/linked-folder");
  ASSERT_TRUE(foundation::listDeviceFolder("/var/mobile", entries));
  std::map<std::string, foundation::FolderEntry::Kind> kinds;
  for (const auto& e : entries) kinds[e.name] = e.kind;
  EXPECT_EQ(kinds["linked-folder"], foundation::FolderEntry::Kind::Folder);
  EXPECT_EQ(kinds["absolute-in.plist"], foundation::FolderEntry::Kind::File);
  EXPECT_EQ(kinds["absolute-out.plist"], foundation::FolderEntry::Kind::Other);
}

TEST(DeviceFilesTest, AFileOpenedInItsListedFolderIsHeldToTheSameRules) {
  TempRoot root;
  Outside outside;
  LogCapture log;
  root.makeFolder("/var/mobile/list");
  writeHost(root.path() / "var/mobile/list/a.ics", "inside");
  writeHost(root.path() / "var/mobile/b.ics", "linked");
  fs::create_symlink("/var/mobile/b.ics", root.path() / "var/mobile/list/in.ics");
  fs::create_symlink(outside.path() / "secret.plist", root.path() / "var/mobile/list/out.ics");
  fs::create_symlink("../../../../../../../../" + (outside.path() / "secret.plist").string().substr(1),
                     root.path() / "var/mobile/list/relative-out.ics");
  ASSERT_EQ(::mkfifo((root.path() / "var/mobile/list/pipe.ics").c_str(), 0644), 0);
  const int folder = foundation::openDeviceFolder("/var/mobile/list");
  ASSERT_GE(folder, 0);

  auto read = [&](const char* name, size_t cap = 0) {
    foundation::FileResult outcome;
    struct stat st {};
    const int fd = foundation::openDeviceFileIn(folder, "/var/mobile/list", name, cap, &outcome, &st);
    std::string text;
    if (fd >= 0) {
      EXPECT_TRUE(foundation::readOpenFile(fd, text, 1024));
      EXPECT_EQ(st.st_size, static_cast<off_t>(text.size()));  // the status is the open file's
      ::close(fd);
    }
    return std::pair{outcome.outcome, text};
  };
  using foundation::FileOutcome;
  EXPECT_EQ(read("a.ics"), std::pair(FileOutcome::Read, std::string("inside")));
  EXPECT_EQ(read("in.ics"), std::pair(FileOutcome::Read, std::string("linked")));  // a link, inside the root
  EXPECT_EQ(read("out.ics").second, "");
  EXPECT_EQ(read("relative-out.ics").second, "");
  EXPECT_EQ(read("none.ics").first, FileOutcome::Missing);
  for (const char* notAName : {"..", ".", "", "../b.ics", "/var/mobile/b.ics"}) EXPECT_EQ(read(notAName).second, "");
  EXPECT_EQ(read("pipe.ics").first, FileOutcome::Refused);
  EXPECT_TRUE(log->contains("/var/mobile/list/pipe.ics is not a regular file"));
  EXPECT_EQ(read("a.ics", 5).first, FileOutcome::Refused);
  EXPECT_TRUE(log->contains("/var/mobile/list/a.ics is larger than 5 bytes"));
  ::close(folder);
}

TEST(DeviceFilesTest, WritesNeverLeaveTheRoot) {
  TempRoot root;
  Outside outside;
  LogCapture log;
  const auto before = outside.names();
  root.makeFolder("/var/mobile/Library");
  fs::create_symlink(outside.path(), root.path() / "var/mobile/Library/Preferences");
  fs::create_symlink(outside.path() / "secret.plist", root.path() / "var/mobile/leaf.plist");
  (void)foundation::takeFileTrouble();
  for (bool atomically : {true, false}) {
    EXPECT_FALSE(foundation::writeDeviceFile("/var/mobile/Library/Preferences/a.plist", "x", atomically));
    EXPECT_FALSE(foundation::createDeviceFile("/var/mobile/Library/Preferences/b.plist", "x"));
  }
  // Through a link to a file outside, a write lands inside or nowhere.
  EXPECT_FALSE(foundation::writeDeviceFile("/var/mobile/leaf.plist", "x", false));
  EXPECT_EQ(outside.names(), before);
  EXPECT_EQ(std::ifstream(outside.path() / "secret.plist").get(), '<');
  const auto trouble = foundation::takeFileTrouble();
  EXPECT_EQ(trouble.unwritten.size(), 3u);
  EXPECT_TRUE(log->contains("cannot write /var/mobile/Library/Preferences/a.plist"));
}

TEST(DeviceFilesTest, AFifoIsRefusedWithoutWaitingForAWriter) {
  TempRoot root;
  LogCapture log;
  root.makeFolder("/var/mobile");
  ASSERT_EQ(::mkfifo((root.path() / "var/mobile/pipe.plist").c_str(), 0644), 0);
  const auto start = std::chrono::steady_clock::now();
  std::string text;
  EXPECT_EQ(foundation::readDeviceFile("/var/mobile/pipe.plist", text).outcome, foundation::FileOutcome::Refused);
  EXPECT_FALSE(foundation::readPropertyListFile("/var/mobile/pipe.plist", foundation::PropertyListRoot::Any));
  EXPECT_FALSE(foundation::writeDeviceFile("/var/mobile/pipe.plist", "x", false));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  EXPECT_TRUE(log->contains("/var/mobile/pipe.plist is not a regular file"));
  EXPECT_TRUE(foundation::deviceItemExists("/var/mobile/pipe.plist"));
  // Logged once however often it is read, until the host takes the report.
  EXPECT_EQ(foundation::takeFileTrouble().unreadable, std::vector<std::string>{"/var/mobile/pipe.plist"});
}

TEST(DeviceFilesTest, AFileOverItsCapIsRefusedUnread) {
  TempRoot root;
  LogCapture log;
  root.makeFolder("/var/mobile");
  {  // sparse: large on paper, nothing on disk
    std::ofstream(root.path() / "var/mobile/huge.plist");
    fs::resize_file(root.path() / "var/mobile/huge.plist", foundation::kPropertyListFileCap + 1);
  }
  EXPECT_FALSE(foundation::readPropertyListFile("/var/mobile/huge.plist", foundation::PropertyListRoot::Any));
  EXPECT_TRUE(log->contains("/var/mobile/huge.plist is larger than"));
  std::string text;
  writeHost(root.path() / "var/mobile/small", "12345");
  EXPECT_EQ(foundation::readDeviceFile("/var/mobile/small", text, 4).outcome, foundation::FileOutcome::Refused);
  EXPECT_TRUE(foundation::readDeviceFile("/var/mobile/small", text, 5));
  EXPECT_EQ(text, "12345");
}

TEST(DeviceFilesTest, AFileAnotherUserOwnsIsThereButUnreadable) {
  TempRoot root;
  root.makeFolder("/var/mobile");
  fs::permissions(root.path(), fs::perms(0755));
  writeHost(root.path() / "var/mobile/private.plist", "<plist><dict/></plist>");
  fs::permissions(root.path() / "var/mobile/private.plist", fs::perms(0600));
  const int code = asNobody([] {
    foundation::setLogSinks({});
    (void)foundation::takeFileTrouble();
    std::string text;
    if (foundation::readDeviceFile("/var/mobile/private.plist", text).outcome != foundation::FileOutcome::Refused)
      return 1;
    if (!foundation::deviceItemExists("/var/mobile/private.plist")) return 2;
    if (foundation::deviceItemExists("/var/mobile/none.plist")) return 3;
    return foundation::takeFileTrouble().unreadable.size() == 1 ? 0 : 4;
  });
  if (code == -1) GTEST_SKIP() << "needs root to run a check as another user";
  EXPECT_EQ(code, 0);
}

TEST(DeviceFilesTest, CreatingNeverReplacesAFile) {
  TempRoot root;
  root.makeFolder("/p");
  EXPECT_TRUE(foundation::createDeviceFile("/p/kept", "first"));
  EXPECT_FALSE(foundation::createDeviceFile("/p/kept", "second"));
  std::string text;
  ASSERT_TRUE(foundation::readDeviceFile("/p/kept", text));
  EXPECT_EQ(text, "first");
  EXPECT_EQ(std::distance(fs::directory_iterator(root.path() / "p"), fs::directory_iterator()), 1);
}

TEST(DeviceFilesTest, WritesKilledHalfWayLeaveNothingBehindForLong) {
  TempRoot root;
  root.makeFolder("/p");
  ASSERT_TRUE(foundation::writeDeviceFile("/p/a.plist", "old", true));
  // Writers killed while writing a large file, each leaving its temporary.
  const std::string big(size_t(16) << 20, 'x');
  for (int i = 0; i < 3; ++i) {
    const pid_t pid = ::fork();
    if (pid == 0) {
      for (;;) (void)foundation::writeDeviceFile("/p/a.plist", big, true);
    }
    // Wait until its temporary file is there, then kill it.
    for (int wait = 0; wait < 2000; ++wait) {
      bool temp = false;
      for (const auto& e : fs::directory_iterator(root.path() / "p"))
        temp = temp || e.path().filename().string().starts_with(".a.plist.");
      if (temp) break;
      ::usleep(1000);
    }
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
  }
  // An earlier writer's temporary name, long abandoned.
  writeHost(root.path() / "p/.a.plist.Ab12Cd", "stale");
  const auto old = fs::file_time_type::clock::now() - std::chrono::hours(2);
  fs::last_write_time(root.path() / "p/.a.plist.Ab12Cd", old);
  // A temporary of a live writer (this process's parent) is left alone.
  writeHost(root.path() / ("p/.a.plist." + std::to_string(::getppid()) + "-0-00000000.tmp"), "busy");

  ASSERT_TRUE(foundation::writeDeviceFile("/p/a.plist", "new", true));
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(root.path() / "p")) names.push_back(e.path().filename());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names,
            (std::vector<std::string>{".a.plist." + std::to_string(::getppid()) + "-0-00000000.tmp", "a.plist"}));
  std::string text;
  ASSERT_TRUE(foundation::readDeviceFile("/p/a.plist", text));
  EXPECT_EQ(text, "new");
}

TEST(DeviceFilesTest, AChangedFileIsReadAgainAnUnchangedOneIsNot) {
  TempRoot root;
  root.makeFolder("/p");
  writeHost(root.path() / "p/a.plist", "<plist><array><string>one</string></array></plist>");
  const auto settled = fs::file_time_type::clock::now() - std::chrono::minutes(1);
  fs::last_write_time(root.path() / "p/a.plist", settled);
  auto first = foundation::readPropertyListFile("/p/a.plist", foundation::PropertyListRoot::Array);
  ASSERT_TRUE(first);
  EXPECT_EQ(foundation::readPropertyListFile("/p/a.plist", foundation::PropertyListRoot::Array).get(), first.get());
  // Same size, same time stamp, rewritten in place: the change time tells.
  ::usleep(20000);  // past the file system clock's tick
  writeHost(root.path() / "p/a.plist", "<plist><array><string>two</string></array></plist>");
  fs::last_write_time(root.path() / "p/a.plist", settled);
  auto second = foundation::readPropertyListFile("/p/a.plist", foundation::PropertyListRoot::Array);
  ASSERT_TRUE(second);
  EXPECT_NE(second.get(), first.get());
  EXPECT_NE(second->descriptionString(), first->descriptionString());
}

TEST(DeviceFilesTest, WithoutOpenat2NothingIsOpenedAndTheReasonIsToldOnce) {
  TempRoot root;
  writeHost(root.path() / "p/a.plist", "<plist><true/></plist>");
  int err[2];
  ASSERT_EQ(::pipe(err), 0);
  const pid_t pid = ::fork();
  if (pid == 0) {
    // A kernel older than openat2, or a sandbox that filters it: the call
    // answers ENOSYS.
    sock_filter filter[] = {
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, SYS_openat2, 0, 1),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | (ENOSYS & SECCOMP_RET_DATA)),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
    };
    sock_fprog program{static_cast<unsigned short>(std::size(filter)), filter};
    if (::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0 || ::prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) != 0)
      ::_exit(2);
    ::dup2(err[1], 2);
    std::string text;
    const bool read = foundation::readDeviceFile("/p/a.plist", text) || foundation::readDeviceFile("/p/a.plist", text);
    ::_exit(read ? 1 : 0);
  }
  ::close(err[1]);
  std::string told;
  char buf[512];
  for (ssize_t n; (n = ::read(err[0], buf, sizeof buf)) > 0;) told.append(buf, static_cast<size_t>(n));
  ::close(err[0]);
  int status = 0;
  ASSERT_EQ(::waitpid(pid, &status, 0), pid);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "1: a device file was read without openat2; 2: no filter could be set";
  EXPECT_NE(told.find("no openat2"), std::string::npos) << told;
  EXPECT_EQ(told.find("no openat2"), told.rfind("no openat2")) << "told more than once: " << told;
}

}  // namespace
