#include "builder/project/project_file.h"

#include <algorithm>

#include "common/bytes.h"

namespace prismora::project {

namespace b = prismora::bytes;
using namespace record;

std::string AutoSavePath(std::string_view builderFolder) {
  return std::string(builderFolder) + std::string(kAutoSaveName);
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

// An index the combo box has no item for leaves it without a selection.
int32_t IndexOrNone(int32_t value, std::size_t itemCount) {
  return value >= 0 && std::size_t(value) < itemCount ? value : -1;
}

}  // namespace

EncodedProject EncodeProjectRecord(const ProjectSettings& s) {
  EncodedProject out;
  out.bytes.assign(kSize, 0);
  std::span<uint8_t> rec(out.bytes);
  b::writeText(rec, kTitle, kTitleWidth, s.Title);
  b::writeText(rec, kAuthor, kAuthorWidth, s.Author);
  b::writeText(rec, kEmail, kEmailWidth, s.Email);
  b::writeText(rec, kWebsite, kWebsiteWidth, s.Website);
  b::writeU8(rec, kLicenseEnabled, s.LicenseEnabled ? 1 : 0);
  b::writeText(rec, kLicenseText, kLicenseTextWidth, s.LicenseText);
  b::writeText(rec, kWizardImage, kWizardImageWidth, s.WizardImageFile);
  b::writeText(rec, kWizardSmallImage, kWizardSmallImageWidth, s.WizardSmallImageFile);
  PhotoListText photos = PhotoListFitting(s.Photos);
  b::writeText(rec, kPhotoList, kPhotoListWidth, photos.text);
  out.photosNotSaved = photos.notSaved;
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
}

SaveResult SaveProjectFile(const std::string& path, const ProjectSettings& s,
                           platform::FileSystem& fs) {
  EncodedProject encoded = EncodeProjectRecord(s);
  SaveResult result;
  result.photosNotSaved = encoded.photosNotSaved;
  result.written = fs.ReplaceFileContents(path, encoded.bytes);
  return result;
}

std::optional<ProjectSettings> LoadProjectFile(const std::string& path,
                                               const ProjectSettings& current,
                                               platform::FileSystem& fs) {
  std::vector<uint8_t> bytes;
  if (!fs.ReadWholeFile(path, bytes)) return std::nullopt;
  // Only the record's length counts; anything after it is not part of the project.
  if (bytes.size() > kSize) bytes.resize(kSize);
  ProjectSettings s = current;
  DecodeProjectRecord(bytes, s);
  return s;
}

bool ReadProjectInto(const std::string& path, ProjectSettings& s, platform::FileSystem& fs) {
  if (auto loaded = LoadProjectFile(path, s, fs)) {
    s = std::move(*loaded);
    return true;
  }
  ApplyUnreadableProjectFile(s);
  return false;
}

}  // namespace prismora::project
