// Draws the settings dialog's hand cursor (hand.cur) and about icon (about.ico) from the
// pixel pictures below and writes them as 32-bit cursor and icon files. Run natively:
//   g++ -std=c++20 -I. -o /tmp/make_art runtime/resources/make_art.cpp && /tmp/make_art runtime/resources
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "common/bytes.h"

namespace {

using prismora::bytes::appendU16;
using prismora::bytes::appendU32;

// '.' transparent, 'X' outline, 'o' fill, 'b' blue, 'w' white.
const char* kHand[32] = {
    "     XX                         ",
    "    XooX                        ",
    "    XooX                        ",
    "    XooX                        ",
    "    XooX                        ",
    "    XooXXX                      ",
    "    XooXooXXX                   ",
    "    XooXooXooXX                 ",
    " XX XooXooXooXoX                ",
    "XooXXooooooooXooX               ",
    "XoooXoooooooooooX               ",
    " XooXoooooooooooX               ",
    "  XoXoooooooooooX               ",
    "  XooooooooooooX                ",
    "   XoooooooooooX                ",
    "   XooooooooooX                 ",
    "    XoooooooooX                 ",
    "    XoooooooooX                 ",
    "     XoooooooX                  ",
    "     XXXXXXXXX                  ",
    "", "", "", "", "", "", "", "", "", "", "", ""};

const char* kAbout[32] = {
    "           XXXXXXXXXX           ",
    "        XXXbbbbbbbbbbXXX        ",
    "      XXbbbbbbbbbbbbbbbbXX      ",
    "     XbbbbbbbbbbbbbbbbbbbbX     ",
    "    XbbbbbbbbbbbbbbbbbbbbbbX    ",
    "   XbbbbbbbbbbbbbbbbbbbbbbbbX   ",
    "  XbbbbbbbbbbbwwwwbbbbbbbbbbbX  ",
    "  XbbbbbbbbbbwwwwwwbbbbbbbbbbX  ",
    " XbbbbbbbbbbbwwwwwwbbbbbbbbbbbX ",
    " XbbbbbbbbbbbbwwwwbbbbbbbbbbbbX ",
    " XbbbbbbbbbbbbbbbbbbbbbbbbbbbbX ",
    "XbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbX",
    "XbbbbbbbbbbwwwwwwwbbbbbbbbbbbbbX",
    "XbbbbbbbbbbbbwwwwwbbbbbbbbbbbbbX",
    "XbbbbbbbbbbbbwwwwwbbbbbbbbbbbbbX",
    "XbbbbbbbbbbbbwwwwwbbbbbbbbbbbbbX",
    "XbbbbbbbbbbbbwwwwwbbbbbbbbbbbbbX",
    "XbbbbbbbbbbbbwwwwwbbbbbbbbbbbbbX",
    "XbbbbbbbbbbbbwwwwwbbbbbbbbbbbbbX",
    "XbbbbbbbbbbbbwwwwwbbbbbbbbbbbbbX",
    " XbbbbbbbbbbbwwwwwbbbbbbbbbbbbX ",
    " XbbbbbbbbbbbwwwwwbbbbbbbbbbbbX ",
    " XbbbbbbbbbwwwwwwwwwbbbbbbbbbbX ",
    "  XbbbbbbbbwwwwwwwwwbbbbbbbbbX  ",
    "  XbbbbbbbbbbbbbbbbbbbbbbbbbbX  ",
    "   XbbbbbbbbbbbbbbbbbbbbbbbbX   ",
    "    XbbbbbbbbbbbbbbbbbbbbbbX    ",
    "     XbbbbbbbbbbbbbbbbbbbbX     ",
    "      XXbbbbbbbbbbbbbbbbXX      ",
    "        XXXbbbbbbbbbbXXX        ",
    "           XXXXXXXXXX           ",
    ""};

uint32_t Colour(char c) {  // 0xAARRGGBB
  switch (c) {
    case 'X': return 0xFF000000;
    case 'o': case 'w': return 0xFFFFFFFF;
    case 'b': return 0xFF1E50C8;
    default: return 0;
  }
}

// One 32 x 32 picture as an icon or cursor file (type 1 icon, 2 cursor).
std::vector<uint8_t> Build(const char* const rows[32], unsigned type, unsigned hotX, unsigned hotY) {
  std::vector<uint8_t> image;
  appendU32(image, 40); appendU32(image, 32); appendU32(image, 64);  // header; height counts both masks
  appendU16(image, 1); appendU16(image, 32);
  appendU32(image, 0); appendU32(image, 32 * 32 * 4 + 32 * 4);
  appendU32(image, 0); appendU32(image, 0); appendU32(image, 0); appendU32(image, 0);
  auto at = [&](int x, int y) {
    std::string row = rows[y] ? rows[y] : "";
    return x < int(row.size()) ? row[x] : ' ';
  };
  for (int y = 31; y >= 0; --y)  // colour rows from the bottom, BGRA
    for (int x = 0; x < 32; ++x) {
      uint32_t c = Colour(at(x, y));
      image.push_back(uint8_t(c)); image.push_back(uint8_t(c >> 8));
      image.push_back(uint8_t(c >> 16)); image.push_back(uint8_t(c >> 24));
    }
  for (int y = 31; y >= 0; --y)  // mask rows: 1 = transparent
    for (int byte = 0; byte < 4; ++byte) {
      uint8_t bits = 0;
      for (int bit = 0; bit < 8; ++bit)
        if (Colour(at(byte * 8 + bit, y)) == 0) bits |= uint8_t(0x80 >> bit);
      image.push_back(bits);
    }
  std::vector<uint8_t> file;
  appendU16(file, 0); appendU16(file, uint16_t(type)); appendU16(file, 1);
  file.push_back(32); file.push_back(32); file.push_back(0); file.push_back(0);
  appendU16(file, uint16_t(type == 2 ? hotX : 1)); appendU16(file, uint16_t(type == 2 ? hotY : 32));
  appendU32(file, uint32_t(image.size())); appendU32(file, 22);
  file.insert(file.end(), image.begin(), image.end());
  return file;
}

bool Write(const std::string& path, const std::vector<uint8_t>& bytes) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv) {
  std::string dir = argc > 1 ? argv[1] : ".";
  bool ok = Write(dir + "/hand.cur", Build(kHand, 2, 5, 0)) && Write(dir + "/about.ico", Build(kAbout, 1, 0, 0));
  return ok ? 0 : 1;
}
