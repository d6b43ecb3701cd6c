// One picture as a whole project, drawn by the window's photo run as the previews draw
// it: what the reader tests hand a picture file to.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "builder/photos/photo_runs.h"
#include "tests/support/fake_seams.h"
#include "tests/support/memory_surfaces.h"

namespace prismora::testphotos {

struct OnePhotoProject {
  testsupport::FakeFiles files;
  project::ProjectSettings settings;
  testsupport::MemorySurfaces surfaces;
  photos::RandomColors random;
  photos::PhotoDecoder decode;
  photos::PhotoJob job{settings, random, surfaces, decode, {}, 1};

  // `path` holds `bytes`; the run decodes with what `decoderFor` makes over the files.
  OnePhotoProject(const std::string& path, const std::vector<uint8_t>& bytes,
                  const std::function<photos::PhotoDecoder(platform::FileSystem&)>& decoderFor) {
    files.files[path] = bytes;
    settings.Photos = {path};
    decode = decoderFor(files);
  }
  OnePhotoProject(const OnePhotoProject&) = delete;
  OnePhotoProject& operator=(const OnePhotoProject&) = delete;
};

// A refusal as the runs give it: the file's path, ": " and why.
inline bool NamesFileAndWhy(const std::string& error, const std::string& path) {
  return error.rfind(path + ": ", 0) == 0 && error.size() > path.size() + 2;
}

}  // namespace prismora::testphotos
