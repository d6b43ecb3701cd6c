#include "builder/output/win32/cli_run.h"

#include <windows.h>

#include <memory>
#include <optional>

#include "builder/output/assembly.h"
#include "builder/output/assets_win.h"
#include "builder/output/build.h"
#include "builder/output/script.h"
#include "builder/output/preview.h"
#include "builder/photos/win32/dib_surface.h"
#include "builder/photos/win32/photo_runs_win.h"
#include "builder/photos/win32/picture_decoder.h"
#include "builder/project/project_file.h"
#include "builder/thumbnails/picture.h"
#include "common/trailer.h"
#include "platform/win32/process_launcher.h"
#include "platform/win32/win32_seams.h"

namespace prismora::output {
namespace {

// A program without a console of its own writes to the one it was started from.
void Write(DWORD which, const std::string& text) {
  static bool attached = AttachConsole(ATTACH_PARENT_PROCESS) != 0;
  (void)attached;
  HANDLE h = GetStdHandle(which);
  if (h == nullptr || h == INVALID_HANDLE_VALUE) return;
  DWORD written;
  WriteFile(h, text.data(), DWORD(text.size()), &written, nullptr);
}
void Out(const std::string& text) { Write(STD_OUTPUT_HANDLE, text + "\r\n"); }
void Err(const std::string& text) { Write(STD_ERROR_HANDLE, "Fotoprism: " + text + "\r\n"); }

std::string OneLine(std::string text) {
  for (char& c : text)
    if (c == '\n' || c == '\r') c = ' ';
  return text;
}

// Boxes become lines on the console; nobody is there to answer them.
struct ConsoleBoxes final : platform::MessageBoxes {
  platform::BoxAnswer Show(platform::WindowHandle, const std::string& text, const std::string& caption,
                           platform::BoxIcon, platform::BoxButtons) override {
    Err(caption + ": " + OneLine(text));
    return platform::BoxAnswer::Ok;
  }
};

struct ConsoleProgress final : photos::ProgressUi {
  void Show() override {}
  void Hide() override {}
  void SetRange(int, int maximum) override { total = maximum; }
  void SetPosition(int position) override { Out("  photo " + std::to_string(position + 1) + " of " + std::to_string(total)); }
  void SetLabel(const std::string&) override {}
  int total = 0;
};

std::string FullPath(const std::string& path) {
  char buf[MAX_PATH * 2];
  DWORD n = GetFullPathNameA(path.c_str(), sizeof buf, buf, nullptr);
  return n > 0 && n < sizeof buf ? std::string(buf, n) : path;
}

// What the window gives a photo run: the offscreen equivalents of its two image
// surfaces, the random colours and the photo decoder.
struct OffscreenPhotos {
  explicit OffscreenPhotos(platform::FileSystem& files)
      : decode(photos::MakePlatformPhotoDecoder(files)) {}
  photos::PhotoJob JobFor(const project::ProjectSettings& s) {
    return {s, random, surfaces, decode};
  }
  photos::DibSurface preview{256, 256}, forSave{512, 512};
  photos::DibFittingSurfaces surfaces{preview, forSave};
  photos::RandomColors random;
  photos::PhotoDecoder decode;
};

// The first photo of the project that is not there, if any.
std::optional<std::string> MissingPhoto(const project::ProjectSettings& s,
                                        platform::FileSystem& files) {
  for (const std::string& photo : s.Photos)
    if (!files.FileExists(photo)) return "The photo " + photo + " cannot be found.";
  return std::nullopt;
}

// A wizard picture as the project names it; a bare default name is looked for in the
// current folder first, then next to the builder.
std::shared_ptr<thumbnails::TIPicture> LoadWizardPicture(const std::string& path, const std::string& builderFolder) {
  auto picture = std::make_shared<thumbnails::TIPicture>();
  picture->LoadFromFile(path);
  if (picture->Empty() && path.find('\\') == std::string::npos) picture->LoadFromFile(builderFolder + path);
  return picture;
}

class CliBuildSteps final : public BuildSteps {
 public:
  CliBuildSteps(const project::ProjectSettings& s, const BuildNames& names, std::string destination,
                platform::FileSystem& files, platform::MessageBoxes& boxes, platform::MessagePump& pump)
      : s_(s), names_(names), destination_(std::move(destination)), files_(files), boxes_(boxes), pump_(pump),
        offscreen_(files) {}

  bool CheckProject() override {
    if (s_.Title.empty()) return Refuse("Please fill Title field");
    if (auto why = UnsafeTitleReason(s_.Title)) return Refuse(*why);
    if (s_.Author.empty()) return Refuse("Please fill Autor field");
    if (s_.Photos.size() < 2) return Refuse("Please firstly add at least two photos");
    if (auto missing = MissingPhoto(s_, files_)) return Refuse(*missing);
    return true;
  }
  bool MakeScreenSaver(const std::string& target) override {
    Out("Making " + target);
    return AssembleBuildScreenSaver({files_, boxes_, pump_, nullptr},
                                    TemplatePath(platform::ProgramPath(), s_.TemplateIndex),
                                    RecordFor(s_, false), target);
  }
  bool WriteScript(const std::string& path) override {
    std::string error;
    std::optional<std::string> text = BuildSetupScript(s_, names_.folder, files_, error);
    if (!text) return Fail(error);
    std::string file = SetupScriptFile(*text);
    if (!files_.ReplaceFileContents(path, {reinterpret_cast<const uint8_t*>(file.data()), file.size()}))
      return Fail("Cannot create file " + path);
    return true;
  }
  bool ExportPhotos() override {
    Out("Exporting " + std::to_string(s_.Photos.size()) + " photos");
    photos::PhotoJob job = offscreen_.JobFor(s_);
    photos::RunResult r = photos::ExportPhotoJpegs(job, {files_, pump_, progress_}, names_.folder);
    return r.ok || Fail(r.error);
  }
  bool SaveWizardImages() override {
    auto large = LoadWizardPicture(s_.WizardImageFile, names_.folder);
    auto small = LoadWizardPicture(s_.WizardSmallImageFile, names_.folder);
    if (large->Empty()) return Fail("Cannot load the wizard picture " + s_.WizardImageFile);
    if (small->Empty()) return Fail("Cannot load the wizard picture " + s_.WizardSmallImageFile);
    std::string error;
    return output::SaveWizardImages([large](HDC dc, const RECT& r) { large->Draw(dc, r); },
                                    [small](HDC dc, const RECT& r) { small->Draw(dc, r); },
                                    names_.folder, files_, error) ||
           Fail(error);
  }
  std::optional<std::string> AskDestination() override {
    Out("Compiling the setup program");
    return destination_;
  }
  void ShowFinished(const std::string& summary, const std::string&) override { Write(STD_OUTPUT_HANDLE, summary); }

 private:
  bool Refuse(const std::string& why) {
    Err(why);
    return false;
  }
  bool Fail(const std::string& why) { return Refuse(OneLine(why)); }
  const project::ProjectSettings& s_;
  const BuildNames& names_;
  std::string destination_;
  platform::FileSystem& files_;
  platform::MessageBoxes& boxes_;
  platform::MessagePump& pump_;
  ConsoleProgress progress_;
  OffscreenPhotos offscreen_;
};

std::optional<project::ProjectSettings> LoadProject(const std::string& path, platform::FileSystem& files) {
  if (!files.FileExists(path)) {
    Err("The project file " + path + " cannot be found.");
    return std::nullopt;
  }
  auto settings = project::LoadProjectFile(path, project::FirstStartSettings(), files);
  if (!settings) Err("The project file " + path + " cannot be read.");
  return settings;
}

int RunBuildRequest(const CliRequest& r) {
  platform::Win32FileSystem files;
  platform::Win32MessagePump pump;
  ConsoleBoxes boxes;
  platform::Win32ProcessLauncher launcher(pump);
  std::optional<project::ProjectSettings> s = LoadProject(r.project, files);
  if (!s) return 2;
  BuildNames names{platform::ProgramFolder(), s->Title, int(s->Photos.size())};
  std::string destination = FullPath(r.target);
  CliBuildSteps steps(*s, names, destination, files, boxes, pump);
  BuildResult result = RunBuild(steps, {files, boxes, launcher, nullptr, '.'}, names);
  if (result != BuildResult::Done) return result == BuildResult::Refused ? 3 : 1;
  Out("Wrote " + destination);
  return 0;
}

int RunPrepareRequest(const CliRequest& r) {
  platform::Win32FileSystem files;
  platform::Win32MessagePump pump;
  std::optional<project::ProjectSettings> s = LoadProject(r.project, files);
  if (!s) return 2;
  std::string folder = FullPath(r.target);
  if (folder.back() != '\\') folder += '\\';
  OffscreenPhotos offscreen(files);
  ConsoleProgress progress;
  photos::PhotoJob job = offscreen.JobFor(*s);
  photos::RunResult result = photos::PrepareTexturesInFolder(job, {files, pump, progress}, folder, "preview");
  if (!result.ok) {
    Err(OneLine(result.error));
    return 1;
  }
  Out("Wrote " + std::to_string(s->Photos.size()) + " photo bitmaps into " + folder);
  return 0;
}

// The preview steps without a window: the photos from the project file, messages on
// the console, the screen saver started on its own.
class CliPreviewSteps final : public PreviewSteps {
 public:
  CliPreviewSteps(const project::ProjectSettings& s, platform::FileSystem& files, platform::MessagePump& pump,
                  platform::ProcessLauncher& launcher)
      : s_(s), files_(files), pump_(pump), launcher_(launcher), offscreen_(files) {}
  int PhotoCount() override { return int(s_.Photos.size()); }
  void WarnTooFewPhotosThenAdd() override { Err(kTooFewPhotos); }
  void StopTemplatePreview() override {}
  uintptr_t CreateHostFrame() override { return 0; }
  void DeletePreviewSettingsKey() override { platform::DeleteUserRegistryKey(kPreviewSettingsKey); }
  bool AssemblePreviewFile(const std::string& target) override {
    return AssemblePreviewScreenSaver({files_, boxes_, pump_, nullptr},
                                      TemplatePath(platform::ProgramPath(), s_.TemplateIndex),
                                      RecordFor(s_, true), target);
  }
  bool PreparePhotos(const std::string& folder, const std::string& stem) override {
    photos::PhotoJob job = offscreen_.JobFor(s_);
    photos::RunResult r = photos::PrepareTexturesInFolder(job, {files_, pump_, progress_}, folder, stem);
    if (!r.ok) Err(OneLine(r.error));
    return r.ok;
  }
  bool IsOldPlatform() override { return false; }
  void StartProcess(const std::string& commandLine) override { started = launcher_.StartDetached(commandLine); }
  bool started = false;

 private:
  const project::ProjectSettings& s_;
  platform::FileSystem& files_;
  platform::MessagePump& pump_;
  platform::ProcessLauncher& launcher_;
  ConsoleBoxes boxes_;
  ConsoleProgress progress_;
  OffscreenPhotos offscreen_;
};

int RunShowRequest(const CliRequest& r) {
  platform::Win32FileSystem files;
  platform::Win32MessagePump pump;
  platform::Win32ProcessLauncher launcher(pump);
  std::optional<project::ProjectSettings> s = LoadProject(r.project, files);
  if (!s) return 2;
  if (auto missing = MissingPhoto(*s, files)) {
    Err(*missing);
    return 1;
  }
  char system[MAX_PATH] = {};
  GetSystemDirectoryA(system, MAX_PATH);
  CliPreviewSteps steps(*s, files, pump, launcher);
  bool photosReady = false;  // a fresh process has prepared nothing yet
  std::string folder = platform::ProgramFolder();
  if (!RunScreenSaverShow(steps, {folder, system, photosReady})) return 1;
  if (!steps.started) {
    Err("The screen saver " + folder + kPreviewFileName + " could not be started.");
    return 1;
  }
  Out("Started " + folder + kPreviewFileName);
  return 0;
}

}  // namespace

int RunCliRequest(const CliRequest& request) {
  switch (request.mode) {
    case CliMode::Build: return RunBuildRequest(request);
    case CliMode::Prepare: return RunPrepareRequest(request);
    case CliMode::Show: return RunShowRequest(request);
    case CliMode::Usage: Write(STD_OUTPUT_HANDLE, CliUsage()); return 0;
    case CliMode::Invalid: Err(request.problem); Write(STD_ERROR_HANDLE, CliUsage()); return 2;
    case CliMode::Gui: break;
  }
  return 0;
}

}  // namespace prismora::output
