#include "builder/output/win32/cli_run.h"

#include <windows.h>

#include <memory>
#include <optional>

#include "builder/output/assets_win.h"
#include "builder/output/pipeline.h"
#include "builder/photos/win32/dib_surface.h"
#include "builder/photos/win32/picture_decoder.h"
#include "builder/project/project_file.h"
#include "builder/project/win32/folders_win.h"
#include "builder/photos/win32/picture.h"
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

// The first photo of the project that is not there, if any. Without a window nobody can
// fix the list, so the command line refuses before it writes anything.
std::optional<std::string> MissingPhoto(const project::ProjectSettings& s,
                                        platform::FileSystem& files) {
  for (const std::string& photo : s.Photos)
    if (!files.FileExists(photo)) return "The photo " + photo + " cannot be found.";
  return std::nullopt;
}

// A wizard picture as the project names it; a bare default name is looked for in the
// current folder first, then next to the builder.
std::shared_ptr<photos::TIPicture> LoadWizardPicture(const std::string& path, const std::string& builderFolder) {
  auto picture = std::make_shared<photos::TIPicture>();
  picture->LoadFromFile(path);
  if (picture->Empty() && path.find('\\') == std::string::npos) picture->LoadFromFile(builderFolder + path);
  return picture;
}

// The command line's answers to the output commands: the project from its file, photos
// drawn on offscreen surfaces, messages on the console, no questions.
class ConsoleFrontEnd final : public FrontEnd {
 public:
  ConsoleFrontEnd(project::ProjectSettings s, std::string destination)
      : s_(std::move(s)), destination_(std::move(destination)) {}

  project::ProjectSettings Project() override { return s_; }
  photos::FittingSurfaces& PhotoSurfaces() override { return surfaces_; }
  photos::ProgressUi& Progress() override { return progress_; }
  PreviewPhotos& PreviewPhotosState() override { return photos_; }  // a fresh process has prepared none
  bool WizardPicture(WizardSlot slot, int width, int height, photos::PixelImage& out,
                     std::string& error) override {
    const std::string& path = slot == WizardSlot::Large ? s_.WizardImageFile : s_.WizardSmallImageFile;
    auto picture = LoadWizardPicture(path, platform::ProgramFolder());
    if (picture->Empty()) {
      error = "The wizard picture " + path + " could not be loaded.";
      return false;
    }
    return StretchedPicture([picture](HDC dc, const RECT& r) { picture->DrawExact(dc, r); }, width, height, out, error);
  }
  void FocusField(ProjectField) override {}
  void AddPhotos() override {}
  std::optional<std::string> AskDestination() override {
    Out("Compiling the setup program");
    return destination_;
  }
  void ShowFinished(const std::string& summary, const std::string&) override { Write(STD_OUTPUT_HANDLE, summary); }
  void StopTemplatePreview() override {}
  uintptr_t CreateHostFrame() override { return 0; }
  bool OldPlatform() override { return false; }

 private:
  project::ProjectSettings s_;
  std::string destination_;
  photos::DibSurface preview_{photos::kPreviewSide, photos::kPreviewSide};
  photos::DibSurface forSave_{photos::kTextureSide, photos::kTextureSide};
  photos::DibFittingSurfaces surfaces_{preview_, forSave_};
  ConsoleProgress progress_;
  PreviewPhotos photos_;
};

// The platform as every command-line request uses it.
struct ConsolePlatform {
  platform::Win32FileSystem files;
  platform::Win32MessagePump pump;
  ConsoleBoxes boxes;
  platform::Win32ProcessLauncher launcher{pump};
  photos::RandomColors random;
  photos::PhotoDecoder decode = photos::MakePlatformPhotoDecoder(files);

  std::optional<project::ProjectSettings> LoadProject(const std::string& path) {
    if (!files.FileExists(path)) {
      Err("The project file " + path + " cannot be found.");
      return std::nullopt;
    }
    auto settings = project::LoadProjectFile(path, project::FirstStartSettings(), files);
    if (!settings) Err("The project file " + path + " cannot be read.");
    return settings;
  }
  // Nothing when Windows names no folder for the user's files; it is said why.
  std::optional<project::BuilderFolders> Folders() {
    project::BuilderFolders folders = project::CurrentBuilderFolders();
    if (folders.user.empty()) {
      Err(project::kNoUserFolder);
      return std::nullopt;
    }
    return folders;
  }
  OutputPipeline PipelineFor(FrontEnd& front, const project::BuilderFolders& folders) {
    return OutputPipeline(front, {files, boxes, pump, launcher, random, decode, nullptr, folders,
                                  platform::DeleteUserRegistryKey, '.', platform::ReadRegistryText});
  }
};

int RunBuildRequest(const CliRequest& r) {
  ConsolePlatform p;
  std::optional<project::ProjectSettings> s = p.LoadProject(r.project);
  if (!s) return 2;
  if (auto missing = MissingPhoto(*s, p.files)) {
    Err(*missing);
    return 3;
  }
  const auto folders = p.Folders();
  if (!folders) return 1;
  const std::string destination = FullPath(r.target);
  ConsoleFrontEnd front(*s, destination);
  Out("Building " + destination);
  const BuildResult result = p.PipelineFor(front, *folders).Build();
  if (result != BuildResult::Done) return result == BuildResult::Refused ? 3 : 1;
  Out("Wrote " + destination);
  return 0;
}

int RunPrepareRequest(const CliRequest& r) {
  ConsolePlatform p;
  std::optional<project::ProjectSettings> s = p.LoadProject(r.project);
  if (!s) return 2;
  std::string folder = FullPath(r.target);
  if (folder.back() != '\\') folder += '\\';
  ConsoleFrontEnd front(*s, {});
  // Only the folder given is written; the user folder is not needed.
  if (!p.PipelineFor(front, project::CurrentBuilderFolders()).WritePhotoBitmaps(*s, folder)) return 1;
  Out("Wrote " + std::to_string(s->Photos.size()) + " photo bitmaps into " + folder);
  return 0;
}

int RunShowRequest(const CliRequest& r) {
  ConsolePlatform p;
  std::optional<project::ProjectSettings> s = p.LoadProject(r.project);
  if (!s) return 2;
  if (auto missing = MissingPhoto(*s, p.files)) {
    Err(*missing);
    return 1;
  }
  const auto folders = p.Folders();
  if (!folders) return 1;
  ConsoleFrontEnd front(*s, {});
  OutputPipeline pipeline = p.PipelineFor(front, *folders);
  const std::string previewFile = folders->PreviewScreenSaver();
  switch (pipeline.ScreenSaverShow()) {
    case PreviewResult::Started: Out("Started " + previewFile); return 0;
    case PreviewResult::StartFailed: Err("The screen saver " + previewFile + " could not be started."); return 1;
    default: return 1;
  }
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
