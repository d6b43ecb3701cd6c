#include "builder/photos/win32/photo_runs_win.h"

#include <windows.h>

namespace prismora::photos {

RunResult PrepareTexturesInFolder(PhotoJob& job, RunSeams seams, const std::string& folder,
                                  const std::string& stem) {
  std::string path = folder;
  if (!path.empty() && (path.back() == '\\' || path.back() == '/')) path.pop_back();
  // Fails when it exists already; a folder that really cannot be made shows up as the
  // first bitmap that cannot be written.
  CreateDirectoryA(path.c_str(), nullptr);
  return PrepareTextures(job, seams, folder, stem);
}

}  // namespace prismora::photos
