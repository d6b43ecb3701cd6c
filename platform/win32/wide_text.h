// Between the builder's texts (single bytes in the system code page, as its files store
// them), UTF-8 (real names for showing) and the platform's wide characters.
#pragma once
#include <optional>
#include <string>
#include <string_view>

#include "common/code_page.h"

namespace prismora::platform {

std::wstring WideFromAnsi(std::string_view ansi);
std::string AnsiFromWideLossy(std::wstring_view wide);  // "?" for what the code page lacks
// Nothing when a character has no exact form in the system code page (no best fit:
// "ä" never becomes "a", nor "表" "?").
std::optional<std::string> AnsiFromWide(std::wstring_view wide);

std::wstring WideFromUtf8(std::string_view utf8);
std::string Utf8FromWide(std::wstring_view wide);
// A text that is valid UTF-8 read as UTF-8, anything else in the system code page.
std::wstring WideFromUtf8OrAnsi(std::string_view text);

// How a file's path is kept in the photo list and stored in the project file: the path
// itself when the system code page holds it, else its 8.3 alias when the volume made one
// and the code page holds that. Nothing when neither exists: such a file cannot be named
// in a project.
std::optional<std::string> StoredPathFor(const std::wstring& path);

// The system code page's lead bytes, as the platform reports them.
text::LeadBytes SystemLeadBytes();

}  // namespace prismora::platform
