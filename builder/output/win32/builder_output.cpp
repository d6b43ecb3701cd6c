#include "builder/output/win32/builder_output.h"

#include <windows.h>

#include "builder/output/assembly.h"
#include "builder/output/assets_win.h"
#include "builder/output/preview.h"
#include "builder/output/script.h"
#include "builder/photos/win32/dib_surface.h"
#include "builder/photos/win32/photo_runs_win.h"
#include "builder/photos/win32/picture_decoder.h"
#include "builder/window/form_layout.h"

namespace prismora::output {
using platform::BoxIcon;

std::string BuilderOutput::BuilderFolder() const {
  std::string folder = FolderOf(s_.builderProgramPath);
  if (folder.empty() || folder.back() != '\\') folder += '\\';
  return folder;
}

namespace {

// The main window's two image surfaces as the photo runs see them.
class FormSurfaces final : public photos::FittingSurfaces {
 public:
  explicit FormSurfaces(window::TForm1& form) : form_(form) {}
  photos::PixelView Preview() override { return View(form_.PreviewSurface()); }
  photos::PixelView ForSave() override { return View(form_.ForSaveSurface()); }
  void Drawn() override { form_.RepaintPreview(); }

 private:
  static photos::PixelView View(wingui::Surface& s) {
    GdiFlush();  // GDI drawing must land before the pixels are touched
    return {s.Bits(), s.Width(), s.Height(), s.Stride()};
  }
  window::TForm1& form_;
};

// What a photo run needs, gathered from the window at the moment of use.
struct PhotoRunOnForm {
  project::ProjectSettings settings;
  FormSurfaces surfaces;
  photos::PhotoDecoder decode;
  photos::PhotoJob job;
  PhotoRunOnForm(window::TForm1& form, platform::FileSystem& files)
      : settings(form.ReadSettings()),
        surfaces(form),
        decode(photos::MakePlatformPhotoDecoder(files)),
        job{settings, form.Random(), surfaces, decode} {}
};

}  // namespace

class PreviewStepsOnForm final : public PreviewSteps {
 public:
  PreviewStepsOnForm(BuilderOutput& out, window::TForm1& form) : o_(out), form_(form) {}
  int PhotoCount() override { return form_.PhotoCount(); }
  void WarnTooFewPhotosThenAdd() override {
    o_.s_.boxes.Show(form_.Handle(), kTooFewPhotos, "Warning!", BoxIcon::Warning);
    form_.AddPhotos();
  }
  void StopTemplatePreview() override { o_.StopTemplatePreview(form_); }
  uintptr_t CreateHostFrame() override {
    o_.frame_ = std::make_unique<TFrame7>(form_.PreviewPanel(), form_.OldPlatform());
    return reinterpret_cast<uintptr_t>(o_.frame_->Panel1());
  }
  void DeletePreviewSettingsKey() override {
    if (o_.s_.deleteUserKey) o_.s_.deleteUserKey(kPreviewSettingsKey);
  }
  bool AssemblePreviewFile(const std::string& target) override {
    project::ProjectSettings s = form_.ReadSettings();
    return AssemblePreviewScreenSaver({o_.s_.files, o_.s_.boxes, o_.s_.pump, form_.Handle()},
                                      TemplatePath(o_.s_.builderProgramPath, s.TemplateIndex),
                                      RecordFor(s, true), target);
  }
  bool PreparePhotos(const std::string& folder, const std::string& stem) override {
    PhotoRunOnForm run(form_, o_.s_.files);
    photos::RunResult r = photos::PrepareTexturesInFolder(
        run.job, {o_.s_.files, o_.s_.pump, o_.s_.progress}, folder, stem);
    if (!r.ok) o_.s_.boxes.Show(form_.Handle(), r.error, "Error", BoxIcon::Error);
    return r.ok;
  }
  bool IsOldPlatform() override { return form_.OldPlatform(); }
  void StartProcess(const std::string& commandLine) override {
    o_.s_.launcher.StartDetached(commandLine);  // nothing is reported when it fails
  }

 private:
  BuilderOutput& o_;
  window::TForm1& form_;
};

class BuildStepsOnForm final : public BuildSteps {
 public:
  BuildStepsOnForm(BuilderOutput& out, window::TForm1& form, const BuildNames& names)
      : o_(out), form_(form), names_(names) {}

  bool CheckProject() override {
    project::ProjectSettings s = form_.ReadSettings();
    if (s.Title.empty()) return Refuse(window::EditTitle, "Please fill Title field", true);
    if (auto why = UnsafeTitleReason(s.Title)) return Refuse(window::EditTitle, *why, true);
    if (s.Author.empty()) return Refuse(window::EditAutor, "Please fill Autor field", true);
    if (form_.PhotoCount() < 2) {
      Warn(kTooFewPhotos);
      form_.AddPhotos();
      return false;
    }
    return true;
  }
  bool MakeScreenSaver(const std::string& target) override {
    project::ProjectSettings s = form_.ReadSettings();
    return AssembleBuildScreenSaver({o_.s_.files, o_.s_.boxes, o_.s_.pump, form_.Handle()},
                                    TemplatePath(o_.s_.builderProgramPath, s.TemplateIndex),
                                    RecordFor(s, false), target);
  }
  bool WriteScript(const std::string& path) override {
    std::string error;
    std::optional<std::string> text =
        BuildSetupScript(form_.ReadSettings(), names_.folder, o_.s_.files, error);
    if (text) {
      std::string file = SetupScriptFile(*text);
      if (o_.s_.files.ReplaceFileContents(
              path, {reinterpret_cast<const uint8_t*>(file.data()), file.size()}))
        return true;
      error = "Cannot create file " + path;
    }
    return Fail(error);
  }
  bool ExportPhotos() override {
    PhotoRunOnForm run(form_, o_.s_.files);
    photos::RunResult r =
        photos::ExportPhotoJpegs(run.job, {o_.s_.files, o_.s_.pump, o_.s_.progress}, names_.folder);
    return r.ok || Fail(r.error);
  }
  bool SaveWizardImages() override {
    std::string error;
    bool ok = output::SaveWizardImages(
        photos::DrawBitmapStretched(form_.WizardImageForSave().Bitmap()),
        photos::DrawBitmapStretched(form_.WizardSmallImageForSave().Bitmap()), names_.folder,
        o_.s_.files, error);
    return ok || Fail(error);
  }
  std::optional<std::string> AskDestination() override {
    platform::FileDialogOptions options;
    options.filter = "*.exe|*.exe";
    options.defaultExt = "exe";
    options.initialName = lastDestination_;
    std::optional<std::string> chosen = o_.s_.dialogs.Save(form_.Handle(), options);
    if (chosen) lastDestination_ = *chosen;
    return chosen;
  }
  void ShowFinished(const std::string& summary, const std::string& destination) override {
    o_.finish_.ShowSummary(summary, destination);
  }

 private:
  void Warn(const std::string& text) {
    o_.s_.boxes.Show(form_.Handle(), text, "Warning!", BoxIcon::Warning);
  }
  bool Refuse(int editId, const std::string& text, bool informationPage) {
    if (informationPage) form_.ImagePanelTitleAutorClick();
    SetFocus(form_.Controls()[editId]);
    Warn(text);
    return false;
  }
  bool Fail(const std::string& error) {
    o_.s_.boxes.Show(form_.Handle(), error, "Error", BoxIcon::Error);
    return false;
  }
  BuilderOutput& o_;
  window::TForm1& form_;
  const BuildNames& names_;
  static inline std::string lastDestination_;  // the dialog keeps the last chosen name
};

void BuilderOutput::TemplateChosen(window::TForm1& form) {
  PreviewStepsOnForm steps(*this, form);
  bool ready = form.PreviewPhotosReady();
  RunTemplatePreview(steps, {BuilderFolder(), s_.systemFolder, ready});
  form.SetPreviewPhotosReady(ready);
}

void BuilderOutput::PreviewScreenSaver(window::TForm1& form) {
  PreviewStepsOnForm steps(*this, form);
  bool ready = form.PreviewPhotosReady();
  RunScreenSaverPreview(steps, {BuilderFolder(), s_.systemFolder, ready});
  form.SetPreviewPhotosReady(ready);
}

void BuilderOutput::Build(window::TForm1& form) {
  project::ProjectSettings s = form.ReadSettings();
  BuildNames names{BuilderFolder(), s.Title, int(s.Photos.size())};
  BuildStepsOnForm steps(*this, form, names);
  char separator[8] = ".";
  GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separator, sizeof separator);
  RunBuild(steps, {s_.files, s_.boxes, s_.launcher, form.Handle(), separator[0]}, names);
}

void BuilderOutput::StopTemplatePreview(window::TForm1& form) {
  frame_.reset();  // the runtime's window goes with it, and the runtime ends itself
  form.RepaintPreview();
}

}  // namespace prismora::output
