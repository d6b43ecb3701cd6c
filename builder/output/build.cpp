#include "builder/output/build.h"

#include <cstdio>

namespace prismora::output {
using platform::BoxIcon;

std::vector<std::string> BuildNames::InputFiles() const {
  std::vector<std::string> files{ScreenSaver(), Script(), WizardSmallImage(), WizardImage()};
  for (int i = 0; i < photoCount; ++i) files.push_back(PhotoJpeg(i));
  return files;
}

std::string CompilerCommandLine(const BuildNames& n) {
  std::string outputFolder = n.folder + "output";
  return "ISCC.exe /O\"" + outputFolder + "\" /Fsetup \"" + n.Script() + "\"";
}

std::string BuildSummary(const std::string& title, int photoCount, const std::string& sizeText,
                         const std::string& location) {
  return "Title: " + title + "\r\n" + "Total photos: " + std::to_string(photoCount) + "\r\n" +
         "File size: " + sizeText + " MB\r\n" + "File Location: " + location + "\r\n";
}

std::string FormatSetupSize(uint32_t bytes, char decimalSeparator) {
  // Whole hundredths of a megabyte, counted in integers so no rounding creeps in.
  uint32_t hundredths = bytes / 10000;
  std::string text = std::to_string(hundredths / 100);
  uint32_t fraction = hundredths % 100;
  if (fraction != 0) {
    char digits[3];
    std::snprintf(digits, sizeof digits, "%02u", unsigned(fraction));
    text += decimalSeparator;
    text += digits[0];
    if (digits[1] != '0') text += digits[1];
  }
  return text;
}

BuildResult RunBuild(BuildSteps& steps, BuildSeams s, const BuildNames& names) {
  if (!steps.CheckProject()) return BuildResult::Refused;

  s.files.RemoveFile(names.CompilerOutput());
  if (!steps.MakeScreenSaver(names.ScreenSaver())) return BuildResult::Failed;
  if (!steps.WriteScript(names.Script())) return BuildResult::Failed;
  if (!steps.ExportPhotos()) return BuildResult::Failed;
  if (!steps.SaveWizardImages()) return BuildResult::Failed;

  if (!s.launcher.StartHidden(CompilerCommandLine(names), names.folder)) {
    // Known now, not after the user picked a destination; the written inputs stay
    // where they are, as after a cancelled build.
    s.boxes.Show(s.owner, kCompilerNotFound, "Error", BoxIcon::Error);
    return BuildResult::Failed;
  }

  std::optional<std::string> destination = steps.AskDestination();
  // The compiler still reads the inputs; nothing may be removed or copied before it ends.
  s.launcher.WaitForLastProcess();
  if (!destination) return BuildResult::Cancelled;

  for (const std::string& file : names.InputFiles()) s.files.RemoveFile(file);

  if (!s.files.CopyReplacing(names.CompilerOutput(), *destination)) {
    s.boxes.Show(s.owner, kUnexpectedError, "Error", BoxIcon::Error);
    return BuildResult::Failed;
  }
  int64_t size = s.files.FileSize(*destination);
  steps.ShowFinished(BuildSummary(names.title, names.photoCount,
                                   FormatSetupSize(uint32_t(size < 0 ? 0 : size), s.decimalSeparator), *destination),
                     *destination);
  s.files.RemoveFile(names.CompilerOutput());
  return BuildResult::Done;
}

}  // namespace prismora::output
