// One dialog procedure that hands each message to a named handler; the handlers read the
// controls, change the display block and call the seams.
#include "runtime/win/config_dialog.h"

#include <commctrl.h>

#include "common/bytes.h"
#include "common/trailer.h"
#include "platform/win32/wingui/controls.h"
#include "runtime/core/dialog_rules.h"
#include "runtime/win/settings_store.h"

namespace prismora::runtime {
namespace {

// Posted from the dialog's start, so the box opens once the dialog is up.
constexpr UINT kTellDrawingProblem = WM_APP + 1;

// The speed slider: a track bar with a 16-bit range.
class TrackBar : public wingui::Control {
 public:
  using Control::Control;
  void SetRange(int low, int high) const { SendMessageA(hwnd_, TBM_SETRANGE, TRUE, MAKELPARAM(low, high)); }
  int Position() const { return int(SendMessageA(hwnd_, TBM_GETPOS, 0, 0)); }
  void SetPosition(int pos) const { SendMessageA(hwnd_, TBM_SETPOS, TRUE, LPARAM(pos)); }
};

// Typed views of the dialog's controls.
struct Controls {
  HWND dialog;
  wingui::Control Item(int id) const { return wingui::Control(GetDlgItem(dialog, id)); }
  wingui::CheckBox Check(int id) const { return wingui::CheckBox(GetDlgItem(dialog, id)); }
  TrackBar Speed() const { return TrackBar(GetDlgItem(dialog, ctl::Speed)); }
};

struct DialogState {
  ConfigSeams* seams = nullptr;
  trailer::Trailer settings;
  HCURSOR normalCursor = nullptr;
  HCURSOR handCursor = nullptr;
  HBRUSH dialogBrush = nullptr;
  HBRUSH sampleBrush = nullptr;
  uint32_t sampleColour = 0;
};

COLORREF DialogColour(const DialogState& s) { return s.settings.dialogColor() & 0x00FFFFFF; }

HBRUSH SampleBrush(DialogState& s) {
  COLORREF c = s.settings.backgroundColor() & 0x00FFFFFF;
  if (!s.sampleBrush || s.sampleColour != c) {
    if (s.sampleBrush) DeleteObject(s.sampleBrush);
    s.sampleBrush = CreateSolidBrush(c);
    s.sampleColour = c;
  }
  return s.sampleBrush;
}

// Whether a point on the screen lies on a control.
bool Over(HWND dialog, int id, POINT screenPoint) {
  HWND control = GetDlgItem(dialog, id);
  RECT r{};
  if (!control || !GetWindowRect(control, &r)) return false;
  return PtInRect(&r, screenPoint) != FALSE;
}

bool PointerOver(HWND dialog, int id) {
  POINT p{};
  return GetCursorPos(&p) && Over(dialog, id, p);
}

// OK and Preview: the dialog's state into the display block, then into the registry.
void StoreAndSave(HWND dialog, DialogState& s) {
  Controls c{dialog};
  s.settings.setEraseFlag(c.Check(ctl::Erase).Checked());
  s.settings.setSpeed(c.Speed().Position());
  s.settings.setLightFlag(c.Check(ctl::Light).Checked());
  SaveSettings(s.seams->programPath, s.settings);
}

// ---- handlers -----------------------------------------------------------------------

BOOL OnInitDialog(HWND dialog, DialogState& s) {
  s.settings = LoadSettings(s.seams->programPath);
  s.dialogBrush = CreateSolidBrush(DialogColour(s));
  Controls c{dialog};
  std::string title = s.settings.title();
  SetWindowTextA(dialog, title.c_str());
  c.Item(ctl::Title).SetText(title);
  c.Item(ctl::Author).SetText(s.settings.author());
  c.Item(ctl::Email).SetText(s.settings.email());
  c.Item(ctl::Website).SetText(s.settings.website());
  c.Speed().SetRange(s.settings.speedMin(), s.settings.speedMax());
  c.Speed().SetPosition(s.settings.speed());
  c.Check(ctl::Light).SetChecked(s.settings.lightFlag());
  c.Check(ctl::Erase).SetChecked(s.settings.eraseFlag());
  if (!s.seams->drawingProblem.empty() && s.seams->boxes) PostMessageA(dialog, kTellDrawingProblem, 0, 0);
  return TRUE;  // the platform sets the default focus
}

void OnTellDrawingProblem(HWND dialog, DialogState& s) {
  // A modal dialog shows itself only once its messages run out; the box belongs over it.
  ShowWindow(dialog, SW_SHOW);
  UpdateWindow(dialog);
  s.seams->boxes->Show(dialog, NoDrawingMessage(s.seams->drawingProblem), "Error", platform::BoxIcon::Error);
}

// Every activation change: the window is shaped as the ellipse inside its rectangle.
void OnActivate(HWND dialog, DialogState& s) {
  RECT r{};
  GetWindowRect(dialog, &r);
  SetWindowRgn(dialog, CreateEllipticRgn(0, 0, r.right - r.left, r.bottom - r.top), TRUE);
  if (!s.normalCursor) s.normalCursor = GetCursor();
  if (!s.handCursor) s.handCursor = LoadCursorA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(kHandCursorId));
}

void OnEraseBackground(HWND dialog, DialogState& s, HDC dc) {
  RECT r{};
  GetClientRect(dialog, &r);
  HGDIOBJ old = SelectObject(dc, s.dialogBrush);
  Ellipse(dc, r.left, r.top, r.right, r.bottom);
  SelectObject(dc, old);
}

HBRUSH OnControlColour(DialogState& s, HDC dc, HWND control) {
  switch (GetDlgCtrlID(control)) {
    case ctl::Website:
      SetBkMode(dc, TRANSPARENT);
      SetTextColor(dc, kLinkTextColour);
      return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    case ctl::ColourSample:
      // The blanks of the sample show as a bar of the background colour.
      SetBkColor(dc, s.settings.backgroundColor() & 0x00FFFFFF);
      return SampleBrush(s);
    default:
      SetBkColor(dc, DialogColour(s));
      SetTextColor(dc, StaticTextColour(s.settings.dialogColor()));
      return s.dialogBrush;
  }
}

bool OnSetCursor(HWND dialog, DialogState& s) {
  bool overLink = PointerOver(dialog, ctl::Website) || PointerOver(dialog, ctl::AboutIcon);
  HCURSOR c = overLink ? s.handCursor : s.normalCursor;
  if (!c) return false;
  SetCursor(c);
  return true;
}

// The links are plain static texts that let clicks through to the dialog.
void OnLeftClick(HWND dialog, DialogState& s, POINT clientPoint) {
  POINT p = clientPoint;
  ClientToScreen(dialog, &p);
  if (Over(dialog, ctl::Website, p))
    s.seams->shell.Open(WebsiteLink(s.settings.website()));
  else if (Over(dialog, ctl::AboutIcon, p))
    s.seams->shell.Open(AboutLink(s.settings.website()));
}

void OnSelectColour(HWND dialog, DialogState& s) {
  // The request record as the colour dialog takes it; pointers and handles are this
  // run's business and are not kept in the saved block.
  auto& block = s.settings.display;
  for (std::size_t at = trailer::off::ColorRequest; at < trailer::off::ColorRequest + 36; at += 4)
    if (at != trailer::off::BackgroundColor) bytes::writeU32(block, at, 0);
  bytes::writeU32(block, trailer::off::ColorRequestSize, 36);
  bytes::writeU32(block, trailer::off::ColorRequestFlags, 1);
  if (auto chosen = s.seams->colours.Choose(dialog, s.settings.backgroundColor())) s.settings.setBackgroundColor(*chosen);
  InvalidateRect(dialog, nullptr, TRUE);
}

void OnPreview(HWND dialog, DialogState& s) {
  StoreAndSave(dialog, s);
  s.seams->launcher.StartDetached(ShortPathOf(s.seams->programPath) + " -s");
}

void OnCommand(HWND dialog, DialogState& s, int id) {
  switch (id) {
    case IDOK:
      StoreAndSave(dialog, s);
      EndDialog(dialog, IDOK);
      break;
    case IDCANCEL: EndDialog(dialog, IDCANCEL); break;
    case ctl::Preview: OnPreview(dialog, s); break;
    case ctl::SelectColour: OnSelectColour(dialog, s); break;
  }
}

void OnDestroy(DialogState& s) {
  if (s.dialogBrush) DeleteObject(s.dialogBrush);
  if (s.sampleBrush) DeleteObject(s.sampleBrush);
  s.dialogBrush = s.sampleBrush = nullptr;
}

// ---- dialog procedure -------------------------------------------------------------------

INT_PTR CALLBACK ConfigProc(HWND dialog, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_INITDIALOG) SetWindowLongPtrA(dialog, DWLP_USER, lp);
  auto* s = reinterpret_cast<DialogState*>(GetWindowLongPtrA(dialog, DWLP_USER));
  if (!s) return FALSE;
  switch (msg) {
    case WM_INITDIALOG: return OnInitDialog(dialog, *s);
    case WM_ACTIVATE: OnActivate(dialog, *s); return FALSE;
    case WM_ERASEBKGND:
      OnEraseBackground(dialog, *s, reinterpret_cast<HDC>(wp));
      SetWindowLongPtrA(dialog, DWLP_MSGRESULT, TRUE);
      return TRUE;
    case WM_CTLCOLORSTATIC: case WM_CTLCOLORBTN:
      return reinterpret_cast<INT_PTR>(OnControlColour(*s, reinterpret_cast<HDC>(wp), reinterpret_cast<HWND>(lp)));
    case WM_SETCURSOR:
      if (!OnSetCursor(dialog, *s)) return FALSE;
      SetWindowLongPtrA(dialog, DWLP_MSGRESULT, TRUE);
      return TRUE;
    case WM_LBUTTONDOWN: OnLeftClick(dialog, *s, POINT{short(LOWORD(lp)), short(HIWORD(lp))}); return TRUE;
    case WM_COMMAND: OnCommand(dialog, *s, LOWORD(wp)); return TRUE;
    case WM_DESTROY: OnDestroy(*s); return FALSE;
    case kTellDrawingProblem: OnTellDrawingProblem(dialog, *s); return TRUE;
  }
  return FALSE;
}

}  // namespace

INT_PTR RunConfigDialog(HWND owner, ConfigSeams& seams) {
  INITCOMMONCONTROLSEX cc{sizeof cc, ICC_BAR_CLASSES};
  InitCommonControlsEx(&cc);
  DialogState state;
  state.seams = &seams;
  return DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(kConfigDialogId), owner, ConfigProc,
                         reinterpret_cast<LPARAM>(&state));
}

}  // namespace prismora::runtime
