#include "builder/output/preview.h"

namespace prismora::output {

std::string PreviewPhotoFolder(const std::string& systemFolder) {
  std::string folder = systemFolder;
  if (!folder.empty() && folder.back() == '\\') folder.pop_back();
  return folder + "\\" + kPreviewStem + "\\";
}

std::string TemplatePreviewCommand(const std::string& previewPath, uintptr_t hostWindow) {
  return "\"" + previewPath + "\" /p " + std::to_string(hostWindow);
}

std::string ScreenSaverPreviewCommand(const std::string& previewPath) {
  return "\"" + previewPath + "\"";
}

std::string ScreenSaverShowCommand(const std::string& previewPath) {
  return ScreenSaverPreviewCommand(previewPath) + " /s";
}

namespace {
// The part both commands share: fresh settings, the preview file, current photos.
bool PreparePreviewFiles(PreviewSteps& steps, const PreviewContext& ctx, std::string& previewPath) {
  steps.DeletePreviewSettingsKey();
  previewPath = ctx.builderFolder + kPreviewFileName;
  if (!steps.AssemblePreviewFile(previewPath)) return false;
  if (!ctx.previewPhotosReady) {
    ctx.previewPhotosReady = true;
    if (!steps.PreparePhotos(PreviewPhotoFolder(ctx.systemFolder), kPreviewStem)) {
      // Half-written photos must not count as current.
      ctx.previewPhotosReady = false;
      return false;
    }
  }
  return true;
}
}  // namespace

bool RunTemplatePreview(PreviewSteps& steps, PreviewContext ctx) {
  if (steps.PhotoCount() < 2) {
    steps.WarnTooFewPhotosThenAdd();
    return false;
  }
  steps.StopTemplatePreview();
  uintptr_t host = steps.CreateHostFrame();
  std::string previewPath;
  if (!PreparePreviewFiles(steps, ctx, previewPath)) return false;
  if (steps.IsOldPlatform()) return false;
  steps.StartProcess(TemplatePreviewCommand(previewPath, host));
  return true;
}

namespace {
bool RunPreviewFile(PreviewSteps& steps, PreviewContext ctx, std::string (*command)(const std::string&)) {
  if (steps.PhotoCount() < 2) {
    steps.WarnTooFewPhotosThenAdd();
    return false;
  }
  steps.StopTemplatePreview();
  std::string previewPath;
  if (!PreparePreviewFiles(steps, ctx, previewPath)) return false;
  steps.StartProcess(command(previewPath));
  return true;
}
}  // namespace

bool RunScreenSaverPreview(PreviewSteps& steps, PreviewContext ctx) {
  return RunPreviewFile(steps, ctx, ScreenSaverPreviewCommand);
}

bool RunScreenSaverShow(PreviewSteps& steps, PreviewContext ctx) {
  return RunPreviewFile(steps, ctx, ScreenSaverShowCommand);
}

}  // namespace prismora::output
