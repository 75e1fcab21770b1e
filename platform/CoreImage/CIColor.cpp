#include <CoreImage/CIColor.h>

#include <objc/ClassBuilder.h>

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>

Class CIColor::classObject() {
  static Class cls = objc::ClassBuilder<CIColor, NSObject>("CIColor").build();
  return cls;
}
OBJC_REGISTER_CLASS(CIColor);

namespace {

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }

// One component as Foundation reads numbers out of text: as much of a
// decimal as stands at the start of the word; nothing readable, or a value
// that is not finite, counts as 0.
double readComponent(std::string_view word) {
  if (!word.empty() && word.front() == '+') word.remove_prefix(1);
  double v = 0;
  auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), v);
  if (ec != std::errc() || end == word.data() || !std::isfinite(v)) return 0;
  return v;
}

}  // namespace

Ref<CIColor> CIColor::colorWithCGColor(const CGColor* color) {
  if (!color) return nullptr;
  return objc::create<CIColor>(color->red(), color->green(), color->blue(), color->alpha());
}

Ref<CIColor> CIColor::colorWithString(std::string_view text) {
  // The text form may stand in brackets: "[1 0.5 0 1]".
  while (!text.empty() && isSpace(text.front())) text.remove_prefix(1);
  while (!text.empty() && isSpace(text.back())) text.remove_suffix(1);
  if (!text.empty() && text.front() == '[') text.remove_prefix(1);
  if (!text.empty() && text.back() == ']') text.remove_suffix(1);

  std::array<double, 4> c{0, 0, 0, 1};
  size_t count = 0;
  size_t i = 0;
  while (i < text.size() && count < c.size()) {
    while (i < text.size() && isSpace(text[i])) ++i;
    size_t start = i;
    while (i < text.size() && !isSpace(text[i])) ++i;
    if (i > start) c[count++] = readComponent(text.substr(start, i - start));
  }
  if (count == 0) return objc::create<CIColor>(0, 0, 0, 0);
  return objc::create<CIColor>(c[0], c[1], c[2], c[3]);
}

std::string CIColor::stringRepresentation() const {
  // The rows of one list ask for the text of the same colour again and
  // again; the last answer on this thread is kept, matched bit for bit.
  thread_local std::array<double, 4> lastColour{std::nan(""), 0, 0, 0};
  thread_local std::string lastText;
  const std::array<double, 4> colour{r_, g_, b_, a_};
  const auto sameBits = [](double a, double b) { return std::bit_cast<uint64_t>(a) == std::bit_cast<uint64_t>(b); };
  if (std::equal(colour.begin(), colour.end(), lastColour.begin(), sameBits)) return lastText;
  std::string out;
  for (double v : {r_, g_, b_, a_}) {
    if (!std::isfinite(v) || v == 0) v = 0;  // no "-0", no "nan" in the text form
    char buf[32];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v);
    if (!out.empty()) out += ' ';
    out.append(buf, ec == std::errc() ? end : buf);
  }
  lastColour = colour;
  lastText = out;
  return out;
}
