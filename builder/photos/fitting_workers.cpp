#include "builder/photos/fitting_workers.h"

#include <algorithm>
#include <new>
#include <system_error>
#include <utility>

#include "builder/photos/bmp.h"
#include "builder/photos/photo_runs.h"

namespace prismora::photos {
namespace {

// A worker keeps its decoding buffer from one photo to the next (a camera photo at the
// textures' scale takes a few megabytes), but not one a large photo left behind: that
// memory is no longer counted in the pool.
constexpr int64_t kKeptPixelBytes = int64_t(8) << 20;
// File buffers go back to the run for the next photos read, unless a large file left one
// behind.
constexpr int64_t kKeptFileBytes = int64_t(32) << 20;

}  // namespace

bool EncodeCanvas(const PixelView& canvas, OutputKind kind, std::vector<uint8_t>& bytes,
                  std::string& error) {
  if (kind == OutputKind::Bitmap) {
    EncodeBmp24(canvas, bytes);
    return true;
  }
  return EncodeJpeg(canvas, kExportQuality, bytes, error);
}

bool MemoryPool::Take(int64_t bytes) {
  if (bytes > capacity_) return false;
  std::unique_lock lock(mutex_);
  given_.wait(lock, [&] { return used_ + bytes <= capacity_; });
  used_ += bytes;
  return true;
}

void MemoryPool::Give(int64_t bytes) {
  {
    std::lock_guard lock(mutex_);
    used_ -= bytes;
  }
  given_.notify_all();
}

int64_t MemoryPool::InUse() const {
  std::lock_guard lock(mutex_);
  return used_;
}

void FitPhotoBytes(std::span<const uint8_t> file, int index, const FittingPlan& plan,
                   DecodedPhoto& scratch, FittedPhoto& out, const MemoryGate& gate) {
  out.outcome = FittedPhoto::Outcome::Failed;
  out.error.clear();
  out.file.clear();
  auto drawSize = [&](int w, int h) { return TextureDrawSize(plan.border, w, h); };
  // A transparent part shows the colour the photo is framed in.
  const uint32_t background = plan.border ? plan.fills[size_t(index)] : kWhite;
  switch (DecodeOwnFormats(file, drawSize, scratch, out.error, gate, background)) {
    case OwnDecode::OtherFormat: out.outcome = FittedPhoto::Outcome::ForWindow; return;
    case OwnDecode::Failed: return;
    case OwnDecode::Decoded: break;
  }
  if (scratch.pixels.Empty()) return;  // Failed, with no reason of its own
  out.outcome = FittedPhoto::Outcome::Fitted;
  const FitChoice choice{plan.border, plan.border ? plan.fills[size_t(index)] : 0};
  out.preview.Resize(plan.preview.width, plan.preview.height);
  out.texture.Resize(plan.texture.width, plan.texture.height);
  const PixelView source = scratch.pixels.View();
  DrawFitted(source, scratch.fullWidth, scratch.fullHeight, out.preview.View(), choice);
  DrawFitted(source, scratch.fullWidth, scratch.fullHeight, out.texture.View(), choice);
  EncodeCanvas(out.texture.View(), plan.kind, out.encoded, out.error);
}

namespace {

// What a photo's result holds in memory until the run takes it.
int64_t ResultBytes(const FittedPhoto& photo) {
  auto pixels = [](const PixelImage& image) {
    return int64_t(image.Width()) * image.Height() * 3;
  };
  return int64_t(photo.file.size()) + int64_t(photo.encoded.size()) + pixels(photo.preview) +
         pixels(photo.texture);
}

// A photo that went wrong on a worker. Its buffers go first: after a failed allocation
// they are what the next photos need. The reasons fit in a string's own storage, so
// setting them allocates nothing.
void FailPhoto(FittedPhoto& photo, const char* reason) noexcept {
  photo = FittedPhoto{};
  photo.outcome = FittedPhoto::Outcome::Failed;
  try {
    photo.error = reason;
  } catch (...) {
  }
}

}  // namespace

FittingWorkers::FittingWorkers(int threads, FittingPlan plan)
    : plan_(std::move(plan)), spares_(size_t(std::max(threads, 1)) * 2) {
  // Reserved now, so that a worker giving buffers back never allocates.
  spareResults_.reserve(spares_);
  spareFiles_.reserve(spares_);
  // A process short of address space may refuse a thread; the run makes do with fewer.
  try {
    for (int i = 0; i < threads; ++i) threads_.emplace_back([this] { Work(); });
  } catch (const std::system_error&) {
  }
}

FittingWorkers::~FittingWorkers() {
  Stop();
  for (std::thread& t : threads_) t.join();
}

void FittingWorkers::Hand(int index, std::vector<uint8_t> file) {
  const int64_t bytes = int64_t(file.size());
  {
    std::lock_guard lock(mutex_);
    Slot& slot = results_[index];
    try {
      orders_.push_back({index, std::move(file)});
    } catch (...) {
      results_.erase(index);
      throw;
    }
    slot = Slot{};
    slot.heldBytes = bytes;
    heldBytes_ += bytes;
  }
  ordered_.notify_one();
}

void FittingWorkers::HandFailure(int index, std::string error) {
  {
    std::lock_guard lock(mutex_);
    Slot& slot = results_[index];
    heldBytes_ -= slot.heldBytes;
    slot = Slot{};
    slot.ready = true;
    slot.photo.error = std::move(error);
  }
  finished_.notify_all();
}

std::optional<FittedPhoto> FittingWorkers::Take(int index, std::chrono::milliseconds wait) {
  std::unique_lock lock(mutex_);
  finished_.wait_for(lock, wait, [&] {
    auto found = results_.find(index);
    return found != results_.end() && found->second.ready;
  });
  auto found = results_.find(index);
  if (found == results_.end() || !found->second.ready) return std::nullopt;
  std::optional<FittedPhoto> photo(std::move(found->second.photo));
  heldBytes_ -= found->second.heldBytes;
  results_.erase(found);
  return photo;
}

void FittingWorkers::Recycle(FittedPhoto photo) {
  std::lock_guard lock(mutex_);
  if (spareResults_.size() < spares_) spareResults_.push_back(std::move(photo));
}

std::vector<uint8_t> FittingWorkers::FileBuffer() {
  std::lock_guard lock(mutex_);
  if (spareFiles_.empty()) return {};
  std::vector<uint8_t> buffer = std::move(spareFiles_.back());
  spareFiles_.pop_back();
  return buffer;
}

int64_t FittingWorkers::HeldBytes() const {
  std::lock_guard lock(mutex_);
  return heldBytes_;
}

void FittingWorkers::Stop() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
    orders_.clear();
    // Photos not finished yet are dropped; their workers find no place for them.
    for (auto it = results_.begin(); it != results_.end();) {
      if (it->second.ready) {
        ++it;
        continue;
      }
      heldBytes_ -= it->second.heldBytes;
      it = results_.erase(it);
    }
  }
  ordered_.notify_all();
}

bool FittingWorkers::WaitIdle(std::chrono::milliseconds wait) {
  std::unique_lock lock(mutex_);
  return finished_.wait_for(lock, wait, [&] { return busy_ == 0; });
}

void FittingWorkers::FitWithinPool(Order& order, DecodedPhoto& scratch, FittedPhoto& photo) {
  // The pool gets back what this photo took, however the fitting ends.
  struct Taken {
    MemoryPool& pool;
    int64_t bytes = 0;
    ~Taken() { pool.Give(bytes); }
  } taken{memory_};
  auto gate = [&](int64_t bytes) {
    if (!memory_.Take(bytes)) return false;
    taken.bytes += bytes;
    if (plan_.onMemoryGranted) plan_.onMemoryGranted(order.index, bytes);
    return true;
  };
  FitPhotoBytes(order.file, order.index, plan_, scratch, photo, gate);
  if (int64_t(scratch.pixels.Width()) * scratch.pixels.Height() * 3 > kKeptPixelBytes)
    scratch = DecodedPhoto{};
  if (photo.outcome == FittedPhoto::Outcome::ForWindow) photo.file = std::move(order.file);
}

void FittingWorkers::FitGuarded(Order& order, DecodedPhoto& scratch, FittedPhoto& photo) noexcept {
  try {
    FitWithinPool(order, scratch, photo);
    return;
  } catch (const std::bad_alloc&) {
    FailPhoto(photo, "out of memory");
  } catch (...) {
    FailPhoto(photo, "fitting failed");
  }
  // Whatever the decode left half made is not kept for the next photo.
  scratch = DecodedPhoto{};
}

void FittingWorkers::Finished(Order& order, FittedPhoto& photo) noexcept {
  std::lock_guard lock(mutex_);
  auto found = results_.find(order.index);
  if (!stopping_ && found != results_.end()) {
    Slot& slot = found->second;
    heldBytes_ -= slot.heldBytes;
    slot.heldBytes = ResultBytes(photo);
    heldBytes_ += slot.heldBytes;
    slot.photo = std::move(photo);
    slot.ready = true;
  }
  // Reserved for `spares_` buffers: no allocation here.
  if (!order.file.empty() && int64_t(order.file.capacity()) <= kKeptFileBytes &&
      spareFiles_.size() < spares_)
    spareFiles_.push_back(std::move(order.file));
}

void FittingWorkers::Work() {
  DecodedPhoto scratch;
  for (;;) {
    Order order;
    FittedPhoto photo;
    {
      std::unique_lock lock(mutex_);
      ordered_.wait(lock, [&] { return stopping_ || !orders_.empty(); });
      if (stopping_) return;
      order = std::move(orders_.front());
      orders_.pop_front();
      if (!spareResults_.empty()) {
        photo = std::move(spareResults_.back());
        spareResults_.pop_back();
      }
      ++busy_;
    }
    // The busy count goes back down on every way out of this photo, so WaitIdle ends.
    struct Busy {
      FittingWorkers& workers;
      ~Busy() {
        {
          std::lock_guard lock(workers.mutex_);
          --workers.busy_;
        }
        workers.finished_.notify_all();
      }
    } busy{*this};
    FitGuarded(order, scratch, photo);
    Finished(order, photo);
  }
}

}  // namespace prismora::photos
