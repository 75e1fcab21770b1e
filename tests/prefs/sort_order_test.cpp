#include "PaneFixture.h"
#include "QPN_SortOrderTVC.h"

namespace {

class SortOrderTest : public PaneFixture {
 protected:
  Ref<QPN_SortOrderTVC> open() {
    auto screen = objc::cast<QPN_SortOrderTVC>(press("changeSortOrder"));
    window->layoutIfNeeded();
    return screen;
  }
  static std::vector<std::string> rows(const Ref<QPN_SortOrderTVC>& screen) {
    std::vector<std::string> out;
    auto table = screen->tableView();
    auto n = objc::msg<NSInteger>(table, SEL_("numberOfRowsInSection:"), NSInteger(0));
    for (NSInteger r = 0; r < n; ++r) {
      auto cell = objc::msg<Ref<UITableViewCell>>(screen, SEL_("tableView:cellForRowAtIndexPath:"), table,
                                                  NSIndexPath::indexPathForRow(r, 0));
      std::string detail = cell->detailTextLabel()->text()->str();
      out.push_back(cell->textLabel()->text()->str() + (detail.empty() ? "" : " " + detail));
    }
    return out;
  }
  static bool move(const Ref<QPN_SortOrderTVC>& screen, NSInteger from, NSInteger to) {
    return screen->tableView()->moveRow(NSIndexPath::indexPathForRow(from, 0), NSIndexPath::indexPathForRow(to, 0));
  }
  static std::vector<std::string> saved() { return strings(NSArray::arrayWithContentsOfFile(kSortingFile)); }
};

}  // namespace

TEST_F(SortOrderTest, WithNoFileTheThreeGroupsAreWrittenAndShown) {
  auto screen = open();
  EXPECT_EQ(saved(), (std::vector<std::string>{"System Items", "Datebeam", "Quillpane"}));
  EXPECT_EQ(rows(screen), (std::vector<std::string>{"System Items", "Datebeam (if installed)", "Quillpane"}));
  EXPECT_TRUE(log_->contains("QPX: creating initial sorting list file..."));
  EXPECT_EQ(screen->navigationItem()->title()->str(), "Sort Order");
}

TEST_F(SortOrderTest, OpeningAnExistingFileLeavesItAsItIs) {
  writeStrings(kSortingFile, {"Quillpane", "System Items", "Datebeam", "Weather"});
  std::string before = readText(kSortingFile);
  auto screen = open();
  EXPECT_EQ(readText(kSortingFile), before);
  EXPECT_FALSE(log_->contains("creating initial sorting list"));
  EXPECT_EQ(rows(screen), (std::vector<std::string>{"Quillpane", "System Items", "Datebeam (if installed)",
                                                    "Weather (if installed)"}));
}

TEST_F(SortOrderTest, MovesRewriteTheFileAndKeepEveryEntry) {
  writeStrings(kSortingFile, {"System Items", "Datebeam", "Quillpane", "Weather"});
  auto screen = open();
  ASSERT_TRUE(move(screen, 3, 0));  // the last row to the top
  EXPECT_EQ(saved(), (std::vector<std::string>{"Weather", "System Items", "Datebeam", "Quillpane"}));
  ASSERT_TRUE(move(screen, 1, 3));
  EXPECT_EQ(saved(), (std::vector<std::string>{"Weather", "Datebeam", "Quillpane", "System Items"}));
  EXPECT_EQ(rows(screen).back(), "System Items");
}

TEST_F(SortOrderTest, RowsOnlyReorderAndLeaveNoHighlight) {
  writeStrings(kSortingFile, {"System Items", "quillpane", "Quillpane"});
  auto screen = open();
  auto table = screen->tableView();
  EXPECT_TRUE(table->isEditing());
  EXPECT_FALSE(table->allowsMultipleSelection());
  for (NSInteger r = 0; r < 3; ++r) {
    auto path = NSIndexPath::indexPathForRow(r, 0);
    auto cell = table->cellForRowAtIndexPath(path);
    ASSERT_TRUE(cell);
    EXPECT_TRUE(cell->isReorderControlVisible());
    EXPECT_EQ(cell->selectionStyle(), UITableViewCellSelectionStyleNone);
    EXPECT_EQ(objc::msg<NSInteger>(screen, SEL_("tableView:editingStyleForRowAtIndexPath:"), table, path),
              UITableViewCellEditingStyleNone);
  }
  // Only the exact name is this system's own.
  EXPECT_EQ(rows(screen), (std::vector<std::string>{"System Items", "quillpane (if installed)", "Quillpane"}));
}

TEST_F(SortOrderTest, AnUnreadableFileIsKeptBeforeTheInitialOneReplacesIt) {
  writeText(kSortingFile, "<plist><array><string>Quillpane");
  open();
  EXPECT_EQ(readText(kSortingFile + ".corrupt"), "<plist><array><string>Quillpane");
  EXPECT_EQ(saved(), (std::vector<std::string>{"System Items", "Datebeam", "Quillpane"}));
}
