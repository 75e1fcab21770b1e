#pragma once
/// \file
/// The parsed reminder files, shared by every store of the process, as the
/// device's calendar daemon keeps its database: a file is parsed again only
/// when it changed on disk. A folder under a change watch that reported
/// nothing is answered as before; otherwise a load costs a directory read
/// and a stat per file, not a parse.

#include <EventKit/ICalendarReader.h>
#include <Foundation/NSCalendar.h>
#include <Foundation/NSString.h>

#include <absl/container/flat_hash_map.h>
#include <absl/container/flat_hash_set.h>

#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

namespace eventkit {

struct StoredAlarm {
  bool hasLocation = false;
  Ref<NSString> locationTitle;
  int64_t proximity = 0;
};

/// A reminder as read from its file; immutable once stored, so any thread
/// may read it while the cache hands it out.
struct StoredReminder {
  Ref<NSString> uid, title, notes;
  uint64_t priority = 0;
  bool completed = false;
  bool cancelled = false;
  std::optional<DueDate> due;
  /// nil for a date, a floating time or an unknown zone; a fixed offset for
  /// a zone only the file defines.
  Ref<NSTimeZone> dueZone;
  std::vector<StoredAlarm> alarms;
};

struct StoredFile {
  std::vector<StoredReminder> reminders;
};

class ReminderCache {
 public:
  static ReminderCache& shared();

  /// A folder's files as last read; shared, so answering again costs no
  /// copy of thousands of file references.
  using FolderReading = std::shared_ptr<const std::vector<std::shared_ptr<const StoredFile>>>;

  /// The reminders of one list folder, file by file in file-name order
  /// (never null). deviceFolder names the folder in log lines.
  FolderReading remindersInFolder(const std::filesystem::path& hostFolder, const std::string& deviceFolder);

  /// How many files were parsed since the process started (for tests and
  /// measurements of the cache).
  [[nodiscard]] uint64_t parseCount() const;
  /// Forgets every parsed file.
  void clear();

 private:
  struct Stamp {
    uint64_t device = 0, inode = 0;
    int64_t size = 0;
    int64_t modifiedNs = 0, changedNs = 0;
    bool operator==(const Stamp&) const = default;
  };
  struct Entry {
    Stamp stamp;
    size_t contentHash = 0;
    /// Written so recently that a further write could keep the same
    /// timestamps: the content is compared before the entry is trusted.
    bool racy = false;
    uint64_t seenInScan = 0;  ///< files gone from the folder are dropped after a scan
    std::shared_ptr<const StoredFile> file;
  };
  struct Folder {
    absl::flat_hash_map<std::string, Entry> entries;
    /// The folder's change watch (-1 without one) and the folder it was
    /// placed on; while no change is reported, the last answer stands.
    int watch = -1;
    uint64_t device = 0, inode = 0;
    bool unchanged = false;
    /// Every change since the last read was reported by file name, in changed.
    bool reportsComplete = false;
    /// Reports were lost because too many came at once: most files changed.
    bool reportsOverflowed = false;
    absl::flat_hash_set<std::string> changed;
    FolderReading answer;
  };
  /// Marks folders whose watch reported a change since the last call.
  void takeChangeReports();
  void watch(Folder& folder, int dirFd);
  void forgetWatch(int watch);

  /// deviceFolder and name name the file in log lines.
  std::shared_ptr<const StoredFile> store(ParsedCalendar parsed, const std::string& deviceFolder,
                                          const std::string& name, std::vector<std::string>& log);
  Ref<NSTimeZone> zoneFor(const DueDate& due, const std::string& deviceFolder, const std::string& name,
                          std::vector<std::string>& log);

  mutable std::mutex lock_;
  std::unordered_map<std::string, Folder> folders_;
  std::unordered_map<std::string, Ref<NSTimeZone>> zones_;
  uint64_t parses_ = 0;
  uint64_t scan_ = 0;
  int changes_ = -1;  ///< the inotify descriptor, opened on first use
};

}  // namespace eventkit
