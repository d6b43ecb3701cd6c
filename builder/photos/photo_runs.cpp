#include "builder/photos/photo_runs.h"

#include <vector>

#include "builder/photos/bmp.h"

namespace prismora::photos {
namespace {

FitChoice ChoiceFor(const project::ProjectSettings& s, RandomColors& random) {
  FitChoice choice;
  choice.border = s.ResizeMethod == project::kUseBorder;
  if (!choice.border) return choice;  // stretching draws no colour
  // With Random Color off the photo is framed in the chosen border colour, whatever
  // colour the surfaces were last filled with.
  choice.fillColor = s.RandomColor ? random.NextRandomColor() : s.BorderColor;
  return choice;
}

int PhotoCount(const PhotoJob& job) { return int(job.settings.Photos.size()); }

enum class OutputKind { Bitmap, Jpeg };

bool WriteCanvas(PixelView canvas, OutputKind kind, const std::string& path,
                 platform::FileSystem& files, std::vector<uint8_t>& bytes, std::string& error) {
  if (kind == OutputKind::Bitmap) {
    EncodeBmp24(canvas, bytes);
  } else if (!EncodeJpeg(canvas, kExportQuality, bytes, error)) {
    error = "Cannot encode " + path + ": " + error;
    return false;
  }
  if (!files.WriteWholeFile(path, bytes)) {
    error = "Cannot create file \"" + path + "\".";
    return false;
  }
  return true;
}

// The loop both runs share; they differ in file names, format and the order in which
// the progress window is shown and given its limits.
RunResult ConvertAll(PhotoJob& job, RunSeams s, OutputKind kind, bool showFirst,
                     const std::function<std::string(int)>& pathFor) {
  if (showFirst) s.progress.Show();
  s.progress.SetRange(0, PhotoCount(job));
  if (!showFirst) s.progress.Show();
  RunResult result;
  for (int index = 0; index < PhotoCount(job); ++index) {
    s.progress.SetPosition(index);
    s.pump.RunPending();
    s.progress.SetLabel(ProgressLabel(index, PhotoCount(job)));
    const std::string path = pathFor(index);
    result = DrawFittedPhoto(job, index);
    if (result.ok &&
        !WriteCanvas(job.surfaces.ForSave(), kind, path, s.files, job.scratch.encoded, result.error)) {
      result.ok = false;
      result.failedIndex = index;
    }
    if (!result.ok) break;
  }
  // Also after a failure: a progress window left on screen could never be closed.
  s.pump.RunPending();
  s.progress.Hide();
  s.pump.RunPending();
  return result;
}

}  // namespace

PixelSize TextureDrawSize(const project::ProjectSettings& settings, int width, int height) {
  FitChoice choice;
  choice.border = settings.ResizeMethod == project::kUseBorder;
  PixelRect r = FittedRect(width, height, kTextureSide, choice);
  return {r.Width(), r.Height()};
}

PhotoDecoder MakePhotoDecoder(platform::FileSystem& files, OtherFormatDecoder otherFormats) {
  auto buffer = std::make_shared<std::vector<uint8_t>>();
  return [&files, otherFormats, buffer](const std::string& path, const DrawSizeFor& drawSize,
                                        DecodedPhoto& out, std::string& error) {
    std::vector<uint8_t>& bytes = *buffer;
    if (!files.ReadWholeFile(path, bytes)) {
      error = "Cannot open file \"" + path + "\".";
      return false;
    }
    if (LooksLikeJpeg(bytes)) return DecodeJpeg(bytes, drawSize, out, error);
    if (LooksLikeBmp(bytes) && DecodeBmp(bytes, out.pixels, error)) {
      out.fullWidth = out.pixels.Width();
      out.fullHeight = out.pixels.Height();
      return true;
    }
    if (otherFormats) return otherFormats(bytes, drawSize, out, error);
    error = "Unsupported picture format";
    return false;
  };
}

RunResult DrawFittedPhoto(PhotoJob& job, int index) {
  RunResult result;
  if (index < 0 || index >= PhotoCount(job)) {
    result = {false, index, "Photo index out of range"};
    return result;
  }
  const std::string& path = job.settings.Photos[size_t(index)];
  DecodedPhoto& photo = job.scratch.photo;
  std::string error;
  auto drawSize = [&](int w, int h) { return TextureDrawSize(job.settings, w, h); };
  if (!job.decode(path, drawSize, photo, error) || photo.pixels.Empty()) {
    result = {false, index, path + ": " + (error.empty() ? "cannot be read" : error)};
    return result;
  }
  const FitChoice choice = ChoiceFor(job.settings, job.random);
  const PixelView source = photo.pixels.View();
  DrawFitted(source, photo.fullWidth, photo.fullHeight, job.surfaces.Preview(), choice);
  DrawFitted(source, photo.fullWidth, photo.fullHeight, job.surfaces.ForSave(), choice);
  job.surfaces.Drawn();
  return result;
}

RunResult PrepareTextures(PhotoJob& job, RunSeams seams, const std::string& folder,
                          const std::string& stem) {
  return ConvertAll(job, seams, OutputKind::Bitmap, /*showFirst=*/true, [&](int index) {
    return folder + stem + std::to_string(index) + ".bmp";
  });
}

RunResult ExportPhotoJpegs(PhotoJob& job, RunSeams seams, const std::string& builderFolder) {
  return ConvertAll(job, seams, OutputKind::Jpeg, /*showFirst=*/false, [&](int index) {
    return builderFolder + job.settings.Title + std::to_string(index) + ".jpg";
  });
}

}  // namespace prismora::photos
