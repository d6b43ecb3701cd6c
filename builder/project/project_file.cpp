#include "builder/project/project_file.h"

#include <algorithm>

#include "common/bytes.h"

namespace prismora::project {

namespace b = prismora::bytes;
using namespace record;

std::string AutoSavePath(std::string_view folder) {
  return std::string(folder) + std::string(kAutoSaveName);
}

namespace {

struct PhotoListText {
  std::string text;  // without the terminator
  int notSaved = 0;
};

// Whole lines only: a path cut in the middle would name a different file. One byte of
// the field is kept for the terminator.
PhotoListText PhotoListFitting(const std::vector<std::string>& photos) {
  PhotoListText out;
  const std::size_t room = kPhotoListWidth - 1;
  std::size_t i = 0;
  for (; i < photos.size(); ++i) {
    std::size_t line = photos[i].size() + 2;
    if (out.text.size() + line > room) break;
    out.text += photos[i];
    out.text += "\r\n";
  }
  out.notSaved = int(photos.size() - i);
  return out;
}

std::string PhotoListTextOf(const std::vector<std::string>& photos) {
  std::string text;
  for (const auto& p : photos) {
    text += p;
    text += "\r\n";
  }
  return text;
}

bool EndsWithNoCase(std::string_view text, std::string_view end) {
  if (text.size() < end.size()) return false;
  for (std::size_t i = 0; i < end.size(); ++i) {
    char a = text[text.size() - end.size() + i], e = end[i];
    if (a >= 'A' && a <= 'Z') a = char(a - 'A' + 'a');
    if (a != e) return false;
  }
  return true;
}

// A stored interval outside what the builder offers is read as the nearest it offers.
int32_t IntervalInRange(int32_t seconds) {
  return std::clamp(seconds, int32_t(0), kMaxPhotoChangeSeconds);
}

// An index the combo box has no item for leaves it without a selection.
int32_t IndexOrNone(int32_t value, std::size_t itemCount) {
  return value >= 0 && std::size_t(value) < itemCount ? value : -1;
}

}  // namespace

std::string_view FileNameOf(std::string_view path) {
  std::size_t slash = path.find_last_of("\\/");
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::string CompanionPathFor(std::string_view projectPath) {
  std::string_view stem = projectPath;
  if (EndsWithNoCase(stem, ".pmj")) stem.remove_suffix(4);
  return std::string(stem) + ".pml";
}

uint32_t PhotoListChecksum(std::string_view text) {
  uint32_t h = 2166136261u;
  for (char c : text) {
    h ^= uint8_t(c);
    h *= 16777619u;
  }
  return h;
}

std::vector<uint8_t> EncodeCompanion(const std::vector<std::string>& photos) {
  std::string text = PhotoListTextOf(photos);
  std::vector<uint8_t> out(companion::kHeaderSize + text.size(), 0);
  std::span<uint8_t> head(out);
  std::copy(companion::kMagic.begin(), companion::kMagic.end(), out.begin());
  b::writeU32(head, companion::kVersion, companion::kCurrentVersion);
  b::writeU32(head, companion::kCount, uint32_t(photos.size()));
  b::writeU32(head, companion::kTextLength, uint32_t(text.size()));
  b::writeU32(head, companion::kChecksum, PhotoListChecksum(text));
  std::copy(text.begin(), text.end(), out.begin() + companion::kHeaderSize);
  return out;
}

std::optional<std::vector<std::string>> DecodeCompanion(std::span<const uint8_t> bytes,
                                                        uint32_t count, uint32_t checksum) {
  using namespace companion;
  if (bytes.size() < kHeaderSize) return std::nullopt;
  if (!std::equal(kMagic.begin(), kMagic.end(), bytes.begin())) return std::nullopt;
  if (b::readU32(bytes, kVersion) != kCurrentVersion) return std::nullopt;
  uint32_t length = b::readU32(bytes, kTextLength);
  if (length > bytes.size() - kHeaderSize) return std::nullopt;  // never trust the length
  std::string_view text(reinterpret_cast<const char*>(bytes.data() + kHeaderSize), length);
  uint32_t sum = PhotoListChecksum(text);
  if (sum != b::readU32(bytes, kChecksum) || sum != checksum) return std::nullopt;
  std::vector<std::string> photos = SplitPhotoList(text);
  if (photos.size() != count || b::readU32(bytes, kCount) != count) return std::nullopt;
  return photos;
}

EncodedProject EncodeProjectRecord(const ProjectSettings& s, std::string_view companionName,
                                   const text::LeadBytes& lead) {
  EncodedProject out;
  out.bytes.assign(kSize, 0);
  std::span<uint8_t> rec(out.bytes);
  auto writeText = [&](std::size_t offset, std::size_t width, std::string_view t) {
    b::writeText(rec, offset, width, text::CutToBytes(t, width - 1, lead));
  };
  writeText(kTitle, kTitleWidth, s.Title);
  writeText(kAuthor, kAuthorWidth, s.Author);
  writeText(kEmail, kEmailWidth, s.Email);
  writeText(kWebsite, kWebsiteWidth, s.Website);
  b::writeU8(rec, kLicenseEnabled, s.LicenseEnabled ? 1 : 0);
  writeText(kLicenseText, kLicenseTextWidth, s.LicenseText);
  writeText(kWizardImage, kWizardImageWidth, s.WizardImageFile);
  writeText(kWizardSmallImage, kWizardSmallImageWidth, s.WizardSmallImageFile);
  PhotoListText photos = PhotoListFitting(s.Photos);
  b::writeText(rec, kPhotoList, kPhotoListWidth, photos.text);
  out.photosNotSaved = photos.notSaved;
  if (photos.notSaved > 0 && !companionName.empty() &&
      companionName.size() < kCompanionNameWidth) {
    out.companion = EncodeCompanion(s.Photos);
    b::writeU32(rec, kCompanionPhotoCount, uint32_t(s.Photos.size()));
    b::writeU32(rec, kCompanionChecksum, PhotoListChecksum(PhotoListTextOf(s.Photos)));
    b::writeText(rec, kCompanionName, kCompanionNameWidth, companionName);
    out.photosNotSaved = 0;
  }
  b::writeI32(rec, kPhotoChangeSeconds, IntervalInRange(s.PhotoChangeSeconds));
  b::writeU32(rec, kDialogBoxColor, s.DialogBoxColor);
  b::writeI32(rec, kTemplateIndex, s.TemplateIndex);
  b::writeI32(rec, kConstantOne, 1);
  b::writeI32(rec, kConstantTwo, 2);
  b::writeU32(rec, kBorderColor, s.BorderColor);
  b::writeI32(rec, kResizeMethod, s.ResizeMethod);
  b::writeU8(rec, kEraseBackground, s.EraseBackground ? 1 : 0);
  return out;
}

std::vector<std::string> SplitPhotoList(std::string_view text) {
  std::vector<std::string> lines;
  while (!text.empty()) {
    std::size_t end = text.find("\r\n");
    std::string_view line = text.substr(0, end);
    if (!line.empty()) lines.emplace_back(line);
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 2);
  }
  return lines;
}

void DecodeProjectRecord(std::span<const uint8_t> bytes, ProjectSettings& s) {
  // A short file counts its missing bytes as zero, also inside an integer it cuts in
  // two; bytes beyond the record belong to no field.
  std::vector<uint8_t> padded(kSize, 0);
  std::copy_n(bytes.begin(), std::min(bytes.size(), kSize), padded.begin());
  std::span<const uint8_t> rec(padded);
  s.Title = b::readText(rec, kTitle, kTitleWidth);
  s.Author = b::readText(rec, kAuthor, kAuthorWidth);
  s.Email = b::readText(rec, kEmail, kEmailWidth);
  s.Website = b::readText(rec, kWebsite, kWebsiteWidth);
  s.LicenseEnabled = b::readU8(rec, kLicenseEnabled) != 0;
  s.LicenseText = b::readText(rec, kLicenseText, kLicenseTextWidth);
  s.DialogBoxColor = b::readU32(rec, kDialogBoxColor);
  s.BorderColor = b::readU32(rec, kBorderColor);
  s.WizardImageFile = b::readText(rec, kWizardImage, kWizardImageWidth);
  s.WizardSmallImageFile = b::readText(rec, kWizardSmallImage, kWizardSmallImageWidth);
  s.Photos = SplitPhotoList(b::readText(rec, kPhotoList, kPhotoListWidth));
  s.TemplateIndex = IndexOrNone(b::readI32(rec, kTemplateIndex), std::size_t(kLastTemplateIndex) + 1);
  s.ResizeMethod = IndexOrNone(b::readI32(rec, kResizeMethod), kResizeMethodItems.size());
  s.EraseBackground = b::readU8(rec, kEraseBackground) != 0;
  s.PhotoChangeSeconds = IntervalInRange(b::readI32(rec, kPhotoChangeSeconds));
}

namespace {

// The companion a record names, looked for beside the project file; the record's own
// photos stay when none matches.
void ReadCompanionInto(const std::string& projectPath, std::span<const uint8_t> rec,
                       ProjectSettings& s, platform::FileSystem& fs,
                       std::string* missingCompanion) {
  uint32_t count = b::readU32(rec, kCompanionPhotoCount);
  if (count == 0) return;
  uint32_t checksum = b::readU32(rec, kCompanionChecksum);
  std::string savedName = b::readText(rec, kCompanionName, kCompanionNameWidth);
  std::string own = CompanionPathFor(projectPath);
  std::string folder(projectPath.substr(0, projectPath.size() - FileNameOf(projectPath).size()));
  std::vector<std::string> candidates{own};
  // A saved name is a file name; one with a folder in it was not written by us.
  if (!savedName.empty() && FileNameOf(savedName) == savedName && folder + savedName != own)
    candidates.push_back(folder + savedName);
  for (const std::string& path : candidates) {
    std::vector<uint8_t> bytes;
    if (!fs.ReadWholeFile(path, bytes)) continue;
    auto photos = DecodeCompanion(bytes, count, checksum);
    // The record's photos head the companion's list; anything else belongs elsewhere.
    if (!photos || photos->size() < s.Photos.size() ||
        !std::equal(s.Photos.begin(), s.Photos.end(), photos->begin()))
      continue;
    s.Photos = std::move(*photos);
    return;
  }
  // Named as the file beside the project under the project's own name: where a user who
  // moved or renamed both files would put it back, and where it is looked for first.
  if (missingCompanion) *missingCompanion = own;
}

}  // namespace

SaveResult SaveProjectFile(const std::string& path, const ProjectSettings& s,
                           platform::FileSystem& fs, const text::LeadBytes& lead) {
  const std::string companionPath = CompanionPathFor(path);
  EncodedProject encoded = EncodeProjectRecord(s, FileNameOf(companionPath), lead);
  if (!encoded.companion.empty() && !fs.ReplaceFileContents(companionPath, encoded.companion))
    encoded = EncodeProjectRecord(s, {}, lead);
  SaveResult result;
  result.photosNotSaved = encoded.photosNotSaved;
  result.written = fs.ReplaceFileContents(path, encoded.bytes);
  return result;
}

std::optional<ProjectSettings> LoadProjectFile(const std::string& path,
                                               const ProjectSettings& current,
                                               platform::FileSystem& fs,
                                               std::string* missingCompanion) {
  std::vector<uint8_t> bytes;
  if (!fs.ReadWholeFile(path, bytes)) return std::nullopt;
  // Only the record's length counts; anything after it is not part of the project.
  if (bytes.size() > kSize) bytes.resize(kSize);
  ProjectSettings s = current;
  DecodeProjectRecord(bytes, s);
  bytes.resize(kSize, 0);
  ReadCompanionInto(path, bytes, s, fs, missingCompanion);
  return s;
}

ReadResult ReadProjectInto(const std::string& path, ProjectSettings& s, platform::FileSystem& fs) {
  ReadResult result;
  if (auto loaded = LoadProjectFile(path, s, fs, &result.missingCompanion)) {
    s = std::move(*loaded);
    result.read = true;
    return result;
  }
  ApplyUnreadableProjectFile(s);
  return result;
}

}  // namespace prismora::project
