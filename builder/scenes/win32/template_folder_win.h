// The folders of imported templates as the platform sees them: listing their files and
// putting a scene into a program file as a resource.
#pragma once
#include <string>
#include <vector>

#include "builder/scenes/template_import.h"

namespace prismora::scenes {

class Win32TemplateFolder final : public TemplateFolder {
 public:
  std::vector<std::string> FileNames(const std::string& folder) override;
  bool PutSceneResource(const std::string& programPath, std::span<const uint8_t> scene) override;
};

// The program folder and the user folder without their trailing separators, as the
// import takes them; the user folder is empty when Windows names none.
ImportFolders FoldersForImport();

// `Fotoprism.exe /template SCENE.x "Name"`: imports and reports on the console;
// exit codes as TemplateExitCode says (0 made, 1 refused, 2 wrong arguments, 3 out of
// memory, 4 any other failure).
int RunTemplateImportCli(const std::vector<std::string>& args);

}  // namespace prismora::scenes
