// The pane never loses a file: one it cannot read is left alone, one it
// can read but not understand is kept beside before it is replaced, and
// every kept copy stays.

#include "AsNobody.h"
#include "PaneFixture.h"
#include "QPN_SortOrderTVC.h"

#include <sys/stat.h>

#include <functional>

namespace {

class FileCareTest : public PaneFixture {
 protected:
  /// Runs body as the user "nobody", with the Preferences folder open to it.
  int asNobody(const std::function<int()>& body) {
    if (::geteuid() != 0) return -1;
    fs::permissions(root_ / "var/mobile/Library/Preferences", fs::perms(0777));
    return ::asNobody(body);
  }
  std::vector<std::string> preferenceFolder() const {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(root_ / "var/mobile/Library/Preferences"))
      names.push_back(e.path().filename());
    std::sort(names.begin(), names.end());
    return names;
  }
  void moveTopRowDown() {
    auto screen = objc::cast<QPN_SortOrderTVC>(press("changeSortOrder"));
    (void)screen->tableView()->moveRow(NSIndexPath::indexPathForRow(0, 0), NSIndexPath::indexPathForRow(1, 0));
  }
};

TEST_F(FileCareTest, AFileThatCannotBeReadIsNeverReplaced) {
  const std::string prefs = "<plist><dict><key>mine</key><true/></dict></plist>";
  const std::string sorting = "<plist><array><string>Quillpane</string></array></plist>";
  writeText(kPreferenceFile, prefs);
  writeText(kSortingFile, sorting);
  for (const auto& file : {kPreferenceFile, kSortingFile}) fs::permissions(host(file), fs::perms(0600));
  const int code = asNobody([&] {  // the files are this test's, not the user's
    change("enabled", NSNumber::numberWithBool(false));
    moveTopRowDown();
    if (!posts.empty()) return 2;  // nothing stored, nothing announced
    if (!log_->contains("org.brightrepo.quillpaneprefs.plist exists but cannot be read")) return 3;
    return fs::exists(host(kPreferenceFile + ".corrupt")) ? 4 : 0;
  });
  if (code == -1) GTEST_SKIP() << "needs root to run the pane as another user";
  EXPECT_EQ(code, 0);
  EXPECT_EQ(readText(kPreferenceFile), prefs);
  EXPECT_EQ(readText(kSortingFile), sorting);
}

TEST_F(FileCareTest, AFifoInPlaceOfAFileIsLeftAloneWithoutWaiting) {
  ASSERT_EQ(::mkfifo(host(kPreferenceFile).c_str(), 0644), 0);
  ASSERT_EQ(::mkfifo(host(kSortingFile).c_str(), 0644), 0);
  EXPECT_TRUE(objc::cast<NSNumber>(shown("enabled"))->boolValue());  // the default
  change("enabled", NSNumber::numberWithBool(false));
  moveTopRowDown();
  EXPECT_TRUE(fs::is_fifo(host(kPreferenceFile)));
  EXPECT_TRUE(fs::is_fifo(host(kSortingFile)));
  EXPECT_TRUE(posts.empty());
}

TEST_F(FileCareTest, EachBadFileInTurnIsKeptUnderANameOfItsOwn) {
  for (const std::string bad : {"first, cut sho", "second, cut short"}) {
    writeText(kPreferenceFile, bad);
    change("enabled", NSNumber::numberWithBool(false));
    EXPECT_EQ(preferences()->count(), 1u);
  }
  EXPECT_EQ(readText(kPreferenceFile + ".corrupt"), "first, cut sho");
  EXPECT_EQ(readText(kPreferenceFile + ".corrupt.1"), "second, cut short");
  // The sorting file the same way, beside the other's copies.
  writeText(kSortingFile, "<plist><dict/></plist>");  // readable, but not a list
  moveTopRowDown();
  EXPECT_EQ(readText(kSortingFile + ".corrupt"), "<plist><dict/></plist>");
  EXPECT_EQ(strings(NSArray::arrayWithContentsOfFile(kSortingFile)).size(), 3u);
}

TEST_F(FileCareTest, WhenTheCopyCannotBeKeptNothingIsReplaced) {
  writeText(kPreferenceFile, "<plist><dict><key>mine");
  // A name the copy cannot take: a link to a folder that does not exist.
  fs::create_symlink("/no/such/folder/copy", host(kPreferenceFile + ".corrupt"));
  change("enabled", NSNumber::numberWithBool(false));
  EXPECT_EQ(readText(kPreferenceFile), "<plist><dict><key>mine");
  EXPECT_TRUE(posts.empty());
  EXPECT_TRUE(log_->contains("and keeping it as"));
  EXPECT_EQ(preferenceFolder(), (std::vector<std::string>{"org.brightrepo.quillpaneprefs.plist",
                                                          "org.brightrepo.quillpaneprefs.plist.corrupt"}));
}

}  // namespace
