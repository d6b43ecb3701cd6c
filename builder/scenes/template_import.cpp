#include "builder/scenes/template_import.h"

#include <algorithm>
#include <new>

#include "builder/scenes/scene_import.h"
#include "builder/scenes/template_file.h"
#include "engine/xfile/writer.h"

namespace prismora::scenes {

namespace {

std::string BaseName(const std::string& path) {
  const auto slash = path.find_last_of("\\/:");
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  const auto dot = name.find_last_of('.');
  if (dot != std::string::npos && dot > 0) name.resize(dot);
  return name;
}

// `work` names the working copy once it exists, for the caller to remove when this ends
// in an exception.
ImportOutcome ImportTemplateOrThrow(ImportSeams seams, const ImportFolders& folders,
                                    const std::string& scenePath, std::string_view displayName,
                                    std::string& workPath) {
  ImportOutcome out;
  std::vector<uint8_t> bytes;
  if (!seams.files.ReadWholeFile(scenePath, bytes)) {
    out.error = "Could not read " + scenePath;
    return out;
  }
  ImportResult scene = ImportScene(bytes, scenePath);
  if (!scene.ok()) {
    out.error = scene.error;
    return out;
  }
  out.name = CleanDisplayName(displayName);
  if (out.name.empty()) out.name = CleanDisplayName(BaseName(scenePath));
  if (out.name.empty()) out.name = "Imported scene";

  std::vector<int> taken;
  for (const std::string& file : seams.folder.FileNames(folders.imported))
    if (auto n = TemplateNumberOf(file)) taken.push_back(*n);
  out.number = NextFreeTemplateNumber(taken);
  out.path = folders.imported + "\\vexo" + std::to_string(out.number);

  // Made under a working name first, so a failure never leaves a half template that the
  // combo would offer.
  const std::string host = folders.program + "\\" + std::string(kSceneHostFileName);
  const std::string work = out.path + ".part";
  workPath = work;
  if (!seams.files.CopyReplacing(host, work)) {
    out.error = "File " + host + "\nNot Found. Please reinstall application.";
    return out;
  }
  const std::vector<uint8_t> sceneFile = engine::xfile::writeBinaryXFile(scene.scene.document);
  const auto tail = ImportedTemplateTail(out.name, trailer::makeTemplateBlock(scene.scene.block));
  if (!seams.folder.PutSceneResource(work, sceneFile) || !seams.files.AppendToFile(work, tail) ||
      !seams.files.CopyReplacing(work, out.path)) {
    seams.files.RemoveFile(work);
    seams.files.RemoveFile(out.path);
    out.error = "Could not write " + out.path;
    return out;
  }
  seams.files.RemoveFile(work);
  return out;
}

}  // namespace

ImportOutcome ImportTemplate(ImportSeams seams, const ImportFolders& folders, const std::string& scenePath,
                             std::string_view displayName) {
  // A scene within the reader's limits can still need more memory than a 32-bit process
  // has left; that is a refusal like any other, said in words, and the working copy is
  // not left behind.
  std::string work;
  try {
    return ImportTemplateOrThrow(seams, folders, scenePath, displayName, work);
  } catch (const std::bad_alloc&) {
    if (!work.empty()) seams.files.RemoveFile(work);
    ImportOutcome out;
    out.error = scenePath + ": not enough memory to import this scene";
    out.outOfMemory = true;
    return out;
  }
}

std::vector<ImportedTemplate> FindImportedTemplates(ImportSeams seams, const std::string& folder) {
  std::vector<ImportedTemplate> found;
  for (const std::string& file : seams.folder.FileNames(folder)) {
    const auto n = TemplateNumberOf(file);
    if (!n || *n < kShippedTemplateCount) continue;
    const std::string path = folder + "\\" + file;
    std::vector<uint8_t> bytes;
    if (!seams.files.ReadWholeFile(path, bytes)) continue;
    if (auto name = StoredTemplateName(bytes)) found.push_back({*n, *name, path});
  }
  std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.number < b.number; });
  return found;
}

std::string TemplateItemText(const ImportedTemplate& t) { return "\"" + t.name + "\""; }

}  // namespace prismora::scenes
