// Another process's visible top-level windows, found from outside it, as the soak
// benchmark and the tests of the shipped programs drive them.
#pragma once
#include <windows.h>

#include <string>

namespace prismora::bench {

// The first visible top-level window of process `pid` with class `cls` and title `title`
// (either null for any); null when it has none. The title is the one the window manager
// keeps: asking the window itself would wait for a busy (or emulated) program to answer.
inline HWND VisibleWindowOf(DWORD pid, const char* cls = nullptr, const char* title = nullptr) {
  struct Search {
    DWORD pid;
    const char *cls, *title;
    HWND found = nullptr;
  } s{pid, cls, title};
  EnumWindows(
      [](HWND w, LPARAM p) CALLBACK -> BOOL {
        auto& s = *reinterpret_cast<Search*>(p);
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        if (owner != s.pid || !IsWindowVisible(w)) return TRUE;
        char c[64] = {};
        GetClassNameA(w, c, sizeof c);
        if (s.cls && std::string(c) != s.cls) return TRUE;
        if (s.title) {
          wchar_t t[128] = {};
          InternalGetWindowText(w, t, 128);
          if (std::wstring(s.title, s.title + std::char_traits<char>::length(s.title)) != t)
            return TRUE;
        }
        s.found = w;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&s));
  return s.found;
}

}  // namespace prismora::bench
