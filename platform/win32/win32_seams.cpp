#include "platform/win32/win32_seams.h"

#include <windows.h>
#include <shlobj.h>

#include <algorithm>

#include "platform/win32/wide_text.h"

namespace prismora::platform {

namespace {
UINT BoxType(BoxIcon icon, BoxButtons buttons) {
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
    case BoxButtons::YesNoSafe: type |= MB_YESNO | MB_DEFBUTTON2; break;
  }
  return type;
}

BoxAnswer AnswerOf(int id) {
  switch (id) {
    case IDCANCEL: return BoxAnswer::Cancel;
    case IDYES: return BoxAnswer::Yes;
    case IDNO: return BoxAnswer::No;
    default: return BoxAnswer::Ok;
  }
}

std::wstring W(const std::string& path) { return WideFromAnsi(path); }
}  // namespace

BoxAnswer Win32MessageBoxes::Show(WindowHandle owner, const std::string& text,
                                  const std::string& caption, BoxIcon icon, BoxButtons buttons) {
  return AnswerOf(MessageBoxA(static_cast<HWND>(owner), text.c_str(), caption.c_str(), BoxType(icon, buttons)));
}

BoxAnswer Win32MessageBoxes::ShowUnicode(WindowHandle owner, const std::string& utf8Text,
                                         const std::string& caption, BoxIcon icon, BoxButtons buttons) {
  return AnswerOf(MessageBoxW(static_cast<HWND>(owner), WideFromUtf8OrAnsi(utf8Text).c_str(),
                              WideFromAnsi(caption).c_str(), BoxType(icon, buttons)));
}

bool Win32FileSystem::CopyReplacing(const std::string& from, const std::string& to) {
  return CopyFileW(W(from).c_str(), W(to).c_str(), FALSE) != 0;
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
  if (CopyFileW(W(from).c_str(), W(to).c_str(), FALSE)) return {};
  const DWORD code = GetLastError();
  // A program running from the file, or one holding it open without sharing or with a
  // lock on part of it: these end when that program lets go.
  const bool inUse = code == ERROR_SHARING_VIOLATION || code == ERROR_LOCK_VIOLATION ||
                     code == ERROR_USER_MAPPED_FILE;
  return {inUse ? CopyFailure::InUse : CopyFailure::Other, SystemErrorText(code)};
}

bool Win32FileSystem::CanOpenForRead(const std::string& path) {
  HANDLE h = CreateFileW(W(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
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
  HANDLE h = CreateFileW(W(path).c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  bool ok = SetFilePointer(h, 0, nullptr, FILE_END) != INVALID_SET_FILE_POINTER && WriteAll(h, data);
  ok = CloseHandle(h) && ok;
  return ok;
}

bool Win32FileSystem::ReadWholeFile(const std::string& path, std::vector<uint8_t>& out) {
  out.clear();
  HANDLE h = CreateFileW(W(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
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
  HANDLE h = CreateFileW(W(temp).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  bool ok = WriteAll(h, data) && FlushFileBuffers(h);
  ok = CloseHandle(h) && ok;
  if (ok) ok = MoveFileExW(W(temp).c_str(), W(path).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
  if (!ok) DeleteFileW(W(temp).c_str());
  return ok;
}

bool Win32FileSystem::WriteWholeFile(const std::string& path, std::span<const uint8_t> data) {
  HANDLE h = CreateFileW(W(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  bool ok = WriteAll(h, data);
  ok = CloseHandle(h) && ok;
  if (!ok) DeleteFileW(W(path).c_str());  // no half-written photo is left behind
  return ok;
}

bool Win32FileSystem::RemoveFile(const std::string& path) { return DeleteFileW(W(path).c_str()) != 0; }

bool Win32FileSystem::FileExists(const std::string& path) {
  DWORD a = GetFileAttributesW(W(path).c_str());
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool Win32FileSystem::CreateFolder(const std::string& path) {
  std::string folder = path;
  if (!folder.empty() && (folder.back() == '\\' || folder.back() == '/')) folder.pop_back();
  return CreateDirectoryW(W(folder).c_str(), nullptr) != 0;
}

int64_t Win32FileSystem::FileSize(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(W(path).c_str(), GetFileExInfoStandard, &data)) return -1;
  return int64_t(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
}

std::string Win32FileSystem::DisplayName(const std::string& path) {
  const std::wstring wide = W(path);
  // Only a name with an alias's "~" can be one; the others need no look at the disk.
  if (path.find('~') != std::string::npos) {
    const DWORD n = GetLongPathNameW(wide.c_str(), nullptr, 0);
    if (n > 0) {
      std::wstring full(n, L'\0');
      const DWORD got = GetLongPathNameW(wide.c_str(), full.data(), n);
      if (got > 0 && got < n) return Utf8FromWide(std::wstring_view(full.data(), got));
    }
  }
  return Utf8FromWide(wide);
}

std::optional<std::string> Win32FileSystem::StoredPathOf(const std::string& utf8Path) {
  return StoredPathFor(WideFromUtf8(utf8Path));
}

bool Win32FileSystem::IsFolderUnicode(const std::string& utf8Path) {
  const DWORD a = GetFileAttributesW(WideFromUtf8(utf8Path).c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

std::vector<std::string> Win32FileSystem::FileNamesInUnicode(const std::string& utf8Folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAW found{};
  const std::wstring folder = WideFromUtf8(utf8Folder);
  const std::wstring mask = folder + (!folder.empty() && folder.back() == L'\\' ? L"*" : L"\\*");
  HANDLE search = FindFirstFileW(mask.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(Utf8FromWide(found.cFileName));
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return names;
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

// The builder's folders are named in the code page its files use; where a folder's name
// (a user profile "C:\Users\Дмитрий" on a Western PC, say) has characters the code page
// lacks, by its 8.3 alias, which opens the same folder. Nothing when it has neither.
std::string ProgramPath() {
  wchar_t buf[MAX_PATH * 2] = {};
  const DWORD n = GetModuleFileNameW(nullptr, buf, DWORD(std::size(buf)));
  return StoredPathFor(std::wstring(buf, n)).value_or(std::string());
}

std::string ProgramFolder() {
  std::string p = ProgramPath();
  return p.substr(0, p.find_last_of('\\') + 1);
}

std::string LocalAppDataFolder() {
  // SHGetFolderPath, not the known-folder API: it is there on every Windows the builder
  // runs on and answers the same folder.
  wchar_t path[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, path)))
    return {};
  std::string folder = StoredPathFor(path).value_or(std::string());
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
