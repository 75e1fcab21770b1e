#include <Foundation/NSFormat.h>

#include <cstdio>
#include <string>

namespace foundation {

namespace {

constexpr std::string_view kMissing = "(missing)";
constexpr std::string_view kBadArgument = "(bad argument)";

/// One conversion: "%" flags width .precision length conversion.
struct Conversion {
  std::string flags;
  int width = -1;
  int precision = -1;
  enum class Length { Int, Char, Short, Long } length = Length::Int;
  char conversion = 0;
  size_t size = 0;  ///< characters of the format it spans
};

/// Parses the conversion at format[at] (a "%"); conversion stays 0 when
/// it is not one this formatter knows.
Conversion parseConversion(std::string_view f, size_t at) {
  Conversion s;
  size_t i = at + 1;
  while (i < f.size() && std::string_view("-+ #0'").find(f[i]) != std::string_view::npos) s.flags += f[i++];
  auto number = [&](int& out) {
    if (i >= f.size() || f[i] < '0' || f[i] > '9') return;
    out = 0;
    while (i < f.size() && f[i] >= '0' && f[i] <= '9') {
      if (out < 10000) out = out * 10 + (f[i] - '0');  // wider fields are not worth honouring
      ++i;
    }
  };
  number(s.width);
  if (i < f.size() && f[i] == '.') {
    ++i;
    s.precision = 0;
    number(s.precision);
  }
  if (f.substr(i, 2) == "hh")
    s.length = Conversion::Length::Char, i += 2;
  else if (i < f.size() && f[i] == 'h')
    s.length = Conversion::Length::Short, ++i;
  else if (f.substr(i, 2) == "ll")
    s.length = Conversion::Length::Long, i += 2;
  else if (i < f.size() && std::string_view("lqzjtL").find(f[i]) != std::string_view::npos)
    s.length = Conversion::Length::Long, ++i;
  if (i < f.size() && std::string_view("@diuxXofFeEgGscp%").find(f[i]) != std::string_view::npos) s.conversion = f[i++];
  s.size = i - at;
  return s;
}

std::string printfConversion(const Conversion& s, const char* length, char conversion) {
  std::string out = "%" + s.flags;
  if (s.width >= 0) out += std::to_string(s.width);
  if (s.precision >= 0) out += "." + std::to_string(s.precision);
  return out + length + conversion;
}

template <class T>
std::string printf1(const std::string& pattern, T value) {
  char buf[128];
  int n = std::snprintf(buf, sizeof buf, pattern.c_str(), value);
  if (n < 0) return std::string(kBadArgument);
  if (size_t(n) < sizeof buf) return std::string(buf, size_t(n));
  std::string big(size_t(n) + 1, '\0');
  std::snprintf(big.data(), big.size(), pattern.c_str(), value);
  big.resize(size_t(n));
  return big;
}

std::string pad(std::string text, const Conversion& s) {
  if (s.width > 0 && text.size() < size_t(s.width)) {
    const std::string fill(size_t(s.width) - text.size(), ' ');
    text = s.flags.find('-') != std::string::npos ? text + fill : fill + text;
  }
  return text;
}

/// The 64-bit two's-complement pattern of an integer argument.
bool integerBits(const FormatArg::Value& v, uint64_t& bits, bool& isSigned) {
  if (auto* i = std::get_if<int64_t>(&v)) return bits = uint64_t(*i), isSigned = true, true;
  if (auto* u = std::get_if<uint64_t>(&v)) return bits = *u, isSigned = false, true;
  return false;
}

std::string formatInteger(const Conversion& s, const FormatArg::Value& v) {
  uint64_t bits = 0;
  bool isSigned = false;
  if (!integerBits(v, bits, isSigned)) return std::string(kBadArgument);
  const bool signedConversion = s.conversion == 'd' || s.conversion == 'i';
  // Narrow conversions read the low bits, as a C vararg of that width would.
  long long sv = 0;
  unsigned long long uv = 0;
  switch (s.length) {
    case Conversion::Length::Long: sv = (long long)(int64_t)bits, uv = bits; break;
    case Conversion::Length::Int: sv = (int32_t)(uint32_t)bits, uv = (uint32_t)bits; break;
    case Conversion::Length::Short: sv = (int16_t)(uint16_t)bits, uv = (uint16_t)bits; break;
    case Conversion::Length::Char:
      // %hhd is signed: the sign extension is the point.
      // NOLINTNEXTLINE(bugprone-signed-char-misuse)
      sv = static_cast<long long>(static_cast<int8_t>(static_cast<uint8_t>(bits)));
      uv = (uint8_t)bits;
      break;
  }
  const std::string pattern = printfConversion(s, "ll", s.conversion);
  return signedConversion ? printf1(pattern, sv) : printf1(pattern, uv);
}

std::string formatOne(const Conversion& s, const FormatArg* arg) {
  if (!arg || std::holds_alternative<std::monostate>(arg->value())) return std::string(kMissing);
  const auto& v = arg->value();
  switch (s.conversion) {
    case '@':
      if (auto* obj = std::get_if<id>(&v)) return pad(*obj ? (*obj)->descriptionString() : "(null)", s);
      if (auto* text = std::get_if<std::string>(&v)) return pad(*text, s);  // text prints as its own description
      return std::string(kBadArgument);
    case 's':
      if (auto* text = std::get_if<std::string>(&v)) {
        std::string out = s.precision >= 0 ? text->substr(0, size_t(s.precision)) : *text;
        return pad(std::move(out), s);
      }
      return std::string(kBadArgument);
    case 'f':
    case 'F':
    case 'e':
    case 'E':
    case 'g':
    case 'G':
      if (auto* d = std::get_if<double>(&v)) return printf1(printfConversion(s, "", s.conversion), *d);
      return std::string(kBadArgument);
    case 'c': {
      uint64_t bits = 0;
      bool isSigned = false;
      if (!integerBits(v, bits, isSigned)) return std::string(kBadArgument);
      return pad(std::string(1, char(bits & 0xFF)), s);
    }
    case 'p': {
      auto* obj = std::get_if<id>(&v);
      if (!obj) return std::string(kBadArgument);
      return printf1(printfConversion(s, "", 'p'), static_cast<const void*>(obj->get()));
    }
    default: return formatInteger(s, v);
  }
}

}  // namespace

std::string formatString(std::string_view format, std::span<const FormatArg> args) {
  std::string out;
  out.reserve(format.size() + 16 * args.size());
  size_t next = 0;
  for (size_t i = 0; i < format.size();) {
    const size_t pct = format.find('%', i);
    if (pct == std::string_view::npos) {
      out.append(format.substr(i));
      break;
    }
    out.append(format.substr(i, pct - i));
    const Conversion s = parseConversion(format, pct);
    if (s.conversion == '%') {
      out += '%';
    } else if (s.conversion == 0) {
      out.append(format.substr(pct, s.size));  // not a specifier: kept as written
    } else {
      out += formatOne(s, next < args.size() ? &args[next] : nullptr);
      ++next;
    }
    i = pct + s.size;
  }
  return out;
}

}  // namespace foundation
