// The build: from the open project to a setup program at the place the user chooses.
// The order, the clean-up rules and the waiting for the compiler live here; the window
// (or the command line) supplies each step.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/process.h"
#include "platform/seams.h"

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

struct BuildSteps {
  virtual ~BuildSteps() = default;
  // Title, author and photo checks with their warnings; false ends the build.
  virtual bool CheckProject() = 0;
  // Each writer returns false after telling the user what went wrong.
  virtual bool MakeScreenSaver(const std::string& target) = 0;
  virtual bool WriteScript(const std::string& path) = 0;  // and license.txt when enabled
  virtual bool ExportPhotos() = 0;
  virtual bool SaveWizardImages() = 0;
  // The destination of the setup program; nothing when the user cancels.
  virtual std::optional<std::string> AskDestination() = 0;
  virtual void ShowFinished(const std::string& summary, const std::string& destination) = 0;
};

struct BuildSeams {
  platform::FileSystem& files;
  platform::MessageBoxes& boxes;
  platform::ProcessLauncher& launcher;
  platform::WindowHandle owner = nullptr;
  char decimalSeparator = '.';
};

enum class BuildResult { Done, Refused, Failed, Cancelled };

BuildResult RunBuild(BuildSteps& steps, BuildSeams seams, const BuildNames& names);

}  // namespace prismora::output
