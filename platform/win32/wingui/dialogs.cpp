#include "platform/win32/wingui/dialogs.h"

#include <commdlg.h>
#include <shellapi.h>

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

UINT_PTR CALLBACK PreviewHook(HWND dialog, UINT msg, WPARAM, LPARAM lp) {
  if (msg == WM_INITDIALOG) {
    auto* ofn = reinterpret_cast<OPENFILENAMEA*>(lp);
    SetWindowLongPtrA(dialog, GWLP_USERDATA, LONG_PTR(ofn->lCustData));
    RegisterControlClasses();
    HWND pane = CreateWindowExA(WS_EX_CLIENTEDGE, Image::ClassName(), "", WS_CHILD | WS_VISIBLE, 8, 4,
                                kPaneSide + 4, kPaneSide + 4, dialog, HMENU(INT_PTR(kPaneId)),
                                GetModuleHandleA(nullptr), nullptr);
    SetWindowLongPtrA(pane, GWLP_USERDATA, 0);
    return 0;
  }
  if (msg == WM_NOTIFY && reinterpret_cast<NMHDR*>(lp)->code == CDN_SELCHANGE) {
    auto* previewer = reinterpret_cast<const PicturePreviewer*>(GetWindowLongPtrA(dialog, GWLP_USERDATA));
    Image pane(GetDlgItem(dialog, kPaneId));
    char path[MAX_PATH * 4] = {};
    SendMessageA(GetParent(dialog), CDM_GETFILEPATH, sizeof path, LPARAM(path));
    Surface& s = pane.Picture();
    s.Resize(kPaneSide, kPaneSide);
    s.Fill(GetSysColor(COLOR_BTNFACE));
    if (!previewer || !*previewer || !(*previewer)(path, s)) s.Release();
    pane.Invalidate();
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

}  // namespace

std::vector<std::string> CommonDialogs::Open(platform::WindowHandle owner,
                                             const platform::FileDialogOptions& o) {
  std::string filter = DialogFilter(o.filter);
  std::vector<char> buffer(o.allowMultiple ? 64 * 1024 : MAX_PATH * 4, '\0');
  OPENFILENAMEA ofn = BaseOptions(static_cast<HWND>(owner), o, filter, buffer);
  PaneTemplate pane{};
  if (o.picturePreview) {
    pane.header.style = WS_CHILD | WS_CLIPSIBLINGS | DS_CONTROL | DS_3DLOOK;
    pane.header.cx = 120;
    pane.header.cy = 92;
    ofn.Flags |= OFN_ENABLEHOOK | OFN_ENABLETEMPLATEHANDLE;
    ofn.hInstance = reinterpret_cast<HINSTANCE>(&pane);
    ofn.lpfnHook = PreviewHook;
    ofn.lCustData = reinterpret_cast<LPARAM>(&previewer_);
  }
  if (!GetOpenFileNameA(&ofn)) return {};
  if (o.allowMultiple) return SplitMultiSelection(buffer.data());
  return {std::string(buffer.data())};
}

std::optional<std::string> CommonDialogs::Save(platform::WindowHandle owner,
                                               const platform::FileDialogOptions& o) {
  std::string filter = DialogFilter(o.filter);
  std::vector<char> buffer(MAX_PATH * 4, '\0');
  OPENFILENAMEA ofn = BaseOptions(static_cast<HWND>(owner), o, filter, buffer);
  if (!GetSaveFileNameA(&ofn)) return std::nullopt;
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
