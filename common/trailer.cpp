#include "common/trailer.h"

#include <algorithm>

#include "common/bytes.h"

namespace prismora::trailer {
namespace b = prismora::bytes;

namespace {
// Offsets inside the builder record are trailer offsets minus 204.
constexpr std::size_t rec(std::size_t trailerOffset) { return trailerOffset - kBuilderRecordOffset; }

void writeVec(std::span<uint8_t> block, std::size_t offset, Vec3f v) {
  b::writeF32(block, offset, v.x);
  b::writeF32(block, offset + 4, v.y);
  b::writeF32(block, offset + 8, v.z);
}
Vec3f readVec(std::span<const uint8_t> block, std::size_t offset) {
  return {b::readF32(block, offset), b::readF32(block, offset + 4), b::readF32(block, offset + 8)};
}
}  // namespace

std::string websiteForRecord(std::string_view website) {
  if (website.size() >= 4 && website.substr(0, 4) == "http") return std::string(website);
  return "http://" + std::string(website);
}

BuilderRecord makeBuilderRecord(const BuilderRecordFields& f) {
  BuilderRecord r{};
  auto writeText = [&](std::size_t offset, std::string_view t) {
    b::writeText(r, rec(offset), kTextFieldWidth, text::CutToBytes(t, kTextFieldWidth - 1, f.lead));
  };
  writeText(off::Title, f.title);
  writeText(off::Author, f.author);
  writeText(off::Email, f.email);
  writeText(off::Website, websiteForRecord(f.website));
  b::writeI32(r, rec(off::PhotoCountCode), f.photoCount * kPhotoCountUnit);
  b::writeU8(r, rec(off::PreviewFlag), f.previewFlag ? 1 : 0);
  b::writeU32(r, rec(off::DialogColor), f.dialogColor);
  b::writeI32(r, rec(off::PhotoChangeSeconds),
              std::clamp(f.photoChangeSeconds, int32_t(0), kMaxPhotoChangeSeconds));
  return r;
}

void setPreviewFlag(BuilderRecord& record, bool preview) {
  b::writeU8(record, rec(off::PreviewFlag), preview ? 1 : 0);
}

TemplateBlock makeTemplateBlock(const TemplateBlockFields& f) {
  TemplateBlock t{};
  b::writeU32(t, off::AnimEnd, f.animEnd);
  b::writeU32(t, off::AnimLoopStart, f.animLoopStart);
  b::writeI32(t, off::Speed, f.speed);
  writeVec(t, off::CameraPosition, f.cameraPosition);
  writeVec(t, off::CameraDirection, f.cameraDirection);
  writeVec(t, off::CameraUp, f.cameraUp);
  b::writeU32(t, off::SpeedMax, f.speedMax);
  b::writeU32(t, off::SpeedMin, f.speedMin);
  b::writeU8(t, off::LightFlag, f.lightFlag);
  b::writeU8(t, off::EraseFlag, f.eraseFlag);
  b::writeU8(t, off::TrailsFlag, f.trailsFlag);
  b::writeI32(t, off::TrailCount, f.trailCount);
  b::writeU32(t, off::ColorRequestSize, 36);
  b::writeU32(t, off::BackgroundColor, f.backgroundColor);
  b::writeU32(t, off::ColorRequestFlags, 1);
  return t;
}

Trailer Trailer::fromFileTail(std::span<const uint8_t> tail) {
  Trailer t;
  std::array<uint8_t, kTrailerSize> whole{};
  std::size_t n = std::min(tail.size(), kTrailerSize);
  std::copy(tail.end() - std::ptrdiff_t(n), tail.end(), whole.end() - std::ptrdiff_t(n));
  std::copy_n(whole.begin(), kDisplayBlockSize, t.display.begin());
  std::copy_n(whole.begin() + kInfoBlockOffset, kInfoBlockSize, t.info.begin());
  return t;
}

bool Trailer::applyRegistryCopy(std::span<const uint8_t> value) {
  if (value.size() != kDisplayBlockSize) return false;
  std::copy(value.begin(), value.end(), display.begin());
  return true;
}

uint32_t Trailer::animEnd() const { return b::readU32(display, off::AnimEnd); }
uint32_t Trailer::animLoopStart() const { return b::readU32(display, off::AnimLoopStart); }
int32_t Trailer::speed() const { return b::readI32(display, off::Speed); }
void Trailer::setSpeed(int32_t s) { b::writeI32(display, off::Speed, s); }
Vec3f Trailer::cameraPosition() const { return readVec(display, off::CameraPosition); }
Vec3f Trailer::cameraDirection() const { return readVec(display, off::CameraDirection); }
Vec3f Trailer::cameraUp() const { return readVec(display, off::CameraUp); }
uint16_t Trailer::speedMax() const { return uint16_t(b::readU32(display, off::SpeedMax)); }
uint16_t Trailer::speedMin() const { return uint16_t(b::readU32(display, off::SpeedMin)); }
bool Trailer::lightFlag() const { return b::readU8(display, off::LightFlag) != 0; }
void Trailer::setLightFlag(bool on) { b::writeU8(display, off::LightFlag, on); }
bool Trailer::eraseFlag() const { return b::readU8(display, off::EraseFlag) != 0; }
void Trailer::setEraseFlag(bool on) { b::writeU8(display, off::EraseFlag, on); }
bool Trailer::trailsFlag() const { return b::readU8(display, off::TrailsFlag) != 0; }
int32_t Trailer::trailCount() const { return b::readI32(display, off::TrailCount); }
uint32_t Trailer::backgroundColor() const { return b::readU32(display, off::BackgroundColor); }
void Trailer::setBackgroundColor(uint32_t c) { b::writeU32(display, off::BackgroundColor, c); }

std::string Trailer::title() const { return b::readText(info, off::Title - kInfoBlockOffset, kTextFieldWidth); }
std::string Trailer::author() const { return b::readText(info, off::Author - kInfoBlockOffset, kTextFieldWidth); }
std::string Trailer::email() const { return b::readText(info, off::Email - kInfoBlockOffset, kTextFieldWidth); }
std::string Trailer::website() const { return b::readText(info, off::Website - kInfoBlockOffset, kTextFieldWidth); }
int32_t Trailer::photoCountCode() const { return b::readI32(info, off::PhotoCountCode - kInfoBlockOffset); }
bool Trailer::previewFlag() const { return b::readU8(info, off::PreviewFlag - kInfoBlockOffset) != 0; }
uint32_t Trailer::dialogColor() const { return b::readU32(info, off::DialogColor - kInfoBlockOffset); }

int32_t Trailer::photoChangeSeconds() const {
  return std::clamp(b::readI32(info, off::PhotoChangeSeconds - kInfoBlockOffset), int32_t(0),
                    kMaxPhotoChangeSeconds);
}

int Trailer::photoCount() const {
  int32_t code = photoCountCode();
  if (code == 0) code = 1000;
  int32_t n = code / kPhotoCountUnit;
  return n < 1 ? 1 : n;
}

uint32_t Trailer::backgroundColor3D() const {
  uint32_t red = b::readU8(display, off::BackgroundColor);
  uint32_t green = b::readU8(display, off::BackgroundColor + 1);
  uint32_t blue = b::readU8(display, off::BackgroundColor + 2);
  return 0xFF000000u | red << 16 | green << 8 | blue;
}

float Trailer::speedPerTick() const { return float(speed()) * 0.02f * 0.1f; }

}  // namespace prismora::trailer
