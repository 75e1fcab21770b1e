#include <Foundation/PropertyListShape.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <optional>
#include <vector>

namespace foundation {

namespace {

constexpr std::string_view kBinaryMagic = "bplist00";
constexpr size_t kTrailerSize = 32;
/// About 30,000 years either side of 2001.
constexpr double kMaxDateSeconds = 1e12;

/// A big-endian unsigned integer of 1 to 8 bytes.
uint64_t readBigEndian(const unsigned char* p, size_t width) {
  uint64_t v = 0;
  for (size_t i = 0; i < width; ++i) v = (v << 8) | p[i];
  return v;
}

class BinaryLayout {
 public:
  /// The trailer's fields, checked against the file's size.
  static std::optional<BinaryLayout> read(std::string_view bytes) {
    if (bytes.size() < kBinaryMagic.size() + kTrailerSize || bytes.substr(0, kBinaryMagic.size()) != kBinaryMagic)
      return std::nullopt;
    BinaryLayout l;
    l.data_ = reinterpret_cast<const unsigned char*>(bytes.data());
    const unsigned char* trailer = l.data_ + bytes.size() - kTrailerSize;
    l.offsetSize_ = trailer[6];
    l.refSize_ = trailer[7];
    l.count_ = readBigEndian(trailer + 8, 8);
    l.top_ = readBigEndian(trailer + 16, 8);
    const uint64_t table = readBigEndian(trailer + 24, 8);
    const uint64_t trailerAt = bytes.size() - kTrailerSize;
    if (l.offsetSize_ < 1 || l.offsetSize_ > 8 || l.refSize_ < 1 || l.refSize_ > 8) return std::nullopt;
    if (l.count_ == 0 || l.top_ >= l.count_) return std::nullopt;
    if (table < kBinaryMagic.size() || table >= trailerAt) return std::nullopt;
    // count_ * offsetSize_ must fit between the table's start and the trailer.
    if (l.count_ > (trailerAt - table) / l.offsetSize_) return std::nullopt;
    l.table_ = table;
    return l;
  }

  [[nodiscard]] uint64_t count() const { return count_; }
  [[nodiscard]] uint64_t top() const { return top_; }

  /// A container's references: where they start and how many there are;
  /// nullopt for a value that holds none, false in `ok` for a bad layout.
  struct Refs {
    uint64_t at = 0, count = 0;
  };
  std::optional<Refs> containerRefs(uint64_t object, bool& ok) const {
    ok = false;
    const uint64_t offset = readBigEndian(data_ + table_ + object * offsetSize_, offsetSize_);
    if (offset < kBinaryMagic.size() || offset >= table_) return std::nullopt;
    const unsigned marker = data_[offset];
    const unsigned type = marker & 0xF0;
    if (marker == 0x33) {
      // A date: eight bytes of seconds. libplist converts them to integers
      // unchecked, so only dates a calendar can name are let through.
      if (table_ - offset - 1 < 8) return std::nullopt;
      const uint64_t bits = readBigEndian(data_ + offset + 1, 8);
      double seconds = 0;
      std::memcpy(&seconds, &bits, sizeof seconds);
      ok = std::isfinite(seconds) && std::fabs(seconds) <= kMaxDateSeconds;
      return std::nullopt;
    }
    ok = true;
    if (type != 0xA0 && type != 0xC0 && type != 0xD0) return std::nullopt;  // array, set, dictionary
    uint64_t at = offset + 1, n = marker & 0x0F;
    if (n == 0x0F) {
      // The count follows as an integer object of 2^k bytes.
      if (at >= table_ || (data_[at] & 0xF0) != 0x10 || (data_[at] & 0x0F) > 3) return ok = false, std::nullopt;
      const uint64_t width = uint64_t(1) << (data_[at] & 0x0F);
      if (table_ - at - 1 < width) return ok = false, std::nullopt;
      n = readBigEndian(data_ + at + 1, width);
      at += 1 + width;
    }
    const uint64_t refs = type == 0xD0 ? n * 2 : n;
    if ((type == 0xD0 && n > UINT64_MAX / 2) || at > table_ || refs > (table_ - at) / refSize_)
      return ok = false, std::nullopt;
    return Refs{at, refs};
  }

  [[nodiscard]] uint64_t ref(uint64_t at, uint64_t index) const {
    return readBigEndian(data_ + at + index * refSize_, refSize_);
  }

 private:
  const unsigned char* data_ = nullptr;
  unsigned offsetSize_ = 0, refSize_ = 0;
  uint64_t count_ = 0, top_ = 0, table_ = 0;
};

}  // namespace

PropertyListShape binaryPropertyListShape(std::string_view bytes, const PropertyListLimits& limits) {
  const auto layout = BinaryLayout::read(bytes);
  if (!layout) return PropertyListShape::Malformed;

  struct Frame {
    uint64_t object;
    BinaryLayout::Refs refs;
    uint64_t next;
  };
  std::vector<Frame> path;                    // the containers from the top object down
  std::vector<bool> onPath(layout->count());  // bounded: each object has an offset in the file
  size_t objects = 0;

  // Visits one object at depth path.size(); containers join the path.
  auto visit = [&](uint64_t object) -> std::optional<PropertyListShape> {
    if (object >= layout->count()) return PropertyListShape::Malformed;
    if (++objects > limits.maxObjects) return PropertyListShape::TooLarge;
    if (path.size() > limits.maxDepth) return PropertyListShape::TooDeep;
    if (onPath[object]) return PropertyListShape::Cycle;
    bool ok = false;
    const auto refs = layout->containerRefs(object, ok);
    if (!ok) return PropertyListShape::Malformed;
    if (refs) {
      path.push_back({object, *refs, 0});
      onPath[object] = true;
    }
    return std::nullopt;
  };

  if (auto verdict = visit(layout->top())) return *verdict;
  while (!path.empty()) {
    Frame& f = path.back();
    if (f.next == f.refs.count) {
      onPath[f.object] = false;
      path.pop_back();
      continue;
    }
    const uint64_t child = layout->ref(f.refs.at, f.next++);
    if (auto verdict = visit(child)) return *verdict;
  }
  return PropertyListShape::Fits;
}

PropertyListShape xmlPropertyListShape(std::string_view text, const PropertyListLimits& limits) {
  size_t depth = 0, objects = 0;
  size_t at = 0;
  // Skips past `close` from `from`; false when the text ends first (libplist
  // then refuses the file itself).
  auto skipPast = [&](size_t from, std::string_view close) {
    const size_t end = text.find(close, from);
    if (end == std::string_view::npos) return false;
    at = end + close.size();
    return true;
  };
  while ((at = text.find('<', at)) != std::string_view::npos) {
    const std::string_view rest = text.substr(at);
    if (rest.starts_with("<!--")) {
      if (!skipPast(at + 4, "-->")) break;
      continue;
    }
    if (rest.starts_with("<![CDATA[")) {
      if (!skipPast(at + 9, "]]>")) break;
      continue;
    }
    if (rest.starts_with("<?")) {
      if (!skipPast(at + 2, "?>")) break;
      continue;
    }
    const size_t end = text.find('>', at);
    if (end == std::string_view::npos) break;
    const std::string_view tag = text.substr(at + 1, end - at - 1);
    at = end + 1;
    if (tag.empty() || tag[0] == '!') continue;  // a document type
    const bool closing = tag[0] == '/';
    const bool empty = tag.back() == '/';
    std::string_view name = tag.substr(closing ? 1 : 0);
    name = name.substr(0, name.find_first_of(" \t\r\n/"));
    const bool container = name == "array" || name == "dict";
    if (closing) {
      if (container && depth > 0) --depth;
      continue;
    }
    if (name == "plist") continue;
    // Values nest below the top one: the top value sits at depth 0.
    if (depth > limits.maxDepth) return PropertyListShape::TooDeep;
    if (++objects > limits.maxObjects) return PropertyListShape::TooLarge;
    if (container && !empty) ++depth;
  }
  return PropertyListShape::Fits;
}

}  // namespace foundation
