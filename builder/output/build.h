// The names and texts of the build: the files it writes into the builder folder, the
// compiler's command line and the summary of the finish window. The build itself is
// OutputPipeline::Build (pipeline.h).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace prismora::output {

inline constexpr const char* kCompilerOutput = "output\\setup.exe";
inline constexpr const char* kWizardImageBmp = "ImageWizardImageFile.bmp";
inline constexpr const char* kWizardSmallImageBmp = "ImageWizModernSmallImage.bmp";
inline constexpr const char* kUnexpectedError = "Unexpected error. Files don't create.";
inline constexpr const char* kCompilerNotFound =
    "The Inno Setup compiler ISCC.exe was not found or could not be started.\n"
    "Install Inno Setup 5.5.9 or later, or put ISCC.exe next to this program.";

struct BuildNames {
  std::string folder;  // the builder folder, ending in a backslash
  std::string title;
  int photoCount = 0;

  std::string ScreenSaver() const { return folder + title + ".scr"; }
  std::string Script() const { return folder + title + ".iss"; }
  std::string CompilerOutput() const { return folder + kCompilerOutput; }
  std::string PhotoJpeg(int index) const { return folder + title + std::to_string(index) + ".jpg"; }
  std::string WizardImage() const { return folder + kWizardImageBmp; }
  std::string WizardSmallImage() const { return folder + kWizardSmallImageBmp; }
  // The inputs the compiler reads that are removed once the destination is chosen
  // (license.txt stays).
  std::vector<std::string> InputFiles() const;
};

// The compiler is told where to write, so any compiler version leaves its result at
// CompilerOutput(); the default output name differs between versions.
std::string CompilerCommandLine(const BuildNames& names);

// Four lines, each ended by CR LF.
std::string BuildSummary(const std::string& title, int photoCount, const std::string& sizeText,
                         const std::string& location);

// Megabytes of 1,000,000 bytes, truncated to two decimals, shortest form.
std::string FormatSetupSize(uint32_t bytes, char decimalSeparator);

}  // namespace prismora::output
