#include "EventScript.h"

#include <fmt/format.h>

#include <charconv>
#include <cmath>

namespace sbhost {

const char* const kEventHelp =
    R"(Events (run in order after the first lock; give them as words, or one a line with --script):
  lock                       locks the screen again: a new lock-screen view and list load
  notify APP TITLE [MESSAGE] another application's bulletin arrives (APP is its bundle
                             identifier, e.g. com.apple.MobileSMS)
  now-playing open|close     opens or closes the now-playing overlay (music controls)
  wait SECONDS               advances the device clock, firing the timers that come due
  tap ROW                    taps row ROW (from 0): prints the address opened or the
                             application launched, or that the row has no action
  swipe ROW                  swipes row ROW: clears it when the list lets it be edited
  clear                      the notification centre clears every row it may
  scroll POINTS              scrolls the list by POINTS (negative: back up)
In a script, "#" starts a comment and quotes keep blanks: notify com.apple.MobileSMS "Anna" "See you")";

namespace {

struct EventShape {
  std::string_view word;
  Event::Kind kind;
  size_t minArgs, maxArgs;
};

constexpr EventShape kEventShapes[] = {
    {"lock", Event::Kind::Lock, 0, 0},
    {"notify", Event::Kind::Notify, 2, 3},
    {"now-playing", Event::Kind::NowPlaying, 1, 1},
    {"wait", Event::Kind::Wait, 1, 1},
    {"tap", Event::Kind::Tap, 1, 1},
    {"swipe", Event::Kind::Swipe, 1, 1},
    {"clear", Event::Kind::Clear, 0, 0},
    {"scroll", Event::Kind::Scroll, 1, 1},
};

const EventShape* shapeOf(std::string_view word) {
  for (const auto& s : kEventShapes)
    if (s.word == word) return &s;
  return nullptr;
}

[[noreturn]] void fail(const std::string& where, const std::string& what) {
  throw ScriptError(fmt::format("{}: {}", where, what));
}

double parseNumber(const std::string& text, const std::string& where, std::string_view event) {
  double v = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
  if (ec != std::errc() || end != text.data() + text.size() || !std::isfinite(v))
    fail(where, fmt::format("{} needs a number, not '{}'", event, text));
  return v;
}

int64_t parseRow(const std::string& text, const std::string& where, std::string_view event) {
  int64_t v = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
  if (ec != std::errc() || end != text.data() + text.size() || v < 0)
    fail(where, fmt::format("{} needs a row number from 0, not '{}'", event, text));
  return v;
}

Event makeEvent(const EventShape& shape, const std::vector<std::string>& args, const std::string& where) {
  Event e;
  e.kind = shape.kind;
  e.where = where;
  switch (shape.kind) {
    case Event::Kind::Notify:
      e.app = args[0];
      e.title = args[1];
      if (args.size() > 2) e.message = args[2];
      if (e.app.empty()) fail(where, "notify needs an application bundle identifier");
      break;
    case Event::Kind::NowPlaying:
      if (args[0] != "open" && args[0] != "close")
        fail(where, fmt::format("now-playing takes open or close, not '{}'", args[0]));
      e.open = args[0] == "open";
      break;
    case Event::Kind::Wait:
      e.amount = parseNumber(args[0], where, "wait");
      if (e.amount < 0) fail(where, "wait cannot go back in time");
      break;
    case Event::Kind::Scroll: e.amount = parseNumber(args[0], where, "scroll"); break;
    case Event::Kind::Tap: e.row = parseRow(args[0], where, "tap"); break;
    case Event::Kind::Swipe: e.row = parseRow(args[0], where, "swipe"); break;
    case Event::Kind::Lock:
    case Event::Kind::Clear: break;
  }
  return e;
}

std::string usage(const EventShape& shape) {
  switch (shape.kind) {
    case Event::Kind::Notify: return "notify APP TITLE [MESSAGE]";
    case Event::Kind::NowPlaying: return "now-playing open|close";
    case Event::Kind::Wait: return "wait SECONDS";
    case Event::Kind::Tap: return "tap ROW";
    case Event::Kind::Swipe: return "swipe ROW";
    case Event::Kind::Scroll: return "scroll POINTS";
    default: return std::string(shape.word);
  }
}

std::string quoted(const std::string& s) {
  // Every character that ends or starts a word unquoted, the carriage
  // return included, so the text reads back as the same word.
  if (!s.empty() && s.find_first_of(" \t\r\"'\\#") == std::string::npos) return s;
  std::string out = "\"";
  for (char c : s) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  return out + "\"";
}

std::string number(double v) { return fmt::format("{}", v); }

}  // namespace

std::string Event::text() const {
  switch (kind) {
    case Kind::Lock: return "lock";
    case Kind::Notify:
      return fmt::format("notify {} {}{}", quoted(app), quoted(title), message.empty() ? "" : " " + quoted(message));
    case Kind::NowPlaying: return open ? "now-playing open" : "now-playing close";
    case Kind::Wait: return "wait " + number(amount);
    case Kind::Tap: return fmt::format("tap {}", row);
    case Kind::Swipe: return fmt::format("swipe {}", row);
    case Kind::Clear: return "clear";
    case Kind::Scroll: return "scroll " + number(amount);
  }
  return {};
}

std::vector<std::string> splitScriptLine(std::string_view line) {
  std::vector<std::string> words;
  std::string word;
  bool inWord = false;
  char quote = 0;
  for (size_t i = 0; i < line.size(); ++i) {
    char c = line[i];
    if (quote) {
      if (c == quote)
        quote = 0;
      else if (c == '\\' && quote == '"' && i + 1 < line.size())
        word += line[++i];
      else
        word += c;
      continue;
    }
    if (c == '#') break;
    if (c == ' ' || c == '\t' || c == '\r') {
      if (inWord) words.push_back(std::move(word));
      word.clear();
      inWord = false;
    } else if (c == '"' || c == '\'') {
      quote = c;
      inWord = true;
    } else if (c == '\\' && i + 1 < line.size()) {
      word += line[++i];
      inWord = true;
    } else {
      word += c;
      inWord = true;
    }
  }
  if (quote) throw ScriptError("unterminated quote");
  if (inWord) words.push_back(std::move(word));
  return words;
}

std::vector<Event> parseEventWords(const std::vector<std::string>& words) {
  std::vector<Event> events;
  size_t i = 0;
  while (i < words.size()) {
    std::string where = fmt::format("argument {}", i + 1);
    const EventShape* shape = shapeOf(words[i]);
    if (!shape) fail(where, fmt::format("unknown event '{}' (see --help for the events)", words[i]));
    ++i;
    std::vector<std::string> args;
    while (args.size() < shape->maxArgs && i < words.size()) {
      // Optional arguments stop at the next event word.
      if (args.size() >= shape->minArgs && shapeOf(words[i])) break;
      args.push_back(words[i++]);
    }
    if (args.size() < shape->minArgs)
      fail(where, fmt::format("{} is missing an argument (usage: {})", shape->word, usage(*shape)));
    events.push_back(makeEvent(*shape, args, where));
  }
  return events;
}

std::vector<Event> parseEventScript(std::string_view text, std::string_view source) {
  std::vector<Event> events;
  size_t lineNo = 0, start = 0;
  while (start <= text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    ++lineNo;
    std::string where = fmt::format("{}:{}", source, lineNo);
    std::vector<std::string> words;
    try {
      words = splitScriptLine(line);
    } catch (const ScriptError& e) {
      fail(where, e.what());
    }
    if (!words.empty()) {
      const EventShape* shape = shapeOf(words[0]);
      if (!shape) fail(where, fmt::format("unknown event '{}' (see --help for the events)", words[0]));
      std::vector<std::string> args(words.begin() + 1, words.end());
      if (args.size() < shape->minArgs || args.size() > shape->maxArgs)
        fail(where, fmt::format("{} takes {} (usage: {})", shape->word,
                                shape->minArgs == shape->maxArgs
                                    ? fmt::format("{} argument(s)", shape->minArgs)
                                    : fmt::format("{} to {} arguments", shape->minArgs, shape->maxArgs),
                                usage(*shape)));
      events.push_back(makeEvent(*shape, args, where));
    }
    if (end == text.size()) break;
    start = end + 1;
  }
  return events;
}

}  // namespace sbhost
