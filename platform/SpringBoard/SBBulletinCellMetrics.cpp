#include <SpringBoard/SBBulletinCellMetrics.h>

#include <UIKit/UIStringDrawing.h>

namespace springboard::cell {

namespace {

constexpr std::string_view kEllipsis = "\u2026";

/// Length of the UTF-8 sequence starting with byte c.
size_t sequenceLength(unsigned char c) {
  if (c < 0x80) return 1;
  if ((c >> 5) == 0x6) return 2;
  if ((c >> 4) == 0xE) return 3;
  if ((c >> 3) == 0x1E) return 4;
  return 1;  // a stray continuation byte stands alone
}

/// Drops the last code point.
void popCodePoint(std::string& s) {
  if (s.empty()) return;
  size_t i = s.size() - 1;
  while (i > 0 && (static_cast<unsigned char>(s[i]) & 0xC0) == 0x80) --i;
  s.erase(i);
}

/// Splits a word too wide for a line into pieces that fit, by code point.
std::vector<std::string> breakWord(std::string_view word, const UIFont* font, double width) {
  std::vector<std::string> pieces;
  std::string piece;
  for (size_t i = 0; i < word.size();) {
    size_t n = std::min(sequenceLength(static_cast<unsigned char>(word[i])), word.size() - i);
    std::string next = piece + std::string(word.substr(i, n));
    if (!piece.empty() && advanceWidth(next, font) > width) {
      pieces.push_back(piece);
      piece = std::string(word.substr(i, n));
    } else {
      piece = std::move(next);
    }
    i += n;
  }
  if (!piece.empty()) pieces.push_back(piece);
  return pieces;
}

std::vector<std::string> words(std::string_view text) {
  std::vector<std::string> out;
  std::string word;
  for (char c : text) {
    if (c == ' ' || c == '\n' || c == '\t' || c == '\r') {
      if (!word.empty()) out.push_back(std::move(word));
      word.clear();
    } else {
      word += c;
    }
  }
  if (!word.empty()) out.push_back(std::move(word));
  return out;
}

}  // namespace

Ref<UIFont> titleFont() { return UIFont::boldSystemFontOfSize(15); }
Ref<UIFont> subtitleFont() { return UIFont::systemFontOfSize(14); }
Ref<UIFont> messageFont() { return UIFont::systemFontOfSize(14); }
Ref<UIFont> dateFont() { return UIFont::systemFontOfSize(12); }
Ref<UIFont> unlockFont() { return UIFont::systemFontOfSize(12); }

double lineHeight(const UIFont* font) { return sizeWithFont(std::string_view("AAAAAAAAAAA"), font).height; }

std::vector<std::string> wrapLines(std::string_view text, const UIFont* font, double width, int maxLines) {
  std::vector<std::string> lines;
  if (maxLines <= 0 || width <= 0) return lines;
  std::vector<std::string> pieces;
  for (auto& word : words(text)) {
    if (advanceWidth(word, font) <= width)
      pieces.push_back(std::move(word));
    else
      for (auto& piece : breakWord(word, font, width)) pieces.push_back(std::move(piece));
  }
  std::string line;
  size_t i = 0;
  for (; i < pieces.size(); ++i) {
    std::string candidate = line.empty() ? pieces[i] : line + " " + pieces[i];
    if (line.empty() || advanceWidth(candidate, font) <= width) {
      line = std::move(candidate);
      continue;
    }
    lines.push_back(std::move(line));
    line = pieces[i];
    if (static_cast<int>(lines.size()) == maxLines) break;
  }
  if (static_cast<int>(lines.size()) < maxLines) {
    if (!line.empty()) lines.push_back(std::move(line));
    return lines;
  }
  // Text is left over: the last line ends in an ellipsis that fits.
  std::string& last = lines.back();
  while (!last.empty() && advanceWidth(last + std::string(kEllipsis), font) > width) popCodePoint(last);
  last += kEllipsis;
  return lines;
}

double rowHeight(std::string_view subtitle, std::string_view message, double width) {
  const double textWidth = width - kTextLeft - kRightMargin;
  auto message14 = messageFont();
  double height = kTopMargin + lineHeight(titleFont().get());
  if (!subtitle.empty()) height += lineHeight(subtitleFont().get());
  height += static_cast<double>(wrapLines(message, message14.get(), textWidth, kMaxMessageLines).size()) *
            lineHeight(message14.get());
  height += lineHeight(unlockFont().get());
  return height + kBottomMargin;
}

}  // namespace springboard::cell
