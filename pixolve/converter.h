// pixolve: the converter the installer runs after copying the photos. It turns
// «title»0.jpg … in its own folder into the 512 × 512 24-bit photo bitmaps «title»0.bmp …
// that the installed screen saver loads. Its command line is the photo count, one blank,
// and the title, which is the whole rest of the line (it may hold blanks of its own).
#pragma once
#include <optional>
#include <string>
#include <vector>

#include "platform/seams.h"

namespace prismora::pixolve {

inline constexpr const char* kLogName = "pixolve.log";
inline constexpr int kMaxPhotos = 100000;

struct ConverterArgs {
  int count = 0;
  std::string title;
};

// Parses the process's whole command line (program name first, quoted or not).
// Nothing, with a reason, when the count or the title is missing or unusable.
std::optional<ConverterArgs> ParseCommandLine(const std::string& commandLine, std::string& error);

// Converts every photo; one line per problem goes to `problems`. A photo that fails does
// not stop the others: the screen saver shows what there is. True when all were made.
bool ConvertPhotos(platform::FileSystem& files, const std::string& folder,
                   const ConverterArgs& args, std::vector<std::string>& problems);

// Appends the lines to «folder»pixolve.log, creating it when needed.
void AppendToLog(platform::FileSystem& files, const std::string& folder,
                 const std::vector<std::string>& lines);

// Exit codes of the program.
enum ExitCode : int { kOk = 0, kBadCommandLine = 1, kConversionFailed = 2 };

// The whole program apart from finding its folder and command line.
int RunConverter(platform::FileSystem& files, const std::string& folder,
                 const std::string& commandLine);

}  // namespace prismora::pixolve
