#include "builder/photos/own_thumbnail.h"

#include <utility>

#include "builder/photos/heif.h"
#include "builder/photos/tiff.h"
#include "builder/photos/webp.h"

namespace prismora::photos {

OwnThumbnail DecodeOwnThumbnail(std::span<const uint8_t> data, Size area, DecodedThumbnail& out,
                                uint32_t background) {
  if (LooksLikeJpeg(data)) {
    JpegRefusal refusal = JpegRefusal::None;
    if (std::optional<DecodedThumbnail> jpeg = DecodeJpegThumbnail(data, area, &refusal)) {
      out = std::move(*jpeg);
      return OwnThumbnail::Decoded;
    }
    return refusal == JpegRefusal::TooLarge ? OwnThumbnail::Refused : OwnThumbnail::OtherFormat;
  }
  const bool webp = photos::LooksLikeWebp(data);
  const bool heif = !webp && photos::LooksLikeHeif(data);
  if (!webp && !heif && !photos::LooksLikeTiff(data)) return OwnThumbnail::OtherFormat;
  photos::DecodedPhoto photo;
  std::string error;
  auto drawSize = [area](int w, int h) {
    const Size fit = FitPicture({w, h}, area);
    return photos::PixelSize{fit.width, fit.height};
  };
  const bool decoded = webp   ? photos::DecodeWebp(data, drawSize, photo, error, {}, background)
                       : heif ? photos::DecodeHeif(data, drawSize, photo, error, {}, background)
                              : photos::DecodeTiff(data, photo, error, {}, background);
  if (!decoded || photo.pixels.Empty()) return OwnThumbnail::Refused;
  out.fullSize = {photo.fullWidth, photo.fullHeight};
  BgrImage decodedImage;
  decodedImage.width = photo.pixels.Width();
  decodedImage.height = photo.pixels.Height();
  const photos::PixelView v = photo.pixels.View();
  decodedImage.pixels.assign(v.pixels, v.pixels + size_t(v.stride) * v.height);
  photo = {};
  out.image = ScaleDown(decodedImage, FitPicture(out.fullSize, area));
  return OwnThumbnail::Decoded;
}

}  // namespace prismora::photos
