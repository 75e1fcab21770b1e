#pragma once
/// \file
/// Small readers of SpringBoard objects the tweak shares: private instance
/// variables by name, a row's bulletin and its identifier, the recorded
/// list controller's item at an index path.

#include <Foundation/NSArray.h>
#include <Foundation/NSString.h>
#include <objc/NSObject.h>

#include <string>
#include <vector>

namespace quillpane {

/// The object in obj's instance variable name; nil when obj is nil, the
/// class has no such variable (found reports which) or it holds nil.
id ivarObject(const NSObject* obj, const char* name, bool* found = nullptr);

/// The bulletin a list item shows (`activeBulletin`), nil when the item
/// does not answer it.
id activeBulletinOf(const NSObject* item);
/// A bulletin's `bulletinID`; empty for nil.
std::string bulletinIDOf(const NSObject* bulletin);
/// The identifier of the bulletin a list item shows.
std::string itemBulletinID(const NSObject* item);
/// Whether a bulletin's `bulletinID` is one of the tweak's, read where the
/// bulletin holds it (every bulletin added to the list is asked this).
bool isOwnBulletin(const NSObject* bulletin);

/// A list item of class SBAwayBulletinListItem (exactly) showing one of the
/// tweak's bulletins.
bool isOwnRow(const NSObject* item);
/// A list item of class SBAwayBulletinListItem (exactly) showing the
/// sibling tweak's bulletin.
bool isSiblingRow(const NSObject* item);

/// True when the list holds at least one item and every item is one of the
/// tweak's own rows or the sibling tweak's.
bool onlyCustomItemsAreDisplayed(const NSArray* items);

/// The bulletins of the tweak's own rows among a list's items. An item that
/// cannot name its bulletin is not one of them.
std::vector<id> ownBulletinsIn(const NSArray& items);

/// The recorded list controller's item at an index path (nil without one).
id listItemAtIndexPath(const id& indexPath);

}  // namespace quillpane
