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
#include "common/code_page.h"
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
// Inside the reserved block, which builders before these fields wrote as zeros and
// ignore: a zero there means "no companion file" and "keep the photos chosen at start".
inline constexpr std::size_t kCompanionPhotoCount = 15501;  // uint32: photos in it, 0 = none
inline constexpr std::size_t kCompanionChecksum = 15505;    // uint32: of its list text
inline constexpr std::size_t kPhotoChangeSeconds = 15509;   // int32
inline constexpr std::size_t kCompanionName = 15513, kCompanionNameWidth = 255;
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

// `folder` ends in a backslash (the user folder, see folders.h).
std::string AutoSavePath(std::string_view folder);

struct EncodedProject {
  std::vector<uint8_t> bytes;  // always record::kSize bytes
  int photosNotSaved = 0;      // photos at the end of the list that did not fit
  // The companion file's content; empty when the whole list fits in the record or no
  // companion name was given.
  std::vector<uint8_t> companion;
};

// Builds the record. The photo list keeps only the whole lines that fit in its field
// (terminator included). When the rest does not fit and `companionName` (a file name
// without folder) is given, the whole list goes into `companion` and the record names
// it; otherwise the rest is counted in photosNotSaved.
// Texts longer than their field are cut between characters of the code page whose lead
// bytes are given, never after the first half of one.
EncodedProject EncodeProjectRecord(const ProjectSettings& s, std::string_view companionName = {},
                                   const text::LeadBytes& lead = text::LeadBytes());

// The companion file beside a project file: "Holiday.pmj" keeps the photos that do not
// fit its record in "Holiday.pml". A name without the ".pmj" ending gets ".pml" added.
std::string CompanionPathFor(std::string_view projectPath);
// The file name part of a path (after the last backslash or slash).
std::string_view FileNameOf(std::string_view path);

// The companion file: a 24-byte header and the whole photo list as text.
namespace companion {
inline constexpr std::string_view kMagic = "PrPhList";  // 8 bytes, no terminator
inline constexpr std::size_t kMagicOffset = 0;
inline constexpr std::size_t kVersion = 8;      // uint32, kCurrentVersion
inline constexpr std::size_t kCount = 12;       // uint32, photos in the list
inline constexpr std::size_t kTextLength = 16;  // uint32, bytes of list text
inline constexpr std::size_t kChecksum = 20;    // uint32, of the list text
inline constexpr std::size_t kHeaderSize = 24;  // the list text follows
inline constexpr uint32_t kCurrentVersion = 1;
}  // namespace companion

// FNV-1a over the list text; ties a record to the companion written with it.
uint32_t PhotoListChecksum(std::string_view text);

std::vector<uint8_t> EncodeCompanion(const std::vector<std::string>& photos);
// The list, when `bytes` is a whole companion of a known version holding `count` photos
// whose text has `checksum`; nothing for anything else (cut, foreign, or written for an
// other save of the project).
std::optional<std::vector<std::string>> DecodeCompanion(std::span<const uint8_t> bytes,
                                                        uint32_t count, uint32_t checksum);

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

// Writes the record through a temporary file, so a failed write keeps the old file. A
// photo list too long for the record is written to the companion file first, so a record
// never names a companion that is not there; when the companion cannot be written the
// record is written without it and the photos past the record count as not saved.
SaveResult SaveProjectFile(const std::string& path, const ProjectSettings& s,
                           platform::FileSystem& fs, const text::LeadBytes& lead = text::LeadBytes());

// Reads a project file. Nothing when the file cannot be read; otherwise the settings
// with every stored field replaced (starting from `current`, which supplies RandomColor).
// A record that names a companion takes its whole list from the companion beside the
// project file, looked for under the project's own name first (both files moved or
// renamed together) and then under the name it was saved with (only the project
// renamed). When neither is a matching companion the photos in the record are kept and
// `missingCompanion` (when given) receives the companion's path under the project's name.
std::optional<ProjectSettings> LoadProjectFile(const std::string& path,
                                               const ProjectSettings& current,
                                               platform::FileSystem& fs,
                                               std::string* missingCompanion = nullptr);

struct ReadResult {
  bool read = false;
  std::string missingCompanion;  // empty unless the companion file could not be used
  explicit operator bool() const { return read; }
};

// Loading as the builder does it at start and on Open Project: an unreadable file sets
// only the template and fitting indices (ApplyUnreadableProjectFile).
ReadResult ReadProjectInto(const std::string& path, ProjectSettings& s, platform::FileSystem& fs);

}  // namespace prismora::project
