// Photo folders named in scripts a Western code page cannot hold, for the Windows tests
// of Unicode file names: "Фото" (Cyrillic) and "東京" (Japanese), each with a bitmap
// named in its script. Names are UTF-8; the temporary folder removes them with itself.
#pragma once
#include <windows.h>

#include <string>

#include "platform/win32/wide_text.h"
#include "tests/support/bitmap_bytes.h"
#include "tests/support/temp_folder.h"

namespace prismora::testsupport {

inline const std::string kCyrillicFolder = "\xD0\xA4\xD0\xBE\xD1\x82\xD0\xBE";         // "Фото"
inline const std::string kCyrillicPhoto = "\xD0\x9B\xD0\xB5\xD1\x82\xD0\xBE.bmp";      // "Лето.bmp"
inline const std::string kJapaneseFolder = "\xE6\x9D\xB1\xE4\xBA\xAC";                 // "東京"
inline const std::string kJapanesePhoto = "\xE8\x8A\xB1\xE7\x81\xAB.bmp";              // "花火.bmp"

// A 24-bit bitmap of one colour (0x00BBGGRR) at a path named in any script.
inline void WriteBitmapWide(const std::string& utf8Path, int w, int h, uint32_t color) {
  const std::vector<uint8_t> b = OneColourBitmap(w, h, color);
  HANDLE f = CreateFileW(platform::WideFromUtf8(utf8Path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD n = 0;
  WriteFile(f, b.data(), DWORD(b.size()), &n, nullptr);
  CloseHandle(f);
}

// The two folders below `root` (ending in a backslash), each with its photo.
struct UnicodePhotoFolders {
  std::string cyrillic, japanese, cyrillicPhoto, japanesePhoto;  // real paths, UTF-8
  UnicodePhotoFolders(const std::string& root, uint32_t cyrillicColor, uint32_t japaneseColor)
      : cyrillic(root + kCyrillicFolder),
        japanese(root + kJapaneseFolder),
        cyrillicPhoto(cyrillic + "\\" + kCyrillicPhoto),
        japanesePhoto(japanese + "\\" + kJapanesePhoto) {
    CreateDirectoryW(platform::WideFromUtf8(cyrillic).c_str(), nullptr);
    CreateDirectoryW(platform::WideFromUtf8(japanese).c_str(), nullptr);
    WriteBitmapWide(cyrillicPhoto, 80, 60, cyrillicColor);
    WriteBitmapWide(japanesePhoto, 60, 80, japaneseColor);
  }
  // How the builder keeps a file: its path, or its 8.3 alias; empty when it has neither.
  static std::string Stored(const std::string& utf8Path) {
    return platform::StoredPathFor(platform::WideFromUtf8(utf8Path)).value_or("");
  }
};

}  // namespace prismora::testsupport
