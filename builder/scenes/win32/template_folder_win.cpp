#include "builder/scenes/win32/template_folder_win.h"

#include <windows.h>

#include "builder/scenes/template_cli.h"
#include "platform/win32/win32_seams.h"

namespace prismora::scenes {

namespace {
// The runtime finds its scene as RCDATA 1001 in its own module.
constexpr WORD kSceneResourceId = 1001;

void Console(DWORD which, const std::string& text) {
  static const bool attached = AttachConsole(ATTACH_PARENT_PROCESS) != 0;
  (void)attached;
  HANDLE h = GetStdHandle(which);
  if (h == nullptr || h == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(h, text.data(), DWORD(text.size()), &written, nullptr);
}
}  // namespace

std::vector<std::string> Win32TemplateFolder::FileNames(const std::string& folder) {
  return platform::FileNamesIn(folder);
}

bool Win32TemplateFolder::PutSceneResource(const std::string& programPath, std::span<const uint8_t> scene) {
  HANDLE update = BeginUpdateResourceA(programPath.c_str(), FALSE);
  if (!update) return false;
  const bool put = UpdateResourceA(update, MAKEINTRESOURCEA(10) /* RT_RCDATA */,
                                   MAKEINTRESOURCEA(kSceneResourceId),
                                   MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL),
                                   const_cast<uint8_t*>(scene.data()), DWORD(scene.size()));
  return EndUpdateResourceA(update, put ? FALSE : TRUE) && put;
}

std::string BuilderFolderForImport() {
  std::string folder = platform::ProgramFolder();
  if (!folder.empty() && (folder.back() == '\\' || folder.back() == '/')) folder.pop_back();
  return folder;
}

int RunTemplateImportCli(const std::vector<std::string>& args) {
  const TemplateCliRequest request = ParseTemplateArguments(args);
  if (!request.problem.empty()) {
    Console(STD_ERROR_HANDLE, "Fotoprism: " + request.problem + "\r\n");
    return 2;
  }
  platform::Win32FileSystem files;
  Win32TemplateFolder folder;
  const ImportOutcome made = ImportTemplate({files, folder}, BuilderFolderForImport(),
                                            request.scenePath, request.name);
  if (!made.ok()) {
    std::string text = made.error;
    for (char& c : text)
      if (c == '\n') c = ' ';
    Console(STD_ERROR_HANDLE, "Fotoprism: " + text + "\r\n");
    return 1;
  }
  Console(STD_OUTPUT_HANDLE, "Template " + std::to_string(made.number) + " \"" + made.name +
                                 "\" written to " + made.path + "\r\n");
  return 0;
}

}  // namespace prismora::scenes
