// Making an imported template file in the user's folder, and finding the ones there.
// Platform work reaches it through seams: files through platform::FileSystem, and the
// two things only the platform can do here, listing a folder and putting a resource
// into a program file, through the interfaces below.
#pragma once
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/seams.h"

namespace prismora::scenes {

struct TemplateFolder {
  virtual ~TemplateFolder() = default;
  // Names (without folder) of the files in `folder`.
  virtual std::vector<std::string> FileNames(const std::string& folder) = 0;
  // Puts `scene` into the program file `programPath` as its scene resource (RCDATA
  // 1001), replacing one that is there. False when the file could not be updated.
  virtual bool PutSceneResource(const std::string& programPath, std::span<const uint8_t> scene) = 0;
};

struct ImportSeams {
  platform::FileSystem& files;
  TemplateFolder& folder;
};

struct ImportOutcome {
  std::string error;  // empty on success; a text for the user
  int number = -1;    // the new template's number (its TemplateIndex)
  std::string path;   // "<folder>\vexo<number>"
  std::string name;   // the display name stored in it
  bool outOfMemory = false;  // the refusal is for want of memory
  bool ok() const { return error.empty(); }
};

// The two folders of an import, each without a trailing separator: the builder's program
// folder, which holds the scene-less runtime that every imported template starts from
// (only read), and the user's folder, where imported templates are made and found.
struct ImportFolders {
  std::string program;
  std::string imported;
};

// An empty `displayName` takes the scene file's name without its folder and extension.
ImportOutcome ImportTemplate(ImportSeams seams, const ImportFolders& folders, const std::string& scenePath,
                             std::string_view displayName);

struct ImportedTemplate {
  int number = 0;
  std::string name;
  std::string path;
};

// Every imported template in the folder (without a trailing separator) that carries a
// stored name, by number.
std::vector<ImportedTemplate> FindImportedTemplates(ImportSeams seams, const std::string& folder);

// The combo lines after the six: the stored names in the quotes the six wear.
std::string TemplateItemText(const ImportedTemplate& t);

}  // namespace prismora::scenes
