// The event script: words from the command line and lines from a file.

#include "EventScript.h"

#include <gtest/gtest.h>

using sbhost::Event;
using sbhost::ScriptError;

TEST(EventWords, EachEventWordStartsAnEventAndNotifyTakesAnOptionalMessage) {
  auto events = sbhost::parseEventWords({"notify", "com.apple.MobileSMS", "Anna", "wait", "5", "notify",
                                         "com.apple.mobilemail", "Ben", "Hello there", "tap", "2", "now-playing",
                                         "close", "scroll", "-40.5", "clear", "lock"});
  ASSERT_EQ(events.size(), 8u);
  EXPECT_EQ(events[0].kind, Event::Kind::Notify);
  EXPECT_EQ(events[0].title, "Anna");
  EXPECT_EQ(events[0].message, "");
  EXPECT_EQ(events[1].amount, 5);
  EXPECT_EQ(events[2].message, "Hello there");
  EXPECT_EQ(events[3].row, 2);
  EXPECT_FALSE(events[4].open);
  EXPECT_DOUBLE_EQ(events[5].amount, -40.5);
  EXPECT_EQ(events[6].kind, Event::Kind::Clear);
  EXPECT_EQ(events[7].kind, Event::Kind::Lock);
  EXPECT_EQ(events[2].text(), "notify com.apple.mobilemail Ben \"Hello there\"");
}

TEST(EventWords, BadWordsSayWhereTheyStand) {
  auto message = [](std::vector<std::string> words) {
    try {
      sbhost::parseEventWords(words);
    } catch (const ScriptError& e) {
      return std::string(e.what());
    }
    return std::string("no error");
  };
  EXPECT_EQ(message({"lock", "jump"}), "argument 2: unknown event 'jump' (see --help for the events)");
  EXPECT_NE(message({"tap"}).find("tap is missing an argument"), std::string::npos);
  EXPECT_NE(message({"tap", "-1"}).find("row number"), std::string::npos);
  EXPECT_NE(message({"tap", "two"}).find("row number"), std::string::npos);
  EXPECT_NE(message({"wait", "-3"}).find("back in time"), std::string::npos);
  EXPECT_NE(message({"wait", "5s"}).find("needs a number"), std::string::npos);
  EXPECT_NE(message({"now-playing", "toggle"}).find("open or close"), std::string::npos);
  EXPECT_NE(message({"notify", "com.apple.MobileSMS"}).find("missing an argument"), std::string::npos);
}

TEST(EventScript, QuotesCommentsAndBlankLines) {
  auto events = sbhost::parseEventScript(
      "# a morning\n\nnotify com.apple.MobileSMS \"Anna Berg\" 'See you at #6'  # two words each\r\n"
      "  now-playing open\nwait 5\ntap 0\n",
      "morning.txt");
  ASSERT_EQ(events.size(), 4u);
  EXPECT_EQ(events[0].title, "Anna Berg");
  EXPECT_EQ(events[0].message, "See you at #6");
  EXPECT_EQ(events[1].kind, Event::Kind::NowPlaying);
  EXPECT_EQ(events[3].where, "morning.txt:6");

  // A carriage return inside quotes belongs to the word; written back, the
  // event is quoted so that it reads as the same word again.
  const auto cr = sbhost::parseEventScript("notify app \"a\rb\"", "cr.txt");
  ASSERT_EQ(cr.size(), 1u);
  EXPECT_EQ(cr[0].title, "a\rb");
  EXPECT_EQ(sbhost::parseEventScript(cr[0].text(), "again.txt").at(0).title, "a\rb");
}

TEST(EventScript, ErrorsNameTheLine) {
  auto expectError = [](std::string_view text, std::string_view start) {
    try {
      sbhost::parseEventScript(text, "s.txt");
      ADD_FAILURE() << "no error for " << text;
    } catch (const ScriptError& e) {
      EXPECT_EQ(std::string(e.what()).substr(0, start.size()), start) << e.what();
    }
  };
  expectError("lock\nfly away\n", "s.txt:2: unknown event 'fly'");
  expectError("lock\n\nclear now\n", "s.txt:3: clear takes 0 argument(s)");
  expectError("notify a \"unterminated\n", "s.txt:1: unterminated quote");
  // A line holds one event: a second event word is an argument too many.
  expectError("tap 0 tap 1\n", "s.txt:1: tap takes 1 argument(s)");
}
