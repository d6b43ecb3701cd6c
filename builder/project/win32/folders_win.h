// The builder's two folders on this machine: the running program's, and the user's own
// below the local application-data folder, made when it is missing.
#pragma once
#include "builder/project/folders.h"

namespace prismora::project {

// The user folder is empty when Windows names no application-data folder or it cannot
// be made; the caller then has nowhere to write.
BuilderFolders CurrentBuilderFolders();

}  // namespace prismora::project
