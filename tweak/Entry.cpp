// The tweak library's one load-time initializer, run when the loader maps
// the library into a process.

#include "Replacements.h"

namespace {
__attribute__((constructor)) void quillpaneLoaded() { quillpane::initializeTweak(); }
}  // namespace
