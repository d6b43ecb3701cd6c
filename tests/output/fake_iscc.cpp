// A stand-in for the Inno Setup command-line compiler, for build tests on machines where
// the real (32-bit) one cannot run. It takes the same arguments the builder passes,
//   ISCC.exe /O"<folder>" /F<name> "<script>",
// checks that every file the script's [Files] section names exists right now (so a
// build that removes its inputs too early fails), and writes <folder>\<name>.exe holding
// the script and the size of each input. Exit code 0 on success, 2 otherwise.
//
// Two environment variables serve tests that look at the build's inputs:
//   PRISMORA_FAKE_ISCC_KEEP   a folder that receives a copy of the script and of every
//                             file it names (the build deletes its own copies);
//   PRISMORA_FAKE_ISCC_SLEEP  milliseconds to "compile", so a build waits for it.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "builder/output/cli.h"

namespace {

std::string FolderOf(const std::string& path) { return path.substr(0, path.find_last_of('\\') + 1); }
std::string NameOf(const std::string& path) { return path.substr(path.find_last_of('\\') + 1); }

// The files a script names: [Files] sources with their full paths, and the wizard
// pictures and licence beside the script.
std::vector<std::string> NamedFiles(const std::string& script, const std::string& text) {
  std::vector<std::string> files;
  std::istringstream lines(text);
  std::string row;
  while (std::getline(lines, row)) {
    if (!row.empty() && row.back() == '\r') row.pop_back();
    if (row.rfind("Source: \"", 0) == 0) files.push_back(row.substr(9, row.find('"', 9) - 9));
    for (const char* key : {"WizardImageFile=", "WizardSmallImageFile=", "LicenseFile="})
      if (row.rfind(key, 0) == 0) files.push_back(FolderOf(script) + row.substr(std::string(key).size()));
  }
  return files;
}

}  // namespace

int main() {
  const char* line = GetCommandLineA();
  std::vector<std::string> args = prismora::output::SplitCommandLine(line);
  std::string outFolder = ".", outName = "setup", script;
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a.rfind("/O", 0) == 0) outFolder = a.substr(2);
    else if (a.rfind("/F", 0) == 0) outName = a.substr(2);
    else script = a;
  }
  std::ifstream in(script, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "fake ISCC: cannot read %s\n", script.c_str());
    return 2;
  }
  std::stringstream text;
  text << in.rdbuf();
  std::string report = text.str();
  const char* keep = std::getenv("PRISMORA_FAKE_ISCC_KEEP");
  if (keep) CopyFileA(script.c_str(), (std::string(keep) + "\\" + NameOf(script)).c_str(), FALSE);
  for (const std::string& source : NamedFiles(script, text.str())) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(source.c_str(), GetFileExInfoStandard, &data)) {
      std::fprintf(stderr, "fake ISCC: missing source %s\n", source.c_str());
      return 2;
    }
    report += "\r\n" + source + " " + std::to_string(data.nFileSizeLow);
    if (keep) CopyFileA(source.c_str(), (std::string(keep) + "\\" + NameOf(source)).c_str(), FALSE);
  }
  if (const char* sleep = std::getenv("PRISMORA_FAKE_ISCC_SLEEP")) Sleep(DWORD(std::atoi(sleep)));
  CreateDirectoryA(outFolder.c_str(), nullptr);
  std::ofstream out(outFolder + "\\" + outName + ".exe", std::ios::binary);
  out << "MZ fake setup\r\n" << report;
  return out ? 0 : 2;
}
