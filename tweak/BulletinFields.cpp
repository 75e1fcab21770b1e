#include "BulletinFields.h"

namespace quillpane {

std::string_view priorityMark(uint64_t priority) {
  switch (priority) {
    case 1: return "!!! ";
    case 5: return "!! ";
    case 9: return "! ";
    default: return "";
  }
}

std::string_view locationPrefix(int64_t proximity) {
  switch (proximity) {
    case 1: return "Arriving: ";
    case 2: return "Leaving: ";
    default: return "";
  }
}

std::string bulletinIdentifier(uint32_t position, const std::optional<std::string>& colourString) {
  std::string id(kOwnPrefix);
  id += ' ';
  id += std::to_string(position);
  id += '|';
  if (colourString) id += *colourString;
  return id;
}

std::optional<std::string_view> colourField(std::string_view bulletinID) {
  auto first = bulletinID.find('|');
  if (first == std::string_view::npos) return std::nullopt;
  auto rest = bulletinID.substr(first + 1);
  return rest.substr(0, rest.find('|'));
}

}  // namespace quillpane
