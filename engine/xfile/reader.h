// Reads .x files in every form: text or binary, 32- or 64-bit floats, plain or
// compressed; the header says which, so callers pass any file as it is. Every read is
// bounds-checked and no count from the file is trusted; a malformed file gives an
// error with a reason, never a crash. Template declarations and data objects of kinds
// the scenes do not use are skipped.
#pragma once
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "engine/xfile/document.h"

namespace prismora::engine::xfile {

// What one scene may hold. Far beyond any scene an exporter writes for a screen saver,
// and low enough that a small hostile file (a compressed body inflates to 64 MB) cannot
// make a 32-bit process build more than it can hold or the runtime walk more than it can
// draw. A file past one is refused with a message naming the limit.
inline constexpr std::size_t kMaxObjects = 200000;        // data objects, at any depth
inline constexpr std::size_t kMaxReferences = 200000;     // `{ name }` references
inline constexpr std::size_t kMaxNumbers = 16u << 20;     // numbers in all objects
inline constexpr std::size_t kMaxAnimations = 20000;      // in all animation sets
inline constexpr std::size_t kMaxAnimationKeys = 2000000; // timed keys in all animations

struct ReadResult {
  XDocument document;
  std::string error;  // empty on success
  bool ok() const { return error.empty(); }
};

ReadResult readXFile(std::span<const uint8_t> bytes);

}  // namespace prismora::engine::xfile
