// Keeping a file out of the way without losing an earlier one kept the same way.
#pragma once

#include <string>

namespace fileio {

// Beyond this many kept copies something is wrong on purpose; the file then
// stays where it is.
constexpr int kMaxKeptAside = 1000;

// Renames `path` to the first free name of `aside`, `aside`.1, `aside`.2, ...,
// never replacing an existing one. Returns the name used, or an empty string
// when the file could not be moved (it is then left where it was).
std::string moveAside(const std::string& path, const std::string& aside);

} // namespace fileio
