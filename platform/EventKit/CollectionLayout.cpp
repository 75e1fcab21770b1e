#include <EventKit/CollectionLayout.h>

#include <EventKit/ICalendarReader.h>
#include <Foundation/DeviceRoot.h>
#include <Foundation/NSLog.h>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
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

/// The first line of a small metadata file, trimmed.
Metadata readMetadata(const fs::path& file, std::string& out) {
  int fd = open(file.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return errno == ENOENT || errno == ENOTDIR ? Metadata::Missing : Metadata::Unreadable;
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
std::string titleOf(const fs::path& folder, const std::string& deviceFolder, const std::string& fallback) {
  std::string title;
  switch (readMetadata(folder / "displayname", title)) {
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

std::optional<RGBA> colorOf(const fs::path& folder, const std::string& deviceFolder) {
  std::string text;
  switch (readMetadata(folder / "color", text)) {
    case Metadata::Missing: return std::nullopt;
    case Metadata::Unreadable:
      NSLog("EventKit: %s: cannot be read, the list has no colour", devicePathOf(deviceFolder, "color"));
      return std::nullopt;
    case Metadata::Read: break;
  }
  auto color = parseListColor(text);
  if (!color)
    NSLog("EventKit: %s: \"%s\" is not a colour (#RRGGBB or #RRGGBBAA), the list has no colour",
          devicePathOf(deviceFolder, "color"), text);
  return color;
}

/// Sub-folders by name; hidden ones (a sync client's temporary folders) left out.
std::vector<std::string> subfolders(const fs::path& folder) {
  std::vector<std::string> names;
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    std::string name = it->path().filename().string();
    if (name.empty() || name.front() == '.') continue;
    std::error_code typeError;
    if (it->is_directory(typeError)) names.push_back(std::move(name));
  }
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace

std::optional<RGBA> parseListColor(std::string_view text) {
  text = trim(text);
  if (!text.empty() && text.front() == '#') text.remove_prefix(1);
  if (text.size() != 6 && text.size() != 8) return std::nullopt;
  RGBA c{0, 0, 0, 1};
  for (size_t i = 0; i < text.size() / 2; ++i) {
    int hi = hexDigit(text[2 * i]), lo = hexDigit(text[2 * i + 1]);
    if (hi < 0 || lo < 0) return std::nullopt;
    c[i] = (hi * 16 + lo) / 255.0;
  }
  return c;
}

std::vector<AccountFolder> scanReminderAccounts() {
  std::vector<AccountFolder> accounts;
  fs::path root = foundation::resolveDevicePath(kRemindersFolder);
  std::set<std::string> seenLists;
  for (const std::string& accountName : subfolders(root)) {
    AccountFolder account;
    fs::path accountPath = root / accountName;
    std::string accountDevice = devicePathOf(kRemindersFolder, accountName);
    account.identifier = accountName;
    account.title = titleOf(accountPath, accountDevice, accountName);
    for (const std::string& listName : subfolders(accountPath)) {
      std::string listDevice = devicePathOf(accountDevice, listName);
      if (!seenLists.insert(listName).second) {
        NSLog("EventKit: %s: another account already has a list named \"%s\", skipped", listDevice, listName);
        continue;
      }
      ListFolder list;
      list.identifier = listName;
      list.hostPath = accountPath / listName;
      list.devicePath = listDevice;
      list.title = titleOf(list.hostPath, listDevice, listName);
      list.color = colorOf(list.hostPath, listDevice);
      account.lists.push_back(std::move(list));
    }
    accounts.push_back(std::move(account));
  }
  return accounts;
}

}  // namespace eventkit
