// The builder's two folders and which file lives in which. The program folder (where
// Fotoprism.exe is installed, under Program Files for most users) is only read: the six
// templates, the scene-less runtime, the converter, the help pages, the default wizard
// pictures and a compiler put beside the builder. Everything the builder writes goes
// into the user's own folder below the local application-data folder, so the builder
// runs as a standard user and nobody can change the programs it ships in setups.
//
// Paths are plain strings here; the platform only tells where the two folders are
// (platform::ProgramFolder, platform::UserDataFolder).
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace prismora::project {

// The name of the builder's folder below the local application-data folder.
inline constexpr std::string_view kUserFolderName = "Prismora Builder";

// Said when Windows names no local application-data folder or it cannot be made.
inline constexpr const char* kNoUserFolder =
    "Windows names no application-data folder for this user that the builder can write to, so it has "
    "nowhere to put its files.";

// "<local application data>\Prismora Builder\"; empty when the platform named no folder.
std::string UserFolderBelow(std::string_view localAppData);

struct BuilderFolders {
  std::string program;  // read only; ends in a backslash
  std::string user;     // everything written; ends in a backslash

  // "AutoSave.pmj" (its companion "AutoSave.pml" beside it).
  std::string AutoSave() const;
  // The preview screen saver both previews run, and the photo bitmaps it reads.
  std::string PreviewScreenSaver() const;
  std::string PreviewPhotos() const;  // "<user>preview\"
  // The template file of a template number: the six that ship from the program folder,
  // imported ones (6 and up) from the user folder.
  std::string Template(int number) const;
  // Where imported templates are made and listed, without a trailing separator.
  std::string ImportedTemplates() const;
};

// A folder path ending in exactly one backslash (an empty one stays empty).
std::string WithSeparator(std::string folder);

// An auto-save an earlier builder left in its program folder is taken over once: when
// the user folder has no "AutoSave.pmj" yet, the old one and its companion are copied
// there (the program folder is read-only to a standard user, so they cannot be moved).
struct FileCopy {
  std::string from, to;
};
std::vector<FileCopy> AutoSaveTakeOver(const BuilderFolders& folders, bool userHasAutoSave,
                                       bool programHasAutoSave, bool programHasCompanion);

}  // namespace prismora::project
