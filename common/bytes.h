// Little-endian field access inside fixed-size byte records, and little-endian fields
// appended to a growing buffer. Every read and write is bounds-checked against the record
// it works on; nothing relies on struct layout.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace prismora::bytes {

inline bool fits(std::size_t size, std::size_t offset, std::size_t width) {
  return offset <= size && width <= size - offset;
}

inline uint32_t readU32(std::span<const uint8_t> rec, std::size_t offset) {
  if (!fits(rec.size(), offset, 4)) return 0;
  return uint32_t(rec[offset]) | uint32_t(rec[offset + 1]) << 8 |
         uint32_t(rec[offset + 2]) << 16 | uint32_t(rec[offset + 3]) << 24;
}
inline int32_t readI32(std::span<const uint8_t> rec, std::size_t offset) {
  return static_cast<int32_t>(readU32(rec, offset));
}
inline float readF32(std::span<const uint8_t> rec, std::size_t offset) {
  uint32_t bits = readU32(rec, offset);
  float f;
  std::memcpy(&f, &bits, 4);
  return f;
}
inline uint8_t readU8(std::span<const uint8_t> rec, std::size_t offset) {
  return offset < rec.size() ? rec[offset] : 0;
}

inline void writeU32(std::span<uint8_t> rec, std::size_t offset, uint32_t v) {
  if (!fits(rec.size(), offset, 4)) return;
  for (int i = 0; i < 4; ++i) rec[offset + i] = uint8_t(v >> (8 * i));
}
inline void writeI32(std::span<uint8_t> rec, std::size_t offset, int32_t v) {
  writeU32(rec, offset, static_cast<uint32_t>(v));
}
inline void writeF32(std::span<uint8_t> rec, std::size_t offset, float f) {
  uint32_t bits;
  std::memcpy(&bits, &f, 4);
  writeU32(rec, offset, bits);
}
inline void writeU8(std::span<uint8_t> rec, std::size_t offset, uint8_t v) {
  if (offset < rec.size()) rec[offset] = v;
}

// A zero-terminated text inside a field of `width` bytes: at most width - 1 characters
// are stored, the rest of the field is zero.
inline void writeText(std::span<uint8_t> rec, std::size_t offset, std::size_t width,
                      std::string_view text) {
  if (width == 0 || !fits(rec.size(), offset, width)) return;
  std::size_t n = text.size() < width - 1 ? text.size() : width - 1;
  std::memset(rec.data() + offset, 0, width);
  std::memcpy(rec.data() + offset, text.data(), n);
}

// Reads up to the first NUL or the end of the field, whichever comes first; a field cut
// short by the record's end reads what is there.
inline std::string readText(std::span<const uint8_t> rec, std::size_t offset, std::size_t width) {
  if (offset >= rec.size()) return {};
  std::size_t end = offset + (width < rec.size() - offset ? width : rec.size() - offset);
  std::size_t i = offset;
  while (i < end && rec[i] != 0) ++i;
  return std::string(reinterpret_cast<const char*>(rec.data() + offset), i - offset);
}

// Records built front to back: each field goes on the end of `out`.
inline void appendU8(std::vector<uint8_t>& out, uint8_t v) { out.push_back(v); }
inline void appendU16(std::vector<uint8_t>& out, uint16_t v) {
  out.push_back(uint8_t(v));
  out.push_back(uint8_t(v >> 8));
}
inline void appendU32(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(uint8_t(v >> (8 * i)));
}
inline void appendI32(std::vector<uint8_t>& out, int32_t v) {
  appendU32(out, static_cast<uint32_t>(v));
}

}  // namespace prismora::bytes
