// Reads .x files in every form: text or binary, 32- or 64-bit floats, plain or
// compressed; the header says which, so callers pass any file as it is. Every read is
// bounds-checked and no count from the file is trusted; a malformed file gives an
// error with a reason, never a crash. Template declarations and data objects of kinds
// the scenes do not use are skipped.
#pragma once
#include <cstdint>
#include <span>
#include <string>

#include "engine/xfile/document.h"

namespace prismora::engine::xfile {

struct ReadResult {
  XDocument document;
  std::string error;  // empty on success
  bool ok() const { return error.empty(); }
};

ReadResult readXFile(std::span<const uint8_t> bytes);

}  // namespace prismora::engine::xfile
