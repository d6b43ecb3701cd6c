// The pieces of an imported template file that are plain bytes and names: where the
// display name sits, which file names are templates, which number comes next.
//
// An imported template file is the scene-less runtime with the scene put in as its scene
// resource, then the name record, then the 204-byte template block:
//
//   ... program ... | name record (68 bytes) | template block (204 bytes)
//
// name record: bytes 0..63 the display name (single-byte text, zero-filled, at most 63
// characters), bytes 64..67 the tag "PSNM". The runtime reads only its last 1040 bytes,
// which the record never reaches, so a screen saver built from the template runs as any.
#pragma once
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/trailer.h"

namespace prismora::scenes {

inline constexpr std::size_t kNameRecordSize = 68;
inline constexpr std::size_t kNameFieldSize = 64;
inline constexpr std::string_view kNameTag = "PSNM";
// The six shipped templates are vexo0..vexo5; imports take the numbers after them.
inline constexpr int kShippedTemplateCount = 6;
// The scene-less runtime beside the builder that imports start from.
inline constexpr std::string_view kSceneHostFileName = "vexoscene.exe";

// The bytes that follow the program in an imported template file.
std::vector<uint8_t> ImportedTemplateTail(std::string_view displayName,
                                          const trailer::TemplateBlock& block);

// The display name of an imported template from the end of its file (the last
// kNameRecordSize + 204 bytes are enough); none for a shipped template or another file.
std::optional<std::string> StoredTemplateName(std::span<const uint8_t> fileTail);

// The number N of a file named "vexoN" (decimal, no leading zero, no extension);
// none for any other name. Compared without regard to case, as the file system does.
std::optional<int> TemplateNumberOf(std::string_view fileName);

// The smallest number from kShippedTemplateCount up that `taken` does not hold.
int NextFreeTemplateNumber(std::span<const int> taken);

// A display name as the combo shows it: blanks trimmed, control characters dropped,
// cut to fit the name record.
std::string CleanDisplayName(std::string_view name);

}  // namespace prismora::scenes
