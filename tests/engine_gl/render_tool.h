// Where the engine's Windows tests find the offline renderer and the template scenes.
#pragma once
#include <windows.h>

#include <cstdlib>
#include <string>

namespace prismora::testsupport {

inline std::string Here() {
  char path[MAX_PATH];
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string s = path;
  return s.substr(0, s.find_last_of("\\/") + 1);
}

// The source folder as the test runner names it (a Unix path under Wine: drive Z:).
inline std::string SourceFolder() {
  const char* dir = std::getenv("PRISMORA_SOURCE_DIR");
  if (!dir) return {};  // the caller's file checks fail loudly on the empty folder
  std::string s = dir;
  if (!s.empty() && s[0] == '/') s = "Z:" + s;
  for (char& c : s)
    if (c == '/') c = '\\';
  return s + "\\";
}

inline bool FileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

}  // namespace prismora::testsupport
