#include "engine/xfile/mszip.h"

// Input pointers as const: zlib only reads through them.
#define ZLIB_CONST
#include <zlib.h>

#include <algorithm>
#include <memory>

#include "common/bytes.h"

namespace prismora::engine::xfile {

namespace {

constexpr std::size_t kHeaderBytes = 16;     // the .x header the size field counts
constexpr std::size_t kBlockHeaderBytes = 6;  // two sizes and the signature
constexpr std::size_t kWindow = 32768;       // deflate's reach, and our block size

// One block header, read at a known offset of the compressed bytes.
struct BlockHeader {
  uint16_t inflatedSize = 0;  // +0
  uint16_t storedSize = 0;    // +2, counts the signature
  bool signature = false;     // +4 "CK"

  static BlockHeader At(std::span<const uint8_t> bytes, std::size_t at) {
    const uint8_t* p = bytes.data() + at;
    return {static_cast<uint16_t>(p[0] | p[1] << 8), static_cast<uint16_t>(p[2] | p[3] << 8),
            p[4] == 'C' && p[5] == 'K'};
  }
};

uint32_t readU32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
         static_cast<uint32_t>(p[3]) << 24;
}

// zlib's streams need their end call on every path out.
struct Inflater {
  z_stream z{};
  bool open = inflateInit2(&z, -MAX_WBITS) == Z_OK;  // raw deflate: no zlib wrapper
  ~Inflater() {
    if (open) inflateEnd(&z);
  }
};
struct Deflater {
  z_stream z{};
  bool open = deflateInit2(&z, Z_BEST_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) == Z_OK;
  ~Deflater() {
    if (open) deflateEnd(&z);
  }
};

// What the blocks before `end` produced that the next one may refer back to.
std::span<const uint8_t> history(std::span<const uint8_t> produced, std::size_t end) {
  std::size_t n = std::min(end, kWindow);
  return produced.subspan(end - n, n);
}

}  // namespace

bool inflateBody(std::span<const uint8_t> compressed, std::vector<uint8_t>& body, std::string& error) {
  body.clear();
  if (compressed.size() < 4) {
    error = "compressed .x file ends before its size field";
    return false;
  }
  // The size field counts the 16-byte header; a file whose field counts the body alone
  // is read as well (the blocks then simply run 16 bytes further).
  const uint32_t total = readU32(compressed.data());
  if (total < kHeaderBytes || total - kHeaderBytes > kMaxInflatedBody) {
    error = "compressed .x file declares " + std::to_string(total) + " bytes, more than the limit of " +
            std::to_string(kMaxInflatedBody >> 20) + " MB for a scene";
    return false;
  }
  const std::size_t expected = total - kHeaderBytes;

  Inflater inflater;
  if (!inflater.open) {
    error = "compressed .x file: no memory to inflate it";
    return false;
  }
  std::size_t at = 4;
  for (int block = 0; body.size() < expected; ++block) {
    auto fail = [&](const std::string& why) {
      error = "compressed block " + std::to_string(block) + " at byte " + std::to_string(at + kHeaderBytes) + ": " + why;
      return false;
    };
    if (compressed.size() - at < kBlockHeaderBytes) return fail("file ends inside the block header");
    BlockHeader h = BlockHeader::At(compressed, at);
    if (!h.signature) return fail("no \"CK\" signature");
    if (h.storedSize < 2 || h.storedSize - 2u > compressed.size() - at - kBlockHeaderBytes)
      return fail("stored size " + std::to_string(h.storedSize) + " runs past the end of the file");
    if (h.inflatedSize > total - body.size()) return fail("inflates beyond the file's size field");

    z_stream& z = inflater.z;
    if (inflateReset(&z) != Z_OK) return fail("inflater reset failed");
    std::span<const uint8_t> dictionary = history(body, body.size());
    if (!dictionary.empty() &&
        inflateSetDictionary(&z, dictionary.data(), static_cast<uInt>(dictionary.size())) != Z_OK)
      return fail("history rejected");
    std::size_t start = body.size();
    body.resize(start + h.inflatedSize);
    z.next_in = compressed.data() + at + kBlockHeaderBytes;
    z.avail_in = h.storedSize - 2u;
    z.next_out = body.data() + start;
    z.avail_out = h.inflatedSize;
    int status = inflate(&z, Z_FINISH);
    if (status == Z_DATA_ERROR) return fail(std::string("damaged deflate data (") + (z.msg ? z.msg : "no detail") + ")");
    if (status != Z_STREAM_END) {
      return fail(z.avail_out == 0 ? "holds more than its size " + std::to_string(h.inflatedSize)
                                   : "deflate data ends early");
    }
    if (z.avail_out != 0)
      return fail("inflates to " + std::to_string(h.inflatedSize - z.avail_out) + " bytes, not " +
                  std::to_string(h.inflatedSize));
    at += kBlockHeaderBytes + h.storedSize - 2u;
  }
  if (body.size() != expected && body.size() != total) {
    error = "compressed .x file inflates to " + std::to_string(body.size() + kHeaderBytes) +
            " bytes, not the " + std::to_string(total) + " its size field declares";
    body.clear();
    return false;
  }
  return true;
}

std::vector<uint8_t> deflateBody(std::span<const uint8_t> body) {
  std::vector<uint8_t> out;
  const std::size_t total = body.size() + kHeaderBytes;
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(total >> (8 * i)));
  Deflater deflater;
  if (!deflater.open) return {};
  for (std::size_t at = 0; at < body.size(); at += kWindow) {
    std::size_t n = std::min(kWindow, body.size() - at);
    z_stream& z = deflater.z;
    deflateReset(&z);
    std::span<const uint8_t> dictionary = history(body, at);
    if (!dictionary.empty()) deflateSetDictionary(&z, dictionary.data(), static_cast<uInt>(dictionary.size()));
    std::vector<uint8_t> packed(deflateBound(&z, static_cast<uLong>(n)));
    z.next_in = body.data() + at;
    z.avail_in = static_cast<uInt>(n);
    z.next_out = packed.data();
    z.avail_out = static_cast<uInt>(packed.size());
    if (deflate(&z, Z_FINISH) != Z_STREAM_END) return {};
    const std::size_t used = packed.size() - z.avail_out;
    bytes::appendU16(out, static_cast<uint16_t>(n));
    bytes::appendU16(out, static_cast<uint16_t>(used + 2));
    out.push_back('C');
    out.push_back('K');
    out.insert(out.end(), packed.begin(), packed.begin() + static_cast<std::ptrdiff_t>(used));
  }
  return out;
}

}  // namespace prismora::engine::xfile
