#include "platform/win32/win32_seams.h"

#include <windows.h>
#include <shlobj.h>

#include <algorithm>

namespace prismora::platform {

BoxAnswer Win32MessageBoxes::Show(WindowHandle owner, const std::string& text,
                                  const std::string& caption, BoxIcon icon, BoxButtons buttons) {
  UINT type = 0;
  switch (icon) {
    case BoxIcon::Error: type |= MB_ICONERROR; break;
    case BoxIcon::Warning: type |= MB_ICONWARNING; break;
    case BoxIcon::Information: type |= MB_ICONINFORMATION; break;
    case BoxIcon::Question: type |= MB_ICONQUESTION; break;
    case BoxIcon::None: break;
  }
  switch (buttons) {
    case BoxButtons::Ok: type |= MB_OK; break;
    case BoxButtons::OkCancel: type |= MB_OKCANCEL; break;
    case BoxButtons::YesNo: type |= MB_YESNO; break;
  }
  switch (MessageBoxA(static_cast<HWND>(owner), text.c_str(), caption.c_str(), type)) {
    case IDCANCEL: return BoxAnswer::Cancel;
    case IDYES: return BoxAnswer::Yes;
    case IDNO: return BoxAnswer::No;
    default: return BoxAnswer::Ok;
  }
}

bool Win32FileSystem::CopyReplacing(const std::string& from, const std::string& to) {
  return CopyFileA(from.c_str(), to.c_str(), FALSE) != 0;
}

namespace {
// The system's text for an error code, without its line break.
std::string SystemErrorText(DWORD code) {
  char* text = nullptr;
  DWORD n = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                               FORMAT_MESSAGE_IGNORE_INSERTS,
                           nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string out = n && text ? std::string(text, n) : "Error " + std::to_string(code) + ".";
  if (text) LocalFree(text);
  while (!out.empty() && (out.back() == '\r' || out.back() == '\n' || out.back() == ' '))
    out.pop_back();
  return out;
}
}  // namespace

CopyOutcome Win32FileSystem::CopyReplacingWhy(const std::string& from, const std::string& to) {
  if (CopyFileA(from.c_str(), to.c_str(), FALSE)) return {};
  const DWORD code = GetLastError();
  // A program running from the file, or one holding it open without sharing or with a
  // lock on part of it: these end when that program lets go.
  const bool inUse = code == ERROR_SHARING_VIOLATION || code == ERROR_LOCK_VIOLATION ||
                     code == ERROR_USER_MAPPED_FILE;
  return {inUse ? CopyFailure::InUse : CopyFailure::Other, SystemErrorText(code)};
}

bool Win32FileSystem::CanOpenForRead(const std::string& path) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  CloseHandle(h);
  return true;
}

namespace {
bool WriteAll(HANDLE h, std::span<const uint8_t> data) {
  std::size_t done = 0;
  while (done < data.size()) {
    DWORD chunk = DWORD(std::min<std::size_t>(data.size() - done, 1 << 20)), written = 0;
    if (!WriteFile(h, data.data() + done, chunk, &written, nullptr) || written == 0) return false;
    done += written;
  }
  return true;
}
}  // namespace

bool Win32FileSystem::AppendToFile(const std::string& path, std::span<const uint8_t> data) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  bool ok = SetFilePointer(h, 0, nullptr, FILE_END) != INVALID_SET_FILE_POINTER && WriteAll(h, data);
  ok = CloseHandle(h) && ok;
  return ok;
}

bool Win32FileSystem::ReadWholeFile(const std::string& path, std::vector<uint8_t>& out) {
  out.clear();
  HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER size{};
  bool ok = GetFileSizeEx(h, &size) && size.QuadPart < (1LL << 30);
  if (ok) {
    out.resize(std::size_t(size.QuadPart));
    std::size_t done = 0;
    while (ok && done < out.size()) {
      DWORD got = 0;
      ok = ReadFile(h, out.data() + done, DWORD(std::min<std::size_t>(out.size() - done, 1 << 20)),
                    &got, nullptr) && got > 0;
      done += got;
    }
  }
  CloseHandle(h);
  if (!ok) out.clear();
  return ok;
}

bool Win32FileSystem::ReplaceFileContents(const std::string& path, std::span<const uint8_t> data) {
  std::string temp = path + ".tmp~";
  HANDLE h = CreateFileA(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  bool ok = WriteAll(h, data) && FlushFileBuffers(h);
  ok = CloseHandle(h) && ok;
  if (ok) ok = MoveFileExA(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
  if (!ok) DeleteFileA(temp.c_str());
  return ok;
}

bool Win32FileSystem::WriteWholeFile(const std::string& path, std::span<const uint8_t> data) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  bool ok = WriteAll(h, data);
  ok = CloseHandle(h) && ok;
  if (!ok) DeleteFileA(path.c_str());  // no half-written photo is left behind
  return ok;
}

bool Win32FileSystem::RemoveFile(const std::string& path) { return DeleteFileA(path.c_str()) != 0; }

bool Win32FileSystem::FileExists(const std::string& path) {
  DWORD a = GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool Win32FileSystem::CreateFolder(const std::string& path) {
  std::string folder = path;
  if (!folder.empty() && (folder.back() == '\\' || folder.back() == '/')) folder.pop_back();
  return CreateDirectoryA(folder.c_str(), nullptr) != 0;
}

int64_t Win32FileSystem::FileSize(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return -1;
  return int64_t(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
}

void Win32MessagePump::RunPending() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(int(msg.wParam));  // leave it for the main loop
      return;
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

void Win32MessagePump::Pause(int ms) {
  DWORD end = GetTickCount() + DWORD(ms);
  for (;;) {
    DWORD now = GetTickCount();
    if (int(end - now) <= 0) return;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, end - now, QS_ALLINPUT);
    RunPending();
  }
}

std::string ProgramPath() {
  char buf[MAX_PATH * 2] = {};
  DWORD n = GetModuleFileNameA(nullptr, buf, sizeof buf);
  return std::string(buf, n);
}

std::string ProgramFolder() {
  std::string p = ProgramPath();
  return p.substr(0, p.find_last_of('\\') + 1);
}

std::string LocalAppDataFolder() {
  // SHGetFolderPath, not the known-folder API: it is there on every Windows the builder
  // runs on and answers the same folder.
  char path[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, path)))
    return {};
  std::string folder = path;
  while (!folder.empty() && folder.back() == '\\') folder.pop_back();
  return folder;
}

std::vector<std::string> FileNamesIn(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found{};
  const std::string mask = folder + (!folder.empty() && folder.back() == '\\' ? "*" : "\\*");
  HANDLE search = FindFirstFileA(mask.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(found.cFileName);
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return names;
}

void DeleteUserRegistryKey(const std::string& key) {
  // RegDeleteTree would do it in one call, but not on every system the builder runs on.
  HKEY k;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ | KEY_WRITE, &k) == ERROR_SUCCESS) {
    char name[256];
    for (;;) {
      DWORD len = sizeof name;
      if (RegEnumKeyExA(k, 0, name, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
      DeleteUserRegistryKey(key + "\\" + name);
    }
    RegCloseKey(k);
  }
  RegDeleteKeyA(HKEY_CURRENT_USER, key.c_str());
}

std::optional<std::string> ReadRegistryText(RegistryRoot root, RegistryView view, const std::string& key,
                                            const std::string& value) {
  const REGSAM viewFlag = view == RegistryView::Bits32 ? KEY_WOW64_32KEY : KEY_WOW64_64KEY;
  HKEY k;
  if (RegOpenKeyExA(root == RegistryRoot::LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER, key.c_str(), 0,
                    KEY_QUERY_VALUE | viewFlag, &k) != ERROR_SUCCESS)
    return std::nullopt;
  std::optional<std::string> text;
  DWORD type = 0, size = 0;
  if (RegQueryValueExA(k, value.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
      (type == REG_SZ || type == REG_EXPAND_SZ)) {
    std::string buffer(size + 1, '\0');
    DWORD got = size;
    if (RegQueryValueExA(k, value.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &got) ==
        ERROR_SUCCESS) {
      buffer.resize(std::min<size_t>(got, buffer.size()));
      while (!buffer.empty() && buffer.back() == '\0') buffer.pop_back();
      text = buffer;
    }
  }
  RegCloseKey(k);
  return text;
}

}  // namespace prismora::platform
