#include "builder/output/pipeline.h"

#include "builder/output/assembly.h"
#include "builder/output/assets.h"
#include "builder/output/script.h"
#include "builder/photos/bmp.h"

namespace prismora::output {
using platform::BoxIcon;

// ---- the previews ------------------------------------------------------------------

PreviewResult OutputPipeline::TemplatePreview() { return Preview(PreviewKind::InFrame); }
PreviewResult OutputPipeline::ScreenSaverPreview() { return Preview(PreviewKind::SettingsDialog); }
PreviewResult OutputPipeline::ScreenSaverShow() { return Preview(PreviewKind::FullScreen); }

PreviewResult OutputPipeline::Preview(PreviewKind kind) {
  const project::ProjectSettings s = front_.Project();
  const uint32_t photosStamp = front_.PreviewPhotosState().Stamp();
  if (s.Photos.size() < 2) {
    WarnTooFewPhotosThenAdd();
    return PreviewResult::Refused;
  }
  front_.StopTemplatePreview();
  const uintptr_t host = kind == PreviewKind::InFrame ? front_.CreateHostFrame() : 0;
  std::string previewPath;
  if (!PreparePreviewFiles(s, photosStamp, previewPath)) return PreviewResult::Failed;
  std::string command;
  switch (kind) {
    case PreviewKind::InFrame:
      if (front_.OldPlatform()) return PreviewResult::Prepared;
      command = TemplatePreviewCommand(previewPath, host);
      break;
    case PreviewKind::SettingsDialog: command = ScreenSaverPreviewCommand(previewPath); break;
    case PreviewKind::FullScreen: command = ScreenSaverShowCommand(previewPath); break;
  }
  return s_.launcher.StartDetached(command) ? PreviewResult::Started : PreviewResult::StartFailed;
}

// What both previews share: fresh settings for the runtime, the preview file, and the
// photo bitmaps unless they are current.
bool OutputPipeline::PreparePreviewFiles(const project::ProjectSettings& s, uint32_t photosStamp,
                                         std::string& previewPath) {
  if (s_.deleteUserKey) s_.deleteUserKey(kPreviewSettingsKey);
  previewPath = s_.folders.PreviewScreenSaver();
  if (!AssemblePreviewScreenSaver({s_.files, s_.boxes, s_.pump, s_.owner}, s_.folders.Template(s.TemplateIndex),
                                  RecordFor(s, true, s_.codePage), previewPath))
    return false;
  PreviewPhotos& photos = front_.PreviewPhotosState();
  if (photos.Ready()) return true;
  if (!WritePhotoBitmaps(s, s_.folders.PreviewPhotos())) return false;
  photos.Prepared(photosStamp);
  return true;
}

bool OutputPipeline::WritePhotoBitmaps(const project::ProjectSettings& s, const std::string& folder) {
  s_.files.CreateFolder(folder);  // fails when it exists; a real failure shows at the first bitmap
  photos::PhotoJob job{s, s_.random, front_.PhotoSurfaces(), s_.decode};
  photos::RunResult r = photos::PrepareTextures(job, {s_.files, s_.pump, front_.Progress()}, folder, kPreviewStem);
  return r.ok || Fail(r.error);
}

// ---- the build -----------------------------------------------------------------------

BuildResult OutputPipeline::Build() {
  const project::ProjectSettings s = front_.Project();
  const BuildNames names{s_.folders.user, s.Title, int(s.Photos.size())};

  if (!CheckProject(s)) return BuildResult::Refused;
  s_.files.RemoveFile(names.CompilerOutput());
  if (!MakeScreenSaver(s, names)) return BuildResult::Failed;
  if (!WriteScript(s, names)) return BuildResult::Failed;  // and license.txt
  if (!ExportPhotos(s, names)) return BuildResult::Failed;
  if (!SaveWizardImages(names)) return BuildResult::Failed;
  if (!StartCompiler(names)) return BuildResult::Failed;

  const std::optional<std::string> destination = front_.AskDestination();
  // The compiler still reads the inputs; nothing may be removed or copied before it ends.
  s_.launcher.WaitForLastProcess();
  if (!destination) return BuildResult::Cancelled;

  DeleteBuildFiles(names);
  if (!CopySetupProgram(names, *destination)) return BuildResult::Failed;
  ShowSummary(names, *destination);
  s_.files.RemoveFile(names.CompilerOutput());
  return BuildResult::Done;
}

bool OutputPipeline::CheckProject(const project::ProjectSettings& s) {
  if (s.Title.empty()) return Refuse(ProjectField::Title, "Please fill Title field");
  if (auto why = UnsafeTitleReason(s.Title, s_.codePage)) return Refuse(ProjectField::Title, *why);
  if (s.Author.empty()) return Refuse(ProjectField::Author, "Please fill Autor field");
  if (s.Photos.size() < 2) {
    WarnTooFewPhotosThenAdd();
    return false;
  }
  return true;
}

bool OutputPipeline::MakeScreenSaver(const project::ProjectSettings& s, const BuildNames& names) {
  return AssembleBuildScreenSaver({s_.files, s_.boxes, s_.pump, s_.owner}, s_.folders.Template(s.TemplateIndex),
                                  RecordFor(s, false, s_.codePage), names.ScreenSaver());
}

bool OutputPipeline::WriteScript(const project::ProjectSettings& s, const BuildNames& names) {
  std::string error;
  const std::optional<std::string> text = BuildSetupScript(s, names.folder, s_.folders.program, s_.files, error);
  if (!text) return Fail(error);
  const std::string file = SetupScriptFile(*text);
  if (!s_.files.ReplaceFileContents(names.Script(), {reinterpret_cast<const uint8_t*>(file.data()), file.size()}))
    return Fail("Cannot create file \"" + names.Script() + "\".");
  return true;
}

bool OutputPipeline::ExportPhotos(const project::ProjectSettings& s, const BuildNames& names) {
  photos::PhotoJob job{s, s_.random, front_.PhotoSurfaces(), s_.decode};
  photos::RunResult r = photos::ExportPhotoJpegs(job, {s_.files, s_.pump, front_.Progress()}, names.folder);
  return r.ok || Fail(r.error);
}

bool OutputPipeline::SaveWizardImages(const BuildNames& names) {
  return SaveWizardImage(WizardSlot::Large, kWizardImageWidth, kWizardImageHeight, names.WizardImage()) &&
         SaveWizardImage(WizardSlot::Small, kWizardSmallImageSide, kWizardSmallImageSide,
                         names.WizardSmallImage());
}

bool OutputPipeline::SaveWizardImage(WizardSlot slot, int width, int height, const std::string& path) {
  photos::PixelImage picture;
  std::string error;
  if (!front_.WizardPicture(slot, width, height, picture, error)) return Fail(error);
  if (picture.Width() != width || picture.Height() != height)
    return Fail("The wizard picture for \"" + path + "\" was not drawn at its size.");
  if (!s_.files.ReplaceFileContents(path, photos::EncodeBmp24(picture.View())))
    return Fail("Cannot create file \"" + path + "\".");
  return true;
}

bool OutputPipeline::StartCompiler(const BuildNames& names) {
  const CompilerSearch search = FindCompiler(s_.folders.program, s_.readRegistryString, s_.files);
  // Known now, not after the user picked a destination; the written inputs stay where
  // they are, as after a cancelled build.
  if (!search.found) return Fail(CompilerNotFoundText(search, false));
  if (s_.launcher.StartHidden(CompilerCommandLine(*search.found, names), names.folder)) return true;
  return Fail(CompilerNotFoundText(search, true));
}

void OutputPipeline::DeleteBuildFiles(const BuildNames& names) {
  for (const std::string& file : names.InputFiles()) s_.files.RemoveFile(file);  // failures do not matter
}

bool OutputPipeline::CopySetupProgram(const BuildNames& names, const std::string& destination) {
  return s_.files.CopyReplacing(names.CompilerOutput(), destination) || Fail(kUnexpectedError);
}

void OutputPipeline::ShowSummary(const BuildNames& names, const std::string& destination) {
  const int64_t size = s_.files.FileSize(destination);
  const std::string sizeText = FormatSetupSize(uint32_t(size < 0 ? 0 : size), s_.decimalSeparator);
  front_.ShowFinished(BuildSummary(names.title, names.photoCount, sizeText, destination), destination);
}

// ---- messages --------------------------------------------------------------------------

void OutputPipeline::WarnTooFewPhotosThenAdd() {
  Warn(kTooFewPhotos);
  front_.AddPhotos();
}

bool OutputPipeline::Refuse(ProjectField field, const std::string& text) {
  front_.FocusField(field);
  Warn(text);
  return false;
}

void OutputPipeline::Warn(const std::string& text) { s_.boxes.Show(s_.owner, text, "Warning!", BoxIcon::Warning); }

bool OutputPipeline::Fail(const std::string& text) {
  s_.boxes.Show(s_.owner, text, "Error", BoxIcon::Error);
  return false;
}

}  // namespace prismora::output
