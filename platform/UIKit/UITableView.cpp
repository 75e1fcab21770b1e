#include <UIKit/UITableView.h>

#include <Foundation/NSArray.h>
#include <Foundation/NSLog.h>
#include <objc/ClassBuilder.h>

#include <algorithm>
#include <cmath>

namespace {

bool answers(const id& obj, SEL sel) { return obj && objc::respondsTo(obj.get(), sel); }

Ref<NSIndexPath> pathOf(NSInteger section, NSInteger row) { return NSIndexPath::indexPathForRow(row, section); }

}  // namespace

Class UITableView::classObject() {
  static Class cls = objc::ClassBuilder<UITableView, UIScrollView>("UITableView")
                         .method<&UITableView::initWithFrameStyle>("initWithFrame:style:")
                         .method<&UITableView::style>("style")
                         .method<&UITableView::dataSource>("dataSource")
                         .method<&UITableView::setDataSource>("setDataSource:")
                         .method<&UITableView::rowHeight>("rowHeight")
                         .method<&UITableView::setRowHeight>("setRowHeight:")
                         .method<&UITableView::reloadData>("reloadData")
                         .method<&UITableView::numberOfSections>("numberOfSections")
                         .method<&UITableView::numberOfRowsInSection>("numberOfRowsInSection:")
                         .method<&UITableView::indexPathForCell>("indexPathForCell:")
                         .method<&UITableView::cellForRowAtIndexPath>("cellForRowAtIndexPath:")
                         .method<&UITableView::visibleCells>("visibleCells")
                         .method<&UITableView::indexPathsForVisibleRows>("indexPathsForVisibleRows")
                         .method<&UITableView::rectForRowAtIndexPath>("rectForRowAtIndexPath:")
                         .method<&UITableView::dequeueReusableCellWithIdentifier>("dequeueReusableCellWithIdentifier:")
                         .method<&UITableView::selectRowAtIndexPath>("selectRowAtIndexPath:animated:scrollPosition:")
                         .method<&UITableView::deselectRowAtIndexPath>("deselectRowAtIndexPath:animated:")
                         .method<&UITableView::indexPathForSelectedRow>("indexPathForSelectedRow")
                         .method<&UITableView::indexPathsForSelectedRows>("indexPathsForSelectedRows")
                         .method<&UITableView::allowsMultipleSelection>("allowsMultipleSelection")
                         .method<&UITableView::setAllowsMultipleSelection>("setAllowsMultipleSelection:")
                         .method<&UITableView::allowsSelection>("allowsSelection")
                         .method<&UITableView::setAllowsSelection>("setAllowsSelection:")
                         .method<&UITableView::isEditing>("isEditing")
                         .method<&UITableView::setEditing>("setEditing:")
                         .method<&UITableView::setEditingAnimated>("setEditing:animated:")
                         .build();
  return cls;
}
OBJC_REGISTER_CLASS(UITableView);

id UITableView::initWithFrameStyle(CGRect frame, NSInteger style) {
  UIView::initWithFrame(frame);
  style_ = style;
  return id(this);
}

id UITableView::initWithFrame(CGRect frame) {
  return objc::msg<id>(this, SEL_("initWithFrame:style:"), frame, NSInteger{UITableViewStylePlain});
}

void UITableView::setDataSource(id dataSource) {
  dataSource_ = dataSource;
  rowsLoaded_ = false;
  setNeedsLayout();
}

void UITableView::setDelegate(id delegate) {
  UIScrollView::setDelegate(std::move(delegate));
  rowsLoaded_ = false;  // heights come from the delegate
  setNeedsLayout();
}

void UITableView::setRowHeight(double height) {
  rowHeight_ = height;
  rowsLoaded_ = false;
  setNeedsLayout();
}

// --- rows -------------------------------------------------------------------

void UITableView::loadRowsIfNeeded() {
  if (rowsLoaded_) return;
  rowsLoaded_ = true;  // set first: a data source that asks the table back sees the rows being loaded
  Ref<UITableView> self(this);
  id ds = dataSource();
  id del = delegate();
  NSInteger sections = 0;
  if (ds) {
    sections = answers(ds, SEL_("numberOfSectionsInTableView:"))
                   ? objc::msg<NSInteger>(ds, SEL_("numberOfSectionsInTableView:"), self)
                   : 1;
  }
  sections = std::max<NSInteger>(0, sections);
  heights_.assign(static_cast<size_t>(sections), {});
  bool askHeight = answers(del, SEL_("tableView:heightForRowAtIndexPath:"));
  for (NSInteger s = 0; s < sections; ++s) {
    NSInteger rows =
        std::max<NSInteger>(0, objc::msg<NSInteger>(ds, SEL_("tableView:numberOfRowsInSection:"), self, s));
    auto& hs = heights_[static_cast<size_t>(s)];
    hs.resize(static_cast<size_t>(rows), rowHeight_);
    if (!askHeight) continue;
    for (NSInteger r = 0; r < rows; ++r) {
      double h = objc::msg<double>(del, SEL_("tableView:heightForRowAtIndexPath:"), self, pathOf(s, r));
      if (!std::isfinite(h) || h < 0) {
        NSLog("UITableView: the delegate gave row %ld of section %ld the height %f; using 0", static_cast<long>(r),
              static_cast<long>(s), h);
        h = 0;
      }
      hs[static_cast<size_t>(r)] = h;
    }
  }
  sectionTops_.assign(heights_.size(), 0);
  double y = 0;
  for (size_t s = 0; s < heights_.size(); ++s) {
    sectionTops_[s] = y;
    for (double h : heights_[s]) y += h;
  }
  setContentSize({bounds().size.width, y});
}

bool UITableView::validRow(NSInteger section, NSInteger row) {
  loadRowsIfNeeded();
  return section >= 0 && section < static_cast<NSInteger>(heights_.size()) && row >= 0 &&
         row < static_cast<NSInteger>(heights_[static_cast<size_t>(section)].size());
}

CGRect UITableView::rowRect(NSInteger section, NSInteger row) const {
  const auto& hs = heights_[static_cast<size_t>(section)];
  double y = sectionTops_[static_cast<size_t>(section)];
  for (NSInteger r = 0; r < row; ++r) y += hs[static_cast<size_t>(r)];
  return CGRectMake(0, y, bounds().size.width, hs[static_cast<size_t>(row)]);
}

NSInteger UITableView::numberOfSections() {
  loadRowsIfNeeded();
  return static_cast<NSInteger>(heights_.size());
}

NSInteger UITableView::numberOfRowsInSection(NSInteger section) {
  loadRowsIfNeeded();
  if (section < 0 || section >= static_cast<NSInteger>(heights_.size())) return 0;
  return static_cast<NSInteger>(heights_[static_cast<size_t>(section)].size());
}

CGRect UITableView::rectForRowAtIndexPath(Ref<NSIndexPath> indexPath) {
  if (!indexPath || !validRow(indexPath->section(), indexPath->row())) return CGRectZero;
  return rowRect(indexPath->section(), indexPath->row());
}

void UITableView::reloadData() {
  // The rows are asked for again when they are next needed, so a burst of
  // changes costs one reload, not one per change.
  clearVisibleCells();
  selected_.clear();
  rowsLoaded_ = false;
  setNeedsLayout();
}

// --- cells ------------------------------------------------------------------

void UITableView::enqueueCell(const Ref<UITableViewCell>& cell) {
  cell->removeFromSuperview();
  // A cell without an identifier is never handed out again.
  if (Ref<NSString> identifier = cell->reuseIdentifier()) reuseQueue_[identifier->str()].push_back(cell);
}

void UITableView::clearVisibleCells() {
  auto cells = std::move(visible_);
  visible_.clear();
  for (auto& [key, cell] : cells) enqueueCell(cell);
}

Ref<UITableViewCell> UITableView::dequeueReusableCellWithIdentifier(Ref<NSString> identifier) {
  if (!identifier) return nullptr;
  auto it = reuseQueue_.find(identifier->str());
  if (it == reuseQueue_.end() || it->second.empty()) return nullptr;
  Ref<UITableViewCell> cell = it->second.back();
  it->second.pop_back();
  objc::msg(cell, SEL_("prepareForReuse"));
  return cell;
}

bool UITableView::canMoveRows() { return answers(dataSource(), SEL_("tableView:moveRowAtIndexPath:toIndexPath:")); }

void UITableView::configureCell(const Ref<UITableViewCell>& cell, const RowKey& key) {
  Ref<UITableView> self(this);
  Ref<NSIndexPath> path = pathOf(key.section, key.row);
  id ds = dataSource(), del = delegate();
  NSInteger editingStyle = UITableViewCellEditingStyleNone;
  bool movable = false;
  if (editing_) {
    bool editable = canEditRowAtIndexPath(path);
    if (editable)
      editingStyle = answers(del, SEL_("tableView:editingStyleForRowAtIndexPath:"))
                         ? objc::msg<NSInteger>(del, SEL_("tableView:editingStyleForRowAtIndexPath:"), self, path)
                         : NSInteger{UITableViewCellEditingStyleDelete};
    movable = editable && canMoveRows() &&
              (!answers(ds, SEL_("tableView:canMoveRowAtIndexPath:")) ||
               objc::msg<bool>(ds, SEL_("tableView:canMoveRowAtIndexPath:"), self, path));
  }
  cell->setEditingStyle(editingStyle);
  cell->setShowsReorderControl(movable);
  objc::msg(cell, SEL_("setEditing:animated:"), editing_, false);
  bool selected = std::find(selected_.begin(), selected_.end(), key) != selected_.end();
  if (cell->isSelected() != selected) objc::msg(cell, SEL_("setSelected:animated:"), selected, false);
}

void UITableView::layoutSubviews() {
  loadRowsIfNeeded();
  Ref<UITableView> self(this);
  CGRect b = bounds();
  double top = b.origin.y, bottom = b.origin.y + b.size.height;

  // Which rows lie inside the bounds now.
  std::vector<RowKey> wanted;
  for (size_t s = 0; s < heights_.size(); ++s) {
    double y = sectionTops_[s];
    for (size_t r = 0; r < heights_[s].size() && y < bottom; ++r) {
      double h = heights_[s][r];
      if (y + h > top || (h == 0 && y >= top)) wanted.push_back({NSInteger(s), NSInteger(r)});
      y += h;
    }
  }

  // Rows that left the bounds give their cells back first, so the data
  // source can reuse them for the rows that come in.
  for (auto it = visible_.begin(); it != visible_.end();) {
    if (std::find(wanted.begin(), wanted.end(), it->first) == wanted.end()) {
      Ref<UITableViewCell> cell = it->second;
      it = visible_.erase(it);
      enqueueCell(cell);
    } else {
      ++it;
    }
  }

  id ds = dataSource(), del = delegate();
  for (const RowKey& key : wanted) {
    if (visible_.count(key)) continue;
    Ref<NSIndexPath> path = pathOf(key.section, key.row);
    auto cell = objc::msg<Ref<UITableViewCell>>(ds, SEL_("tableView:cellForRowAtIndexPath:"), self, path);
    if (!cell)
      throw objc::RuntimeError("UITableView dataSource must return a cell from tableView:cellForRowAtIndexPath:");
    visible_[key] = cell;
    objc::msg(cell, SEL_("setFrame:"), rowRect(key.section, key.row));
    configureCell(cell, key);
    if (cell->superview().get() != this) addSubview(cell);
    if (answers(del, SEL_("tableView:willDisplayCell:forRowAtIndexPath:")))
      objc::msg(del, SEL_("tableView:willDisplayCell:forRowAtIndexPath:"), self, cell, path);
  }

  // Every shown row is laid out at its place (`layoutSubviews` through the runtime).
  auto shown = visible_;
  for (auto& [key, cell] : shown) {
    CGRect rect = rowRect(key.section, key.row);
    if (cell->frame() != rect) objc::msg(cell, SEL_("setFrame:"), rect);
    cell->setNeedsLayout();
    cell->layoutIfNeeded();
  }
}

Ref<NSIndexPath> UITableView::indexPathForCell(Ref<UITableViewCell> cell) const {
  if (!cell) return nullptr;
  for (const auto& [key, c] : visible_)
    if (c == cell) return pathOf(key.section, key.row);
  return nullptr;
}

Ref<UITableViewCell> UITableView::cellForRowAtIndexPath(Ref<NSIndexPath> indexPath) const {
  if (!indexPath) return nullptr;
  auto it = visible_.find({indexPath->section(), indexPath->row()});
  return it == visible_.end() ? nullptr : it->second;
}

Ref<NSArray> UITableView::visibleCells() const {
  std::vector<id> cells;
  for (const auto& [key, cell] : visible_) cells.push_back(cell);
  return NSArray::arrayWithObjects(std::move(cells));
}

Ref<NSArray> UITableView::indexPathsForVisibleRows() const {
  std::vector<id> paths;
  for (const auto& [key, cell] : visible_) paths.push_back(pathOf(key.section, key.row));
  return NSArray::arrayWithObjects(std::move(paths));
}

// --- selection --------------------------------------------------------------

void UITableView::applySelection(const RowKey& key, bool selected) {
  auto it = std::find(selected_.begin(), selected_.end(), key);
  if (selected && it == selected_.end()) selected_.push_back(key);
  if (!selected && it != selected_.end()) selected_.erase(it);
  auto cell = visible_.find(key);
  if (cell != visible_.end() && cell->second->isSelected() != selected)
    objc::msg(cell->second, SEL_("setSelected:animated:"), selected, false);
}

void UITableView::selectRowAtIndexPath(Ref<NSIndexPath> indexPath, bool animated, NSInteger scrollPosition) {
  if (!indexPath) {
    for (auto key : std::vector<RowKey>(selected_)) applySelection(key, false);
    return;
  }
  if (!validRow(indexPath->section(), indexPath->row())) return;
  RowKey key{indexPath->section(), indexPath->row()};
  if (!allowsMultipleSelection_)
    for (auto other : std::vector<RowKey>(selected_))
      if (!(other == key)) applySelection(other, false);
  applySelection(key, true);
  if (scrollPosition != UITableViewScrollPositionNone) {
    CGRect r = rowRect(key.section, key.row);
    double h = bounds().size.height;
    double y = scrollPosition == UITableViewScrollPositionTop      ? r.origin.y
               : scrollPosition == UITableViewScrollPositionBottom ? CGRectGetMaxY(r) - h
                                                                   : r.origin.y + (r.size.height - h) / 2;
    y = std::clamp(y, 0.0, std::max(0.0, contentSize().height - h));
    setContentOffset({contentOffset().x, y});
  }
}

void UITableView::deselectRowAtIndexPath(Ref<NSIndexPath> indexPath, bool animated) {
  if (indexPath) applySelection({indexPath->section(), indexPath->row()}, false);
}

Ref<NSIndexPath> UITableView::indexPathForSelectedRow() const {
  if (selected_.empty()) return nullptr;
  return pathOf(selected_.front().section, selected_.front().row);
}

Ref<NSArray> UITableView::indexPathsForSelectedRows() const {
  if (selected_.empty()) return nullptr;
  std::vector<id> paths;
  for (const auto& key : selected_) paths.push_back(pathOf(key.section, key.row));
  return NSArray::arrayWithObjects(std::move(paths));
}

void UITableView::setAllowsMultipleSelection(bool allows) {
  allowsMultipleSelection_ = allows;
  if (!allows && selected_.size() > 1)
    for (auto key : std::vector<RowKey>(selected_.begin() + 1, selected_.end())) applySelection(key, false);
}

bool UITableView::tapRowAtIndexPath(const Ref<NSIndexPath>& indexPath) {
  if (!indexPath || !validRow(indexPath->section(), indexPath->row())) return false;
  // Rows of an editing table do not select (allowsSelectionDuringEditing is off).
  if (!allowsSelection_ || editing_) return false;
  Ref<UITableView> self(this);
  id del = delegate();
  RowKey key{indexPath->section(), indexPath->row()};
  bool isSelected = std::find(selected_.begin(), selected_.end(), key) != selected_.end();
  if (allowsMultipleSelection_ && isSelected) {
    applySelection(key, false);
    if (answers(del, SEL_("tableView:didDeselectRowAtIndexPath:")))
      objc::msg(del, SEL_("tableView:didDeselectRowAtIndexPath:"), self, indexPath);
    return true;
  }
  Ref<NSIndexPath> target = indexPath;
  if (answers(del, SEL_("tableView:willSelectRowAtIndexPath:"))) {
    target = objc::msg<Ref<NSIndexPath>>(del, SEL_("tableView:willSelectRowAtIndexPath:"), self, indexPath);
    if (!target || !validRow(target->section(), target->row())) return true;  // the delegate declined
  }
  key = {target->section(), target->row()};
  if (!allowsMultipleSelection_) {
    for (auto other : std::vector<RowKey>(selected_)) {
      if (other == key) continue;
      applySelection(other, false);
      if (answers(del, SEL_("tableView:didDeselectRowAtIndexPath:")))
        objc::msg(del, SEL_("tableView:didDeselectRowAtIndexPath:"), self, pathOf(other.section, other.row));
    }
  }
  applySelection(key, true);
  if (answers(del, SEL_("tableView:didSelectRowAtIndexPath:")))
    objc::msg(del, SEL_("tableView:didSelectRowAtIndexPath:"), self, target);
  return true;
}

// --- editing ----------------------------------------------------------------

void UITableView::setEditingAnimated(bool editing, bool animated) {
  editing_ = editing;
  for (auto& [key, cell] : std::map<RowKey, Ref<UITableViewCell>>(visible_)) configureCell(cell, key);
  setNeedsLayout();
}

bool UITableView::canEditRowAtIndexPath(const Ref<NSIndexPath>& indexPath) {
  id ds = dataSource();
  if (!answers(ds, SEL_("tableView:canEditRowAtIndexPath:"))) return true;
  return objc::msg<bool>(ds, SEL_("tableView:canEditRowAtIndexPath:"), Ref<UITableView>(this), indexPath);
}

bool UITableView::moveRow(const Ref<NSIndexPath>& from, const Ref<NSIndexPath>& to) {
  if (!editing_ || !from || !to || !validRow(from->section(), from->row())) return false;
  id ds = dataSource();
  if (!canMoveRows()) return false;
  Ref<UITableView> self(this);
  if (answers(ds, SEL_("tableView:canMoveRowAtIndexPath:")) &&
      !objc::msg<bool>(ds, SEL_("tableView:canMoveRowAtIndexPath:"), self, from))
    return false;
  NSInteger ts = to->section();
  if (ts < 0 || ts >= static_cast<NSInteger>(heights_.size())) return false;
  // The destination counts the rows after the moved one has left.
  NSInteger limit = static_cast<NSInteger>(heights_[static_cast<size_t>(ts)].size()) - (ts == from->section() ? 1 : 0);
  if (to->row() < 0 || to->row() > limit) return false;

  RowKey src{from->section(), from->row()}, dst{ts, to->row()};
  auto remap = [&](RowKey k) {
    if (k == src) return dst;
    if (k.section == src.section && k.row > src.row) --k.row;
    if (k.section == dst.section && k.row >= dst.row) ++k.row;
    return k;
  };
  if (!(src == dst)) {
    double h = heights_[size_t(src.section)][size_t(src.row)];
    auto& from_ = heights_[size_t(src.section)];
    from_.erase(from_.begin() + src.row);
    auto& to_ = heights_[size_t(dst.section)];
    to_.insert(to_.begin() + dst.row, h);
    std::map<RowKey, Ref<UITableViewCell>> moved;
    for (auto& [key, cell] : visible_) moved[remap(key)] = cell;
    visible_ = std::move(moved);
    for (auto& key : selected_) key = remap(key);
    double y = 0;
    for (size_t s = 0; s < heights_.size(); ++s) {
      sectionTops_[s] = y;
      for (double rh : heights_[s]) y += rh;
    }
  }
  // The table has already moved the row on screen; the data source follows.
  objc::msg(ds, SEL_("tableView:moveRowAtIndexPath:toIndexPath:"), self, from, to);
  setNeedsLayout();
  layoutIfNeeded();
  return true;
}

bool UITableView::deleteRow(const Ref<NSIndexPath>& indexPath) {
  if (!indexPath || !validRow(indexPath->section(), indexPath->row())) return false;
  id ds = dataSource();
  if (!canEditRowAtIndexPath(indexPath) || !answers(ds, SEL_("tableView:commitEditingStyle:forRowAtIndexPath:")))
    return false;
  objc::msg(ds, SEL_("tableView:commitEditingStyle:forRowAtIndexPath:"), Ref<UITableView>(this),
            NSInteger{UITableViewCellEditingStyleDelete}, indexPath);
  return true;
}

// --- geometry ---------------------------------------------------------------

void UITableView::contentOffsetDidChange() {
  // The rows follow at once, so the delegate hearing of the scroll sees them.
  setNeedsLayout();
  layoutIfNeeded();
}

void UITableView::setContentOffset(CGPoint offset) { UIScrollView::setContentOffset(offset); }

void UITableView::setFrame(CGRect frame) {
  UIScrollView::setFrame(frame);
  setNeedsLayout();
}

void UITableView::setBounds(CGRect bounds) {
  UIScrollView::setBounds(bounds);
  setNeedsLayout();
}
