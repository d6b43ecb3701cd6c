#include "builder/project/settings.h"

namespace prismora::project {

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
