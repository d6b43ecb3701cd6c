// For native tests that make their picture files with the formats' own command-line
// tools (ImageMagick, cwebp, libtiff's tools): a scratch folder, the source pixels as a
// PPM file the tools read, and running a tool.
#pragma once
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace prismora::testsupport {

class ScratchFolder {
 public:
  ScratchFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "prismora-XXXXXX").string();
    path_ = mkdtemp(pattern.data()) ? pattern : std::string();
  }
  ~ScratchFolder() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

inline void WriteBytes(const std::string& file, const std::vector<uint8_t>& bytes) {
  std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                              std::streamsize(bytes.size()));
}

inline std::vector<uint8_t> ReadBytes(const std::string& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Red, green, blue bytes, rows top down, as a binary PPM.
inline void WritePpm(const std::string& file, int width, int height,
                     const std::vector<uint8_t>& rgb) {
  std::string header = "P6\n" + std::to_string(width) + " " + std::to_string(height) + "\n255\n";
  std::vector<uint8_t> bytes(header.begin(), header.end());
  bytes.insert(bytes.end(), rgb.begin(), rgb.end());
  WriteBytes(file, bytes);
}

// Runs a shell command line quietly; true when it exits with 0.
inline bool Run(const std::string& commandLine) {
  return std::system((commandLine + " >/dev/null 2>&1").c_str()) == 0;
}

}  // namespace prismora::testsupport
