#include "builder/project/settings.h"

#include <algorithm>

namespace prismora::project {

std::string PhotoChangeText(int32_t seconds) {
  return std::to_string(std::clamp(seconds, int32_t(0), kMaxPhotoChangeSeconds));
}

int32_t ParsePhotoChangeText(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  int64_t value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > kMaxPhotoChangeSeconds) return kMaxPhotoChangeSeconds;  // and no overflow
  }
  return int32_t(value);
}

void ApplyNewProject(ProjectSettings& s) {
  s.Title.clear();
  s.Author.clear();
  s.Email.clear();
  s.Website.clear();
  s.LicenseEnabled = true;
  s.LicenseText.clear();
  s.WizardImageFile = kDefaultWizardImage;
  s.WizardSmallImageFile = kDefaultWizardSmallImage;
  s.Photos.clear();
}

void ApplyUnreadableProjectFile(ProjectSettings& s) {
  s.TemplateIndex = 0;
  s.ResizeMethod = kUseBorder;
}

}  // namespace prismora::project
