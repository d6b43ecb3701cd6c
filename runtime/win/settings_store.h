// Where a screen saver's settings come from: the trailer at the end of its own file, and
// the display block kept in its registry key.
#pragma once
#include <string>

#include "common/trailer.h"

namespace prismora::runtime {

// Full path of the running program.
std::string OwnProgramPath();
// The 8.3 form of a path as the file system reports it; the path itself when it has none.
std::string ShortPathOf(const std::string& path);

// The trailer of `programPath`, with the display block replaced by the registry copy of
// that program's key when one of exactly 208 bytes exists.
trailer::Trailer LoadSettings(const std::string& programPath);
// Writes the display block to the program's key, creating the key when needed.
bool SaveSettings(const std::string& programPath, const trailer::Trailer& settings);

}  // namespace prismora::runtime
