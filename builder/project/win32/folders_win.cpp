#include "builder/project/win32/folders_win.h"

#include <windows.h>

#include "platform/win32/win32_seams.h"

namespace prismora::project {

BuilderFolders CurrentBuilderFolders() {
  BuilderFolders folders{platform::ProgramFolder(), UserFolderBelow(platform::LocalAppDataFolder())};
  if (!folders.user.empty() && !CreateDirectoryA(folders.user.c_str(), nullptr) &&
      GetLastError() != ERROR_ALREADY_EXISTS)
    folders.user.clear();
  return folders;
}

}  // namespace prismora::project
