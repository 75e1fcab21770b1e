#pragma once
/// \file
/// The event script a person drives the lock screen with: events given as
/// command-line words, or read from a file one event a line.

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace sbhost {

struct Event {
  enum class Kind { Lock, Notify, NowPlaying, Wait, Tap, Swipe, Clear, Scroll };
  Kind kind = Kind::Lock;
  std::string app, title, message;  ///< notify
  bool open = true;                 ///< now-playing open|close
  double amount = 0;                ///< wait seconds, scroll points
  int64_t row = 0;                  ///< tap, swipe
  std::string where;                ///< "argument 3" or "script.txt:4", for messages

  /// The event as it would be written in a script.
  [[nodiscard]] std::string text() const;
};

/// A script that cannot be run: an unknown event, a missing or bad argument.
class ScriptError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

/// The words of one script line, split at blanks; double or single quotes
/// keep blanks, a backslash escapes the next character; a "#" outside quotes
/// starts a comment.
std::vector<std::string> splitScriptLine(std::string_view line);

/// Events from command-line words: each event word starts an event, the
/// words after it up to the next event word are its arguments.
std::vector<Event> parseEventWords(const std::vector<std::string>& words);

/// Events from script text, one a line; blank and comment lines are skipped.
/// source names the script in messages.
std::vector<Event> parseEventScript(std::string_view text, std::string_view source);

/// The --help text that explains the events.
extern const char* const kEventHelp;

}  // namespace sbhost
