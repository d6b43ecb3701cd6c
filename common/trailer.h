// The 1040-byte settings trailer at the end of every screen saver file.
//
//   bytes 0..203     template block   (part of each template file)
//   bytes 204..1039  builder record   (appended by the builder)
// The runtime reads the same bytes as
//   bytes 0..207     display block    (mirrored in the registry)
//   bytes 208..1039  info block       (read from the file only)
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "common/code_page.h"

namespace prismora::trailer {

inline constexpr std::size_t kTrailerSize = 1040;
inline constexpr std::size_t kTemplateBlockSize = 204;
inline constexpr std::size_t kBuilderRecordOffset = 204;
inline constexpr std::size_t kBuilderRecordSize = 836;
inline constexpr std::size_t kDisplayBlockSize = 208;
inline constexpr std::size_t kInfoBlockOffset = 208;
inline constexpr std::size_t kInfoBlockSize = 832;
inline constexpr std::size_t kTextFieldWidth = 100;
inline constexpr int32_t kPhotoCountUnit = 224;

// Field offsets inside the trailer.
namespace off {
inline constexpr std::size_t AnimEnd = 4;
inline constexpr std::size_t AnimLoopStart = 8;
inline constexpr std::size_t Speed = 12;
inline constexpr std::size_t CameraPosition = 16;
inline constexpr std::size_t CameraDirection = 28;
inline constexpr std::size_t CameraUp = 40;
inline constexpr std::size_t SpeedMax = 52;
inline constexpr std::size_t SpeedMin = 56;
inline constexpr std::size_t LightFlag = 60;
inline constexpr std::size_t EraseFlag = 61;
inline constexpr std::size_t TrailsFlag = 62;
inline constexpr std::size_t TrailCount = 64;
inline constexpr std::size_t ColorRequest = 68;  // CHOOSECOLOR layout, 36 bytes
inline constexpr std::size_t ColorRequestSize = 68;
inline constexpr std::size_t ColorRequestOwner = 72;
inline constexpr std::size_t ColorRequestInstance = 76;
inline constexpr std::size_t BackgroundColor = 80;
inline constexpr std::size_t ColorRequestCustomColors = 84;
inline constexpr std::size_t ColorRequestFlags = 88;
inline constexpr std::size_t Title = 208;
inline constexpr std::size_t Author = 408;
inline constexpr std::size_t Email = 508;
inline constexpr std::size_t Website = 608;
// In the builder record's reserved bytes (zero from builders before it): seconds between
// photo changes, 0 = keep the photos chosen at start.
inline constexpr std::size_t PhotoChangeSeconds = 708;
inline constexpr std::size_t PhotoCountCode = 1028;
inline constexpr std::size_t PreviewFlag = 1032;
inline constexpr std::size_t DialogColor = 1036;
}  // namespace off

struct Vec3f {
  float x = 0, y = 0, z = 0;
};

// ---- builder side ---------------------------------------------------------------

using BuilderRecord = std::array<uint8_t, kBuilderRecordSize>;

struct BuilderRecordFields {
  std::string title, author, email, website;
  int photoCount = 0;
  uint32_t dialogColor = 0;
  bool previewFlag = false;
  int32_t photoChangeSeconds = 0;
  // The code page of the texts: one longer than its field is cut between characters.
  text::LeadBytes lead;
};

// The longest interval between photo changes that is stored; longer ones are cut to it.
inline constexpr int32_t kMaxPhotoChangeSeconds = 3600;

// "http" in front of a website that does not start with exactly those four letters.
std::string websiteForRecord(std::string_view website);
BuilderRecord makeBuilderRecord(const BuilderRecordFields& fields);
void setPreviewFlag(BuilderRecord& record, bool preview);

// ---- template side (written by the scene tools) ------------------------------------

using TemplateBlock = std::array<uint8_t, kTemplateBlockSize>;

struct TemplateBlockFields {
  uint32_t animEnd = 479, animLoopStart = 0;
  int32_t speed = 50;
  Vec3f cameraPosition, cameraDirection{0, 0, 1}, cameraUp{0, 1, 0};
  uint32_t speedMax = 90, speedMin = 10;
  bool lightFlag = false, eraseFlag = true, trailsFlag = false;
  int32_t trailCount = 0;
  uint32_t backgroundColor = 0;
};
TemplateBlock makeTemplateBlock(const TemplateBlockFields& fields);

// ---- runtime side ---------------------------------------------------------------

// The runtime's two images of the trailer; fields are read at their trailer offsets.
struct Trailer {
  std::array<uint8_t, kDisplayBlockSize> display{};
  std::array<uint8_t, kInfoBlockSize> info{};

  // Splits the last 1040 bytes of `fileTail` (fewer if the file is shorter; the
  // missing leading bytes stay zero).
  static Trailer fromFileTail(std::span<const uint8_t> fileTail);

  // Replaces the display block with a registry copy; a value of any other length
  // than 208 bytes is ignored. Returns whether it was taken.
  bool applyRegistryCopy(std::span<const uint8_t> value);

  uint32_t animEnd() const;
  uint32_t animLoopStart() const;
  int32_t speed() const;
  void setSpeed(int32_t speed);
  Vec3f cameraPosition() const;
  Vec3f cameraDirection() const;
  Vec3f cameraUp() const;
  uint16_t speedMax() const;
  uint16_t speedMin() const;
  bool lightFlag() const;
  void setLightFlag(bool on);
  bool eraseFlag() const;
  void setEraseFlag(bool on);
  bool trailsFlag() const;
  int32_t trailCount() const;
  uint32_t backgroundColor() const;
  void setBackgroundColor(uint32_t colorref);

  std::string title() const;
  std::string author() const;
  std::string email() const;
  std::string website() const;
  int32_t photoCountCode() const;
  bool previewFlag() const;
  uint32_t dialogColor() const;
  // Seconds between photo changes, 0..kMaxPhotoChangeSeconds (a negative value reads as 0).
  int32_t photoChangeSeconds() const;

  // PhotoCountCode / 224, with 0 meaning 1000 (four photos); never less than one, so
  // callers can take it modulo safely.
  int photoCount() const;
  // Clear mode: 3 clears colour and depth, 2 depth only.
  int clearMode() const { return eraseFlag() ? 3 : 2; }
  // Background as a 3D colour 0xFFRRGGBB.
  uint32_t backgroundColor3D() const;
  // Animation clock advance per tick.
  float speedPerTick() const;
};

}  // namespace prismora::trailer
