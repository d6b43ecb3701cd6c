// The names and texts of the build: the files it writes into the builder folder, the
// compiler's command line and the summary of the finish window. The build itself is
// OutputPipeline::Build (pipeline.h).
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/seams.h"

namespace prismora::output {

inline constexpr const char* kCompilerOutput = "output\\setup.exe";
inline constexpr const char* kWizardImageBmp = "ImageWizardImageFile.bmp";
inline constexpr const char* kWizardSmallImageBmp = "ImageWizModernSmallImage.bmp";
inline constexpr const char* kUnexpectedError = "Unexpected error. Files don't create.";
inline constexpr const char* kCompilerFileName = "ISCC.exe";

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

// Where the Inno Setup compiler may be, in the order it is looked for: next to the
// builder, then where the installers of Inno Setup 6 and 5 say they put it (their
// uninstall entries' InstallLocation, machine-wide before per-user, each in both registry
// views). Only these full paths are used: a bare program name would let the current
// folder or the search path supply any program called ISCC.exe.
struct CompilerSearch {
  std::vector<std::string> places;  // every path looked at, in order, each once
  std::optional<std::string> found;  // the first of them that exists
};

// One registry entry an Inno Setup installer leaves behind.
struct CompilerInstallRecord {
  const char* product;  // "Inno Setup 6"
  platform::RegistryRoot root;
  platform::RegistryView view;
};
// The entries looked at, in order.
std::vector<CompilerInstallRecord> CompilerInstallRecords();
// Below HKLM or HKCU: the uninstall key of one product.
std::string CompilerUninstallKey(const char* product);

// `readRegistry` may be null (nothing recorded); `files` tells which candidates exist.
CompilerSearch FindCompiler(const std::string& builderFolder, platform::ReadRegistryString readRegistry,
                            platform::FileSystem& files);

// The error text when no compiler was found (or the one found did not start): where the
// build looked and which versions work.
std::string CompilerNotFoundText(const CompilerSearch& search, bool startFailed);

// The compiler started by its full path, and told where to write, so any compiler
// version leaves its result at CompilerOutput() (the default output name differs between
// versions).
std::string CompilerCommandLine(const std::string& compiler, const BuildNames& names);

// Four lines, each ended by CR LF.
std::string BuildSummary(const std::string& title, int photoCount, const std::string& sizeText,
                         const std::string& location);

// Megabytes of 1,000,000 bytes, truncated to two decimals, shortest form.
std::string FormatSetupSize(uint32_t bytes, char decimalSeparator);

}  // namespace prismora::output
