#pragma once
/// \file
/// How stored preference values become settings: the enumeration mappings,
/// the colour index table, the sort priority from the sorting file, and
/// which stored values count as a boolean or a number at all.

#include <objc/NSObject.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quillpane {

int64_t storedWallpaperBlurMode(int64_t value);  ///< 0 and 1 kept, anything else 2
int64_t storedReminderSorting(int64_t value);    ///< 0, 1 and 2 kept, anything else 0
int64_t storedSwipeAction(int64_t value);        ///< 0, 1 and 3 kept, anything else 1

enum class ColorKey { Title, Subtitle, Date };
enum class NamedColor { Red, Black, Gray, White, Green, Blue, Yellow, Orange, Purple, Brown, HalfWhite };

struct ColorChoice {
  NamedColor color;
  bool sameAsListColor = false;  ///< titles only: index 999
  bool operator==(const ColorChoice&) const = default;
};

/// The colour a key's index stands for; nullopt means the key is absent.
ColorChoice colorForIndex(ColorKey key, std::optional<int64_t> index);

/// The sort priority meaning "leave the publication dates to the platform".
constexpr int64_t kNoCustomSorting = -100;

/// The sort priority of the sorting file's entries (nullopt entries are
/// values that are not strings). nullopt when "System Items" is missing.
std::optional<int64_t> sortPriorityForEntries(const std::vector<std::optional<std::string>>& entries);

/// Readings of a stored value with Foundation's conversions. Only numbers
/// (booleans included) and strings have such a reading; any other kind of
/// value counts as absent, where the device would crash on it.
std::optional<bool> boolReading(const NSObject* value);
std::optional<int64_t> integerReading(const NSObject* value);
/// The 32-bit reading widened with its sign.
std::optional<int64_t> intReading(const NSObject* value);
std::optional<std::string> stringReading(const NSObject* value);

}  // namespace quillpane
