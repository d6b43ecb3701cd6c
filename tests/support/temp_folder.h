// A fresh folder under the system temp folder for one Windows test, removed at the end.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace prismora::testsupport {

class TempFolder {
 public:
  TempFolder() {
    char base[MAX_PATH];
    GetTempPathA(MAX_PATH, base);
    path_ = std::string(base) + "prismora-test-" + std::to_string(GetCurrentProcessId()) + "-" +
            std::to_string(GetTickCount()) + "\\";
    CreateDirectoryA(path_.c_str(), nullptr);
  }
  ~TempFolder() { RemoveTree(path_); }
  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + name; }

  static void Write(const std::string& file, const std::vector<uint8_t>& bytes) {
    HANDLE h = CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD n = 0;
    WriteFile(h, bytes.data(), DWORD(bytes.size()), &n, nullptr);
    CloseHandle(h);
  }
  static std::vector<uint8_t> Read(const std::string& file) {
    std::vector<uint8_t> out;
    HANDLE h = CreateFileA(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return out;
    out.resize(GetFileSize(h, nullptr));
    DWORD n = 0;
    ReadFile(h, out.data(), DWORD(out.size()), &n, nullptr);
    out.resize(n);
    CloseHandle(h);
    return out;
  }

 private:
  // By wide names, so files named in any script (the Unicode name tests) go too.
  static void RemoveTree(const std::string& dir) {
    wchar_t wide[MAX_PATH * 2] = {};
    MultiByteToWideChar(CP_ACP, 0, dir.c_str(), -1, wide, MAX_PATH * 2);
    RemoveTreeW(wide);
  }
  static void RemoveTreeW(const std::wstring& dir) {
    WIN32_FIND_DATAW fd;
    HANDLE f = FindFirstFileW((dir + L"*").c_str(), &fd);
    if (f != INVALID_HANDLE_VALUE) {
      do {
        std::wstring name = fd.cFileName;
        if (name == L"." || name == L"..") continue;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
          RemoveTreeW(dir + name + L"\\");
        else
          DeleteFileW((dir + name).c_str());
      } while (FindNextFileW(f, &fd));
      FindClose(f);
    }
    RemoveDirectoryW(dir.c_str());
  }
  std::string path_;
};

}  // namespace prismora::testsupport
