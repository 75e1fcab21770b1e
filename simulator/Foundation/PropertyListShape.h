#pragma once
/// \file
/// The shape of a property list's object graph, measured without building
/// it: how deep its arrays and dictionaries nest and how many values it
/// holds once every reference is followed. libplist's binary reader
/// recurses once per level and copies every shared reference, and its
/// dictionary insert slows down with size, so a file is measured first and
/// handed to libplist only when its shape is within limits.

#include <cstddef>
#include <string_view>

namespace foundation {

struct PropertyListLimits {
  size_t maxDepth;    ///< levels below the root
  size_t maxObjects;  ///< values (dictionary keys included) once expanded
};

enum class PropertyListShape {
  Fits,
  Malformed,  ///< the binary layout points outside the file, or a date no calendar names
  TooDeep,
  TooLarge,
  Cycle,  ///< a binary container that holds itself
};

/// Measures a "bplist00" file: walks the references from the top object
/// with an explicit stack, stopping as soon as a limit is passed.
PropertyListShape binaryPropertyListShape(std::string_view bytes, const PropertyListLimits& limits);
/// Measures an XML property list by its tags, without parsing the values.
PropertyListShape xmlPropertyListShape(std::string_view bytes, const PropertyListLimits& limits);

}  // namespace foundation
