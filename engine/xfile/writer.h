// Writes a document as a .x file. The templates carry theirs as binary with 32-bit floats
// ("xof 0302bin 0032"); the other forms exist so that every form the reader takes can be
// made from a known document. Reading any result gives back an equal document.
#pragma once
#include <cstdint>
#include <vector>

#include "engine/xfile/document.h"

namespace prismora::engine::xfile {

struct XFileForm {
  bool text = false;        // "txt " instead of "bin "
  bool doubles = false;     // 64-bit floats ("0064")
  bool compressed = false;  // deflate blocks: "tzip" or "bzip"
};

std::vector<uint8_t> writeXFile(const XDocument& document, const XFileForm& form);
inline std::vector<uint8_t> writeBinaryXFile(const XDocument& document) { return writeXFile(document, {}); }

}  // namespace prismora::engine::xfile
