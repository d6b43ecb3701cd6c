#include "builder/project/project_commands.h"

#include "builder/project/path_kinds.h"

namespace prismora::project {

std::string ProjectFileNameFor(const std::string& title, const text::LeadBytes& lead) {
  std::string name;
  text::ForEachCharacter(title, lead, [&](std::string_view c) {
    const bool forbidden = c.size() == 1 && std::string_view("\\/:*?\"<>|").find(c[0]) != std::string_view::npos;
    name += forbidden ? std::string_view("_") : c;
  });
  return name;
}

platform::FileDialogOptions SaveProjectDialogOptions(const ProjectSettings& s, const text::LeadBytes& lead) {
  platform::FileDialogOptions o;
  o.filter = kProjectFilter;
  o.defaultExt = kProjectDefaultExt;
  o.initialName = ProjectFileNameFor(s.Title, lead);  // the title is the proposed file name
  o.overwritePrompt = false;
  return o;
}

platform::FileDialogOptions OpenProjectDialogOptions() {
  platform::FileDialogOptions o;
  o.filter = kProjectFilter;
  o.defaultExt = kProjectDefaultExt;
  return o;
}

std::string PhotosNotSavedText(int count) {
  return "The project file has room for only part of the photo list: " + std::to_string(count) +
         (count == 1 ? " photo" : " photos") + " at the end of the list " +
         (count == 1 ? "was" : "were") + " not saved.";
}

std::string CompanionMissingText(const std::string& companionPath, std::size_t photosKept) {
  return "The photo list file \"" + companionPath +
         "\" that belongs to this project is missing or does not match it. The project was "
         "opened with the first " + std::to_string(photosKept) +
         (photosKept == 1 ? " photo" : " photos") +
         " stored in the project file itself. Put the photo list file back beside the "
         "project file and open the project again to get the whole list.";
}

std::string ProjectNotWrittenText(const std::string& path) {
  return "The project could not be saved to \"" + path +
         "\". The file there was left as it was.";
}

SaveResult SaveProjectCommand(platform::WindowHandle owner, const ProjectSettings& s,
                              platform::FileDialogs& dialogs, platform::FileSystem& fs,
                              platform::MessageBoxes& boxes, const text::LeadBytes& lead) {
  std::optional<std::string> path = dialogs.Save(owner, SaveProjectDialogOptions(s, lead));
  if (!path) return {};
  SaveResult result = SaveProjectFile(*path, s, fs, lead);
  if (!result.written) {
    // The user asked for this file; silently keeping the old one would look like success.
    boxes.Show(owner, ProjectNotWrittenText(*path), std::string(kErrorCaption),
               platform::BoxIcon::Error);
  } else if (result.photosNotSaved > 0) {
    boxes.Show(owner, PhotosNotSavedText(result.photosNotSaved), std::string(kWarningCaption),
               platform::BoxIcon::Warning);
  }
  return result;
}

ReadResult OpenProjectPath(platform::WindowHandle owner, const std::string& path,
                           ProjectSettings& s, platform::FileSystem& fs,
                           platform::MessageBoxes& boxes) {
  ReadResult r = ReadProjectInto(path, s, fs);
  if (r && !r.missingCompanion.empty())
    boxes.Show(owner, CompanionMissingText(r.missingCompanion, s.Photos.size()),
               std::string(kWarningCaption), platform::BoxIcon::Warning);
  return r;
}

OpenOutcome OpenProjectCommand(platform::WindowHandle owner, ProjectSettings& s,
                               platform::FileDialogs& dialogs, platform::FileSystem& fs,
                               platform::MessageBoxes& boxes) {
  std::vector<std::string> chosen = dialogs.Open(owner, OpenProjectDialogOptions());
  if (chosen.empty()) return OpenOutcome::Cancelled;
  return OpenProjectPath(owner, chosen.front(), s, fs, boxes) ? OpenOutcome::Read
                                                              : OpenOutcome::Unreadable;
}

bool TakeOverOldAutoSave(const BuilderFolders& folders, platform::FileSystem& fs) {
  const std::string old = AutoSavePath(folders.program);
  const std::vector<FileCopy> copies =
      AutoSaveTakeOver(folders, fs.FileExists(folders.AutoSave()), fs.FileExists(old), fs.FileExists(CompanionPathFor(old)));
  for (const FileCopy& copy : copies) {
    if (fs.CopyReplacing(copy.from, copy.to)) continue;
    // Half a take-over would open the auto-save without its whole photo list.
    for (const FileCopy& made : copies) {
      if (&made == &copy) break;
      fs.RemoveFile(made.to);
    }
    return false;
  }
  return !copies.empty();
}

bool LoadAutoSave(platform::WindowHandle owner, std::string_view folder, ProjectSettings& s,
                  platform::FileSystem& fs, platform::MessageBoxes& boxes) {
  return bool(OpenProjectPath(owner, AutoSavePath(folder), s, fs, boxes));
}

SaveResult WriteAutoSave(platform::WindowHandle owner, std::string_view folder,
                         const ProjectSettings& s, platform::FileSystem& fs,
                         platform::MessageBoxes& boxes, const text::LeadBytes& lead) {
  SaveResult result = SaveProjectFile(AutoSavePath(folder), s, fs, lead);
  if (result.written && result.photosNotSaved > 0)
    boxes.Show(owner, PhotosNotSavedText(result.photosNotSaved), std::string(kWarningCaption),
               platform::BoxIcon::Warning);
  return result;
}

PathScreening ScreenProjectPaths(platform::WindowHandle owner, ProjectSettings& s, NetworkGate& gate,
                                 platform::MessageBoxes& boxes) {
  PathScreening out;
  auto isDevice = [](const std::string& p) { return ClassifyPath(p).kind == PathKind::Device; };
  for (const std::string& p : s.Photos)
    if (isDevice(p)) out.devicePaths.push_back(p);
  std::erase_if(s.Photos, isDevice);
  for (std::string* wizard : {&s.WizardImageFile, &s.WizardSmallImageFile})
    if (isDevice(*wizard)) {
      out.devicePaths.push_back(*wizard);
      wizard->clear();
    }
  if (!out.devicePaths.empty())
    boxes.Show(owner, DevicePathsRefusedText(out.devicePaths), std::string(kErrorCaption),
               platform::BoxIcon::Error);

  std::vector<std::string> paths = s.Photos;
  paths.push_back(s.WizardImageFile);
  paths.push_back(s.WizardSmallImageFile);
  for (const std::string& host : NetworkHosts(paths))
    if (!gate.Allowed(host)) out.askedHosts.push_back(host);
  if (out.askedHosts.empty()) return out;
  // No is the default: Enter keeps the computers closed.
  out.allowed = boxes.Show(owner, NetworkPathsQuestion(out.askedHosts), std::string(kWarningCaption),
                           platform::BoxIcon::Warning, platform::BoxButtons::YesNoSafe) ==
                platform::BoxAnswer::Yes;
  for (const std::string& host : out.askedHosts) out.allowed ? gate.Allow(host) : gate.HoldBack(host);
  return out;
}

}  // namespace prismora::project
