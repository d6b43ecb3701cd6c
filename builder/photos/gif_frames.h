// GIF frame handling on raw file bytes. The platform's picture decoder shows only the
// first image of a GIF, so a later frame is shown by rewriting the bytes: the header and
// global colour table, then the chosen frame and every frame after it.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace prismora::photos::gif {

// "GIF8" at the start of more than four bytes.
bool IsGifFile(std::span<const uint8_t> data);

// Positions of every graphic control extension that is directly followed by an image
// descriptor, in file order.
std::vector<std::size_t> FrameSignatures(std::span<const uint8_t> data);

// -1 when the data is not a GIF file.
int FrameCount(std::span<const uint8_t> data);

struct FrameTiming {
  int delay = 0;             // hundredths of a second
  bool transparent = false;  // bit 0 of the packed byte
  int disposal = 0;          // the packed byte's disposal field (bits 2..4), 0..7
};
// Frame `n` counts from 1; nothing when not a GIF or there is no such frame.
std::optional<FrameTiming> FrameTime(std::span<const uint8_t> data, int n);

struct FrameSelection {
  std::vector<uint8_t> bytes;  // what the decoder gets
  uint16_t left = 0, top = 0, width = 0, height = 0;  // the chosen frame's descriptor
  uint16_t screenWidth = 0, screenHeight = 0;         // logical screen; 0 when unchanged
};

// Rewrites a GIF so that frame `frame` (1-based) comes first. Data that is not a GIF, or
// a GIF without frame signatures, is passed through with zero positions and screen.
FrameSelection SelectFrame(std::span<const uint8_t> data, int frame);

}  // namespace prismora::photos::gif
