#include "builder/output/assets.h"

#include <cstdint>

namespace prismora::output {

bool SaveLicenseFile(platform::FileSystem& files, const std::string& folder,
                     const std::string& licenseText) {
  const auto* bytes = reinterpret_cast<const uint8_t*>(licenseText.data());
  return files.ReplaceFileContents(folder + kLicenseFileName, {bytes, licenseText.size()});
}

}  // namespace prismora::output
