#pragma once
// Deep and large inputs made on the spot (shared by the seed generator and
// the tests, so neither has to store megabytes).

#include <cstdint>
#include <string>
#include <vector>

namespace largeinputs {

/// A binary property list from its objects' encoded bytes; references are
/// four bytes wide.
inline std::string binaryPlist(const std::vector<std::string>& objects, uint32_t top = 0) {
  std::string out = "bplist00";
  std::vector<uint32_t> offsets;
  for (const std::string& o : objects) {
    offsets.push_back(uint32_t(out.size()));
    out += o;
  }
  const uint64_t table = out.size();
  auto be = [&](uint64_t v, int width) {
    for (int i = width - 1; i >= 0; --i) out += char((v >> (8 * i)) & 0xFF);
  };
  for (uint32_t off : offsets) be(off, 4);
  out += std::string(6, '\0');
  out += char(4);  // offset size
  out += char(4);  // reference size
  be(objects.size(), 8);
  be(top, 8);
  be(table, 8);
  return out;
}

/// An array (marker 0xA) or dictionary (0xD) holding the given references.
inline std::string container(unsigned char marker, const std::vector<uint32_t>& refs) {
  const size_t count = marker == 0xD0 ? refs.size() / 2 : refs.size();
  std::string o;
  if (count < 15) {
    o += char(marker | count);
  } else {
    o += char(marker | 0x0F);
    o += char(0x12);  // a four-byte integer count
    for (int i = 3; i >= 0; --i) o += char((count >> (8 * i)) & 0xFF);
  }
  for (uint32_t r : refs)
    for (int i = 3; i >= 0; --i) o += char((r >> (8 * i)) & 0xFF);
  return o;
}

inline std::string asciiString(const std::string& s) {
  std::string o;
  if (s.size() < 15) {
    o += char(0x50 | s.size());
  } else {
    o += char(0x5F);
    o += char(0x12);
    for (int i = 3; i >= 0; --i) o += char((s.size() >> (8 * i)) & 0xFF);
  }
  return o + s;
}

/// Arrays nested `depth` levels below the top one, the last one empty.
inline std::string deepBinaryArrays(uint32_t depth) {
  std::vector<std::string> objects;
  for (uint32_t i = 0; i < depth; ++i) objects.push_back(container(0xA0, {i + 1}));
  objects.push_back(container(0xA0, {}));
  return binaryPlist(objects);
}

/// Each level's array holds the next one twice: 2^levels values once every
/// reference is followed, in a few hundred bytes.
inline std::string doublingBinaryArrays(uint32_t levels) {
  std::vector<std::string> objects;
  for (uint32_t i = 0; i < levels; ++i) objects.push_back(container(0xA0, {i + 1, i + 1}));
  objects.push_back(container(0xA0, {}));
  return binaryPlist(objects);
}

inline std::string deepXMLArrays(size_t depth) {
  std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">";
  out.reserve(out.size() + depth * 15 + 32);
  for (size_t i = 0; i <= depth; ++i) out += "<array>";
  for (size_t i = 0; i <= depth; ++i) out += "</array>";
  return out + "</plist>\n";
}

/// A dictionary of `keys` distinct keys, each holding an integer.
inline std::string wideXMLDictionary(size_t keys) {
  std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>";
  for (size_t i = 0; i < keys; ++i) out += "<key>k" + std::to_string(i) + "</key><integer>1</integer>";
  return out + "</dict></plist>\n";
}

}  // namespace largeinputs
