#pragma once
/// \file
/// The test the underlay logic decides with.

#include <Foundation/NSArray.h>

namespace quillpane {

/// True when the list holds at least one item and every item is one of the
/// tweak's own rows or the sibling tweak's.
bool onlyCustomItemsAreDisplayed(const NSArray* items);

}  // namespace quillpane
