#pragma once
// The pane's list screens share one kind of row: a subtitle cell, reused
// under the identifier "Dynamic Cell".

#include <UIKit/UITableView.h>
#include <UIKit/UITableViewCell.h>
#include <objc/message.h>

inline Ref<UITableViewCell> dequeueSubtitleCell(const Ref<UITableView>& tableView) {
  static const auto reuse = NSStr("Dynamic Cell");
  auto cell = objc::msg<Ref<UITableViewCell>>(tableView, SEL_("dequeueReusableCellWithIdentifier:"), reuse);
  if (cell) return cell;
  return objc::cast<UITableViewCell>(objc::msg<id>(objc::alloc<UITableViewCell>(),
                                                   SEL_("initWithStyle:reuseIdentifier:"),
                                                   NSInteger(UITableViewCellStyleSubtitle), reuse));
}
