#include <EventKit/CollectionLayout.h>

#include <EventKit/ICalendarReader.h>
#include <Foundation/DeviceRoot.h>
#include <Foundation/NSLog.h>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <map>
#include <mutex>
#include <set>
#include <system_error>

namespace eventkit {

namespace {

namespace fs = std::filesystem;

/// Metadata files are a line of text; anything longer is not one of them.
constexpr size_t kMaxMetadataBytes = 4096;

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v'; }

std::string_view trim(std::string_view s) {
  while (!s.empty() && isSpace(s.front())) s.remove_prefix(1);
  while (!s.empty() && isSpace(s.back())) s.remove_suffix(1);
  return s;
}

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

enum class Metadata { Missing, Unreadable, Read };

/// The first line of a small metadata file, trimmed. Named by its device
/// path, which the scan builds as it goes: turning a host path back into one
/// costs more than reading the file.
Metadata readMetadata(const std::string& deviceFile, std::string& out) {
  foundation::FileResult opened;
  int fd = foundation::openDeviceFile(deviceFile, kMaxMetadataBytes, &opened);
  if (fd < 0) return opened.outcome == foundation::FileOutcome::Missing ? Metadata::Missing : Metadata::Unreadable;
  char buf[kMaxMetadataBytes];
  ssize_t n;
  do {
    n = read(fd, buf, sizeof buf);
  } while (n < 0 && errno == EINTR);
  close(fd);
  if (n < 0) return Metadata::Unreadable;
  std::string_view text = trim(std::string_view(buf, static_cast<size_t>(n)));
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  text = text.substr(0, text.find_first_of("\r\n"));
  out = std::string(trim(text));
  makeUtf8(out);
  return Metadata::Read;
}

std::string devicePathOf(std::string_view parent, std::string_view name) {
  return std::string(parent) + "/" + std::string(name);
}

/// The title from a "displayname" file, else the folder name.
std::string titleOf(const std::string& deviceFolder, const std::string& fallback) {
  std::string title;
  switch (readMetadata(devicePathOf(deviceFolder, "displayname"), title)) {
    case Metadata::Missing: return fallback;
    case Metadata::Unreadable:
      NSLog("EventKit: %s: cannot be read, using the folder name", devicePathOf(deviceFolder, "displayname"));
      return fallback;
    case Metadata::Read:
      if (title.empty()) {
        NSLog("EventKit: %s: is empty, using the folder name", devicePathOf(deviceFolder, "displayname"));
        return fallback;
      }
      return title;
  }
  return fallback;
}

/// The list's colour: its "color" file, else a calendar colour chosen from
/// the identifier, so the same list keeps the same colour on every lock.
RGBA colorOf(const fs::path& folder, const std::string& deviceFolder, const std::string& identifier) {
  std::string text;
  std::string why;
  switch (readMetadata(devicePathOf(deviceFolder, "color"), text)) {
    case Metadata::Missing: why = "no color file"; break;
    case Metadata::Unreadable: why = devicePathOf(deviceFolder, "color") + " cannot be read"; break;
    case Metadata::Read:
      if (auto color = parseListColor(text)) return *color;
      why = devicePathOf(deviceFolder, "color") + ": \"" + text +
            "\" is not a colour (#RGB, #RGBA, #RRGGBB or #RRGGBBAA)";
      break;
  }
  const PaletteColor& fallback = defaultListColor(identifier);
  // Once a process: every lock reads the lists again, and a synced folder
  // without a colour file stays without one.
  static std::mutex lock;
  static std::set<std::string> told;
  bool first;
  {
    std::lock_guard guard(lock);
    first = told.insert(folder.string() + "\n" + why).second;
  }
  if (first) NSLog("EventKit: %s: %s, the list gets the calendar colour %s", deviceFolder, why, fallback.name);
  return fallback.rgba;
}

/// Sub-folders by name; hidden ones (a sync client's temporary folders) left out.
std::vector<std::string> subfolders(const std::string& deviceFolder) {
  std::vector<std::string> names;
  std::vector<foundation::FolderEntry> entries;
  (void)foundation::listDeviceFolder(deviceFolder, entries);
  for (auto& entry : entries) {
    if (entry.name.empty() || entry.name.front() == '.') continue;
    if (entry.kind == foundation::FolderEntry::Kind::Folder) names.push_back(std::move(entry.name));
  }
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace

std::optional<RGBA> parseListColor(std::string_view text) {
  text = trim(text);
  if (!text.empty() && text.front() == '#') text.remove_prefix(1);
  // One digit a channel in the short forms, doubled: "#f80" is "#ff8800".
  size_t digits = text.size() == 3 || text.size() == 4 ? 1 : text.size() == 6 || text.size() == 8 ? 2 : 0;
  if (digits == 0) return std::nullopt;
  RGBA c{0, 0, 0, 1};
  for (size_t i = 0; i < text.size() / digits; ++i) {
    int hi = hexDigit(text[digits * i]), lo = hexDigit(text[digits * i + digits - 1]);
    if (hi < 0 || lo < 0) return std::nullopt;
    c[i] = (hi * 16 + lo) / 255.0;
  }
  return c;
}

const PaletteColor& defaultListColor(std::string_view identifier) {
  // The colours the device offers for a new list, in its own order.
  static const std::array<PaletteColor, 7> palette{{
      {"red #FF2968", {0xFF / 255.0, 0x29 / 255.0, 0x68 / 255.0, 1}},
      {"orange #FF9500", {0xFF / 255.0, 0x95 / 255.0, 0x00 / 255.0, 1}},
      {"yellow #FFCC00", {0xFF / 255.0, 0xCC / 255.0, 0x00 / 255.0, 1}},
      {"green #63DA38", {0x63 / 255.0, 0xDA / 255.0, 0x38 / 255.0, 1}},
      {"blue #1BADF8", {0x1B / 255.0, 0xAD / 255.0, 0xF8 / 255.0, 1}},
      {"purple #CC73E1", {0xCC / 255.0, 0x73 / 255.0, 0xE1 / 255.0, 1}},
      {"brown #A2845E", {0xA2 / 255.0, 0x84 / 255.0, 0x5E / 255.0, 1}},
  }};
  // FNV-1a: the same identifier picks the same colour on every machine and run.
  uint32_t h = 2166136261u;
  for (unsigned char ch : identifier) h = (h ^ ch) * 16777619u;
  return palette[h % palette.size()];
}

std::vector<AccountFolder> scanReminderAccounts() {
  std::vector<AccountFolder> accounts;
  fs::path root = foundation::resolveDevicePath(kRemindersFolder);
  std::map<std::string, int> accountsWithList;
  std::vector<std::pair<std::string, std::vector<std::string>>> folders;
  for (std::string& accountName : subfolders(std::string(kRemindersFolder))) {
    std::vector<std::string> lists = subfolders(devicePathOf(kRemindersFolder, accountName));
    for (const std::string& listName : lists) ++accountsWithList[listName];
    folders.emplace_back(std::move(accountName), std::move(lists));
  }
  for (const auto& [accountName, listNames] : folders) {
    AccountFolder account;
    fs::path accountPath = root / accountName;
    std::string accountDevice = devicePathOf(kRemindersFolder, accountName);
    account.identifier = accountName;
    account.title = titleOf(accountDevice, accountName);
    for (const std::string& listName : listNames) {
      ListFolder list;
      // A folder name used in one account only is the identifier on its own;
      // where two accounts use it, the account folder tells them apart.
      bool clash = accountsWithList[listName] > 1;
      list.identifier = clash ? accountName + "/" + listName : listName;
      list.folderName = listName;
      list.hostPath = accountPath / listName;
      list.devicePath = devicePathOf(accountDevice, listName);
      account.lists.push_back(std::move(list));
    }
    accounts.push_back(std::move(account));
  }
  return accounts;
}

ListMetadata readListMetadata(const ListFolder& list) {
  return {titleOf(list.devicePath, list.folderName), colorOf(list.hostPath, list.devicePath, list.identifier)};
}

}  // namespace eventkit
