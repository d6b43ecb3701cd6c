// The body of a compressed .x file ("tzip" text, "bzip" binary). After the 16-byte header:
//
//   offset 0  u32  size of the uncompressed file, header included
//   offset 4  blocks, until that size is reached, each:
//             +0 u16  bytes this block inflates to
//             +2 u16  bytes that follow, signature included
//             +4 "CK" signature
//             +6 raw deflate data ending in a final deflate block
//
// Every block continues the previous one's history: its back references may reach into
// the last 32 KB of what the blocks before it produced.
#pragma once
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace prismora::engine::xfile {

// More than any scene the builder can animate; a size field above it is refused before
// anything is inflated, so a small file cannot claim gigabytes.
inline constexpr std::size_t kMaxInflatedBody = 64u << 20;

// Inflates the blocks that follow the header into the uncompressed body (what a "txt "
// or "bin " file holds after its header). False with a reason on damaged or oversized
// input; no size from the file is trusted.
bool inflateBody(std::span<const uint8_t> compressed, std::vector<uint8_t>& body, std::string& error);

// The blocks for an uncompressed body, each holding at most 32 KB of it.
std::vector<uint8_t> deflateBody(std::span<const uint8_t> body);

}  // namespace prismora::engine::xfile
