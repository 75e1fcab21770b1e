#include <Foundation/TerminalText.h>

namespace foundation {

namespace {
bool isC0orDel(unsigned char c) { return (c < 0x20 && c != '\n' && c != '\t') || c == 0x7f; }
}  // namespace

std::string terminalText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (isC0orDel(c)) {
      out += '?';
    } else if (c == 0xc2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
               static_cast<unsigned char>(text[i + 1]) <= 0x9f) {
      out += '?';
      ++i;
    } else {
      out += char(c);
    }
  }
  return out;
}

TerminalTextBuffer::int_type TerminalTextBuffer::overflow(int_type c) {
  if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
  const char ch = traits_type::to_char_type(c);
  return xsputn(&ch, 1) == 1 ? c : traits_type::eof();
}

std::streamsize TerminalTextBuffer::xsputn(const char* s, std::streamsize n) {
  // A C1 control is two bytes that may arrive in two writes: the lead byte
  // 0xC2 is held back until the next byte tells what it begins.
  for (std::streamsize i = 0; i < n; ++i) {
    const auto c = static_cast<unsigned char>(s[i]);
    if (afterC2_) {
      afterC2_ = false;
      if (c >= 0x80 && c <= 0x9f) {
        if (target_->sputc('?') == traits_type::eof()) return i;
        continue;
      }
      if (target_->sputc(char(0xc2)) == traits_type::eof()) return i;
    }
    if (c == 0xc2) {
      afterC2_ = true;
      continue;
    }
    if (target_->sputc(isC0orDel(c) ? '?' : char(c)) == traits_type::eof()) return i;
  }
  return n;
}

}  // namespace foundation
