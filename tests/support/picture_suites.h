// The pictures other projects publish for testing their own readers (libpng's PNG suite,
// libjpeg-turbo's, libtiff's and giflib's test images), as the bootstrap unpacks their
// Debian source packages into .deps/src, and the damaged copies the reader corpus tests
// make of every one of them: cut short at many lengths and with bits flipped.
#pragma once
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace prismora::testsupport {

struct PictureSuite {
  const char* name;     // as reports name it
  const char* package;  // the folder below .deps/src
  std::vector<const char*> folders;  // inside the unpacked source
};

inline const std::vector<PictureSuite>& PictureSuites() {
  static const std::vector<PictureSuite> suites = {
      {"libpng", "libpng1.6", {"contrib/pngsuite", "contrib/testpngs"}},
      {"libjpeg-turbo", "jpeg", {"testimages"}},
      {"libtiff", "tiff", {"test/images"}},
      {"giflib", "giflib", {"pic", "tests"}},
  };
  return suites;
}

// Where the source tree is: PRISMORA_SOURCE_DIR as the test runner sets it (a Unix
// path, which Wine programs reach through drive Z:).
inline std::filesystem::path SourceTree() {
  const char* dir = std::getenv("PRISMORA_SOURCE_DIR");
  if (!dir) return {};
  std::string s = dir;
#ifdef _WIN32
  if (!s.empty() && s[0] == '/') s = "Z:" + s;
#endif
  return std::filesystem::path(s);
}

inline bool IsPictureName(const std::filesystem::path& p) {
  std::string ext = p.extension().string();
  for (char& c : ext) c = char(std::tolower(static_cast<unsigned char>(c)));
  for (const char* e : {".png", ".jpg", ".jpeg", ".bmp", ".gif", ".tif", ".tiff", ".ico"})
    if (ext == e) return true;
  return false;
}

// Every picture file of a suite, sorted; empty when the bootstrap has not fetched it.
// `where` tells which folder was looked in, for the failure message.
inline std::vector<std::filesystem::path> SuiteFiles(const PictureSuite& suite, std::string& where) {
  namespace fs = std::filesystem;
  const fs::path base = SourceTree() / ".deps" / "src" / suite.package;
  where = base.string();
  std::vector<fs::path> files;
  std::error_code ec;
  for (fs::directory_iterator unpacked(base, ec), end; !ec && unpacked != end; unpacked.increment(ec)) {
    if (!unpacked->is_directory()) continue;
    for (const char* folder : suite.folders) {
      const fs::path dir = unpacked->path() / folder;
      if (!fs::is_directory(dir, ec)) continue;
      for (fs::recursive_directory_iterator f(dir, ec), fend; !ec && f != fend; f.increment(ec))
        if (f->is_regular_file() && IsPictureName(f->path())) files.push_back(f->path());
    }
  }
  std::sort(files.begin(), files.end());
  return files;
}

inline std::vector<uint8_t> ReadAll(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct DamagedCopy {
  std::string label;  // "whole", "cut 1234", "flip 17@300,..."
  std::vector<uint8_t> bytes;
};

// The file itself, the file cut short at the lengths where headers, tables and the
// first rows end and at every eighth of its length, and copies with one to eight bits
// flipped: half of them in the first kilobyte (headers, palettes, tables), half
// anywhere. The flips follow a fixed sequence seeded from the file's length and first
// bytes, so a failure names a copy that the next run makes again.
inline std::vector<DamagedCopy> DamagedCopies(const std::vector<uint8_t>& file, int flips = 24) {
  std::vector<DamagedCopy> out;
  out.push_back({"whole", file});
  const size_t n = file.size();
  std::vector<size_t> cuts = {1, 2, 3, 4, 6, 8, 11, 13, 16, 24, 26, 33, 54, 64, 100, 200, 400, 800};
  for (int k = 1; k < 8; ++k) cuts.push_back(n * size_t(k) / 8);
  cuts.push_back(n > 0 ? n - 1 : 0);
  std::sort(cuts.begin(), cuts.end());
  cuts.erase(std::unique(cuts.begin(), cuts.end()), cuts.end());
  for (size_t cut : cuts)
    if (cut > 0 && cut < n) out.push_back({"cut " + std::to_string(cut), {file.begin(), file.begin() + long(cut)}});
  if (n == 0) return out;
  uint32_t state = uint32_t(n) * 2654435761u;
  for (size_t i = 0; i < std::min<size_t>(n, 16); ++i) state = state * 31u + file[i];
  auto next = [&state] {
    state = state * 1103515245u + 12345u;
    return state >> 8;
  };
  for (int c = 0; c < flips; ++c) {
    DamagedCopy copy{"flip", file};
    const size_t span = c % 2 == 0 ? std::min<size_t>(n, 1024) : n;
    const int bits = 1 + int(next() % 8);
    for (int b = 0; b < bits; ++b) {
      const size_t at = next() % span;
      const int bit = int(next() % 8);
      copy.bytes[at] ^= uint8_t(1u << bit);
      copy.label += (b ? "," : " ") + std::to_string(at) + ":" + std::to_string(bit);
    }
    out.push_back(std::move(copy));
  }
  return out;
}

}  // namespace prismora::testsupport
