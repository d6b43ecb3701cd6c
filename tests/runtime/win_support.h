// Helpers of the runtime's Windows tests: a screen saver made from a template file, photo
// bitmaps in the system folder, the settings key, processes and a look at the screen.
#pragma once
#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "common/trailer.h"
#include "runtime/core/settings_key.h"
#include "tests/support/bitmap_bytes.h"
#include "tests/support/pump.h"
#include "tests/support/screen.h"
#include "tests/support/temp_folder.h"
#include "tests/support/wait.h"

namespace prismora::testsupport {

inline std::string BinaryDir() {
  char path[MAX_PATH];
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string s = path;
  for (int up = 0; up < 3; ++up) s = s.substr(0, s.find_last_of("\\/"));  // tests\runtime\x.exe
  return s + "\\";
}

inline std::string SystemFolderPath() {
  char dir[MAX_PATH];
  UINT n = GetSystemDirectoryA(dir, MAX_PATH);
  return std::string(dir, n);
}

// A 512 x 512 24-bit bitmap in one colour (0x00BBGGRR).
inline void WriteSolidBitmap(const std::string& path, uint32_t colour) {
  const std::vector<uint8_t> f = OneColourBitmap(512, 512, colour);
  TempFolder::Write(path, f);
}

// A screen saver file: template n followed by a builder record.
inline std::string MakeScreenSaver(const std::string& path, int templ, const trailer::BuilderRecordFields& fields) {
  std::vector<uint8_t> bytes = TempFolder::Read(BinaryDir() + "vexo" + std::to_string(templ));
  trailer::BuilderRecord record = trailer::makeBuilderRecord(fields);
  bytes.insert(bytes.end(), record.begin(), record.end());
  TempFolder::Write(path, bytes);
  return path;
}

inline std::string KeyOf(const std::string& programPath) {
  char shortPath[MAX_PATH] = {};
  GetShortPathNameA(programPath.c_str(), shortPath, MAX_PATH);
  return runtime::SettingsKeyPath(shortPath);
}

inline void DeleteKey(const std::string& programPath) { RegDeleteKeyA(HKEY_CURRENT_USER, KeyOf(programPath).c_str()); }

// The registry copy of the display block; empty when there is none.
inline std::vector<uint8_t> ReadValue(const std::string& programPath) {
  std::vector<uint8_t> out(4096);
  DWORD size = DWORD(out.size()), type = 0;
  if (RegGetValueA(HKEY_CURRENT_USER, KeyOf(programPath).c_str(), runtime::kSettingsValueName, RRF_RT_ANY, &type,
                   out.data(), &size) != ERROR_SUCCESS)
    return {};
  out.resize(size);
  return out;
}

inline void WriteValue(const std::string& programPath, const std::vector<uint8_t>& value) {
  HKEY key;
  RegCreateKeyExA(HKEY_CURRENT_USER, KeyOf(programPath).c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr);
  RegSetValueExA(key, runtime::kSettingsValueName, 0, REG_BINARY, value.data(), DWORD(value.size()));
  RegCloseKey(key);
}

// A started program; ended (if still running) when the object goes.
struct Process {
  PROCESS_INFORMATION info{};
  bool started = false;
  explicit Process(const std::string& commandLine) {
    STARTUPINFOA si{};
    si.cb = sizeof si;
    std::string line = commandLine;
    started = CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &info) != 0;
  }
  ~Process() {
    if (!started) return;
    if (WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(info.hProcess, 99);
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
  }
  // True when the process ended within `ms`.
  bool WaitEnd(DWORD ms) const { return WaitForSingleObject(info.hProcess, ms) == WAIT_OBJECT_0; }
  int ExitCode() const {
    DWORD code = 0;
    GetExitCodeProcess(info.hProcess, &code);
    return int(code);
  }
};

// The application manifest a program file carries (RT_MANIFEST 1), as text.
inline std::string ManifestOf(const std::string& program) {
  HMODULE module = LoadLibraryExA(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (!module) return {};
  std::string text;
  if (HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24) /* RT_MANIFEST */))
    if (HGLOBAL loaded = LoadResource(module, found))
      text.assign(static_cast<const char*>(LockResource(loaded)), SizeofResource(module, found));
  FreeLibrary(module);
  return text;
}

// Waits up to `ms` for a top-level window of that class and title.
inline HWND WaitForWindow(const char* cls, const char* title, DWORD ms = 15000) {
  HWND w = nullptr;
  WaitUntil([&] { return (w = FindWindowA(cls, title)) != nullptr; }, ms);
  return w;
}

}  // namespace prismora::testsupport
