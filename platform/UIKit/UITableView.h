#pragma once
/// \file
/// A scrolling list of rows in sections. The table asks its data source and
/// delegate everything THROUGH THE RUNTIME, so a replaced data-source or
/// delegate method takes effect exactly where UIKit would ask it. Both are
/// held weakly. What it sends, with the C++ types an answering method must
/// declare (NSInteger is int64_t, CGFloat is double):
///
/// data source
///   "numberOfSectionsInTableView:"                NSInteger (Ref<UITableView>)         optional, 1
///   "tableView:numberOfRowsInSection:"            NSInteger (Ref<UITableView>, NSInteger)
///   "tableView:cellForRowAtIndexPath:"            Ref<UITableViewCell> (Ref<UITableView>, Ref<NSIndexPath>)
///   "tableView:canEditRowAtIndexPath:"            bool (Ref<UITableView>, Ref<NSIndexPath>)  optional, true
///   "tableView:canMoveRowAtIndexPath:"            bool (...)                                  optional, true
///   "tableView:moveRowAtIndexPath:toIndexPath:"   void (Ref<UITableView>, Ref<NSIndexPath>, Ref<NSIndexPath>)
///   "tableView:commitEditingStyle:forRowAtIndexPath:" void (Ref<UITableView>, NSInteger, Ref<NSIndexPath>)
/// delegate
///   "tableView:heightForRowAtIndexPath:"          CGFloat (Ref<UITableView>, Ref<NSIndexPath>) optional, rowHeight
///   "tableView:willDisplayCell:forRowAtIndexPath:" void (Ref<UITableView>, Ref<UITableViewCell>, Ref<NSIndexPath>)
///   "tableView:willSelectRowAtIndexPath:"         Ref<NSIndexPath> (Ref<UITableView>, Ref<NSIndexPath>)
///   "tableView:didSelectRowAtIndexPath:"          void (Ref<UITableView>, Ref<NSIndexPath>)
///   "tableView:didDeselectRowAtIndexPath:"        void (Ref<UITableView>, Ref<NSIndexPath>)
///   "tableView:editingStyleForRowAtIndexPath:"    NSInteger (Ref<UITableView>, Ref<NSIndexPath>) optional, delete
///   "scrollViewDidScroll:"                         void (Ref<UIScrollView>)

#include <UIKit/NSIndexPath.h>
#include <UIKit/UIScrollView.h>
#include <UIKit/UITableViewCell.h>

#include <map>
#include <string>

enum UITableViewStyle : NSInteger { UITableViewStylePlain = 0, UITableViewStyleGrouped = 1 };
enum UITableViewScrollPosition : NSInteger {
  UITableViewScrollPositionNone = 0,
  UITableViewScrollPositionTop = 1,
  UITableViewScrollPositionMiddle = 2,
  UITableViewScrollPositionBottom = 3,
};

class UITableView : public UIScrollView {
 public:
  static Class classObject();
  UITableView() = default;

  // Registered: "initWithFrame:style:"; "initWithFrame:" (plain) is UIView's
  // registration reaching this override.
  virtual id initWithFrameStyle(CGRect frame, NSInteger style);
  id initWithFrame(CGRect frame) override;
  [[nodiscard]] NSInteger style() const noexcept { return style_; }

  // Registered: "dataSource", "setDataSource:" (the delegate is the scroll view's).
  [[nodiscard]] id dataSource() const { return dataSource_.lock(); }
  virtual void setDataSource(id dataSource);
  void setDelegate(id delegate) override;

  // Registered: "rowHeight", "setRowHeight:".
  [[nodiscard]] double rowHeight() const noexcept { return rowHeight_; }
  void setRowHeight(double height);

  // Registered: "reloadData", "numberOfSections", "numberOfRowsInSection:";
  // "layoutSubviews" is UIView's registration reaching this override.
  /// Forgets the rows and their cells (cells with an identifier go to the
  /// reuse queue) and asks the data source again at the next layout.
  virtual void reloadData();
  /// Asks for counts and heights if needed, stacks the rows by height, and
  /// places a cell for every row inside the bounds (asking the data source
  /// for the ones not yet shown); each placed cell gets `layoutSubviews`.
  void layoutSubviews() override;
  [[nodiscard]] NSInteger numberOfSections();
  [[nodiscard]] NSInteger numberOfRowsInSection(NSInteger section);

  // Registered: "indexPathForCell:", "cellForRowAtIndexPath:", "visibleCells",
  // "indexPathsForVisibleRows", "rectForRowAtIndexPath:", "dequeueReusableCellWithIdentifier:".
  /// nil for a cell that is not one of the visible rows.
  [[nodiscard]] Ref<NSIndexPath> indexPathForCell(Ref<UITableViewCell> cell) const;
  /// The visible cell of that row, or nil.
  [[nodiscard]] Ref<UITableViewCell> cellForRowAtIndexPath(Ref<NSIndexPath> indexPath) const;
  [[nodiscard]] Ref<NSArray> visibleCells() const;
  [[nodiscard]] Ref<NSArray> indexPathsForVisibleRows() const;
  [[nodiscard]] CGRect rectForRowAtIndexPath(Ref<NSIndexPath> indexPath);
  /// A queued cell of that identifier (after `prepareForReuse`), or nil.
  Ref<UITableViewCell> dequeueReusableCellWithIdentifier(Ref<NSString> identifier);

  // Registered: "selectRowAtIndexPath:animated:scrollPosition:", "deselectRowAtIndexPath:animated:",
  // "indexPathForSelectedRow", "indexPathsForSelectedRows", "allowsMultipleSelection",
  // "setAllowsMultipleSelection:", "allowsSelection", "setAllowsSelection:".
  void selectRowAtIndexPath(Ref<NSIndexPath> indexPath, bool animated, NSInteger scrollPosition);
  void deselectRowAtIndexPath(Ref<NSIndexPath> indexPath, bool animated);
  [[nodiscard]] Ref<NSIndexPath> indexPathForSelectedRow() const;
  [[nodiscard]] Ref<NSArray> indexPathsForSelectedRows() const;
  [[nodiscard]] bool allowsMultipleSelection() const noexcept { return allowsMultipleSelection_; }
  void setAllowsMultipleSelection(bool allows);
  [[nodiscard]] bool allowsSelection() const noexcept { return allowsSelection_; }
  void setAllowsSelection(bool allows) noexcept { allowsSelection_ = allows; }

  // Registered: "isEditing", "setEditing:", "setEditing:animated:".
  [[nodiscard]] bool isEditing() const noexcept { return editing_; }
  void setEditing(bool editing) { setEditingAnimated(editing, false); }
  virtual void setEditingAnimated(bool editing, bool animated);

  /// Asks the data source whether the row can be edited (true when it does not say).
  [[nodiscard]] bool canEditRowAtIndexPath(const Ref<NSIndexPath>& indexPath);

  // A person's touches, as the hosts drive them.
  /// A tap on a row: `tableView:willSelectRowAtIndexPath:`, the selection
  /// (deselecting the previous row unless multiple selection is allowed) and
  /// `tableView:didSelectRowAtIndexPath:`; a tap on a selected row in a
  /// multiple-selection table deselects it. False when the row does not exist
  /// or selection is off.
  bool tapRowAtIndexPath(const Ref<NSIndexPath>& indexPath);
  /// A drag of a row's reorder control from one place to another while
  /// editing: `tableView:moveRowAtIndexPath:toIndexPath:` (the destination
  /// counts rows after the removal), then the rows are laid out again. False
  /// when not editing, a path is out of range, or the data source cannot move.
  bool moveRow(const Ref<NSIndexPath>& from, const Ref<NSIndexPath>& to);
  /// A swipe-to-delete on a row: `tableView:commitEditingStyle:forRowAtIndexPath:`
  /// when the row can be edited. False when it cannot.
  bool deleteRow(const Ref<NSIndexPath>& indexPath);

  /// Scrolling reaches the delegate and relays the rows.
  void setContentOffset(CGPoint offset) override;
  void setFrame(CGRect frame) override;
  void setBounds(CGRect bounds) override;

 protected:
  void contentOffsetDidChange() override;

 private:
  struct RowKey {
    NSInteger section, row;
    // The check misreads the defaulted comparison's zero literal.
    auto operator<=>(const RowKey&) const = default;  // NOLINT(modernize-use-nullptr)
  };
  void loadRowsIfNeeded();
  [[nodiscard]] bool validRow(NSInteger section, NSInteger row);
  [[nodiscard]] CGRect rowRect(NSInteger section, NSInteger row) const;
  void enqueueCell(const Ref<UITableViewCell>& cell);
  void configureCell(const Ref<UITableViewCell>& cell, const RowKey& key);
  void clearVisibleCells();
  void applySelection(const RowKey& key, bool selected);
  [[nodiscard]] bool canMoveRows();

  NSInteger style_ = UITableViewStylePlain;
  Weak<NSObject> dataSource_;
  double rowHeight_ = 44;
  bool rowsLoaded_ = false;
  std::vector<std::vector<double>> heights_;  // per section, per row
  std::vector<double> sectionTops_;
  std::map<RowKey, Ref<UITableViewCell>> visible_;
  std::map<std::string, std::vector<Ref<UITableViewCell>>> reuseQueue_;
  std::vector<RowKey> selected_;
  bool allowsMultipleSelection_ = false, allowsSelection_ = true, editing_ = false;
};
