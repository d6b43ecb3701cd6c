// The installer's assets that are plain data: the licence text file. (The wizard
// pictures are drawn by the window side, assets_win.h.)
#pragma once
#include <string>

#include "platform/seams.h"

namespace prismora::output {

inline constexpr const char* kLicenseFileName = "license.txt";
inline constexpr int kWizardImageWidth = 164, kWizardImageHeight = 314;
inline constexpr int kWizardSmallImageSide = 55;

// Writes the licence text unchanged, as the memo holds it (lines joined by CR LF, no
// line break added after the last), to «folder»license.txt, replacing an earlier file.
bool SaveLicenseFile(platform::FileSystem& files, const std::string& folder,
                     const std::string& licenseText);

}  // namespace prismora::output
