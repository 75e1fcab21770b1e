#pragma once
/// \file
/// The nested text form of arrays and dictionaries ("(\n    a,\n    b\n)",
/// "{\n    key = value;\n}"), quoting strings that would otherwise read
/// ambiguously, as the device prints collections.

#include <objc/NSObject.h>

#include <string>

class NSArray;
class NSDictionary;

namespace foundation {

/// The description of obj as an element of a collection nested depth deep.
std::string describeElement(const NSObject* obj, int depth);
std::string describeArray(const NSArray& array, int depth);
std::string describeDictionary(const NSDictionary& dict, int depth);

}  // namespace foundation
