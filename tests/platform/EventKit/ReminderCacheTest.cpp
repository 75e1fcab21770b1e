#include "ReminderRoot.h"

#include <EventKit/ReminderCache.h>

#include <fcntl.h>
#include <sys/stat.h>

#include <fstream>
#include <thread>

using ektest::ReminderRoot;
namespace fs = std::filesystem;

namespace {

class ReminderCache : public ReminderRoot {
 protected:
  void SetUp() override {
    ReminderRoot::SetUp();
    makeList("iCloud/home", "Home");
    write("iCloud/home", "a.ics", todo("alpha"));
    write("iCloud/home", "b.ics", todo("bravo"));
  }
  static uint64_t parses() { return eventkit::ReminderCache::shared().parseCount(); }
  std::vector<std::string> fetchTitles() { return titles(fetch(newStore(), nullptr).reminders); }
  /// Lets the files' timestamps fall behind the clock, so a later write is
  /// bound to change them.
  static void settle() { std::this_thread::sleep_for(std::chrono::milliseconds(120)); }
};

}  // namespace

TEST_F(ReminderCache, UnchangedFilesAreNotParsedAgain) {
  settle();
  EXPECT_EQ(fetchTitles(), (std::vector<std::string>{"alpha", "bravo"}));
  uint64_t afterFirst = parses();
  // A fresh store per load, as the lock screen makes one, still shares the parsed files.
  for (int i = 0; i < 3; ++i) EXPECT_EQ(fetchTitles(), (std::vector<std::string>{"alpha", "bravo"}));
  EXPECT_EQ(parses(), afterFirst);
}

TEST_F(ReminderCache, JustWrittenFilesAreComparedNotTrusted) {
  EXPECT_EQ(fetchTitles(), (std::vector<std::string>{"alpha", "bravo"}));
  uint64_t before = parses();
  // Same size, same moment: the timestamps may not move, the content does.
  write("iCloud/home", "a.ics", todo("ALPHA"));
  EXPECT_EQ(fetchTitles(), (std::vector<std::string>{"ALPHA", "bravo"}));
  EXPECT_EQ(parses(), before + 1);
  // Read again unchanged while still recent: compared, not parsed.
  EXPECT_EQ(fetchTitles(), (std::vector<std::string>{"ALPHA", "bravo"}));
  EXPECT_EQ(parses(), before + 1);
}

TEST_F(ReminderCache, ChangesAdditionsAndRemovalsAreSeen) {
  settle();
  fetchTitles();
  uint64_t before = parses();
  write("iCloud/home", "b.ics", todo("bravo", "STATUS:COMPLETED\r\n"));
  write("iCloud/home", "c.ics", todo("charlie"));
  fs::remove(listPath("iCloud/home") / "a.ics");
  EXPECT_EQ(fetchTitles(), (std::vector<std::string>{"charlie"}));
  EXPECT_EQ(parses(), before + 2);

  // A file put back with an old timestamp (a restore, a sync client) is still new to the cache.
  settle();
  write("iCloud/home", "a.ics", todo("alpha"));
  struct timespec times[2] = {{0, UTIME_OMIT}, {1'000'000'000, 0}};
  ASSERT_EQ(utimensat(AT_FDCWD, (listPath("iCloud/home") / "a.ics").c_str(), times, 0), 0);
  EXPECT_EQ(fetchTitles(), (std::vector<std::string>{"alpha", "charlie"}));
}

TEST_F(ReminderCache, StoresOnManyThreadsShareOneCache) {
  settle();
  std::vector<std::thread> threads;
  std::atomic<int> wrong{0};
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([&] {
      for (int i = 0; i < 10; ++i)
        if (titles(fetch(newStore(), nullptr).reminders) != std::vector<std::string>{"alpha", "bravo"}) ++wrong;
    });
  for (auto& t : threads) t.join();
  EXPECT_EQ(wrong.load(), 0);
}

TEST_F(ReminderCache, AHugeFileCostsOnlyItself) {
  // One line of 15 MB in a reminder's notes, between two good files.
  std::string huge = todo("huge", "DESCRIPTION:" + std::string(15 << 20, 'x') + "\r\n");
  write("iCloud/home", "aa-huge.ics", huge);
  // Grown past the limit after it was read once: the size is checked again.
  write("iCloud/home", "c.ics", todo("charlie"));
  EXPECT_EQ(fetchTitles(), (std::vector<std::string>{"alpha", "bravo", "charlie"}));
  EXPECT_TRUE(log_->contains("/var/mobile/Library/Reminders/iCloud/home/aa-huge.ics: " + std::to_string(huge.size()) +
                             " bytes, too large for a reminder file, skipped"));
  write("iCloud/home", "c.ics", todo("charlie", "DESCRIPTION:" + std::string(2 << 20, 'y') + "\r\n"));
  EXPECT_EQ(fetchTitles(), (std::vector<std::string>{"alpha", "bravo"}));
}

TEST_F(ReminderCache, AnUnchangedAnswerFollowsChangesTheFolderDoesNotSee) {
  settle();
  EXPECT_EQ(fetchTitles(), (std::vector<std::string>{"alpha", "bravo"}));
  const fs::path list = listPath("iCloud/home");
  // A file with a second name elsewhere, changed through that name.
  const fs::path elsewhere = list.parent_path() / "elsewhere.txt";
  fs::remove(list / "b.ics");
  std::ofstream(elsewhere) << todo("bravo");
  fs::create_hard_link(elsewhere, list / "b.ics");
  EXPECT_EQ(fetchTitles(), (std::vector<std::string>{"alpha", "bravo"}));
  settle();
  EXPECT_EQ(fetchTitles(), (std::vector<std::string>{"alpha", "bravo"}));
  std::ofstream(elsewhere) << todo("BRAVO");
  EXPECT_EQ(fetchTitles(), (std::vector<std::string>{"alpha", "BRAVO"}));

  // The folder moved away and another put in its place.
  settle();
  EXPECT_EQ(fetchTitles(), (std::vector<std::string>{"alpha", "BRAVO"}));
  const fs::path moved = list.parent_path().parent_path().parent_path() / "old-home";
  fs::rename(list, moved);
  makeList("iCloud/home", "Home");
  write("iCloud/home", "c.ics", todo("charlie"));
  EXPECT_EQ(fetchTitles(), (std::vector<std::string>{"charlie"}));
  // ...and a change in the moved folder is none of the list's business.
  std::ofstream(moved / "a.ics") << todo("delta");
  EXPECT_EQ(fetchTitles(), (std::vector<std::string>{"charlie"}));
  settle();
  write("iCloud/home", "c.ics", todo("CHARLIE"));
  EXPECT_EQ(fetchTitles(), (std::vector<std::string>{"CHARLIE"}));
}

TEST_F(ReminderCache, AFloodOfChangesThatOverflowsTheReportsLosesNone) {
  long queued = 0;
  std::ifstream("/proc/sys/fs/inotify/max_queued_events") >> queued;
  if (queued <= 0 || queued > 200'000) GTEST_SKIP() << "this machine's change reports do not overflow cheaply";
  write("iCloud/home", "c.ics", todo("charlie"));
  settle();
  EXPECT_EQ(fetchTitles(), (std::vector<std::string>{"alpha", "bravo", "charlie"}));
  // More reports about two files than the queue holds (the two in turn, so
  // none is merged with the one before); the changes to the others come
  // after, unreported.
  const fs::path a = listPath("iCloud/home") / "a.ics", b = listPath("iCloud/home") / "b.ics";
  for (long i = 0; i <= queued; ++i) ASSERT_EQ(utimensat(AT_FDCWD, (i % 2 ? a : b).c_str(), nullptr, 0), 0);
  write("iCloud/home", "c.ics", todo("CHARLIE"));
  write("iCloud/home", "d.ics", todo("delta"));
  EXPECT_EQ(fetchTitles(), (std::vector<std::string>{"alpha", "bravo", "CHARLIE", "delta"}));
  // Reports are whole again afterwards: a later change is seen by name.
  settle();
  write("iCloud/home", "c.ics", todo("CHARLIE 2"));
  EXPECT_EQ(fetchTitles(), (std::vector<std::string>{"alpha", "bravo", "CHARLIE 2", "delta"}));
}
