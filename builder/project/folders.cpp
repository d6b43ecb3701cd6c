#include "builder/project/folders.h"

#include "builder/project/project_file.h"
#include "builder/project/settings.h"

namespace prismora::project {

std::string WithSeparator(std::string folder) {
  while (folder.size() > 1 && (folder.back() == '\\' || folder.back() == '/') &&
         (folder[folder.size() - 2] == '\\' || folder[folder.size() - 2] == '/'))
    folder.pop_back();
  if (!folder.empty() && folder.back() != '\\' && folder.back() != '/') folder += '\\';
  return folder;
}

namespace {
// Windows compares file names without regard to case (the ASCII letters at least).
bool SameFolder(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}
}  // namespace

std::string UserFolderBelow(std::string_view localAppData) {
  if (localAppData.empty()) return {};
  return WithSeparator(std::string(localAppData)) + std::string(kUserFolderName) + "\\";
}

std::string BuilderFolders::AutoSave() const { return AutoSavePath(user); }
std::string BuilderFolders::PreviewScreenSaver() const { return user + "preview.scr"; }
std::string BuilderFolders::PreviewPhotos() const { return user + "preview\\"; }

std::string BuilderFolders::Template(int number) const {
  const bool shipped = number >= 0 && std::size_t(number) < kTemplateItems.size();
  const std::string& folder = shipped ? program : user;
  return folder + "vexo" + std::to_string(number);
}

std::string BuilderFolders::ImportedTemplates() const {
  std::string folder = user;
  if (!folder.empty() && folder.back() == '\\') folder.pop_back();
  return folder;
}

std::vector<FileCopy> AutoSaveTakeOver(const BuilderFolders& folders, bool userHasAutoSave,
                                       bool programHasAutoSave, bool programHasCompanion) {
  if (userHasAutoSave || !programHasAutoSave || folders.program.empty() || folders.user.empty()) return {};
  // The same folder (a builder run from a folder of the user's own) has nothing to take.
  if (SameFolder(folders.program, folders.user)) return {};
  const std::string from = AutoSavePath(folders.program), to = AutoSavePath(folders.user);
  // The companion first: an auto-save that names its companion must not arrive without it.
  std::vector<FileCopy> copies;
  if (programHasCompanion) copies.push_back({CompanionPathFor(from), CompanionPathFor(to)});
  copies.push_back({from, to});
  return copies;
}

}  // namespace prismora::project
