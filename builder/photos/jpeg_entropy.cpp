#include "builder/photos/jpeg_entropy.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include <jpeglib.h>
#include <jerror.h>
extern "C" {
#include <jpegint.h>
}

namespace prismora::photos {
namespace {

// One table entry for the next few bits of the stream: a whole symbol with its value
// bits when they fit (`kind` 0..15 is then the run of zeros before it), or a flag.
struct FastEntry {
  int16_t value;   // the coefficient or DC difference; with kValueFollows, its bit count
  uint8_t length;  // bits to drop
  uint8_t kind;
};
// Only the code fits: drop `length` bits, then `value` value bits follow; run in the low
// nibble.
constexpr uint8_t kValueFollows = 0x10;
constexpr uint8_t kEndOfBlock = 0x20;
// The code is longer than the table's bits (or no code starts with them).
constexpr uint8_t kLongCode = 0x40;

// Codes longer than a table's bits, decoded by length.
struct LongCodes {
  int32_t maxCode[17];      // the largest code of each length, -1 when there is none
  int32_t valueOffset[17];  // symbol index = code + valueOffset[length]
  uint8_t symbols[256];
};

// DC differences come once a block; a small table keeps them out of the AC table's way
// in the cache.
constexpr int kDcBits = 9;
struct DcTable {
  FastEntry fast[1 << kDcBits];
  LongCodes longCodes;
};

// AC coefficients: a noisy photo's average coefficient takes about five bits, so one
// look-up in the next eleven often yields two of them.
constexpr int kAcBits = 11;
struct AcEntry {
  int16_t first, second;  // coefficients; `first` as FastEntry::value for the flags
  uint8_t firstLength;    // bits of the first coefficient alone
  uint8_t length;         // bits to drop for the whole entry
  uint8_t runs;           // zeros before the first (low nibble) and the second
  uint8_t kind;           // kOne, kTwo, kOneThenEnd, or a FastEntry flag
};
constexpr uint8_t kOne = 0, kOneThenEnd = 1, kTwo = 2;
struct AcTable {
  AcEntry fast[1 << kAcBits];
  LongCodes longCodes;
};

// The reading position in the scan's bits. DecodeMcu keeps it in local variables, so the
// compiler can hold it in registers through the coefficient loop.
struct BitStream {
  uint64_t bits;  // the next bits of the stream from the top down; the rest are zeros
  int count;      // how many of them are valid
  int padding;    // how many of the valid ones are zeros made up after the data ended
  const JOCTET* next;  // the source's position, taken from and put back to cinfo->src
  const JOCTET* end;
};

// libjpeg allocates and frees this; it sees only `pub`.
struct Decoder {
  jpeg_entropy_decoder pub;
  BitStream stream;  // between MCUs
  unsigned restartsToGo;
  int lastDc[MAX_COMPS_IN_SCAN];
  int component[D_MAX_BLOCKS_IN_MCU];  // of each block of an MCU, as in MCU_membership
  const DcTable* dcTable[D_MAX_BLOCKS_IN_MCU];
  const AcTable* acTable[D_MAX_BLOCKS_IN_MCU];
  DcTable dcTables[NUM_HUFF_TBLS];  // only those in use are built
  AcTable acTables[NUM_HUFF_TBLS];
  FastEntry oneSymbol[1 << kAcBits];  // where the AC tables are built from
};

#define PRISMORA_INLINE [[gnu::always_inline]] inline

// The sign rule of the value bits: a leading 0 means negative.
PRISMORA_INLINE int Extend(int bits, int size) {
  return size == 0 ? 0 : bits < (1 << (size - 1)) ? bits + 1 - (1 << size) : bits;
}

// The entries for one code: every index that starts with it.
template <int kBits>
void FillFast(FastEntry (&fast)[1 << kBits], int code, int length, int symbol, bool dc) {
  const int run = dc ? 0 : symbol >> 4, size = dc ? symbol : symbol & 15;
  const int spare = kBits - length;
  for (int after = 0; after < (1 << spare); ++after) {
    FastEntry& e = fast[(code << spare) | after];
    const auto len = uint8_t(length);
    if (size == 0 && !dc && run != 15) {
      e = {0, len, kEndOfBlock};
    } else if (size == 0) {  // a DC difference of 0, or sixteen zeros (run 15 and a zero)
      e = {0, len, uint8_t(run)};
    } else if (length + size <= kBits) {
      const int bits = (after >> (spare - size)) & ((1 << size) - 1);
      e = {int16_t(Extend(bits, size)), uint8_t(length + size), uint8_t(run)};
    } else {
      e = {int16_t(size), len, uint8_t(kValueFollows | run)};
    }
  }
}

// The canonical code from the table's counts per length, checked as libjpeg checks it.
template <int kBits>
bool BuildCodes(const JHUFF_TBL* source, bool dc, FastEntry (&fast)[1 << kBits],
                LongCodes& t) {
  if (source == nullptr) return false;
  int total = 0;
  for (int length = 1; length <= 16; ++length) total += source->bits[length];
  if (total > 256) return false;
  std::memset(t.symbols, 0, sizeof t.symbols);
  std::memcpy(t.symbols, source->huffval, size_t(total));
  for (int i = 0; dc && i < total; ++i) {
    if (t.symbols[i] > 15) return false;
  }
  for (FastEntry& e : fast) e = {0, 0, kLongCode};
  int code = 0, index = 0;
  for (int length = 1; length <= 16; ++length) {
    const int n = source->bits[length];
    t.valueOffset[length] = index - code;
    for (int i = 0; i < n; ++i, ++index, ++code) {
      if (code >= (1 << length) - 1) return false;  // past the length, or all ones
      if (length <= kBits) FillFast<kBits>(fast, code, length, t.symbols[index], dc);
    }
    t.maxCode[length] = n > 0 ? code - 1 : -1;
    code <<= 1;
  }
  return true;
}

bool BuildDcTable(const JHUFF_TBL* source, DcTable& t) {
  return BuildCodes<kDcBits>(source, true, t.fast, t.longCodes);
}

// From the one-symbol entries: where the first symbol is a whole coefficient, the bits
// after it may hold a second one, or the end of the block.
bool BuildAcTable(const JHUFF_TBL* source, FastEntry (&single)[1 << kAcBits], AcTable& t) {
  if (!BuildCodes<kAcBits>(source, false, single, t.longCodes)) return false;
  constexpr int kMask = (1 << kAcBits) - 1;
  for (int index = 0; index <= kMask; ++index) {
    const FastEntry one = single[index];
    AcEntry& e = t.fast[index];
    if (one.kind >= 16) {  // a flag: as it is
      e = {one.value, 0, one.length, one.length, 0, one.kind};
      continue;
    }
    e = {one.value, 0, one.length, one.length, one.kind, kOne};
    const int left = kAcBits - one.length;  // the index's bits after the first symbol
    const FastEntry next = single[(index << one.length) & kMask];
    if (next.length == 0 || next.length > left) continue;
    if (next.kind < 16) {
      e = {one.value, next.value, one.length, uint8_t(one.length + next.length),
           uint8_t(one.kind | next.kind << 4), kTwo};
    } else if (next.kind == kEndOfBlock) {
      e = {one.value, 0, one.length, uint8_t(one.length + next.length), one.kind, kOneThenEnd};
    }
  }
  return true;
}

// -1 when the source has nothing more. A source that would suspend counts as ended:
// photos are decoded from memory.
int ReadByte(j_decompress_ptr cinfo, BitStream& s) {
  if (s.next == s.end) {
    jpeg_source_mgr* src = cinfo->src;
    src->next_input_byte = s.end;
    src->bytes_in_buffer = 0;
    if (!(*src->fill_input_buffer)(cinfo)) return -1;
    s.next = src->next_input_byte;
    s.end = s.next + src->bytes_in_buffer;
    if (s.next == s.end) return -1;
  }
  return *s.next++;
}

// Byte by byte: a 0xFF byte is followed by a stuffed zero in the data; anything else after
// it is the marker ending the data, which is kept for libjpeg's marker reader, and zeros
// stand in for the bits after it.
[[gnu::noinline]] BitStream RefillByBytes(j_decompress_ptr cinfo, BitStream s) {
  while (s.count <= 56) {
    if (cinfo->unread_marker != 0) {
      s.count += 8;
      s.padding += 8;
      continue;
    }
    int c = ReadByte(cinfo, s);
    if (c == 0xFF) {
      do c = ReadByte(cinfo, s);
      while (c == 0xFF);
      if (c == 0) {
        c = 0xFF;
      } else {
        cinfo->unread_marker = c < 0 ? JPEG_EOI : c;
        continue;
      }
    }
    if (c < 0) {
      cinfo->unread_marker = JPEG_EOI;
      continue;
    }
    s.bits |= uint64_t(c) << (56 - s.count);
    s.count += 8;
  }
  return s;
}

PRISMORA_INLINE bool NoByteIsFF(uint64_t word) {
  const uint64_t inverted = ~word;
  return ((inverted - 0x0101010101010101ull) & ~inverted & 0x8080808080808080ull) == 0;
}

// Tops the buffer up to more than 56 valid bits; whole bytes at once when the next eight
// hold no 0xFF.
PRISMORA_INLINE void Refill(j_decompress_ptr cinfo, BitStream& s) {
  if (s.end - s.next >= 8 && cinfo->unread_marker == 0) {
    uint64_t word;
    std::memcpy(&word, s.next, sizeof word);
    word = __builtin_bswap64(word);
    if (NoByteIsFF(word)) {
      const int take = (64 - s.count) / 8, after = s.count + 8 * take;
      uint64_t add = word >> s.count;
      if (after < 64) add &= ~((uint64_t(1) << (64 - after)) - 1);
      s.bits |= add;
      s.count = after;
      s.next += take;
      return;
    }
  }
  s = RefillByBytes(cinfo, s);
}

PRISMORA_INLINE void Drop(BitStream& s, int n) {
  s.bits <<= n;
  s.count -= n;
}

// `size` (0..15) bits as a signed value.
PRISMORA_INLINE int TakeValue(BitStream& s, int size) {
  if (size == 0) return 0;
  const int bits = int(s.bits >> (64 - size));
  Drop(s, size);
  return Extend(bits, size);
}

// A code longer than a table's kBits. An impossible code counts as symbol 0 after
// dropping 16 bits, as in libjpeg.
template <int kBits>
PRISMORA_INLINE int LongSymbol(j_decompress_ptr cinfo, const LongCodes& t, BitStream& s) {
  const auto look = int32_t(s.bits >> 48);
  for (int length = kBits + 1; length <= 16; ++length) {
    const int32_t code = look >> (16 - length);
    if (code <= t.maxCode[length]) {
      const int32_t index = code + t.valueOffset[length];
      if (index < 0 || index > 255) break;
      Drop(s, length);
      return t.symbols[index];
    }
  }
  WARNMS(cinfo, JWRN_HUFF_BAD_CODE);
  Drop(s, 16);
  return 0;
}

PRISMORA_INLINE int DcDifference(j_decompress_ptr cinfo, const DcTable& t, BitStream& s) {
  if (s.count < 32) Refill(cinfo, s);
  const FastEntry e = t.fast[s.bits >> (64 - kDcBits)];
  if (e.kind == 0) {
    Drop(s, e.length);
    return e.value;
  }
  int size;
  if (e.kind & kValueFollows) {
    size = e.value;
    Drop(s, e.length);
  } else {
    size = LongSymbol<kDcBits>(cinfo, t.longCodes, s);
  }
  return TakeValue(s, size);
}

// The coefficients 1..63 of one block, in zigzag order, into a zeroed block.
PRISMORA_INLINE void AcCoefficients(j_decompress_ptr cinfo, const AcTable& t, BitStream& s,
                                    JCOEF* block) {
  // Zigzag to row-major order. libjpeg's table has 16 more entries (all 63) for the runs
  // of a damaged block: k + run stays below 64 + 15 here, as a block that reaches 64 ends.
  const int* natural = jpeg_natural_order;
  for (int k = 1; k < DCTSIZE2;) {
    if (s.count < 32) Refill(cinfo, s);
    const AcEntry e = t.fast[s.bits >> (64 - kAcBits)];
    if (e.kind <= kTwo) {
      k += e.runs & 15;
      block[natural[k]] = e.first;
      if (++k >= DCTSIZE2) {  // the block is full: what follows is the next block's
        Drop(s, e.firstLength);
        return;
      }
      Drop(s, e.length);
      if (e.kind == kOneThenEnd) return;
      // With one coefficient this stores a zero at k, not yet reached, and k stays.
      k += e.runs >> 4;
      block[natural[k]] = e.second;
      k += e.kind >> 1;
      continue;
    }
    if (e.kind == kEndOfBlock) {
      Drop(s, e.length);
      return;
    }
    int run, size;
    if (e.kind & kValueFollows) {
      run = e.kind & 15;
      size = e.first;
      Drop(s, e.length);
    } else {
      const int symbol = LongSymbol<kAcBits>(cinfo, t.longCodes, s);
      run = symbol >> 4;
      size = symbol & 15;
      if (size == 0 && run != 15) return;
    }
    k += run;
    block[natural[k]] = JCOEF(TakeValue(s, size));
    ++k;
  }
}

void StartPass(j_decompress_ptr cinfo) {
  auto& d = *reinterpret_cast<Decoder*>(cinfo->entropy);
  d.stream = {};
  for (int& dc : d.lastDc) dc = 0;
  d.restartsToGo = cinfo->restart_interval;
  d.pub.insufficient_data = FALSE;
}

// The bits before a restart marker are padding; libjpeg's marker reader finds the
// marker (or resynchronises after damage), then predictions start again from zero.
bool Restart(j_decompress_ptr cinfo, Decoder& d) {
  BitStream& s = d.stream;
  if (s.count > s.padding) cinfo->marker->discarded_bytes += unsigned(s.count - s.padding) / 8;
  s = {};
  if (!(*cinfo->marker->read_restart_marker)(cinfo)) return false;
  for (int& dc : d.lastDc) dc = 0;
  d.restartsToGo = cinfo->restart_interval;
  // Right up against another marker the next segment is empty: keep skipping.
  if (cinfo->unread_marker == 0) d.pub.insufficient_data = FALSE;
  return true;
}

boolean DecodeMcu(j_decompress_ptr cinfo, JBLOCKROW* mcu) {
  auto& d = *reinterpret_cast<Decoder*>(cinfo->entropy);
  if (cinfo->restart_interval != 0) {
    if (d.restartsToGo == 0 && !Restart(cinfo, d)) return FALSE;
    --d.restartsToGo;
  }
  // Once the data has run out, the rest of the segment stays zero (uniform grey).
  if (d.pub.insufficient_data) return TRUE;
  BitStream s = d.stream;
  s.next = cinfo->src->next_input_byte;
  s.end = s.next + cinfo->src->bytes_in_buffer;
  for (int b = 0; b < cinfo->blocks_in_MCU; ++b) {
    JCOEF* block = mcu[b][0];
    int& dc = d.lastDc[d.component[b]];
    // Damaged data can push the prediction anywhere; it wraps instead of overflowing.
    dc = int(unsigned(dc) + unsigned(DcDifference(cinfo, *d.dcTable[b], s)));
    block[0] = JCOEF(dc);
    AcCoefficients(cinfo, *d.acTable[b], s, block);
  }
  if (s.count < s.padding) {  // bits past the end of the data were used
    WARNMS(cinfo, JWRN_HIT_MARKER);
    d.pub.insufficient_data = TRUE;
    s.padding = s.count;
  }
  cinfo->src->next_input_byte = s.next;
  cinfo->src->bytes_in_buffer = size_t(s.end - s.next);
  d.stream = s;
  return TRUE;
}

}  // namespace

bool InstallFastEntropyDecoder(jpeg_decompress_struct* cinfo) {
  if (cinfo->progressive_mode || cinfo->arith_code || cinfo->data_precision != 8) return false;
  // One scan with every component: later scans would need libjpeg's decoder again.
  if (cinfo->comps_in_scan != cinfo->num_components || cinfo->Ss != 0 ||
      cinfo->Se != DCTSIZE2 - 1 || cinfo->Ah != 0 || cinfo->Al != 0) {
    return false;
  }
  if (cinfo->blocks_in_MCU < 1 || cinfo->blocks_in_MCU > D_MAX_BLOCKS_IN_MCU ||
      cinfo->output_scanline != 0 || cinfo->unread_marker != 0) {
    return false;
  }
  auto* d = static_cast<Decoder*>((*cinfo->mem->alloc_small)(
      reinterpret_cast<j_common_ptr>(cinfo), JPOOL_IMAGE, sizeof(Decoder)));
  bool built[2 * NUM_HUFF_TBLS] = {};
  for (int b = 0; b < cinfo->blocks_in_MCU; ++b) {
    const int ci = cinfo->MCU_membership[b];
    if (ci < 0 || ci >= cinfo->comps_in_scan) return false;
    const jpeg_component_info* comp = cinfo->cur_comp_info[ci];
    const int dcNo = comp->dc_tbl_no, acNo = comp->ac_tbl_no;
    if (dcNo < 0 || dcNo >= NUM_HUFF_TBLS || acNo < 0 || acNo >= NUM_HUFF_TBLS) return false;
    DcTable& dc = d->dcTables[dcNo];
    AcTable& ac = d->acTables[acNo];
    if (!built[dcNo] && !BuildDcTable(cinfo->dc_huff_tbl_ptrs[dcNo], dc)) return false;
    if (!built[NUM_HUFF_TBLS + acNo] &&
        !BuildAcTable(cinfo->ac_huff_tbl_ptrs[acNo], d->oneSymbol, ac)) {
      return false;
    }
    built[dcNo] = built[NUM_HUFF_TBLS + acNo] = true;
    d->component[b] = ci;
    d->dcTable[b] = &dc;
    d->acTable[b] = &ac;
  }
  d->pub.start_pass = StartPass;
  d->pub.decode_mcu = DecodeMcu;
  cinfo->entropy = &d->pub;
  StartPass(cinfo);
  return true;
}

}  // namespace prismora::photos
