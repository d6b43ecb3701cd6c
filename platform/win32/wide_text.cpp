#include "platform/win32/wide_text.h"

#include <windows.h>

#include <vector>

namespace prismora::platform {

namespace {
std::wstring Widen(UINT codePage, DWORD flags, std::string_view text, bool* ok = nullptr) {
  if (ok) *ok = true;
  if (text.empty()) return {};
  const int n = MultiByteToWideChar(codePage, flags, text.data(), int(text.size()), nullptr, 0);
  if (n <= 0) {
    if (ok) *ok = false;
    return {};
  }
  std::wstring out(size_t(n), L'\0');
  MultiByteToWideChar(codePage, flags, text.data(), int(text.size()), out.data(), n);
  return out;
}

std::string Narrow(UINT codePage, DWORD flags, std::wstring_view wide, BOOL* usedDefault) {
  if (wide.empty()) return {};
  const int n = WideCharToMultiByte(codePage, flags, wide.data(), int(wide.size()), nullptr, 0, nullptr,
                                    usedDefault);
  if (n <= 0) return {};
  std::string out(size_t(n), '\0');
  WideCharToMultiByte(codePage, flags, wide.data(), int(wide.size()), out.data(), n, nullptr, usedDefault);
  return out;
}
}  // namespace

std::wstring WideFromAnsi(std::string_view ansi) { return Widen(CP_ACP, 0, ansi); }

std::string AnsiFromWideLossy(std::wstring_view wide) { return Narrow(CP_ACP, 0, wide, nullptr); }

std::optional<std::string> AnsiFromWide(std::wstring_view wide) {
  if (wide.empty()) return std::string();
  // A system code page of UTF-8 holds every character, and refuses the no-best-fit flag.
  if (GetACP() == CP_UTF8) return Narrow(CP_UTF8, 0, wide, nullptr);
  BOOL usedDefault = FALSE;
  std::string out = Narrow(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, &usedDefault);
  if (usedDefault || out.empty()) return std::nullopt;
  // Some code pages map two wide characters to one byte sequence; only a text that
  // comes back as it went is the same name.
  if (WideFromAnsi(out) != wide) return std::nullopt;
  return out;
}

std::wstring WideFromUtf8(std::string_view utf8) { return Widen(CP_UTF8, 0, utf8); }

std::string Utf8FromWide(std::wstring_view wide) { return Narrow(CP_UTF8, 0, wide, nullptr); }

std::wstring WideFromUtf8OrAnsi(std::string_view text) {
  bool ok = false;
  std::wstring wide = Widen(CP_UTF8, MB_ERR_INVALID_CHARS, text, &ok);
  return ok ? wide : WideFromAnsi(text);
}

std::optional<std::string> StoredPathFor(const std::wstring& path) {
  if (std::optional<std::string> direct = AnsiFromWide(path)) return direct;
  const DWORD n = GetShortPathNameW(path.c_str(), nullptr, 0);
  if (n == 0) return std::nullopt;
  std::vector<wchar_t> alias(n + 1, L'\0');
  const DWORD got = GetShortPathNameW(path.c_str(), alias.data(), DWORD(alias.size()));
  if (got == 0 || got >= alias.size()) return std::nullopt;
  return AnsiFromWide(std::wstring_view(alias.data(), got));
}

text::LeadBytes SystemLeadBytes() {
  text::LeadBytes lead;
  CPINFO info{};
  if (!GetCPInfo(CP_ACP, &info) || info.MaxCharSize < 2) return lead;
  for (int i = 0; i + 1 < MAX_LEADBYTES && (info.LeadByte[i] || info.LeadByte[i + 1]); i += 2)
    for (unsigned b = info.LeadByte[i]; b <= info.LeadByte[i + 1]; ++b) lead.Set(uint8_t(b));
  return lead;
}

}  // namespace prismora::platform
