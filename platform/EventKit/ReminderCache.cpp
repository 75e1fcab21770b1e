#include <EventKit/ReminderCache.h>

#include <Foundation/DeviceRoot.h>
#include <Foundation/NSLog.h>

#include <dirent.h>
#include <fcntl.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <ctime>
#include <functional>

namespace eventkit {

namespace {

/// A reminder file larger than this is no reminder file: the device's own
/// run to a few kilobytes, and a series with years of occurrences written
/// apart to some hundreds. One that large would hold the fetch up for every
/// other list.
constexpr int64_t kMaxFileBytes = 1 << 20;
/// File timestamps come from a clock that moves in ticks of a few
/// milliseconds; a file written less than this long ago may be written
/// again without its timestamps changing.
constexpr int64_t kRacyWindowNs = 50'000'000;

int64_t nanoseconds(const timespec& t) { return static_cast<int64_t>(t.tv_sec) * 1'000'000'000 + t.tv_nsec; }

int64_t nowNs() {
  timespec t{};
  clock_gettime(CLOCK_REALTIME, &t);
  return nanoseconds(t);
}

bool isReminderFile(const char* name) {
  std::string_view n(name);
  if (n.empty() || n.front() == '.' || n.size() < 5) return false;
  std::string_view ext = n.substr(n.size() - 4);
  return ext.size() == 4 && ext[0] == '.' && (ext[1] | 0x20) == 'i' && (ext[2] | 0x20) == 'c' && (ext[3] | 0x20) == 's';
}

/// The open file's bytes, or false when it cannot be read whole. Read
/// straight into out, sized from the file's status: a file that kept its
/// size takes a single read.
bool readFrom(int fd, int64_t size, std::string& out) {
  const size_t expected = static_cast<size_t>(std::clamp<int64_t>(size, 0, kMaxFileBytes));
  // A byte more than expected, so a file that grew is seen to grow.
  out.resize(expected + 1);
  size_t have = 0;
  for (;;) {
    if (have == out.size()) {
      if (have > static_cast<size_t>(kMaxFileBytes)) return false;
      out.resize(std::min(have * 2, static_cast<size_t>(kMaxFileBytes) + 1));
    }
    const size_t asked = out.size() - have;
    const ssize_t n = read(fd, out.data() + have, asked);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    have += static_cast<size_t>(n);
    // Short of what was asked with every byte the status promised: the
    // end, without a further read to be told so.
    if (n == 0 || (static_cast<size_t>(n) < asked && have == expected)) break;
  }
  out.resize(have);
  return true;
}

/// The file's bytes, or false when it cannot be read whole.
bool readAt(const std::string& devicePath, std::string& out) {
  struct stat st {};
  int fd = foundation::openDeviceFile(devicePath, kMaxFileBytes, nullptr, &st);
  if (fd < 0) return false;
  const bool ok = readFrom(fd, st.st_size, out);
  close(fd);
  return ok;
}

size_t hashOf(const std::string& bytes) { return std::hash<std::string_view>()(bytes); }

Ref<NSString> string(std::string s) { return objc::create<NSString>(std::move(s)); }

}  // namespace

ReminderCache& ReminderCache::shared() {
  static ReminderCache* cache = new ReminderCache();  // outlives every worker thread
  return *cache;
}

uint64_t ReminderCache::parseCount() const {
  std::lock_guard guard(lock_);
  return parses_;
}

void ReminderCache::clear() {
  std::lock_guard guard(lock_);
  // Each watch is dropped directly: forgetting them one by one would look
  // through every folder for each.
  if (changes_ >= 0)
    for (auto& [name, folder] : folders_)
      if (folder.watch >= 0) inotify_rm_watch(changes_, folder.watch);
  folders_.clear();
}

void ReminderCache::forgetWatch(int watch) {
  if (watch < 0 || changes_ < 0) return;
  for (auto& [name, folder] : folders_)
    if (folder.watch == watch) folder.watch = -1, folder.unchanged = folder.reportsComplete = false;
  inotify_rm_watch(changes_, watch);
}

void ReminderCache::takeChangeReports() {
  if (changes_ < 0) return;
  // Built at the first report only: a lock with nothing changed costs one read.
  std::unordered_multimap<int, Folder*> byWatch;
  alignas(inotify_event) char buf[32768];
  for (;;) {
    const ssize_t n = read(changes_, buf, sizeof buf);
    if (n <= 0) break;  // EAGAIN: nothing more reported
    if (byWatch.empty())
      for (auto& [name, folder] : folders_)
        if (folder.watch >= 0) byWatch.emplace(folder.watch, &folder);
    // A write is reported two or three times in a row (truncated, written,
    // closed): the name is taken once.
    int previousWatch = -1;
    std::string_view previousName;
    for (ssize_t at = 0; at < n;) {
      const auto* event = reinterpret_cast<const inotify_event*>(buf + at);
      at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
      if (event->mask & IN_Q_OVERFLOW) {  // reports were lost: every folder is read whole
        for (auto& [name, folder] : folders_) {
          folder.unchanged = folder.reportsComplete = false;
          folder.reportsOverflowed = true;
        }
        previousWatch = -1;
        continue;
      }
      const bool named = event->len > 0 && event->name[0] && !(event->mask & IN_IGNORED);
      const std::string_view file = named ? std::string_view(event->name) : std::string_view();
      const bool repeated = named && event->wd == previousWatch && file == previousName;
      previousWatch = named ? event->wd : -1;
      previousName = file;
      if (repeated) continue;
      // One folder reached by two paths shares its watch.
      auto [first, last] = byWatch.equal_range(event->wd);
      for (auto it = first; it != last; ++it) {
        Folder& folder = *it->second;
        if (folder.watch != event->wd) continue;
        folder.unchanged = false;
        if (named)
          folder.changed.emplace(file);
        else
          folder.reportsComplete = false;                 // the folder itself changed
        if (event->mask & IN_IGNORED) folder.watch = -1;  // the folder itself went away
      }
    }
  }
}

void ReminderCache::watch(Folder& folder, int dirFd) {
  if (folder.watch >= 0) return;
  if (changes_ < 0) changes_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  if (changes_ < 0) return;
  // Placed through the open folder, so it watches the folder that was opened
  // inside the device root, whatever its path names by now.
  const std::string self = "/proc/self/fd/" + std::to_string(dirFd);
  folder.watch = inotify_add_watch(changes_, self.c_str(),
                                   IN_MODIFY | IN_ATTRIB | IN_CLOSE_WRITE | IN_CREATE | IN_DELETE | IN_MOVED_FROM |
                                       IN_MOVED_TO | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR);
}

Ref<NSTimeZone> ReminderCache::zoneFor(const DueDate& due, const std::string& deviceFolder, const std::string& name,
                                       std::vector<std::string>& log) {
  if (!due.hasTime || due.zone == DueDate::Zone::Floating) return nullptr;
  auto lookup = [&](const std::string& name) -> Ref<NSTimeZone> {
    auto it = zones_.find(name);
    if (it == zones_.end()) it = zones_.emplace(name, NSTimeZone::timeZoneWithName(name)).first;
    return it->second;
  };
  if (due.zone == DueDate::Zone::Utc) {
    if (auto utc = lookup("UTC")) return utc;
    return NSTimeZone::timeZoneForSecondsFromGMT(0);
  }
  for (const std::string& name : due.zoneNames)
    if (auto zone = lookup(name)) return zone;
  if (due.fileZoneOffset) {
    std::string key = "offset " + std::to_string(*due.fileZoneOffset);
    auto it = zones_.find(key);
    if (it == zones_.end()) it = zones_.emplace(key, NSTimeZone::timeZoneForSecondsFromGMT(*due.fileZoneOffset)).first;
    if (it->second) return it->second;
  }
  log.push_back(deviceFolder + "/" + name + ": unknown time zone \"" +
                (due.zoneNames.empty() ? "" : due.zoneNames.front()) + "\", the due time is read in the device's zone");
  return nullptr;
}

std::shared_ptr<const StoredFile> ReminderCache::store(ParsedCalendar parsed, const std::string& deviceFolder,
                                                       const std::string& name, std::vector<std::string>& log) {
  ++parses_;
  for (const std::string& problem : parsed.problems) log.push_back(deviceFolder + "/" + name + ": " + problem);
  auto file = std::make_shared<StoredFile>();
  file->reminders.reserve(parsed.reminders.size());
  for (ReminderRecord& r : parsed.reminders) {
    StoredReminder s;
    s.uid = string(std::move(r.uid));
    s.title = string(std::move(r.title));
    s.notes = r.notes.empty() ? nullptr : string(std::move(r.notes));
    s.priority = r.priority;
    s.completed = r.completed;
    s.cancelled = r.cancelled;
    if (r.due) s.dueZone = zoneFor(*r.due, deviceFolder, name, log);
    s.due = std::move(r.due);
    for (AlarmRecord& a : r.alarms)
      s.alarms.push_back({a.hasLocation, a.hasLocation ? string(std::move(a.locationTitle)) : nullptr, a.proximity});
    file->reminders.push_back(std::move(s));
  }
  return file;
}

ReminderCache::FolderReading ReminderCache::remindersInFolder(const std::filesystem::path& hostFolder,
                                                              const std::string& deviceFolder) {
  FolderReading reading;
  std::vector<std::shared_ptr<const StoredFile>> out;
  std::vector<std::string> log;
  {
    std::lock_guard guard(lock_);
    takeChangeReports();
    int dirFd = foundation::openDeviceFolder(deviceFolder);
    struct stat self {};
    auto found = folders_.find(hostFolder.string());
    const bool opened = dirFd >= 0 && fstat(dirFd, &self) == 0;
    // A folder whose watch heard nothing is answered from the last reading
    // without being listed, so its listing buffer is only made when needed.
    const bool unchanged = opened && found != folders_.end() && found->second.unchanged && found->second.watch >= 0 &&
                           found->second.device == static_cast<uint64_t>(self.st_dev) &&
                           found->second.inode == static_cast<uint64_t>(self.st_ino);
    DIR* dir = opened && !unchanged ? fdopendir(dirFd) : nullptr;
    if (unchanged) {
      reading = found->second.answer;
      close(dirFd);
    } else if (!dir) {
      if (dirFd >= 0) close(dirFd);
      if (errno != ENOENT) log.push_back(deviceFolder + ": the list folder cannot be read");
      if (found != folders_.end()) {
        forgetWatch(found->second.watch);
        folders_.erase(found);
      }
    } else {
      Folder& folder = folders_[hostFolder.string()];
      if (folder.device != static_cast<uint64_t>(self.st_dev) || folder.inode != static_cast<uint64_t>(self.st_ino)) {
        forgetWatch(folder.watch);
        folder.reportsComplete = false;
      }
      folder.device = static_cast<uint64_t>(self.st_dev);
      folder.inode = static_cast<uint64_t>(self.st_ino);
      // Watched before the folder is read, so a change made while it is
      // read is reported at the next load.
      watch(folder, dirFd);
      // A linked file can change without its folder hearing of it.
      bool trusted = folder.watch >= 0;
      std::vector<std::pair<std::string, unsigned char>> names;
      while (dirent* e = readdir(dir)) {
        if (e->d_type != DT_DIR && isReminderFile(e->d_name)) names.emplace_back(e->d_name, e->d_type);
      }
      std::sort(names.begin(), names.end());
      // With every change since the last read reported by name, only the
      // named files are looked at again.
      const bool byReports = folder.reportsComplete;
      // After a flood of changes every file is opened as a changed one would
      // be, rather than looked at first and then opened.
      const bool openEach = byReports || folder.reportsOverflowed;
      folder.reportsOverflowed = false;
      absl::flat_hash_set<std::string> changed = std::move(folder.changed);
      folder.changed.clear();

      auto& known = folder.entries;
      ++scan_;
      const int64_t racyAfter = nowNs() - kRacyWindowNs;
      std::string bytes;
      for (const auto& [name, type] : names) {
        auto existing = known.find(name);
        const bool reported = !byReports || changed.contains(name);
        if (existing != known.end() && !reported && existing->second.file) {
          existing->second.seenInScan = scan_;
          out.push_back(existing->second.file);
          continue;
        }
        struct stat st {};
        int fd = -1;
        if (type == DT_REG && (existing == known.end() || openEach)) {
          // New or changed: opened once, and its status taken from the open file.
          foundation::FileResult outcome;
          fd = foundation::openDeviceFileIn(dirFd, deviceFolder, name, 0, &outcome, &st);
          if (fd < 0 && outcome.outcome == foundation::FileOutcome::Missing) continue;
          if (fd < 0) st.st_mode = S_IFREG;  // refused: told below as unreadable
        } else {
          if (fstatat(dirFd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
          if (S_ISLNK(st.st_mode)) {
            trusted = false;
            if (!foundation::statDeviceItem(deviceFolder + "/" + name, st)) continue;
          }
        }
        if (!S_ISREG(st.st_mode)) continue;
        if (st.st_nlink > 1) trusted = false;
        Stamp stamp{static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino),
                    static_cast<int64_t>(st.st_size), nanoseconds(st.st_mtim), nanoseconds(st.st_ctim)};
        bool racy = std::max(stamp.modifiedNs, stamp.changedNs) > racyAfter;

        const bool added = existing == known.end();
        if (added) existing = known.try_emplace(name).first;
        Entry& entry = existing->second;
        entry.seenInScan = scan_;
        bool same = !added && entry.stamp == stamp;
        if (same && !entry.racy && fd < 0) {
          out.push_back(entry.file);
          continue;
        }
        entry.stamp = stamp;
        entry.racy = racy;
        const bool tooLarge = stamp.size > kMaxFileBytes;
        const bool read =
            !tooLarge && (fd >= 0 ? readFrom(fd, stamp.size, bytes) : readAt(deviceFolder + "/" + name, bytes));
        if (fd >= 0) close(fd);
        if (!read) {
          log.push_back(deviceFolder + "/" + name +
                        (tooLarge ? ": " + std::to_string(stamp.size) + " bytes, too large for a reminder file, skipped"
                                  : ": cannot be read, skipped"));
          entry.contentHash = 0;
          entry.file = std::make_shared<StoredFile>();
        } else {
          size_t hash = hashOf(bytes);
          if (!same || hash != entry.contentHash || !entry.file)
            entry.file = store(parseReminderCalendar(bytes), deviceFolder, name, log);
          entry.contentHash = hash;
        }
        out.push_back(entry.file);
      }
      absl::erase_if(known, [&](const auto& e) { return e.second.seenInScan != scan_; });
      closedir(dir);
      folder.unchanged = trusted;
      folder.reportsComplete = trusted;
      folder.answer = std::make_shared<const std::vector<std::shared_ptr<const StoredFile>>>(std::move(out));
      reading = folder.answer;
    }
  }
  for (const std::string& line : log) NSLog("EventKit: %s", line);
  if (!reading) reading = std::make_shared<const std::vector<std::shared_ptr<const StoredFile>>>();
  return reading;
}

}  // namespace eventkit
