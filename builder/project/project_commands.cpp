#include "builder/project/project_commands.h"

namespace prismora::project {

std::string ProjectFileNameFor(const std::string& title) {
  std::string name = title;
  for (char& c : name)
    if (std::string_view("\\/:*?\"<>|").find(c) != std::string_view::npos) c = '_';
  return name;
}

platform::FileDialogOptions SaveProjectDialogOptions(const ProjectSettings& s) {
  platform::FileDialogOptions o;
  o.filter = kProjectFilter;
  o.defaultExt = kProjectDefaultExt;
  o.initialName = ProjectFileNameFor(s.Title);  // the title is the proposed file name
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
                              platform::MessageBoxes& boxes) {
  std::optional<std::string> path = dialogs.Save(owner, SaveProjectDialogOptions(s));
  if (!path) return {};
  SaveResult result = SaveProjectFile(*path, s, fs);
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
                         platform::MessageBoxes& boxes) {
  SaveResult result = SaveProjectFile(AutoSavePath(folder), s, fs);
  if (result.written && result.photosNotSaved > 0)
    boxes.Show(owner, PhotosNotSavedText(result.photosNotSaved), std::string(kWarningCaption),
               platform::BoxIcon::Warning);
  return result;
}

}  // namespace prismora::project
