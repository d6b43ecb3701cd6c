// The project's photos in their order: the path each one is stored by in the project
// and the name it is shown by. Each photo gets a number of its own when it is added that
// stays with it through moves, so whatever a view keeps for a photo (the strip keeps a
// bitmap) can follow it. One listener hears of every change and of every photo that goes.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace prismora::thumbnails {

using PhotoId = uint64_t;

struct Photo {
  PhotoId id = 0;
  std::string path;     // as the project stores it
  std::string caption;  // as the strip shows it
};

class PhotoCollection {
 public:
  struct Listener {
    virtual ~Listener() = default;
    // A photo left the list (removed or cleared); told before PhotosChanged.
    virtual void PhotoRemoved(PhotoId id) = 0;
    // After every change: photos added, removed, moved or captioned anew.
    virtual void PhotosChanged() = 0;
  };

  explicit PhotoCollection(Listener* listener = nullptr) : listener_(listener) {}
  PhotoCollection(const PhotoCollection&) = delete;
  PhotoCollection& operator=(const PhotoCollection&) = delete;

  int Count() const { return int(photos_.size()); }
  // Throws std::out_of_range outside 0..Count()-1.
  const Photo& At(int index) const;
  // The stored path; empty outside the list.
  std::string PathAt(int index) const;
  std::vector<std::string> Paths() const;

  // Appends a photo; returns its index.
  int Add(std::string path, std::string caption);
  void SetCaption(int index, std::string caption);
  void Remove(int index);
  // Takes the photo at `from` out and puts it back at `to` (both 0..Count()-1).
  void Move(int from, int to);
  void Clear();

 private:
  void CheckIndex(int index) const;
  void Changed();

  Listener* listener_;
  std::vector<Photo> photos_;
  PhotoId nextId_ = 1;
};

}  // namespace prismora::thumbnails
