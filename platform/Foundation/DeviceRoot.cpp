#include <Foundation/DeviceRoot.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <mutex>
#include <vector>

namespace foundation {

namespace {

struct Root {
  std::mutex lock;
  std::filesystem::path path;
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

bool writeAll(int fd, std::string_view contents) {
  while (!contents.empty()) {
    const ssize_t n = ::write(fd, contents.data(), contents.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    contents.remove_prefix(size_t(n));
  }
  return true;
}

mode_t fileMode() {
  const mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
}

}  // namespace

void setDeviceRoot(const std::filesystem::path& path) {
  auto& r = root();
  std::lock_guard g(r.lock);
  r.path = path;
}

std::filesystem::path deviceRoot() {
  auto& r = root();
  std::lock_guard g(r.lock);
  return r.path;
}

std::filesystem::path resolveDevicePath(std::string_view devicePath) {
  // Lexical resolution: "." is dropped and ".." removes the previous
  // component, but never the root itself.
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
  std::filesystem::path out = deviceRoot();
  for (auto part : parts) out /= std::filesystem::path(std::string(part));
  return out;
}

bool readDeviceFile(std::string_view devicePath, std::string& contents) {
  const auto path = resolveDevicePath(devicePath);
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat st {};
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return false;
  }
  std::string out;
  out.reserve(size_t(st.st_size));
  char buf[65536];
  bool ok = true;
  for (;;) {
    const ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) ok = false;
    if (n <= 0) break;
    out.append(buf, size_t(n));
  }
  ::close(fd);
  if (ok) contents = std::move(out);
  return ok;
}

bool writeDeviceFile(std::string_view devicePath, std::string_view contents, bool atomically) {
  const auto path = resolveDevicePath(devicePath);
  if (!atomically) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) return false;
    const bool ok = writeAll(fd, contents);
    return ::close(fd) == 0 && ok;
  }
  // Readers see the old file or the new one, never a part: the new
  // contents go to a temporary file beside it, which then replaces it.
  std::string temp = (path.parent_path() / ("." + path.filename().string() + ".XXXXXX")).string();
  const int fd = ::mkstemp(temp.data());
  if (fd < 0) return false;
  bool ok = ::fchmod(fd, fileMode()) == 0 && writeAll(fd, contents) && ::fsync(fd) == 0;
  ok = ::close(fd) == 0 && ok;
  if (ok) ok = ::rename(temp.c_str(), path.c_str()) == 0;
  if (!ok) ::unlink(temp.c_str());
  return ok;
}

}  // namespace foundation
