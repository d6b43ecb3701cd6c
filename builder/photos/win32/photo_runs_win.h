// The photo runs on the real file system.
#pragma once
#include <string>

#include "builder/photos/photo_runs.h"

namespace prismora::photos {

// Creates the folder (its last level; an existing folder is fine) and writes the photo
// bitmaps into it. The preview commands pass «user folder»\preview\ and "preview".
RunResult PrepareTexturesInFolder(PhotoJob& job, RunSeams seams, const std::string& folder,
                                  const std::string& stem);

}  // namespace prismora::photos
