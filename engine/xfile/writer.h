// Writes a document as a binary .x file with 32-bit floats ("xof 0302bin 0032"), the
// form the templates carry as their scene resource. Reading the result gives back an
// equal document.
#pragma once
#include <cstdint>
#include <vector>

#include "engine/xfile/document.h"

namespace prismora::engine::xfile {

std::vector<uint8_t> writeBinaryXFile(const XDocument& document);

}  // namespace prismora::engine::xfile
