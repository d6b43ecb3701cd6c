#include "builder/output/preview.h"

namespace prismora::output {

std::string TemplatePreviewCommand(const std::string& previewPath, uintptr_t hostWindow) {
  return "\"" + previewPath + "\" /p " + std::to_string(hostWindow);
}

std::string ScreenSaverPreviewCommand(const std::string& previewPath) {
  return "\"" + previewPath + "\"";
}

std::string ScreenSaverShowCommand(const std::string& previewPath) {
  return ScreenSaverPreviewCommand(previewPath) + " /s";
}

}  // namespace prismora::output
