#pragma once
/// \file
/// The device's file system. Every absolute device path ("/var/mobile/...")
/// resolves under one device-root folder; only this layer knows the root.
///
/// Files are opened the way the phone would resolve them: symbolic links
/// are followed, but always inside the root (an absolute link target starts
/// at the root), so nothing the device reads or writes lies outside it.
/// Opens never block (a FIFO is refused, not waited on), anything that is
/// not a regular file is refused with a log line, and every read carries a
/// size cap fitting the kind of file, checked before a byte is read.

#include <sys/stat.h>

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace foundation {

/// Until a host sets one, the root is $QP_DEVICE_ROOT, else the current folder.
void setDeviceRoot(const std::filesystem::path& root);
[[nodiscard]] std::filesystem::path deviceRoot();
/// The host path of a device path, lexically: "." and ".." are resolved
/// without climbing above the root. Symbolic links are not looked at, so
/// this is for naming a file, never for opening one; open through the
/// functions below.
[[nodiscard]] std::filesystem::path resolveDevicePath(std::string_view devicePath);
/// The device path of a host path under the root, or "" when it is not
/// under the root.
[[nodiscard]] std::string devicePathOf(const std::filesystem::path& hostPath);

/// Caps on what one file may hold, by kind. A file over its cap is refused
/// unread, with a log line naming it.
inline constexpr std::size_t kPropertyListFileCap = std::size_t(8) << 20;  ///< preference files, profiles
inline constexpr std::size_t kImageFileCap = std::size_t(16) << 20;        ///< PNG images
inline constexpr std::size_t kPageFileCap = std::size_t(8) << 20;          ///< file:// pages
inline constexpr std::size_t kDefaultFileCap = std::size_t(16) << 20;

enum class FileOutcome {
  Read,     ///< the bytes are there
  Missing,  ///< nothing at that path (not logged)
  Refused,  ///< something is there but cannot be read: not a regular file, over its cap, no permission (logged)
};

struct FileResult {
  FileOutcome outcome = FileOutcome::Missing;
  explicit operator bool() const { return outcome == FileOutcome::Read; }
};

/// Opens a device file for reading: root-confined, non-blocking, close-on-
/// exec, without touching its access time where the file's owner allows,
/// regular files only. -1 when missing or refused (see `outcome`). `cap`
/// (0: none) refuses a file larger than it. `status`, when given, gets the
/// open file's status.
[[nodiscard]] int openDeviceFile(std::string_view devicePath, std::size_t cap = 0, FileResult* outcome = nullptr,
                                 struct ::stat* status = nullptr);
/// The same for the file `name` (one path component) in a folder opened by
/// openDeviceFolder from the device path folderPath: one short lookup
/// instead of a walk from the root, for reading every file of a folder. A
/// link there is followed inside the root, as openDeviceFile follows it.
[[nodiscard]] int openDeviceFileIn(int folderFd, std::string_view folderPath, std::string_view name,
                                   std::size_t cap = 0, FileResult* outcome = nullptr, struct ::stat* status = nullptr);
/// Opens a device folder for listing (O_DIRECTORY), root-confined; -1 when
/// it is missing or not a folder.
[[nodiscard]] int openDeviceFolder(std::string_view devicePath);

/// Reads a whole device file of at most cap bytes.
FileResult readDeviceFile(std::string_view devicePath, std::string& contents, std::size_t cap = kDefaultFileCap);
/// Reads at most cap bytes from an open descriptor; false on a read error
/// or when more than cap bytes are there (a file that grew).
bool readOpenFile(int fd, std::string& contents, std::size_t cap);

/// What a folder holds, by name, with each entry's kind after following
/// links inside the root. Hidden names are included; "." and ".." are not.
struct FolderEntry {
  enum class Kind { File, Folder, Other };
  std::string name;
  Kind kind = Kind::Other;
};
/// False when the folder is missing or cannot be listed.
bool listDeviceFolder(std::string_view devicePath, std::vector<FolderEntry>& entries);

/// Writes a whole device file inside the root. Atomically, the contents go
/// to a temporary file beside it (a unique name, removed on failure; those
/// that killed writers left behind are removed too) and replace the file by
/// a rename. A folder on the way that is missing, or that links out of the
/// root, fails the write. A failure is logged and reported to the host.
bool writeDeviceFile(std::string_view devicePath, std::string_view contents, bool atomically);
/// Creates a new file, never replacing one that stands there; false when
/// the name is taken or the write fails.
bool createDeviceFile(std::string_view devicePath, std::string_view contents);
/// Whether something (a file, folder, FIFO, even one that cannot be read)
/// stands at the device path, links resolved inside the root.
[[nodiscard]] bool deviceItemExists(std::string_view devicePath);

/// The status of what a device path names, links followed inside the root.
bool statDeviceItem(std::string_view devicePath, struct ::stat& status);

/// Loads a device library (dlopen, RTLD_NOW | RTLD_GLOBAL) found inside
/// the root; false with the reason otherwise.
bool loadDeviceLibrary(std::string_view devicePath, std::string& why);

/// What went wrong with the device's files since the last call: device
/// paths of files that stood there but could not be read, and of writes
/// that failed. Each path once. The hosts report these after a command.
struct FileTrouble {
  std::vector<std::string> unreadable;
  std::vector<std::string> unwritten;
  [[nodiscard]] bool empty() const { return unreadable.empty() && unwritten.empty(); }
};
FileTrouble takeFileTrouble();
/// The same, left in place: paths already there are not logged again.
FileTrouble peekFileTrouble();

/// An exclusive lock on a device folder (flock on the folder itself) for
/// the life of the object, so that two processes' read-modify-write cycles
/// on the files inside never interleave. Not held when the folder is
/// missing.
class DeviceFolderLock {
 public:
  explicit DeviceFolderLock(std::string_view devicePath);
  ~DeviceFolderLock();
  DeviceFolderLock(const DeviceFolderLock&) = delete;
  DeviceFolderLock& operator=(const DeviceFolderLock&) = delete;
  [[nodiscard]] bool held() const { return fd_ >= 0; }

 private:
  int fd_ = -1;
};

}  // namespace foundation
