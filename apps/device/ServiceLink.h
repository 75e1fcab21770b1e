#pragma once
/// \file
/// The child's end of the pipe to the web server: requests in, answers out.

#include <nlohmann/json.hpp>

#include <chrono>
#include <optional>
#include <string>

namespace device {

class ServiceLink {
 public:
  /// Takes over the process's input and output; stray prints to standard
  /// output go to standard error from then on, so they never mix with answers.
  ServiceLink();

  enum class Wait { Request, Idle, Closed };
  /// Waits up to timeout for a request line; Idle when none came, Closed
  /// when the server closed the pipe. request holds the parsed line (a
  /// discarded value for a line that is not JSON).
  Wait next(std::chrono::milliseconds timeout, nlohmann::json& request);

  /// Writes an answer, and after it the bytes when given.
  void reply(nlohmann::json head, const std::optional<std::string>& bytes = std::nullopt);

 private:
  int in_ = 0, out_ = -1;
  std::string buffer_;
};

}  // namespace device
