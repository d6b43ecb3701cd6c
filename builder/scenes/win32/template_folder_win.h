// The builder folder as the platform sees it: listing its files and putting a scene
// into a program file as a resource.
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

// The builder folder without its trailing separator, as the import takes it.
std::string BuilderFolderForImport();

// `Fotoprism.exe /template SCENE.x "Name"`: imports and reports on the console;
// exit codes as TemplateExitCode says (0 made, 1 refused, 2 wrong arguments, 3 out of
// memory, 4 any other failure).
int RunTemplateImportCli(const std::vector<std::string>& args);

}  // namespace prismora::scenes
