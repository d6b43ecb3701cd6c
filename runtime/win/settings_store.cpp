#include "runtime/win/settings_store.h"

#include <windows.h>

#include <vector>

#include "runtime/core/settings_key.h"

namespace prismora::runtime {
namespace {

// The last 1040 bytes of the file (fewer when the file is shorter; nothing when it
// cannot be read, which leaves every field zero).
std::vector<uint8_t> ReadTail(const std::string& path) {
  std::vector<uint8_t> tail;
  HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return tail;
  LARGE_INTEGER size{};
  if (GetFileSizeEx(h, &size)) {
    LONGLONG want = size.QuadPart < LONGLONG(trailer::kTrailerSize) ? size.QuadPart : LONGLONG(trailer::kTrailerSize);
    LARGE_INTEGER at;
    at.QuadPart = size.QuadPart - want;
    tail.resize(std::size_t(want));
    DWORD got = 0;
    if (!SetFilePointerEx(h, at, nullptr, FILE_BEGIN) || !ReadFile(h, tail.data(), DWORD(want), &got, nullptr))
      got = 0;
    tail.resize(got);
  }
  CloseHandle(h);
  return tail;
}

std::string KeyPath(const std::string& programPath) { return SettingsKeyPath(ShortPathOf(programPath)); }

}  // namespace

std::string OwnProgramPath() {
  char path[MAX_PATH] = {};
  DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  return std::string(path, n < MAX_PATH ? n : 0);
}

std::string ShortPathOf(const std::string& path) {
  char shortPath[MAX_PATH] = {};
  DWORD n = GetShortPathNameA(path.c_str(), shortPath, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return path;
  return shortPath;
}

trailer::Trailer LoadSettings(const std::string& programPath) {
  trailer::Trailer settings = trailer::Trailer::fromFileTail(ReadTail(programPath));
  HKEY key = nullptr;
  // The key is only read here; a screen saver that was never configured has none.
  if (RegOpenKeyExA(HKEY_CURRENT_USER, KeyPath(programPath).c_str(), 0, KEY_QUERY_VALUE, &key) == ERROR_SUCCESS) {
    uint8_t value[trailer::kDisplayBlockSize + 1] = {};
    DWORD type = 0, size = sizeof value;
    if (RegQueryValueExA(key, kSettingsValueName, nullptr, &type, value, &size) == ERROR_SUCCESS)
      settings.applyRegistryCopy(std::span<const uint8_t>(value, size));
    RegCloseKey(key);
  }
  return settings;
}

bool SaveSettings(const std::string& programPath, const trailer::Trailer& settings) {
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, KeyPath(programPath).c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                      &key, nullptr) != ERROR_SUCCESS)
    return false;
  bool ok = RegSetValueExA(key, kSettingsValueName, 0, REG_BINARY, settings.display.data(),
                           DWORD(settings.display.size())) == ERROR_SUCCESS;
  RegCloseKey(key);
  return ok;
}

}  // namespace prismora::runtime
