#include "builder/scenes/win32/template_folder_win.h"

#include <windows.h>

#include "builder/project/win32/folders_win.h"
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

ImportFolders FoldersForImport() {
  const project::BuilderFolders folders = project::CurrentBuilderFolders();
  std::string program = folders.program;
  if (!program.empty() && (program.back() == '\\' || program.back() == '/')) program.pop_back();
  return {program, folders.ImportedTemplates()};
}

int RunTemplateImportCli(const std::vector<std::string>& args) {
  platform::Win32FileSystem files;
  Win32TemplateFolder folder;
  const ImportFolders folders = FoldersForImport();
  if (folders.imported.empty()) {
    Console(STD_ERROR_HANDLE, std::string("Fotoprism: ") + project::kNoUserFolder + "\r\n");
    return kTemplateFailed;
  }
  const TemplateCliOutcome run = RunTemplateCommand(args, {files, folder}, folders);
  if (!run.error.empty()) Console(STD_ERROR_HANDLE, run.error + "\r\n");
  if (!run.output.empty()) Console(STD_OUTPUT_HANDLE, run.output + "\r\n");
  return run.exitCode;
}

}  // namespace prismora::scenes
