// The project file: one fixed-size record of 36364 bytes, used for Save Project, Open
// Project and the auto-save file. The record carries no header, version or checksum, so
// reading takes whatever bytes are there and never trusts them: a short file reads as if
// padded with zeros, texts end at their field width, out-of-range indices mean "no
// selection".
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "builder/project/settings.h"
#include "platform/seams.h"

namespace prismora::project {

// Field offsets and widths of the project record.
namespace record {
inline constexpr std::size_t kSize = 36364;
inline constexpr std::size_t kTitle = 0, kTitleWidth = 200;
inline constexpr std::size_t kAuthor = 200, kAuthorWidth = 100;
inline constexpr std::size_t kEmail = 300, kEmailWidth = 100;
inline constexpr std::size_t kWebsite = 400, kWebsiteWidth = 100;
inline constexpr std::size_t kLicenseEnabled = 500;
inline constexpr std::size_t kLicenseText = 501, kLicenseTextWidth = 15000;
inline constexpr std::size_t kReserved = 15501, kReservedWidth = 318;
inline constexpr std::size_t kWizardImage = 15819, kWizardImageWidth = 255;
inline constexpr std::size_t kWizardSmallImage = 16074, kWizardSmallImageWidth = 255;
inline constexpr std::size_t kPhotoList = 16329, kPhotoListWidth = 20003;
inline constexpr std::size_t kDialogBoxColor = 36332;
inline constexpr std::size_t kTemplateIndex = 36336;
inline constexpr std::size_t kConstantOne = 36340;
inline constexpr std::size_t kConstantTwo = 36344;
inline constexpr std::size_t kBorderColor = 36348;
inline constexpr std::size_t kUnused = 36352;
inline constexpr std::size_t kResizeMethod = 36356;
inline constexpr std::size_t kEraseBackground = 36360;
}  // namespace record

// The dialogs' settings and the auto-save file name, for the window code.
inline constexpr std::string_view kProjectFilter = "Prismora Builder Project (*.pmj)|*.pmj";
inline constexpr std::string_view kProjectDefaultExt = "pmj";
inline constexpr std::string_view kAutoSaveName = "AutoSave.pmj";

// `builderFolder` ends in a backslash (the program's folder).
std::string AutoSavePath(std::string_view builderFolder);

struct EncodedProject {
  std::vector<uint8_t> bytes;  // always record::kSize bytes
  int photosNotSaved = 0;      // photos at the end of the list that did not fit
};

// Builds the record. The photo list keeps only the whole lines that fit in its field
// (terminator included); the rest is counted in photosNotSaved.
EncodedProject EncodeProjectRecord(const ProjectSettings& s);

// Reads a record of any length into `into`. `RandomColor` is not stored and keeps the
// value `into` has; every stored setting is replaced. `TemplateIndex` and `ResizeMethod`
// outside their item ranges become -1 (no selection).
void DecodeProjectRecord(std::span<const uint8_t> bytes, ProjectSettings& into);

// The photo list text: every path followed by CR LF. Lines are split at CR LF; a
// trailing piece without CR LF still counts as a line, empty lines are kept out.
std::vector<std::string> SplitPhotoList(std::string_view text);

struct SaveResult {
  bool written = false;     // the whole record reached the file
  int photosNotSaved = 0;   // see EncodedProject
};

// Writes the record through a temporary file, so a failed write keeps the old file.
SaveResult SaveProjectFile(const std::string& path, const ProjectSettings& s,
                           platform::FileSystem& fs);

// Reads a project file. Nothing when the file cannot be read; otherwise the settings
// with every stored field replaced (starting from `current`, which supplies RandomColor).
std::optional<ProjectSettings> LoadProjectFile(const std::string& path,
                                               const ProjectSettings& current,
                                               platform::FileSystem& fs);

// Loading as the builder does it at start and on Open Project: an unreadable file sets
// only the template and fitting indices (ApplyUnreadableProjectFile). Returns whether the
// file was read.
bool ReadProjectInto(const std::string& path, ProjectSettings& s, platform::FileSystem& fs);

}  // namespace prismora::project
