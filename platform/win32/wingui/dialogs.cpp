#include "platform/win32/wingui/dialogs.h"

#include <cderr.h>
#include <commdlg.h>
#include <shellapi.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <vector>

#include "platform/win32/wingui/controls.h"
#include "platform/win32/wingui/layout.h"
#include "platform/win32/wide_text.h"

namespace prismora::wingui {

std::string DialogFilter(const std::string& filter) {
  std::string out = filter;
  for (char& c : out)
    if (c == '|') c = '\0';
  out.push_back('\0');
  out.push_back('\0');
  return out;
}

std::vector<std::string> SplitMultiSelection(const char* buffer) {
  std::vector<std::string> parts;
  for (const char* p = buffer; *p; p += lstrlenA(p) + 1) parts.emplace_back(p);
  if (parts.size() <= 1) return parts;
  std::string folder = parts.front();
  if (folder.back() != '\\') folder += '\\';
  std::vector<std::string> files;
  for (size_t i = 1; i < parts.size(); ++i) files.push_back(folder + parts[i]);
  return files;
}

namespace {

constexpr int kPaneId = 0x5A01;
constexpr int kPaneSide = 128;

// An empty child dialog below the standard controls; the preview pane is made in it.
struct alignas(4) PaneTemplate {
  DLGTEMPLATE header;
  WORD menu, windowClass, title;
};

// What the hook of one open dialog works with, reached through lCustData.
struct OpenDialogState {
  const PicturePreviewer* previewer = nullptr;  // null: no preview pane
  std::vector<wchar_t>* buffer = nullptr;       // grown as the selection grows
  bool multiple = false;
  std::wstring names;   // the file name box at the last selection
  std::wstring folder;  // and the folder they are in
};

// The dialog writes the folder and every selected name into the caller's buffer only
// when the user presses Open; a selection of thousands of photos overflows any fixed
// size. So the buffer follows the selection: the file name box holds every selected name
// (quoted), which bounds what the result needs.
void FitBufferToSelection(HWND dialog, OFNOTIFYW* notify, OpenDialogState& state) {
  HWND box = GetParent(dialog);
  const LRESULT length = SendMessageW(box, CDM_GETSPEC, 0, 0);
  const LRESULT folder = SendMessageW(box, CDM_GETFOLDERPATH, 0, 0);
  if (length <= 0) return;
  auto text = [box](UINT message, LRESULT length) {
    std::wstring t(size_t(length > 0 ? length : 0), L'\0');
    if (!t.empty()) SendMessageW(box, message, WPARAM(t.size()), LPARAM(t.data()));
    t.resize(wcsnlen(t.c_str(), t.size()));
    return t;
  };
  state.names = text(CDM_GETSPEC, length);
  state.folder = text(CDM_GETFOLDERPATH, folder);
  const size_t needed = size_t(length) + size_t(folder > 0 ? folder : MAX_PATH) + 2;
  OPENFILENAMEW* ofn = notify->lpOFN;
  if (!ofn || needed <= ofn->nMaxFile) return;
  state.buffer->assign(needed * 2, L'\0');
  ofn->lpstrFile = state.buffer->data();
  ofn->nMaxFile = DWORD(state.buffer->size());
}

void ShowPreview(HWND dialog, const PicturePreviewer& previewer) {
  Image pane(GetDlgItem(dialog, kPaneId));
  wchar_t path[MAX_PATH * 4] = {};
  SendMessageW(GetParent(dialog), CDM_GETFILEPATH, MAX_PATH * 4, LPARAM(path));
  Surface& s = pane.Picture();
  s.Resize(kPaneSide, kPaneSide);
  s.Fill(GetSysColor(COLOR_BTNFACE));
  // The previewer reads files by the name the builder keeps them under.
  const std::optional<std::string> stored = platform::StoredPathFor(path);
  if (!previewer || !stored || !previewer(*stored, s)) s.Release();
  pane.Invalidate();
}

UINT_PTR CALLBACK OpenHook(HWND dialog, UINT msg, WPARAM, LPARAM lp) {
  if (msg == WM_INITDIALOG) {
    auto* ofn = reinterpret_cast<OPENFILENAMEW*>(lp);
    auto* state = reinterpret_cast<OpenDialogState*>(ofn->lCustData);
    SetWindowLongPtrW(dialog, GWLP_USERDATA, LONG_PTR(state));
    if (!state->previewer) return 0;
    RegisterControlClasses();
    HWND pane = CreateWindowExA(WS_EX_CLIENTEDGE, Image::ClassName(), "", WS_CHILD | WS_VISIBLE, 8, 4,
                                kPaneSide + 4, kPaneSide + 4, dialog, HMENU(INT_PTR(kPaneId)),
                                GetModuleHandleA(nullptr), nullptr);
    SetWindowLongPtrA(pane, GWLP_USERDATA, 0);
    return 0;
  }
  if (msg == WM_NOTIFY && reinterpret_cast<NMHDR*>(lp)->code == CDN_SELCHANGE) {
    auto* state = reinterpret_cast<OpenDialogState*>(GetWindowLongPtrW(dialog, GWLP_USERDATA));
    if (!state) return 0;
    if (state->multiple) FitBufferToSelection(dialog, reinterpret_cast<OFNOTIFYW*>(lp), *state);
    if (state->previewer) ShowPreview(dialog, *state->previewer);
  }
  return 0;
}

struct WideOptions {
  std::wstring filter, defaultExt;
};

OPENFILENAMEW BaseOptions(HWND owner, const platform::FileDialogOptions& o, const WideOptions& wide,
                          const std::wstring& initialName, std::vector<wchar_t>& buffer) {
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = wide.filter.c_str();
  ofn.nFilterIndex = 1;
  lstrcpynW(buffer.data(), initialName.c_str(), int(buffer.size()));
  ofn.lpstrFile = buffer.data();
  ofn.nMaxFile = DWORD(buffer.size());
  ofn.lpstrDefExt = wide.defaultExt.empty() ? nullptr : wide.defaultExt.c_str();
  ofn.Flags = OFN_EXPLORER | OFN_ENABLESIZING | OFN_NOCHANGEDIR;
  if (o.hideReadOnly) ofn.Flags |= OFN_HIDEREADONLY;
  if (o.mustExist) ofn.Flags |= OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST;
  if (o.allowMultiple) ofn.Flags |= OFN_ALLOWMULTISELECT;
  if (o.overwritePrompt) ofn.Flags |= OFN_OVERWRITEPROMPT;
  return ofn;
}

WideOptions Widened(const platform::FileDialogOptions& o) {
  const std::string filter = DialogFilter(o.filter);  // NULs inside: converted whole
  return {platform::WideFromAnsi(filter), platform::WideFromAnsi(o.defaultExt)};
}

// A failure that is not the user's Cancel ends the command with its reason.
[[noreturn]] void DialogFailed(DWORD code) {
  char text[96];
  wsprintfA(text, "The file dialog could not be shown (error 0x%04lX).", code);
  throw std::runtime_error(text);
}

// The files of a multiple-selection result: a folder followed by names, or one path.
std::vector<std::wstring> SplitWideSelection(const wchar_t* buffer) {
  std::vector<std::wstring> parts;
  for (const wchar_t* p = buffer; *p; p += lstrlenW(p) + 1) parts.emplace_back(p);
  if (parts.size() <= 1) return parts;
  std::wstring folder = parts.front();
  if (folder.back() != L'\\') folder += L'\\';
  std::vector<std::wstring> files;
  for (size_t i = 1; i < parts.size(); ++i) files.push_back(folder + parts[i]);
  return files;
}

std::vector<std::wstring> RunOpenDialog(HWND owner, const platform::FileDialogOptions& o,
                                        const PicturePreviewer& previewer) {
  const WideOptions wide = Widened(o);
  std::wstring initialName = platform::WideFromAnsi(o.initialName);
  std::vector<wchar_t> buffer(o.allowMultiple ? 64 * 1024 : MAX_PATH * 4, L'\0');
  std::wstring initialFolder;
  // Growing the buffer from the hook usually suffices; where the dialog still finds it too
  // small, it opens again on the same names with the size it asked for.
  for (int attempt = 0; attempt < 3; ++attempt) {
    if (buffer.size() <= initialName.size()) buffer.assign(initialName.size() + MAX_PATH, L'\0');
    OPENFILENAMEW ofn = BaseOptions(owner, o, wide, initialName, buffer);
    if (!initialFolder.empty()) ofn.lpstrInitialDir = initialFolder.c_str();
    OpenDialogState state;
    state.buffer = &buffer;
    state.multiple = o.allowMultiple;
    PaneTemplate pane{};
    if (o.picturePreview) {
      pane.header.style = WS_CHILD | WS_CLIPSIBLINGS | DS_CONTROL | DS_3DLOOK;
      pane.header.cx = 120;
      pane.header.cy = 92;
      ofn.Flags |= OFN_ENABLETEMPLATEHANDLE;
      ofn.hInstance = reinterpret_cast<HINSTANCE>(&pane);
      state.previewer = &previewer;
    }
    if (o.picturePreview || o.allowMultiple) {
      ofn.Flags |= OFN_ENABLEHOOK;
      ofn.lpfnHook = OpenHook;
      ofn.lCustData = reinterpret_cast<LPARAM>(&state);
    }
    if (GetOpenFileNameW(&ofn)) {
      if (o.allowMultiple) return SplitWideSelection(ofn.lpstrFile);
      return {std::wstring(ofn.lpstrFile)};
    }
    const DWORD error = CommDlgExtendedError();
    if (error == 0) return {};  // cancelled
    if (error != FNERR_BUFFERTOOSMALL) DialogFailed(error);
    const size_t asked = size_t(uint16_t(ofn.lpstrFile[0]));
    buffer.assign(std::max({asked + 2, buffer.size() * 4, state.names.size() * 2 + MAX_PATH}), L'\0');
    initialName = state.names;
    initialFolder = state.folder;
  }
  DialogFailed(FNERR_BUFFERTOOSMALL);
}

[[noreturn]] void CannotBeNamed(const std::wstring& path) {
  throw std::runtime_error("The file \"" + platform::Utf8FromWide(path) +
                           "\" has characters that this system's code page cannot hold, and no "
                           "short name: the builder cannot use it. Rename it or its folder.");
}

}  // namespace

std::vector<std::string> CommonDialogs::Open(platform::WindowHandle owner,
                                             const platform::FileDialogOptions& o) {
  std::vector<std::string> out;
  for (const std::wstring& path : RunOpenDialog(static_cast<HWND>(owner), o, previewer_)) {
    std::optional<std::string> stored = platform::StoredPathFor(path);
    if (!stored) CannotBeNamed(path);
    out.push_back(std::move(*stored));
  }
  return out;
}

std::vector<std::string> CommonDialogs::OpenUnicode(platform::WindowHandle owner,
                                                    const platform::FileDialogOptions& o) {
  std::vector<std::string> out;
  for (const std::wstring& path : RunOpenDialog(static_cast<HWND>(owner), o, previewer_))
    out.push_back(platform::Utf8FromWide(path));
  return out;
}

std::optional<std::string> CommonDialogs::Save(platform::WindowHandle owner,
                                               const platform::FileDialogOptions& o) {
  const WideOptions wide = Widened(o);
  std::vector<wchar_t> buffer(MAX_PATH * 4, L'\0');
  OPENFILENAMEW ofn = BaseOptions(static_cast<HWND>(owner), o, wide, platform::WideFromAnsi(o.initialName), buffer);
  if (!GetSaveFileNameW(&ofn)) {
    if (const DWORD error = CommDlgExtendedError()) DialogFailed(error);
    return std::nullopt;
  }
  const std::wstring path(buffer.data());
  if (std::optional<std::string> direct = platform::AnsiFromWide(path)) return direct;
  // A file to be made has no alias yet: its folder may have one, its own name must fit
  // the code page.
  const size_t cut = path.find_last_of(L"\\/");
  if (cut != std::wstring::npos) {
    std::optional<std::string> folder = platform::StoredPathFor(path.substr(0, cut));
    std::optional<std::string> name = platform::AnsiFromWide(path.substr(cut + 1));
    if (folder && name) return *folder + "\\" + *name;
  }
  CannotBeNamed(path);
}

std::optional<uint32_t> CommonDialogs::Choose(platform::WindowHandle owner, uint32_t initial) {
  CHOOSECOLORA cc{};
  cc.lStructSize = sizeof cc;
  cc.hwndOwner = static_cast<HWND>(owner);
  cc.rgbResult = initial;
  cc.lpCustColors = custom_;
  cc.Flags = CC_RGBINIT | CC_ANYCOLOR;
  if (!ChooseColorA(&cc)) return std::nullopt;
  return uint32_t(cc.rgbResult);
}

void ShellOpener::Open(const std::string& target) {
  ShellExecuteW(nullptr, L"open", platform::WideFromAnsi(target).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace prismora::wingui
