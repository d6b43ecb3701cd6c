#include "builder/output/build.h"

#include <cctype>
#include <cstdio>

namespace prismora::output {

std::vector<std::string> BuildNames::InputFiles() const {
  std::vector<std::string> files{ScreenSaver(), Script(), WizardSmallImage(), WizardImage()};
  for (int i = 0; i < photoCount; ++i) files.push_back(PhotoJpeg(i));
  return files;
}

std::vector<CompilerInstallRecord> CompilerInstallRecords() {
  using platform::RegistryRoot;
  using platform::RegistryView;
  std::vector<CompilerInstallRecord> records;
  for (const char* product : {"Inno Setup 6", "Inno Setup 5"})
    for (RegistryRoot root : {RegistryRoot::LocalMachine, RegistryRoot::CurrentUser})
      for (RegistryView view : {RegistryView::Bits32, RegistryView::Bits64})
        records.push_back({product, root, view});
  return records;
}

std::string CompilerUninstallKey(const char* product) {
  return std::string("Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\") + product + "_is1";
}

namespace {
bool SamePath(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}
}  // namespace

CompilerSearch FindCompiler(const std::string& builderFolder, platform::ReadRegistryString readRegistry,
                            platform::FileSystem& files) {
  CompilerSearch search;
  auto consider = [&](std::string folder) {
    if (folder.empty()) return;
    if (folder.back() != '\\') folder += '\\';
    const std::string path = folder + kCompilerFileName;
    for (const std::string& seen : search.places)
      if (SamePath(seen, path)) return;
    search.places.push_back(path);
  };
  consider(builderFolder);
  if (readRegistry)
    for (const CompilerInstallRecord& r : CompilerInstallRecords()) {
      // An installer may record the folder in quotes; a folder name cannot hold them.
      std::string folder = readRegistry(r.root, r.view, CompilerUninstallKey(r.product), "InstallLocation").value_or("");
      std::erase(folder, '"');
      consider(folder);
    }
  for (const std::string& path : search.places)
    if (files.FileExists(path)) {
      search.found = path;
      break;
    }
  return search;
}

std::string CompilerNotFoundText(const CompilerSearch& search, bool startFailed) {
  std::string text = startFailed ? "The Inno Setup compiler " + search.found.value_or(kCompilerFileName) +
                                       " could not be started.\n"
                                 : std::string("The Inno Setup compiler ISCC.exe was not found.\n");
  text += "Looked for it next to this program and where Inno Setup 6 and 5 record their installation:\n";
  for (const std::string& place : search.places) text += "    " + place + "\n";
  text += "    (the registry: InstallLocation of " + CompilerUninstallKey("Inno Setup 6") + " and of \"" +
          "Inno Setup 5_is1\", below HKEY_LOCAL_MACHINE and HKEY_CURRENT_USER)\n";
  text += "Inno Setup 5.5.9 or later (5.x or 6.x) is needed: install it, or put ISCC.exe next to this program.";
  return text;
}

std::string CompilerCommandLine(const std::string& compiler, const BuildNames& n) {
  std::string outputFolder = n.folder + "output";
  return "\"" + compiler + "\" /O\"" + outputFolder + "\" /Fsetup \"" + n.Script() + "\"";
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
