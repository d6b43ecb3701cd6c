#include "builder/photos/webp.h"

#include <algorithm>
#include <utility>
#include <vector>

#include <webp/decode.h>
#include <webp/demux.h>

#include "builder/photos/jpeg_orientation.h"

namespace prismora::photos {
namespace {

// Owns the demuxer and its iterators; the demuxer points into the file's bytes.
struct Demuxed {
  WebPDemuxer* demux = nullptr;
  WebPIterator frame{};
  bool haveFrame = false;
  ~Demuxed() {
    if (haveFrame) WebPDemuxReleaseIterator(&frame);
    WebPDemuxDelete(demux);
  }
};

int OrientationOf(WebPDemuxer* demux) {
  WebPChunkIterator chunk{};
  int orientation = 1;
  if (WebPDemuxGetChunk(demux, "EXIF", 1, &chunk))
    orientation = ExifOrientation({chunk.chunk.bytes, chunk.chunk.size});
  WebPDemuxReleaseChunkIterator(&chunk);
  return orientation;
}

// What libwebp keeps besides the pixels it hands back: a lossless picture is decoded
// whole as 32-bit pixels before it is scaled, a lossy one a few macroblock rows at a
// time plus, with transparency, a whole alpha plane; the scaler's rows. Counted
// generously.
int64_t LibwebpBytes(const WebPBitstreamFeatures& f) {
  const int64_t pixels = int64_t(f.width) * f.height;
  int64_t bytes = int64_t(1) << 20;
  bytes += f.format == 2 ? pixels * 4 : int64_t(f.width) * 4 * 64 + (f.has_alpha ? pixels : 0);
  bytes += int64_t(f.width) * 4 * 8;
  return bytes;
}

}  // namespace

bool LooksLikeWebp(std::span<const uint8_t> file) {
  return file.size() >= 12 && std::equal(file.begin(), file.begin() + 4, "RIFF") &&
         std::equal(file.begin() + 8, file.begin() + 12, "WEBP");
}

bool DecodeWebp(std::span<const uint8_t> file, const DrawSizeFor& drawSize, DecodedPhoto& out,
                std::string& error, const MemoryGate& gate, uint32_t background) {
  if (!LooksLikeWebp(file)) {
    error = "not a WebP file";
    return false;
  }
  Demuxed d;
  const WebPData data{file.data(), file.size()};
  d.demux = WebPDemux(&data);
  if (!d.demux || !(d.haveFrame = WebPDemuxGetFrame(d.demux, 1, &d.frame) != 0)) {
    error = "damaged or incomplete WebP file";
    return false;
  }
  const int canvasW = int(WebPDemuxGetI(d.demux, WEBP_FF_CANVAS_WIDTH));
  const int canvasH = int(WebPDemuxGetI(d.demux, WEBP_FF_CANVAS_HEIGHT));
  if (!PixelCountAllowed(canvasW, canvasH)) {
    error = TooLargeError(canvasW, canvasH);
    return false;
  }
  WebPDecoderConfig config;
  if (!WebPInitDecoderConfig(&config) ||
      WebPGetFeatures(d.frame.fragment.bytes, d.frame.fragment.size, &config.input) !=
          VP8_STATUS_OK) {
    error = "damaged WebP file";
    return false;
  }
  const WebPBitstreamFeatures& f = config.input;
  // The first frame of an animation may cover only part of the canvas; the rest shows
  // the frame colour, as a transparent part does.
  const bool whole = d.frame.x_offset == 0 && d.frame.y_offset == 0 &&
                     f.width == canvasW && f.height == canvasH;
  if (f.width <= 0 || f.height <= 0 || f.width > canvasW - d.frame.x_offset ||
      f.height > canvasH - d.frame.y_offset) {
    error = "damaged WebP file";
    return false;
  }
  const int orientation = OrientationOf(d.demux);
  const bool swapped = SwapsSides(orientation);
  PixelSize draw = drawSize(swapped ? canvasH : canvasW, swapped ? canvasW : canvasH);
  if (swapped) std::swap(draw.width, draw.height);
  const PixelSize size = whole ? CoveringSize(canvasW, canvasH, draw) : PixelSize{canvasW, canvasH};
  const PixelSize frameSize = whole ? size : PixelSize{f.width, f.height};
  const bool alpha = f.has_alpha != 0 || !whole;
  const int64_t stored = int64_t(size.width) * size.height * 3;
  const int64_t rgba = alpha ? int64_t(frameSize.width) * frameSize.height * 4 : 0;
  if (!MayTake(gate, LibwebpBytes(f) + stored * (orientation == 1 ? 1 : 2) + rgba)) {
    error = TooLargeError(canvasW, canvasH);
    return false;
  }

  PixelImage picture(size.width, size.height);
  std::vector<uint8_t> withAlpha(static_cast<size_t>(rgba));
  config.options.use_scaling = whole && (size.width != canvasW || size.height != canvasH);
  config.options.scaled_width = size.width;
  config.options.scaled_height = size.height;
  config.output.is_external_memory = 1;
  if (alpha) {
    config.output.colorspace = MODE_BGRA;
    config.output.u.RGBA.rgba = withAlpha.data();
    config.output.u.RGBA.stride = frameSize.width * 4;
    config.output.u.RGBA.size = withAlpha.size();
  } else {
    config.output.colorspace = MODE_BGR;
    config.output.u.RGBA.rgba = picture.View().pixels;
    config.output.u.RGBA.stride = size.width * 3;
    config.output.u.RGBA.size = size_t(stored);
  }
  const VP8StatusCode status = WebPDecode(d.frame.fragment.bytes, d.frame.fragment.size, &config);
  WebPFreeDecBuffer(&config.output);
  if (status != VP8_STATUS_OK) {
    error = status == VP8_STATUS_NOT_ENOUGH_DATA ? "incomplete WebP file" : "damaged WebP file";
    return false;
  }
  if (alpha) {
    const PixelView v = picture.View();
    if (!whole) Fill(v, background);
    for (int y = 0; y < frameSize.height; ++y)
      FlattenBgra(&withAlpha[size_t(y) * frameSize.width * 4],
                  v.Row(y + (whole ? 0 : d.frame.y_offset)) + 3 * (whole ? 0 : d.frame.x_offset),
                  frameSize.width, background);
  }
  PutUpright(picture, orientation, canvasW, canvasH, out);
  return true;
}

}  // namespace prismora::photos
