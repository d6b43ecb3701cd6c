#include "builder/photos/photo_runs.h"

#include <algorithm>
#include <thread>
#include <vector>

#include "builder/photos/bmp.h"
#include "builder/photos/fitting_workers.h"
#include "builder/photos/tiff.h"
#include "builder/photos/heif.h"
#include "builder/photos/webp.h"

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

using PathFor = std::function<std::string(int)>;

// The decoder's reason, as the error box shows it: the photo's path first.
RunResult PhotoFailed(int index, const std::string& path, const std::string& error) {
  return {false, index, path + ": " + (error.empty() ? "cannot be read" : error)};
}

RunResult WriteFailed(int index, const std::string& error) { return {false, index, error}; }

bool WriteFile(const std::string& path, std::span<const uint8_t> bytes,
               platform::FileSystem& files, std::string& error) {
  if (files.WriteWholeFile(path, bytes)) return true;
  error = "Cannot create file \"" + path + "\".";
  return false;
}

bool WriteCanvas(PixelView canvas, OutputKind kind, const std::string& path,
                 platform::FileSystem& files, std::vector<uint8_t>& bytes, std::string& error) {
  if (!EncodeCanvas(canvas, kind, bytes, error)) {
    error = "Cannot encode " + path + ": " + error;
    return false;
  }
  return WriteFile(path, bytes, files, error);
}

// Every photo on the calling thread, one after the other.
RunResult ConvertHere(PhotoJob& job, RunSeams s, OutputKind kind, const PathFor& pathFor) {
  RunResult result;
  for (int index = 0; index < PhotoCount(job); ++index) {
    s.progress.SetPosition(index);
    s.pump.RunPending();
    s.progress.SetLabel(ProgressLabel(index, PhotoCount(job), job.settings.Photos[size_t(index)]));
    const std::string path = pathFor(index);
    result = DrawFittedPhoto(job, index);
    if (result.ok &&
        !WriteCanvas(job.surfaces.ForSave(), kind, path, s.files, job.scratch.encoded, result.error)) {
      result.ok = false;
      result.failedIndex = index;
    }
    if (!result.ok) break;
  }
  return result;
}

// Each photo's border colour, drawn in list order from a copy of the sequence; the run
// then advances the sequence itself once per photo it finishes, as the one-at-a-time run
// draws, so the colours that follow the run are the same too.
FittingPlan PlanFor(PhotoJob& job, OutputKind kind) {
  FittingPlan plan;
  plan.kind = kind;
  plan.onMemoryGranted = job.onWorkerMemory;
  plan.border = job.settings.ResizeMethod == project::kUseBorder;
  RandomColors colours = job.random;
  for (int index = 0; index < PhotoCount(job); ++index)
    plan.fills.push_back(ChoiceFor(job.settings, colours).fillColor);
  const PixelView preview = job.surfaces.Preview(), texture = job.surfaces.ForSave();
  plan.preview = {preview.width, preview.height};
  plan.texture = {texture.width, texture.height};
  return plan;
}

// The draw the one-at-a-time run makes for a photo it has decoded; the colour itself is
// the plan's.
void DrawColourOf(PhotoJob& job) {
  if (job.settings.ResizeMethod == project::kUseBorder && job.settings.RandomColor)
    job.random.NextRandomColor();
}

void CopyRows(const PixelView& from, const PixelView& to) {
  const int rows = std::min(from.height, to.height);
  const size_t bytes = size_t(std::min(from.width, to.width)) * 3;
  for (int y = 0; y < rows; ++y) std::copy_n(from.Row(y), bytes, to.Row(y));
}

// Puts a photo the workers made ready onto the surfaces and writes its file, or fits it
// here when only the window's loader reads it.
RunResult Finish(PhotoJob& job, RunSeams s, const FittingPlan& plan, int index,
                 const std::string& path, FittedPhoto& photo) {
  const std::string& photoPath = job.settings.Photos[size_t(index)];
  if (photo.outcome == FittedPhoto::Outcome::Failed)
    return PhotoFailed(index, photoPath, photo.error);
  const FitChoice choice{plan.border, plan.border ? plan.fills[size_t(index)] : 0};
  if (photo.outcome == FittedPhoto::Outcome::ForWindow) {
    DecodedPhoto& decoded = job.scratch.photo;
    std::string error;
    auto drawSize = [&](int w, int h) { return TextureDrawSize(plan.border, w, h); };
    if (!job.decode.DecodeBytes(photo.file, drawSize, decoded, error,
                                choice.border ? choice.fillColor : kWhite) ||
        decoded.pixels.Empty())
      return PhotoFailed(index, photoPath, error);
    DrawColourOf(job);
    const PixelView source = decoded.pixels.View();
    DrawFitted(source, decoded.fullWidth, decoded.fullHeight, job.surfaces.Preview(), choice);
    DrawFitted(source, decoded.fullWidth, decoded.fullHeight, job.surfaces.ForSave(), choice);
    job.surfaces.Drawn();
    std::string writeError;
    if (!WriteCanvas(job.surfaces.ForSave(), plan.kind, path, s.files, job.scratch.encoded, writeError))
      return WriteFailed(index, writeError);
    return {};
  }
  DrawColourOf(job);
  CopyRows(photo.preview.View(), job.surfaces.Preview());
  CopyRows(photo.texture.View(), job.surfaces.ForSave());
  job.surfaces.Drawn();
  std::string error;
  if (!photo.error.empty()) return WriteFailed(index, "Cannot encode " + path + ": " + photo.error);
  if (!WriteFile(path, photo.encoded, s.files, error)) return WriteFailed(index, error);
  return {};
}

// Reading runs ahead of the photo being finished by this many photos per worker, and by
// at most this many bytes held for photos not yet finished here, files and results alike
// (but always the next photo).
constexpr int kPhotosAheadPerWorker = 2;
constexpr int64_t kBytesAhead = int64_t(64) << 20;

// The photos on worker threads; this thread reads the files, shows the progress, lets
// window messages run while it waits and writes the results in list order.
RunResult ConvertOnWorkers(PhotoJob& job, RunSeams s, OutputKind kind, const PathFor& pathFor,
                           int threads) {
  const int count = PhotoCount(job);
  const FittingPlan plan = PlanFor(job, kind);
  FittingWorkers workers(threads, plan);
  if (workers.Threads() == 0) return ConvertHere(job, s, kind, pathFor);
  platform::FileSystem& files = job.decode.Files();
  int handed = 0;
  RunResult result;
  for (int index = 0; index < count; ++index) {
    s.progress.SetPosition(index);
    s.pump.RunPending();
    s.progress.SetLabel(ProgressLabel(index, count, job.settings.Photos[size_t(index)]));
    while (handed < count && handed - index < kPhotosAheadPerWorker * threads &&
           (handed == index || workers.HeldBytes() < kBytesAhead)) {
      const std::string& photoPath = job.settings.Photos[size_t(handed)];
      std::vector<uint8_t> bytes = workers.FileBuffer();
      if (files.ReadWholeFile(photoPath, bytes))
        workers.Hand(handed, std::move(bytes));
      else
        workers.HandFailure(handed, "Cannot open file \"" + photoPath + "\".");
      ++handed;
    }
    std::optional<FittedPhoto> photo;
    while (!(photo = workers.Take(index, std::chrono::milliseconds(10)))) s.pump.RunPending();
    result = Finish(job, s, plan, index, pathFor(index), *photo);
    workers.Recycle(std::move(*photo));
    if (!result.ok) break;
  }
  // Workers still busy with photos after a failure finish them; the window stays alive.
  workers.Stop();
  while (!workers.WaitIdle(std::chrono::milliseconds(10))) s.pump.RunPending();
  return result;
}

int ThreadsFor(const PhotoJob& job) {
  return RunThreads(job.threads, PhotoCount(job), std::thread::hardware_concurrency());
}

// Hides the progress window however the run ends: it has no close box, so one left on
// screen by an exception would stay there for the rest of the session.
struct ProgressShown {
  RunSeams& s;
  bool hidden = false;
  ~ProgressShown() {
    if (!hidden) s.progress.Hide();
  }
};

// The loop both runs share; they differ in file names, format and the order in which
// the progress window is shown and given its limits.
RunResult ConvertAll(PhotoJob& job, RunSeams s, OutputKind kind, bool showFirst,
                     const PathFor& pathFor) {
  ProgressShown shown{s};
  if (showFirst) s.progress.Show();
  s.progress.SetRange(0, PhotoCount(job));
  if (!showFirst) s.progress.Show();
  const int threads = ThreadsFor(job);
  RunResult result = threads > 1 ? ConvertOnWorkers(job, s, kind, pathFor, threads)
                                 : ConvertHere(job, s, kind, pathFor);
  // Also after a failure: a progress window left on screen could never be closed.
  s.pump.RunPending();
  s.progress.Hide();
  shown.hidden = true;
  s.pump.RunPending();
  return result;
}

}  // namespace

int RunThreads(int requested, int photos, unsigned cores, size_t pointerBytes) {
  int threads = requested > 0 ? requested : int(std::max(1u, cores));
  if (pointerBytes == 4) threads = std::min(threads, kMaxThreads32Bit);
  return std::max(1, std::min(threads, photos));
}

PixelSize TextureDrawSize(bool border, int width, int height) {
  PixelRect r = FittedRect(width, height, kTextureSide, {border, 0});
  return {r.Width(), r.Height()};
}

PixelSize TextureDrawSize(const project::ProjectSettings& settings, int width, int height) {
  return TextureDrawSize(settings.ResizeMethod == project::kUseBorder, width, height);
}

OwnDecode DecodeOwnFormats(std::span<const uint8_t> file, const DrawSizeFor& drawSize,
                           DecodedPhoto& out, std::string& error, const MemoryGate& gate,
                           uint32_t background) {
  auto result = [](bool decoded) { return decoded ? OwnDecode::Decoded : OwnDecode::Failed; };
  if (LooksLikeJpeg(file)) return result(DecodeJpeg(file, drawSize, out, error, gate));
  if (LooksLikeWebp(file))
    return result(DecodeWebp(file, drawSize, out, error, gate, background));
  if (LooksLikeTiff(file)) return result(DecodeTiff(file, out, error, gate, background));
  if (LooksLikeHeif(file))
    return result(DecodeHeif(file, drawSize, out, error, gate, background));
  if (!LooksLikeBmp(file)) return OwnDecode::OtherFormat;
  bool refused = false;
  auto watched = [&](int64_t bytes) { return (refused = !MayTake(gate, bytes)) == false; };
  if (DecodeBmp(file, out.pixels, error, watched)) {
    out.fullWidth = out.pixels.Width();
    out.fullHeight = out.pixels.Height();
    return OwnDecode::Decoded;
  }
  // A bitmap kind we do not read (8 bits a pixel, compressed) is the loader's.
  return refused ? OwnDecode::Failed : OwnDecode::OtherFormat;
}

PhotoDecoder::PhotoDecoder(platform::FileSystem& files, OtherFormatDecoder otherFormats)
    : files_(&files),
      otherFormats_(std::move(otherFormats)),
      buffer_(std::make_shared<std::vector<uint8_t>>()) {}

bool PhotoDecoder::operator()(const std::string& path, const DrawSizeFor& drawSize,
                              DecodedPhoto& out, std::string& error, uint32_t background) const {
  std::vector<uint8_t>& bytes = *buffer_;
  if (!files_->ReadWholeFile(path, bytes)) {
    error = "Cannot open file \"" + path + "\".";
    return false;
  }
  return DecodeBytes(bytes, drawSize, out, error, background);
}

bool PhotoDecoder::DecodeBytes(std::span<const uint8_t> file, const DrawSizeFor& drawSize,
                               DecodedPhoto& out, std::string& error, uint32_t background) const {
  switch (DecodeOwnFormats(file, drawSize, out, error, {}, background)) {
    case OwnDecode::Decoded: return true;
    case OwnDecode::Failed: return false;
    case OwnDecode::OtherFormat: break;
  }
  if (otherFormats_) return otherFormats_(file, drawSize, out, error);
  error = "Unsupported picture format";
  return false;
}

PhotoDecoder MakePhotoDecoder(platform::FileSystem& files, OtherFormatDecoder otherFormats) {
  return PhotoDecoder(files, std::move(otherFormats));
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
  // Transparent parts show the colour this photo will be framed in: the next draw of the
  // sequence, looked at on a copy, since a photo that fails draws none.
  RandomColors ahead = job.random;
  const FitChoice coming = ChoiceFor(job.settings, ahead);
  const uint32_t background = coming.border ? coming.fillColor : kWhite;
  if (!job.decode(path, drawSize, photo, error, background) || photo.pixels.Empty())
    return PhotoFailed(index, path, error);
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
