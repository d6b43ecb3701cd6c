// Where a screen saver keeps its display settings: one registry value per screen saver,
// under a key named after the program's 8.3 file name.
#pragma once
#include <string>
#include <string_view>

namespace prismora::runtime {

inline constexpr const char* kSettingsKeyBase = "SOFTWARE\\Prismora Builder\\Screen Savers\\";
inline constexpr const char* kSettingsValueName = "Screen Saver Data";

// The file-name part of the short path with its last four characters (".scr") cut.
// A name of four characters or fewer keeps its whole text, so the value never lands in
// the shared parent key.
std::string SettingsKeyName(std::string_view shortPath);

// Key path below HKEY_CURRENT_USER.
inline std::string SettingsKeyPath(std::string_view shortPath) {
  return std::string(kSettingsKeyBase) + SettingsKeyName(shortPath);
}

}  // namespace prismora::runtime
