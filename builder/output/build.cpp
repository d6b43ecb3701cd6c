#include "builder/output/build.h"

#include <cstdio>

namespace prismora::output {

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

}  // namespace prismora::output
