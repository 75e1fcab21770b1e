#pragma once
/// \file
/// Text from the device's data (list names, titles, file names) shown on a
/// terminal: control characters would let the data move the cursor, clear
/// or retitle the screen, so each is shown as "?".

#include <ostream>
#include <streambuf>
#include <string>
#include <string_view>

namespace foundation {

/// text with every C0 control but newline and tab, DEL, and every C1
/// control (U+0080 to U+009F) replaced by "?".
[[nodiscard]] std::string terminalText(std::string_view text);

/// A stream buffer that passes what is written on to another with the
/// control characters of `terminalText` replaced; the hosts put it between
/// their output and the terminal.
class TerminalTextBuffer : public std::streambuf {
 public:
  explicit TerminalTextBuffer(std::streambuf* target) : target_(target) {}

 protected:
  int_type overflow(int_type c) override;
  std::streamsize xsputn(const char* s, std::streamsize n) override;
  int sync() override { return target_->pubsync(); }

 private:
  std::streambuf* target_;
  bool afterC2_ = false;  ///< the last byte began a two-byte UTF-8 character in U+0080..U+00BF
};

/// Filters os (std::cout, std::cerr) for as long as the object lives.
class TerminalTextFilter {
 public:
  explicit TerminalTextFilter(std::ostream& os) : os_(os), buffer_(os.rdbuf()) { os_.rdbuf(&buffer_); }
  ~TerminalTextFilter() {
    os_.flush();
    os_.rdbuf(buffer_.target());
  }
  TerminalTextFilter(const TerminalTextFilter&) = delete;
  TerminalTextFilter& operator=(const TerminalTextFilter&) = delete;

 private:
  struct Buffer : TerminalTextBuffer {
    explicit Buffer(std::streambuf* t) : TerminalTextBuffer(t), target_(t) {}
    [[nodiscard]] std::streambuf* target() const { return target_; }
    std::streambuf* target_;
  };
  std::ostream& os_;
  Buffer buffer_;
};

}  // namespace foundation
