// The settings of the one open project. The main window keeps each setting in the
// control that edits it and hands out a ProjectSettings snapshot read at the moment of
// use, so the file, record and script writers never touch controls.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/trailer.h"

namespace prismora::project {

inline constexpr uint32_t kMagenta = 0x00FF00FF;
inline constexpr uint32_t kBlack = 0x00000000;

// Combo box items; the double quotes are part of the template names.
inline constexpr std::array<std::string_view, 6> kTemplateItems = {
    "\"16 cubes\"", "\"big cubes\"", "\"octa star\"",
    "\"colonnade\"", "\"Template 5\"", "\"Template 6\""};
// Imported templates follow the six as "vexo6", "vexo7", ...; the index is the file's
// number, so the largest is the largest such name the builder makes.
inline constexpr int32_t kLastTemplateIndex = 999999;
inline constexpr std::array<std::string_view, 2> kResizeMethodItems = {"Resize Pictures ",
                                                                       "Use border"};
enum ResizeMethodIndex : int32_t { kResizePictures = 0, kUseBorder = 1 };

inline constexpr std::string_view kDefaultWizardImage = "WizModernImage.bmp";
inline constexpr std::string_view kDefaultWizardSmallImage = "WizModernSmallImage.bmp";

// Five seconds: with one texture changed at a time, each photo of a 12- to 24-texture
// scene stays on screen one to two minutes, while a 300-photo set still comes round in
// about half an hour; much longer and most of a large set is never seen in an evening.
inline constexpr int32_t kDefaultPhotoChangeSeconds = 5;
inline constexpr int32_t kMaxPhotoChangeSeconds = trailer::kMaxPhotoChangeSeconds;

struct ProjectSettings {
  std::string Title = "Untitled Screen Saver";
  std::string Author = "Anna Lindqvist";
  std::string Email = "anna.lindqvist@example.com";
  std::string Website = "http://www.example.com";
  bool LicenseEnabled = true;
  std::string LicenseText;  // lines joined with CR LF
  std::string WizardImageFile{kDefaultWizardImage};
  std::string WizardSmallImageFile{kDefaultWizardSmallImage};
  uint32_t DialogBoxColor = kMagenta;
  int32_t TemplateIndex = 0;  // -1 when the combo box has no selection; 6 up: imported
  uint32_t BorderColor = kBlack;
  int32_t ResizeMethod = kUseBorder;
  bool RandomColor = true;
  bool EraseBackground = false;
  std::vector<std::string> Photos;  // full paths, in the order they were added
  // "Change a photo every N seconds" in the saver; 0 keeps the photos chosen at start.
  int32_t PhotoChangeSeconds = kDefaultPhotoChangeSeconds;

  bool operator==(const ProjectSettings&) const = default;
};

// The interval as the builder's edit box shows it, and its text read back: the leading
// digits (spaces around them allowed), none meaning 0, cut to kMaxPhotoChangeSeconds.
std::string PhotoChangeText(int32_t seconds);
int32_t ParsePhotoChangeText(std::string_view text);

// The values the main window starts with, before the auto-save is read.
inline ProjectSettings FirstStartSettings() { return {}; }

// New Project: empties the four texts, the licence and the photo list, restores the
// default wizard pictures; colours, template, fitting and the two flags stay.
void ApplyNewProject(ProjectSettings& s);

// The settings that an unreadable auto-save or project file leaves behind.
void ApplyUnreadableProjectFile(ProjectSettings& s);

}  // namespace prismora::project
