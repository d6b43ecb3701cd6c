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
  std::vector<char>* buffer = nullptr;          // grown as the selection grows
  bool multiple = false;
  std::string names;   // the file name box at the last selection
  std::string folder;  // and the folder they are in
};

// The dialog writes the folder and every selected name into the caller's buffer only
// when the user presses Open; a selection of thousands of photos overflows any fixed
// size. So the buffer follows the selection: the file name box holds every selected name
// (quoted), which bounds what the result needs.
void FitBufferToSelection(HWND dialog, OFNOTIFYA* notify, OpenDialogState& state) {
  HWND box = GetParent(dialog);
  const LRESULT length = SendMessageA(box, CDM_GETSPEC, 0, 0);
  const LRESULT folder = SendMessageA(box, CDM_GETFOLDERPATH, 0, 0);
  if (length <= 0) return;
  auto text = [box](UINT message, LRESULT length) {
    std::string t(size_t(length > 0 ? length : 0), '\0');
    if (!t.empty()) SendMessageA(box, message, WPARAM(t.size()), LPARAM(t.data()));
    t.resize(strnlen(t.c_str(), t.size()));
    return t;
  };
  state.names = text(CDM_GETSPEC, length);
  state.folder = text(CDM_GETFOLDERPATH, folder);
  const size_t needed = size_t(length) + size_t(folder > 0 ? folder : MAX_PATH) + 2;
  OPENFILENAMEA* ofn = notify->lpOFN;
  if (!ofn || needed <= ofn->nMaxFile) return;
  state.buffer->assign(needed * 2, '\0');
  ofn->lpstrFile = state.buffer->data();
  ofn->nMaxFile = DWORD(state.buffer->size());
}

void ShowPreview(HWND dialog, const PicturePreviewer& previewer) {
  Image pane(GetDlgItem(dialog, kPaneId));
  char path[MAX_PATH * 4] = {};
  SendMessageA(GetParent(dialog), CDM_GETFILEPATH, sizeof path, LPARAM(path));
  Surface& s = pane.Picture();
  s.Resize(kPaneSide, kPaneSide);
  s.Fill(GetSysColor(COLOR_BTNFACE));
  if (!previewer || !previewer(path, s)) s.Release();
  pane.Invalidate();
}

UINT_PTR CALLBACK OpenHook(HWND dialog, UINT msg, WPARAM, LPARAM lp) {
  if (msg == WM_INITDIALOG) {
    auto* ofn = reinterpret_cast<OPENFILENAMEA*>(lp);
    auto* state = reinterpret_cast<OpenDialogState*>(ofn->lCustData);
    SetWindowLongPtrA(dialog, GWLP_USERDATA, LONG_PTR(state));
    if (!state->previewer) return 0;
    RegisterControlClasses();
    HWND pane = CreateWindowExA(WS_EX_CLIENTEDGE, Image::ClassName(), "", WS_CHILD | WS_VISIBLE, 8, 4,
                                kPaneSide + 4, kPaneSide + 4, dialog, HMENU(INT_PTR(kPaneId)),
                                GetModuleHandleA(nullptr), nullptr);
    SetWindowLongPtrA(pane, GWLP_USERDATA, 0);
    return 0;
  }
  if (msg == WM_NOTIFY && reinterpret_cast<NMHDR*>(lp)->code == CDN_SELCHANGE) {
    auto* state = reinterpret_cast<OpenDialogState*>(GetWindowLongPtrA(dialog, GWLP_USERDATA));
    if (!state) return 0;
    if (state->multiple) FitBufferToSelection(dialog, reinterpret_cast<OFNOTIFYA*>(lp), *state);
    if (state->previewer) ShowPreview(dialog, *state->previewer);
  }
  return 0;
}

OPENFILENAMEA BaseOptions(HWND owner, const platform::FileDialogOptions& o, const std::string& filter,
                          std::vector<char>& buffer) {
  OPENFILENAMEA ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = filter.c_str();
  ofn.nFilterIndex = 1;
  lstrcpynA(buffer.data(), o.initialName.c_str(), int(buffer.size()));
  ofn.lpstrFile = buffer.data();
  ofn.nMaxFile = DWORD(buffer.size());
  ofn.lpstrDefExt = o.defaultExt.empty() ? nullptr : o.defaultExt.c_str();
  ofn.Flags = OFN_EXPLORER | OFN_ENABLESIZING | OFN_NOCHANGEDIR;
  if (o.hideReadOnly) ofn.Flags |= OFN_HIDEREADONLY;
  if (o.mustExist) ofn.Flags |= OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST;
  if (o.allowMultiple) ofn.Flags |= OFN_ALLOWMULTISELECT;
  if (o.overwritePrompt) ofn.Flags |= OFN_OVERWRITEPROMPT;
  return ofn;
}

// A failure that is not the user's Cancel ends the command with its reason.
[[noreturn]] void DialogFailed(DWORD code) {
  char text[96];
  wsprintfA(text, "The file dialog could not be shown (error 0x%04lX).", code);
  throw std::runtime_error(text);
}

}  // namespace

std::vector<std::string> CommonDialogs::Open(platform::WindowHandle owner,
                                             const platform::FileDialogOptions& o) {
  std::string filter = DialogFilter(o.filter);
  platform::FileDialogOptions options = o;
  std::vector<char> buffer(o.allowMultiple ? 64 * 1024 : MAX_PATH * 4, '\0');
  std::string initialFolder;
  // Growing the buffer from the hook usually suffices; where the dialog still finds it too
  // small, it opens again on the same names with the size it asked for.
  for (int attempt = 0; attempt < 3; ++attempt) {
    if (buffer.size() <= options.initialName.size()) buffer.assign(options.initialName.size() + MAX_PATH, '\0');
    OPENFILENAMEA ofn = BaseOptions(static_cast<HWND>(owner), options, filter, buffer);
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
      state.previewer = &previewer_;
    }
    if (o.picturePreview || o.allowMultiple) {
      ofn.Flags |= OFN_ENABLEHOOK;
      ofn.lpfnHook = OpenHook;
      ofn.lCustData = reinterpret_cast<LPARAM>(&state);
    }
    if (GetOpenFileNameA(&ofn)) {
      if (o.allowMultiple) return SplitMultiSelection(ofn.lpstrFile);
      return {std::string(ofn.lpstrFile)};
    }
    const DWORD error = CommDlgExtendedError();
    if (error == 0) return {};  // cancelled
    if (error != FNERR_BUFFERTOOSMALL) DialogFailed(error);
    const size_t asked = uint8_t(ofn.lpstrFile[0]) | size_t(uint8_t(ofn.lpstrFile[1])) << 8;
    buffer.assign(std::max({asked + 2, buffer.size() * 4, state.names.size() * 2 + MAX_PATH}), '\0');
    options.initialName = state.names;
    initialFolder = state.folder;
  }
  DialogFailed(FNERR_BUFFERTOOSMALL);
}

std::optional<std::string> CommonDialogs::Save(platform::WindowHandle owner,
                                               const platform::FileDialogOptions& o) {
  std::string filter = DialogFilter(o.filter);
  std::vector<char> buffer(MAX_PATH * 4, '\0');
  OPENFILENAMEA ofn = BaseOptions(static_cast<HWND>(owner), o, filter, buffer);
  if (!GetSaveFileNameA(&ofn)) {
    if (const DWORD error = CommDlgExtendedError()) DialogFailed(error);
    return std::nullopt;
  }
  return std::string(buffer.data());
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
  ShellExecuteA(nullptr, "open", target.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace prismora::wingui
