// Times the builder's two photo runs on a list of one photo repeated: libjpeg decoding at
// the reduced scale, the border fit onto the 512 × 512 canvas (and the 256 × 256
// preview), and writing the photo bitmap or the installer's quality-90 JPEG. Run by
// bench/photo-fit, which compares it with ImageMagick.
//   photo_fit_bench <photo.jpg> <output folder> <photos per run>
// Prints "bmp <ms per photo>" and "jpg <ms per photo>": processor time of the fastest of
// three runs. The machine this runs on is shared; wall-clock time and averages would
// measure the other load as well.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <string>
#include <vector>

#include "builder/photos/photo_runs.h"

using namespace prismora;
using namespace prismora::photos;

namespace {

// Just the file operations the runs use, on the plain C++ library.
struct StdFiles : platform::FileSystem {
  bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& out) override {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in) return false;
    out.resize(size_t(in.tellg()));
    in.seekg(0);
    return bool(in.read(reinterpret_cast<char*>(out.data()), std::streamsize(out.size())));
  }
  bool ReplaceFileContents(const std::string& path, std::span<const uint8_t> data) override {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data.data()), std::streamsize(data.size()));
    return bool(out);
  }
  bool CopyReplacing(const std::string&, const std::string&) override { return false; }
  bool CanOpenForRead(const std::string&) override { return false; }
  bool AppendToFile(const std::string&, std::span<const uint8_t>) override { return false; }
  bool RemoveFile(const std::string&) override { return false; }
  bool FileExists(const std::string&) override { return false; }
};

struct NoPump : platform::MessagePump {
  void RunPending() override {}
  void Pause(int) override {}
};

struct NoProgress : ProgressUi {
  void Show() override {}
  void Hide() override {}
  void SetRange(int, int) override {}
  void SetPosition(int) override {}
  void SetLabel(const std::string&) override {}
};

struct Canvases : FittingSurfaces {
  PixelImage preview{kPreviewSide, kPreviewSide}, forSave{kTextureSide, kTextureSide};
  PixelView Preview() override { return preview.View(); }
  PixelView ForSave() override { return forSave.View(); }
  void Drawn() override {}
};

double MsPerPhoto(const std::string& photo, const std::string& folder, bool jpeg, int photos) {
  StdFiles files;
  NoPump pump;
  NoProgress progress;
  Canvases surfaces;
  RandomColors random;
  project::ProjectSettings settings;
  settings.Title = "fitted";
  settings.ResizeMethod = project::kUseBorder;
  settings.RandomColor = true;
  settings.Photos.assign(size_t(photos), photo);
  PhotoDecoder decode = MakePhotoDecoder(files, nullptr);
  double best = -1;
  for (int run = 0; run < 3; ++run) {
    PhotoJob job{settings, random, surfaces, decode};
    std::clock_t start = std::clock();
    RunResult r = jpeg ? ExportPhotoJpegs(job, {files, pump, progress}, folder)
                       : PrepareTextures(job, {files, pump, progress}, folder, "preview");
    double ms = 1000.0 * double(std::clock() - start) / CLOCKS_PER_SEC / photos;
    if (!r.ok) {
      std::fprintf(stderr, "%s\n", r.error.c_str());
      return -1;
    }
    if (best < 0 || ms < best) best = ms;
  }
  return best;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: %s <photo.jpg> <output folder> <photos per run>\n", argv[0]);
    return 2;
  }
  const std::string photo = argv[1], folder = std::string(argv[2]) + "/";
  const int photos = std::max(1, std::atoi(argv[3]));
  double bmp = MsPerPhoto(photo, folder, false, photos);
  double jpg = MsPerPhoto(photo, folder, true, photos);
  if (bmp < 0 || jpg < 0) return 1;
  std::printf("bmp %.2f\njpg %.2f\n", bmp, jpg);
  return 0;
}
