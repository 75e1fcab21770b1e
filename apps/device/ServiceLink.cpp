#include "ServiceLink.h"

#include <poll.h>
#include <unistd.h>
#include <cerrno>
#include <csignal>

namespace device {

ServiceLink::ServiceLink() {
  out_ = ::dup(1);
  ::dup2(2, 1);
  // Ctrl-C reaches the whole terminal group; the server decides when the
  // children end, by closing their input.
  std::signal(SIGINT, SIG_IGN);
  std::signal(SIGPIPE, SIG_IGN);
}

ServiceLink::Wait ServiceLink::next(std::chrono::milliseconds timeout, nlohmann::json& request) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    const size_t end = buffer_.find('\n');
    if (end != std::string::npos) {
      request = nlohmann::json::parse(buffer_.substr(0, end), nullptr, false);
      buffer_.erase(0, end + 1);
      return Wait::Request;
    }
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now()).count();
    pollfd p{in_, POLLIN, 0};
    const int n = ::poll(&p, 1, left < 0 ? 0 : static_cast<int>(left));
    if (n < 0 && errno == EINTR) continue;
    if (n == 0) return Wait::Idle;
    if (n < 0) return Wait::Closed;
    char chunk[4096];
    const ssize_t got = ::read(in_, chunk, sizeof chunk);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return Wait::Closed;
    buffer_.append(chunk, static_cast<size_t>(got));
  }
}

void ServiceLink::reply(nlohmann::json head, const std::optional<std::string>& bytes) {
  if (bytes) head["bytes"] = bytes->size();
  std::string text = head.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
  if (bytes) text += *bytes;
  size_t sent = 0;
  while (sent < text.size()) {
    const ssize_t n = ::write(out_, text.data() + sent, text.size() - sent);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;
    sent += static_cast<size_t>(n);
  }
}

}  // namespace device
