// A stand-in for the Inno Setup command-line compiler, for build tests on machines where
// the real (32-bit) one cannot run. It takes the same arguments the builder passes,
//   ISCC.exe /O"<folder>" /F<name> "<script>",
// checks that every file the script's [Files] section names exists right now (so a
// build that removes its inputs too early fails), and writes <folder>\<name>.exe holding
// the script and the size of each input. Exit code 0 on success, 2 otherwise.
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "builder/output/cli.h"

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
  std::istringstream lines(report);
  std::string row;
  while (std::getline(lines, row)) {
    std::size_t at = row.find("Source: \"");
    if (at != 0) continue;
    std::size_t end = row.find('"', at + 9);
    std::string source = row.substr(at + 9, end - at - 9);
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(source.c_str(), GetFileExInfoStandard, &data)) {
      std::fprintf(stderr, "fake ISCC: missing source %s\n", source.c_str());
      return 2;
    }
    report += "\r\n" + source + " " + std::to_string(data.nFileSizeLow);
  }
  CreateDirectoryA(outFolder.c_str(), nullptr);
  std::ofstream out(outFolder + "\\" + outName + ".exe", std::ios::binary);
  out << "MZ fake setup\r\n" << report;
  return out ? 0 : 2;
}
