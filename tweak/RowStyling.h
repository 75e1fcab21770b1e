#pragma once
/// \file
/// Height and look of the tweak's rows, read from and applied to the
/// platform's list items and cells.

#include <UIKit/NSIndexPath.h>
#include <objc/NSObject.h>

#include <string>

namespace quillpane {

/// The height of an own row: one line, or two with a location subtitle.
double ownRowHeightOf(const id& item);

/// The cell's index path in its table; nil outside a table.
Ref<NSIndexPath> indexPathOfCell(const id& cell);

/// Fonts, colours, frames and separators of a cell that shows an own row.
void styleOwnRowCell(const id& cell, const std::string& bulletinID);

}  // namespace quillpane
