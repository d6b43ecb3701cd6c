#include "pixolve/converter.h"

#include "builder/output/script.h"
#include "builder/photos/bmp.h"
#include "builder/photos/fitting.h"
#include "builder/photos/jpeg.h"

namespace prismora::pixolve {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Skips the program name the way the platform splits it: up to the closing quote when
// it starts with one, otherwise up to the first blank.
size_t AfterProgramName(const std::string& line) {
  size_t i = 0;
  if (i < line.size() && line[i] == '"') {
    size_t close = line.find('"', 1);
    return close == std::string::npos ? line.size() : close + 1;
  }
  while (i < line.size() && !IsBlank(line[i])) ++i;
  return i;
}

bool ConvertOne(platform::FileSystem& files, const std::string& jpegPath,
                const std::string& bmpPath, std::string& problem) {
  using namespace photos;
  std::vector<uint8_t> bytes;
  if (!files.ReadWholeFile(jpegPath, bytes)) {
    problem = "cannot read " + jpegPath;
    return false;
  }
  DecodedPhoto photo;
  std::string error;
  auto drawSize = [](int, int) { return PixelSize{kTextureSide, kTextureSide}; };
  if (!DecodeJpeg(bytes, drawSize, photo, error)) {
    problem = "cannot decode " + jpegPath + ": " + error;
    return false;
  }
  // The builder already fitted every photo to 512 × 512; anything else is stretched.
  PixelImage texture(kTextureSide, kTextureSide);
  DrawFitted(photo.pixels.View(), photo.fullWidth, photo.fullHeight, texture.View(), {});
  std::vector<uint8_t> bmp = EncodeBmp24(texture.View());
  if (!files.ReplaceFileContents(bmpPath, bmp)) {
    problem = "cannot write " + bmpPath;
    return false;
  }
  return true;
}

}  // namespace

std::optional<ConverterArgs> ParseCommandLine(const std::string& commandLine, std::string& error) {
  size_t i = AfterProgramName(commandLine);
  while (i < commandLine.size() && IsBlank(commandLine[i])) ++i;
  ConverterArgs args;
  size_t digits = 0;
  for (; i < commandLine.size() && commandLine[i] >= '0' && commandLine[i] <= '9'; ++i, ++digits) {
    args.count = args.count * 10 + (commandLine[i] - '0');
    if (args.count > kMaxPhotos) break;
  }
  if (digits == 0 || args.count > kMaxPhotos) {
    error = "usage: pixolve <count> <title> (count 0 to " + std::to_string(kMaxPhotos) + ")";
    return std::nullopt;
  }
  if (i >= commandLine.size() || !IsBlank(commandLine[i])) {
    error = "usage: pixolve <count> <title>: no title after the count";
    return std::nullopt;
  }
  args.title = commandLine.substr(i + 1);  // one separating blank; the rest is the title
  if (args.title.empty()) {
    error = "usage: pixolve <count> <title>: empty title";
    return std::nullopt;
  }
  // The title names files in this folder only: no path parts, nothing the builder refuses.
  if (auto reason = output::UnsafeTitleReason(args.title)) {
    error = "unusable title \"" + args.title + "\": " + *reason;
    return std::nullopt;
  }
  return args;
}

bool ConvertPhotos(platform::FileSystem& files, const std::string& folder,
                   const ConverterArgs& args, std::vector<std::string>& problems) {
  bool all = true;
  for (int index = 0; index < args.count; ++index) {
    const std::string stem = folder + args.title + std::to_string(index);
    std::string problem;
    if (!ConvertOne(files, stem + ".jpg", stem + ".bmp", problem)) {
      problems.push_back(problem);
      all = false;
    }
  }
  return all;
}

void AppendToLog(platform::FileSystem& files, const std::string& folder,
                 const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += "pixolve: " + line + "\r\n";
  const std::string path = folder + kLogName;
  std::span<const uint8_t> bytes(reinterpret_cast<const uint8_t*>(text.data()), text.size());
  if (!files.FileExists(path) || !files.AppendToFile(path, bytes)) {
    std::vector<uint8_t> old;
    files.ReadWholeFile(path, old);
    old.insert(old.end(), bytes.begin(), bytes.end());
    files.ReplaceFileContents(path, old);
  }
}

int RunConverter(platform::FileSystem& files, const std::string& folder,
                 const std::string& commandLine) {
  std::string error;
  std::optional<ConverterArgs> args = ParseCommandLine(commandLine, error);
  if (!args) {
    AppendToLog(files, folder, {error + " [command line: " + commandLine + "]"});
    return kBadCommandLine;
  }
  std::vector<std::string> problems;
  if (ConvertPhotos(files, folder, *args, problems)) return kOk;
  AppendToLog(files, folder, problems);
  return kConversionFailed;
}

}  // namespace prismora::pixolve
