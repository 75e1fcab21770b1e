#include <Foundation/DeviceRoot.h>

#include <Foundation/NSLog.h>

#include <dirent.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <linux/openat2.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <mutex>
#include <random>
#include <set>

namespace foundation {

namespace {

/// A descriptor closed when the last user lets go, so a root change never
/// closes one another thread is resolving against.
struct Fd {
  int fd = -1;
  explicit Fd(int f) : fd(f) {}
  ~Fd() {
    if (fd >= 0) ::close(fd);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
};

struct Root {
  std::mutex lock;
  std::filesystem::path path;
  std::shared_ptr<Fd> fd;  ///< the root folder, opened on first use
};
Root& root() {
  static auto* r = [] {
    auto* rr = new Root();
    // A host that names no root runs on QP_DEVICE_ROOT, else the current folder.
    const char* env = std::getenv("QP_DEVICE_ROOT");
    std::error_code ec;
    rr->path = env && *env ? std::filesystem::path(env) : std::filesystem::current_path(ec);
    return rr;
  }();
  return *r;
}

std::shared_ptr<Fd> rootFd() {
  auto& r = root();
  std::lock_guard g(r.lock);
  if (!r.fd || r.fd->fd < 0) r.fd = std::make_shared<Fd>(::open(r.path.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
  return r.fd;
}

/// The device path as components, "." and ".." resolved lexically.
std::vector<std::string_view> componentsOf(std::string_view devicePath) {
  std::vector<std::string_view> parts;
  size_t i = 0;
  while (i <= devicePath.size()) {
    size_t j = devicePath.find('/', i);
    if (j == std::string_view::npos) j = devicePath.size();
    const std::string_view part = devicePath.substr(i, j - i);
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    i = j + 1;
  }
  return parts;
}

std::string join(const std::vector<std::string_view>& parts, size_t count) {
  std::string out;
  for (size_t i = 0; i < count; ++i) {
    if (i) out += '/';
    out.append(parts[i]);
  }
  return out.empty() ? "." : out;
}

/// Said once a process, on standard error rather than in the log, whose own
/// file in the root could not be opened either: without openat2 no device
/// path can be opened without the risk of leaving the root, so none is.
void tellOpenat2Missing() {
  static std::atomic_flag told = ATOMIC_FLAG_INIT;
  if (told.test_and_set()) return;
  const int saved = errno;
  std::fputs(
      "Foundation: this kernel has no openat2 (Linux 5.6 or later, or a sandbox that filters it), "
      "so no file of the device root can be opened safely; each reads as unreadable\n",
      stderr);
  errno = saved;
}

/// openat2, retried where the walk raced a rename, and without O_NOATIME
/// where the caller does not own the file.
int openat2Retrying(int dirFd, const char* path, open_how how) {
  for (;;) {
    const long fd = ::syscall(SYS_openat2, dirFd, path, &how, sizeof how);
    if (fd >= 0) return int(fd);
    if (errno == EINTR || errno == EAGAIN) continue;  // EAGAIN: a rename raced the walk
    if (errno == EPERM && (how.flags & O_NOATIME)) {
      how.flags &= ~uint64_t(O_NOATIME);  // only the owner may skip the access time
      continue;
    }
    if (errno == ENOSYS) tellOpenat2Missing();
    return -1;
  }
}

/// openat2 against the root folder with the root as "/": links, absolute
/// ones included, resolve inside it; ".." stops at it.
int openInRoot(const std::string& relative, uint64_t flags, uint64_t mode = 0) {
  auto root = rootFd();
  if (root->fd < 0) {
    errno = ENOENT;
    return -1;
  }
  open_how how{};
  how.flags = flags | O_CLOEXEC;
  how.mode = (flags & O_CREAT) ? mode : 0;
  how.resolve = RESOLVE_IN_ROOT | RESOLVE_NO_MAGICLINKS;
  return openat2Retrying(root->fd, relative.c_str(), how);
}

bool missingError(int e) { return e == ENOENT || e == ENOTDIR || e == ELOOP; }

struct Trouble {
  std::mutex lock;
  std::set<std::string> unreadable, unwritten;
};
Trouble& trouble() {
  static auto* t = new Trouble();
  return *t;
}

/// Records a refused read; true the first time for this path since the
/// host last took the list, so a file read forty times is logged once.
bool noteUnreadable(std::string_view devicePath) {
  auto& t = trouble();
  std::lock_guard g(t.lock);
  return t.unreadable.emplace(devicePath).second;
}

void noteUnwritten(std::string_view devicePath, const char* reason) {
  NSLog("Foundation: cannot write %@: %s", devicePath, reason);
  auto& t = trouble();
  std::lock_guard g(t.lock);
  t.unwritten.emplace(devicePath);
}

bool writeAll(int fd, std::string_view contents) {
  while (!contents.empty()) {
    const ssize_t n = ::write(fd, contents.data(), contents.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (n == 0) errno = ENOSPC;
      return false;
    }
    contents.remove_prefix(size_t(n));
  }
  return true;
}

/// The folder holding a device file, as an O_PATH descriptor, and the
/// file's own name in it.
int openParent(std::string_view devicePath, std::string& leaf) {
  auto parts = componentsOf(devicePath);
  if (parts.empty()) {
    errno = EISDIR;
    return -1;
  }
  leaf = std::string(parts.back());
  return openInRoot(join(parts, parts.size() - 1), O_PATH | O_DIRECTORY);
}

constexpr const char* kTempSuffix = ".tmp";
/// A writer's temporary file older than this is taken for abandoned even
/// when its process id is alive again (ids are reused).
constexpr time_t kStaleTempSeconds = 600;

std::string tempNameFor(const std::string& leaf) {
  static std::atomic<uint32_t> counter{0};
  thread_local std::mt19937 random{std::random_device{}()};
  char tail[64];
  std::snprintf(tail, sizeof tail, ".%d-%u-%08x", int(::getpid()), counter++, unsigned(random()));
  return "." + leaf + tail + kTempSuffix;
}

/// Removes temporary files that killed writers left beside leaf: those of
/// processes that are gone, and any old enough that no write is still on.
void removeStaleTemps(int dirFd, const std::string& leaf) {
  const int fd = ::openat(dirFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  DIR* dir = ::fdopendir(fd);
  if (!dir) {
    ::close(fd);
    return;
  }
  const std::string prefix = "." + leaf + ".";
  const time_t now = ::time(nullptr);
  while (dirent* e = ::readdir(dir)) {
    const std::string_view name(e->d_name);
    if (!name.starts_with(prefix)) continue;
    const std::string_view tail = name.substr(prefix.size());
    bool stale = false;
    struct stat st {};
    if (::fstatat(fd, e->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode)) continue;
    const bool old = now - st.st_mtime > kStaleTempSeconds;
    if (tail.ends_with(kTempSuffix)) {
      const long pid = std::strtol(std::string(tail).c_str(), nullptr, 10);
      stale = old || (pid > 0 && pid != ::getpid() && ::kill(pid_t(pid), 0) != 0 && errno == ESRCH);
    } else if (tail.size() == 6) {
      stale = old;  // an earlier writer's mkstemp name
    }
    if (stale) ::unlinkat(fd, e->d_name, 0);
  }
  ::closedir(dir);
}

}  // namespace

void setDeviceRoot(const std::filesystem::path& path) {
  auto& r = root();
  std::lock_guard g(r.lock);
  r.path = path;
  r.fd.reset();
}

std::filesystem::path deviceRoot() {
  auto& r = root();
  std::lock_guard g(r.lock);
  return r.path;
}

std::filesystem::path resolveDevicePath(std::string_view devicePath) {
  std::filesystem::path out = deviceRoot();
  for (auto part : componentsOf(devicePath)) out /= std::filesystem::path(std::string(part));
  return out;
}

std::string devicePathOf(const std::filesystem::path& hostPath) {
  const auto base = deviceRoot().lexically_normal();
  const auto rel = hostPath.lexically_normal().lexically_relative(base);
  if (rel.empty() || *rel.begin() == "..") return "";
  if (rel == ".") return "/";
  return "/" + rel.string();
}

namespace {

/// What openDeviceFile and openDeviceFileIn tell of an open that returned
/// fd (-1 with errno when it failed): a regular file within its cap keeps
/// its descriptor; anything else is closed and answered as missing or
/// refused. pathOf() names the file for a log line.
template <class PathOf>
int checkOpenedFile(int fd, const PathOf& pathOf, std::size_t cap, FileResult* outcome, struct ::stat* status) {
  auto report = [&](FileOutcome o) {
    if (outcome) outcome->outcome = o;
    return -1;
  };
  auto refuse = [&](const char* format, auto... args) {
    const std::string devicePath(pathOf());
    if (noteUnreadable(devicePath)) NSLog(format, devicePath, args...);
    return report(FileOutcome::Refused);
  };
  if (fd < 0) {
    if (missingError(errno)) return report(FileOutcome::Missing);
    if (errno == ENXIO || errno == ENODEV) return refuse("Foundation: %@ is not a regular file; not read");
    return refuse("Foundation: %@ cannot be read: %s", std::strerror(errno));
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return refuse("Foundation: %@ is not a regular file; not read");
  }
  if (cap && uint64_t(st.st_size) > cap) {
    ::close(fd);
    return refuse("Foundation: %@ is larger than %lu bytes; not read", uint64_t(cap));
  }
  if (outcome) outcome->outcome = FileOutcome::Read;
  if (status) *status = st;
  return fd;
}

}  // namespace

int openDeviceFile(std::string_view devicePath, std::size_t cap, FileResult* outcome, struct ::stat* status) {
  const auto parts = componentsOf(devicePath);
  const int fd = openInRoot(join(parts, parts.size()), O_RDONLY | O_NONBLOCK | O_NOATIME);
  return checkOpenedFile(
      fd, [&] { return devicePath; }, cap, outcome, status);
}

int openDeviceFileIn(int folderFd, std::string_view folderPath, std::string_view name, std::size_t cap,
                     FileResult* outcome, struct ::stat* status) {
  // Named in full only for a log line or a link.
  auto devicePath = [&] { return std::string(folderPath) + "/" + std::string(name); };
  int fd = -1;
  char component[NAME_MAX + 1];
  if (name.empty() || name == "." || name == ".." || name.size() > NAME_MAX ||
      name.find('/') != std::string_view::npos) {
    errno = ENOENT;  // not a name in the folder
  } else {
    name.copy(component, name.size());
    component[name.size()] = '\0';
    // One component beneath a folder opened inside the root, and no link
    // followed: it cannot name anything outside the folder.
    open_how how{};
    how.flags = O_RDONLY | O_NONBLOCK | O_NOATIME | O_NOFOLLOW | O_CLOEXEC;
    how.resolve = RESOLVE_BENEATH | RESOLVE_NO_SYMLINKS | RESOLVE_NO_MAGICLINKS;
    fd = openat2Retrying(folderFd, component, how);
    // A link is resolved the long way, inside the root.
    if (fd < 0 && errno == ELOOP) return openDeviceFile(devicePath(), cap, outcome, status);
  }
  return checkOpenedFile(fd, devicePath, cap, outcome, status);
}

int openDeviceFolder(std::string_view devicePath) {
  const auto parts = componentsOf(devicePath);
  return openInRoot(join(parts, parts.size()), O_RDONLY | O_DIRECTORY | O_NONBLOCK);
}

bool readOpenFile(int fd, std::string& contents, std::size_t cap) {
  struct stat st {};
  if (::fstat(fd, &st) != 0) return false;
  std::string out;
  out.reserve(std::min<size_t>(size_t(std::max<off_t>(st.st_size, 0)), cap));
  char buf[65536];
  for (;;) {
    const ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) break;
    if (out.size() + size_t(n) > cap) return false;  // grew past its cap while being read
    out.append(buf, size_t(n));
  }
  contents = std::move(out);
  return true;
}

FileResult readDeviceFile(std::string_view devicePath, std::string& contents, std::size_t cap) {
  FileResult result;
  const int fd = openDeviceFile(devicePath, cap, &result);
  if (fd < 0) return result;
  const bool ok = readOpenFile(fd, contents, cap);
  ::close(fd);
  if (!ok) {
    if (noteUnreadable(devicePath)) NSLog("Foundation: %@ could not be read whole; not read", devicePath);
    result.outcome = FileOutcome::Refused;
  }
  return result;
}

bool listDeviceFolder(std::string_view devicePath, std::vector<FolderEntry>& entries) {
  const int fd = openDeviceFolder(devicePath);
  if (fd < 0) return false;
  const auto parts = componentsOf(devicePath);
  const std::string base = join(parts, parts.size());
  entries.clear();
  // Read straight from the folder into one buffer per thread: every load
  // lists the reminder folders, and a listing buffer made and freed each
  // time makes the allocator sweep everything the last load let go.
  thread_local std::array<char, 32768> buffer;
  for (;;) {
    const ssize_t got = ::getdents64(fd, buffer.data(), buffer.size());
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      ::close(fd);
      return false;
    }
    if (got == 0) break;
    for (ssize_t at = 0; at < got;) {
      const auto* e = reinterpret_cast<const dirent64*>(buffer.data() + at);
      at += e->d_reclen;
      const std::string_view name(e->d_name);
      if (name == "." || name == "..") continue;
      FolderEntry entry{std::string(name), FolderEntry::Kind::Other};
      unsigned char type = e->d_type;
      if (type == DT_LNK || type == DT_UNKNOWN) {
        // A link's kind is that of what it names, found inside the root.
        type = DT_UNKNOWN;
        const int target = openInRoot(base + "/" + entry.name, O_PATH);
        struct stat st {};
        if (target >= 0 && ::fstat(target, &st) == 0)
          type = S_ISDIR(st.st_mode) ? DT_DIR : S_ISREG(st.st_mode) ? DT_REG : DT_UNKNOWN;
        if (target >= 0) ::close(target);
      }
      if (type == DT_DIR) entry.kind = FolderEntry::Kind::Folder;
      if (type == DT_REG) entry.kind = FolderEntry::Kind::File;
      entries.push_back(std::move(entry));
    }
  }
  ::close(fd);
  return true;
}

bool deviceItemExists(std::string_view devicePath) {
  const auto parts = componentsOf(devicePath);
  const int fd = openInRoot(join(parts, parts.size()), O_PATH);
  if (fd >= 0) {
    ::close(fd);
    return true;
  }
  // A folder on the way that cannot be searched may well hide the file.
  return !missingError(errno);
}

bool writeDeviceFile(std::string_view devicePath, std::string_view contents, bool atomically) {
  if (!atomically) {
    const auto parts = componentsOf(devicePath);
    const int fd = openInRoot(join(parts, parts.size()), O_WRONLY | O_CREAT | O_NONBLOCK, 0666);
    if (fd < 0) {
      noteUnwritten(devicePath, std::strerror(errno));
      return false;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
      ::close(fd);
      noteUnwritten(devicePath, "not a regular file");
      return false;
    }
    bool ok = ::ftruncate(fd, 0) == 0 && writeAll(fd, contents);
    const int error = errno;
    ok = ::close(fd) == 0 && ok;
    if (!ok) noteUnwritten(devicePath, std::strerror(error ? error : errno));
    return ok;
  }
  // Readers see the old file or the new one, never a part: the new
  // contents go to a temporary file beside it, which then replaces it.
  std::string leaf;
  const int dirFd = openParent(devicePath, leaf);
  if (dirFd < 0) {
    noteUnwritten(devicePath, std::strerror(errno));
    return false;
  }
  removeStaleTemps(dirFd, leaf);
  const std::string temp = tempNameFor(leaf);
  const int fd = ::openat(dirFd, temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
  if (fd < 0) {
    noteUnwritten(devicePath, std::strerror(errno));
    ::close(dirFd);
    return false;
  }
  bool ok = writeAll(fd, contents) && ::fsync(fd) == 0;
  int error = errno;
  ok = ::close(fd) == 0 && ok;
  if (ok) {
    ok = ::renameat(dirFd, temp.c_str(), dirFd, leaf.c_str()) == 0;
    error = errno;
  }
  if (!ok) {
    ::unlinkat(dirFd, temp.c_str(), 0);
    noteUnwritten(devicePath, std::strerror(error ? error : errno));
  }
  ::close(dirFd);
  return ok;
}

bool createDeviceFile(std::string_view devicePath, std::string_view contents) {
  std::string leaf;
  const int dirFd = openParent(devicePath, leaf);
  if (dirFd < 0) {
    noteUnwritten(devicePath, std::strerror(errno));
    return false;
  }
  // Written whole under a temporary name, then linked in: link never
  // replaces a file that is there, and nobody sees half a copy.
  const std::string temp = tempNameFor(leaf);
  const int fd = ::openat(dirFd, temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
  bool ok = fd >= 0 && writeAll(fd, contents) && ::fsync(fd) == 0;
  int error = errno;
  if (fd >= 0) ok = ::close(fd) == 0 && ok;
  if (ok) {
    ok = ::linkat(dirFd, temp.c_str(), dirFd, leaf.c_str(), 0) == 0;
    error = errno;
  }
  if (fd >= 0) ::unlinkat(dirFd, temp.c_str(), 0);
  ::close(dirFd);
  // A name taken by a file is the caller's answer; one taken by a dangling
  // link cannot take the file at all.
  if (!ok && (error != EEXIST || !deviceItemExists(devicePath))) noteUnwritten(devicePath, std::strerror(error));
  return ok;
}

bool statDeviceItem(std::string_view devicePath, struct ::stat& status) {
  const auto parts = componentsOf(devicePath);
  const int fd = openInRoot(join(parts, parts.size()), O_PATH);
  if (fd < 0) return false;
  const bool ok = ::fstat(fd, &status) == 0;
  ::close(fd);
  return ok;
}

bool loadDeviceLibrary(std::string_view devicePath, std::string& why) {
  FileResult opened;
  const int fd = openDeviceFile(devicePath, 0, &opened);
  if (fd < 0) {
    why = opened.outcome == FileOutcome::Missing ? "no such file" : "not a readable regular file";
    return false;
  }
  // The loader is handed the file's own path, found inside the root, links
  // resolved; it keeps libraries apart by that name.
  std::error_code ec;
  const auto name = std::filesystem::read_symlink("/proc/self/fd/" + std::to_string(fd), ec);
  ::close(fd);
  if (ec) {
    why = ec.message();
    return false;
  }
  void* handle = ::dlopen(name.c_str(), RTLD_NOW | RTLD_GLOBAL);
  if (!handle) {
    const char* error = ::dlerror();
    why = error ? error : "unknown error";
    return false;
  }
  return true;
}

FileTrouble peekFileTrouble() {
  auto& t = trouble();
  std::lock_guard g(t.lock);
  return {{t.unreadable.begin(), t.unreadable.end()}, {t.unwritten.begin(), t.unwritten.end()}};
}

FileTrouble takeFileTrouble() {
  auto& t = trouble();
  std::lock_guard g(t.lock);
  FileTrouble out{{t.unreadable.begin(), t.unreadable.end()}, {t.unwritten.begin(), t.unwritten.end()}};
  t.unreadable.clear();
  t.unwritten.clear();
  return out;
}

DeviceFolderLock::DeviceFolderLock(std::string_view devicePath) : fd_(openDeviceFolder(devicePath)) {
  if (fd_ < 0) return;
  while (::flock(fd_, LOCK_EX) != 0) {
    if (errno == EINTR) continue;
    ::close(fd_);
    fd_ = -1;
    return;
  }
}

DeviceFolderLock::~DeviceFolderLock() {
  if (fd_ >= 0) ::close(fd_);  // closing the last descriptor lets the lock go
}

}  // namespace foundation
