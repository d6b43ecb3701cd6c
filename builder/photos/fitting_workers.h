// Photo runs on every processor core: worker threads decode, fit and encode the photos,
// and the run's own thread (the window's) takes the results back in list order, copies
// them onto the surfaces and writes the files, letting window messages run while it
// waits. Workers never touch the window, the file system or the random colour sequence:
// the run reads every file itself and hands the bytes over, and each photo's border
// colour is drawn in list order before any worker sees it, so the output is the same
// byte for byte whatever order the workers finish in.
#pragma once
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "builder/photos/fitting.h"
#include "builder/photos/jpeg.h"
#include "builder/photos/photo_memory.h"
#include "builder/photos/pixels.h"

namespace prismora::photos {

enum class OutputKind { Bitmap, Jpeg };

// The run's output file for a fitted 512 canvas: a 24-bit bitmap or the installer's
// quality-90 JPEG. False, with the encoder's reason, when encoding fails.
bool EncodeCanvas(const PixelView& canvas, OutputKind kind, std::vector<uint8_t>& bytes,
                  std::string& error);

// Bytes several decodes take from and give back, so that the photos being decoded at
// once never hold more than one photo may (kPhotoMemoryLimit) between them, whatever
// the number of cores. A large photo waits until the others have given theirs back.
class MemoryPool {
 public:
  explicit MemoryPool(int64_t capacity) : capacity_(capacity) {}
  // Waits until `bytes` are free and takes them; false at once, taking nothing, when the
  // whole pool is smaller.
  bool Take(int64_t bytes);
  void Give(int64_t bytes);
  int64_t InUse() const;

 private:
  mutable std::mutex mutex_;
  std::condition_variable given_;
  const int64_t capacity_;
  int64_t used_ = 0;
};

// What every photo of a run shares.
struct FittingPlan {
  bool border = false;           // "Use border"
  std::vector<uint32_t> fills;   // with `border`: each photo's colour, in list order
  PixelSize preview, texture;    // the two surfaces
  OutputKind kind = OutputKind::Bitmap;
  // Called on the worker each time a decode has been granted memory, with the photo's
  // index and the bytes granted. Tests throw from it as a real allocation would fail at
  // that point; empty in the product.
  std::function<void(int index, int64_t bytes)> onMemoryGranted;
};

// One photo made ready away from the window.
struct FittedPhoto {
  enum class Outcome {
    Fitted,     // `preview`, `texture` and `encoded` are ready; `error` tells of a
                // failed encoding, if any
    Failed,     // `error` is the decoder's reason
    ForWindow,  // a format only the window's picture loader reads: `file` holds it
  };
  Outcome outcome = Outcome::Failed;
  std::string error;
  PixelImage preview, texture;  // both surfaces as fitting leaves them
  std::vector<uint8_t> encoded;
  std::vector<uint8_t> file;
};

// Decodes photo `index`'s bytes with our own decoders into `scratch`, fits it onto both
// surfaces' sizes and encodes the texture, into `out` (whose buffers are reused). The
// gate decides what the decode may take.
void FitPhotoBytes(std::span<const uint8_t> file, int index, const FittingPlan& plan,
                   DecodedPhoto& scratch, FittedPhoto& out, const MemoryGate& gate = {});

// The worker threads of one run. Photos are handed over in list order and started in
// that order; results wait until the run takes them. Whatever goes wrong on a worker,
// an allocation that fails included, becomes that photo's failure: a worker never ends
// the program and never leaves the run waiting for a result that cannot come.
class FittingWorkers {
 public:
  FittingWorkers(int threads, FittingPlan plan);
  ~FittingWorkers();  // stops and waits for the photos being worked on
  FittingWorkers(const FittingWorkers&) = delete;
  FittingWorkers& operator=(const FittingWorkers&) = delete;

  // The threads that could be started (none when the process could start none).
  int Threads() const { return int(threads_.size()); }

  void Hand(int index, std::vector<uint8_t> file);
  // A photo whose file could not be read: its result is a failure with this reason.
  void HandFailure(int index, std::string error);
  // Photo `index`'s result once it is ready, waiting at most `wait` for it.
  std::optional<FittedPhoto> Take(int index, std::chrono::milliseconds wait);
  // Buffers to use again: a result the run is done with, and a file buffer to read the
  // next photo into. Fresh megabytes for every photo would cost more in page faults
  // than the workers gain.
  void Recycle(FittedPhoto photo);
  std::vector<uint8_t> FileBuffer();
  // Bytes held for photos handed over and not yet taken back: files waiting or being
  // worked on, and finished results (a file only the window's loader reads stays whole
  // in its result until the run decodes it).
  int64_t HeldBytes() const;
  // Bytes the decodes being worked on hold from the shared pool.
  int64_t PoolBytesInUse() const { return memory_.InUse(); }
  // Starts no further photo; those being worked on are finished and dropped.
  void Stop();
  // True once no worker is busy, waiting at most `wait`.
  bool WaitIdle(std::chrono::milliseconds wait);

 private:
  struct Order {
    int index;
    std::vector<uint8_t> file;
  };
  // A photo handed over: its place for the result, made on the run's thread so that a
  // worker finishing it allocates nothing.
  struct Slot {
    bool ready = false;
    int64_t heldBytes = 0;
    FittedPhoto photo;
  };
  void Work();
  void FitGuarded(Order& order, DecodedPhoto& scratch, FittedPhoto& photo) noexcept;
  void FitWithinPool(Order& order, DecodedPhoto& scratch, FittedPhoto& photo);
  void Finished(Order& order, FittedPhoto& photo) noexcept;

  const FittingPlan plan_;
  const size_t spares_;  // buffers kept for reuse, of each kind
  MemoryPool memory_{kPhotoMemoryLimit};
  mutable std::mutex mutex_;
  std::condition_variable ordered_, finished_;
  std::deque<Order> orders_;
  std::map<int, Slot> results_;
  std::vector<FittedPhoto> spareResults_;
  std::vector<std::vector<uint8_t>> spareFiles_;
  int64_t heldBytes_ = 0;
  int busy_ = 0;
  bool stopping_ = false;
  std::vector<std::thread> threads_;
};

}  // namespace prismora::photos
