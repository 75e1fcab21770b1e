#pragma once
/// \file
/// Property lists (XML and binary) read into and written from Foundation
/// objects, through libplist.
///
/// Values: string -> NSString, integer -> NSNumber (signed 64-bit; values
/// above INT64_MAX stay unsigned), real -> NSNumber (real), true/false ->
/// NSNumber (Boolean), date -> NSDate, data -> NSData, array -> NSArray,
/// dict -> NSDictionary with NSString keys. A keyed-archive UID reads as
/// the dictionary {"CF$UID" = n}, as the device's XML form writes it.

#include <objc/NSObject.h>

#include <string>
#include <string_view>

namespace foundation {

enum class PropertyListRoot { Any, Array, Dictionary };

/// The objects of a property list held in memory; nil (and a log line)
/// for bytes that are no property list or whose root is not `expected`.
/// `origin` names the source in the log line.
id propertyListFromBytes(std::string_view bytes, PropertyListRoot expected, std::string_view origin = "data");
/// Reads a device file. A missing file is nil without a log line; an
/// unreadable, malformed or other-rooted one is nil with one.
id readPropertyListFile(std::string_view devicePath, PropertyListRoot expected);

/// The XML text of a property list rooted at root; false when the tree
/// holds a value no property list can carry (or nests too deep).
bool propertyListXML(const NSObject& root, std::string& xml);
/// Writes root as an XML property list; false when it cannot be encoded or
/// the file cannot be written.
bool writePropertyListFile(std::string_view devicePath, const NSObject& root, bool atomically);

}  // namespace foundation
