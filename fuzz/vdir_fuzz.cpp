// A list folder's "displayname" and "color" files (split at the first byte
// 0): any contents give a usable title (one line of UTF-8, never empty) and
// a colour (its own or the default), exactly as the colour reader reads the file's first line.

#include <EventKit/CollectionLayout.h>
#include <EventKit/ICalendarReader.h>

#include <cstdint>
#include <string>

#include "FuzzSupport.h"

using fuzzsupport::check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzzsupport::deviceRoot();
  fuzzsupport::freshLog();
  const auto [name, color] = fuzzsupport::splitAtNul(fuzzsupport::asText(data, size));
  const std::string list = std::string(eventkit::kRemindersFolder) + "/acct/list";
  fuzzsupport::writeDeviceBytes(list + "/displayname", name);
  fuzzsupport::writeDeviceBytes(list + "/color", color);
  fuzzsupport::writeDeviceBytes(std::string(eventkit::kRemindersFolder) + "/acct/displayname", color);
  const auto accounts = eventkit::scanReminderAccounts();
  check(accounts.size() == 1 && accounts[0].lists.size() == 1, "one account, one list");
  check(!accounts[0].title.empty(), "an account has a title");
  // A list's title and colour are read when first asked for.
  const eventkit::ListMetadata l = eventkit::readListMetadata(accounts[0].lists[0]);
  check(!l.title.empty(), "a list has a title");
  check(l.title.find_first_of("\r\n") == std::string::npos, "a title is one line");
  std::string copy = l.title;
  check(!eventkit::makeUtf8(copy), "a title is UTF-8");
  for (double c : l.color) check(c >= 0 && c <= 1, "colour components lie in 0...1");
  // Without line breaks the colour file is the colour string, whole.
  if (color.size() < 4096 && color.find_first_of("\r\n") == std::string_view::npos &&
      color.find("\xEF\xBB\xBF") == std::string_view::npos)
    if (auto parsed = eventkit::parseListColor(color)) check(l.color == *parsed, "the list's colour is its file's");
  return 0;
}
