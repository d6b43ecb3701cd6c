#include "builder/thumbnails/photo_collection.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

namespace prismora::thumbnails {

void PhotoCollection::CheckIndex(int index) const {
  if (index < 0 || index >= Count()) throw std::out_of_range("List index out of bounds");
}

const Photo& PhotoCollection::At(int index) const {
  CheckIndex(index);
  return photos_[std::size_t(index)];
}

std::string PhotoCollection::PathAt(int index) const {
  if (index < 0 || index >= Count()) return {};
  return photos_[std::size_t(index)].path;
}

std::vector<std::string> PhotoCollection::Paths() const {
  std::vector<std::string> paths;
  paths.reserve(photos_.size());
  for (const Photo& p : photos_) paths.push_back(p.path);
  return paths;
}

int PhotoCollection::Add(std::string path, std::string caption) {
  photos_.push_back({nextId_++, std::move(path), std::move(caption)});
  Changed();
  return Count() - 1;
}

void PhotoCollection::SetCaption(int index, std::string caption) {
  CheckIndex(index);
  photos_[std::size_t(index)].caption = std::move(caption);
  Changed();
}

void PhotoCollection::Remove(int index) {
  CheckIndex(index);
  // Out of the list before the listener hears of it, so a repaint meanwhile never sees
  // the photo that is going.
  const PhotoId gone = photos_[std::size_t(index)].id;
  photos_.erase(photos_.begin() + index);
  if (listener_) listener_->PhotoRemoved(gone);
  Changed();
}

void PhotoCollection::Move(int from, int to) {
  CheckIndex(from);
  CheckIndex(to);
  if (from == to) return;
  auto first = photos_.begin();
  if (from < to)
    std::rotate(first + from, first + from + 1, first + to + 1);
  else
    std::rotate(first + to, first + from, first + from + 1);
  Changed();
}

void PhotoCollection::Clear() {
  std::vector<Photo> gone = std::move(photos_);
  photos_.clear();
  if (listener_)
    for (const Photo& p : gone) listener_->PhotoRemoved(p.id);
  Changed();
}

void PhotoCollection::Changed() {
  if (listener_) listener_->PhotosChanged();
}

}  // namespace prismora::thumbnails
