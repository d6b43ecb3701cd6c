#include "builder/thumbnails/thumbnail_list.h"

#include "platform/win32/wide_text.h"

#include <algorithm>
#include <cstdlib>
#include <utility>
#include <vector>

#include "builder/photos/jpeg_thumbnail.h"
#include "builder/photos/own_thumbnail.h"
#include "builder/photos/win32/picture.h"
#include "platform/win32/wingui/surface.h"

namespace prismora::thumbnails {

// The readers the strip shows its pictures with.
using photos::BgrImage;
using photos::DecodedThumbnail;
using photos::DecodeOwnThumbnail;
using photos::OwnThumbnail;
using photos::PictureError;
using photos::ReadPictureFile;
using photos::TIPicture;

namespace {

const char kHostClass[] = "PrismoraThumbnailList";

// New bitmaps between two sweeps of the old ones.
int SweepStep(int mostHeld) { return std::max(1, mostHeld / 10); }

// A device independent bitmap holding the given pixels (blue, green, red, top-down).
HBITMAP BitmapFromPixels(const BgrImage& image) {
  return wingui::Surface::BitmapFromRows(image.pixels.data(), image.width, image.height);
}

// The platform decoder's picture drawn once into a bitmap of the drawn size.
HBITMAP BitmapFromPicture(const TIPicture& picture, Size size, COLORREF background) {
  wingui::Surface bitmap;
  if (!bitmap.Resize(size.width, size.height)) return nullptr;
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, bitmap.Bitmap());
  RECT r{0, 0, size.width, size.height};
  HBRUSH fill = CreateSolidBrush(background);  // shows through transparent pixels
  FillRect(dc, &r, fill);
  DeleteObject(fill);
  picture.DrawExact(dc, r);
  SelectObject(dc, old);
  DeleteDC(dc);
  return bitmap.Detach();
}

}  // namespace

TThumbnailList::TThumbnailList() = default;

TThumbnailList::~TThumbnailList() {
  destroying_ = true;
  photos_.Clear();
  if (host_ && IsWindow(host_)) {
    SetWindowLongPtrA(host_, GWLP_USERDATA, 0);
    DestroyWindow(host_);
  }
  if (background_) DeleteObject(background_);
}

bool TThumbnailList::Create(HWND parent, const RECT& rect, int id, const TThumbnailListOptions& o) {
  static ATOM atom = [] {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &TThumbnailList::HostProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = kHostClass;
    return RegisterClassExA(&wc);
  }();
  if (!atom) return false;
  id_ = id;
  multiSelect_ = o.multiSelect;
  showSelection_ = o.showSelection;
  showCaption_ = o.showCaption;
  thumbnailSize_ = o.thumbnailSize;
  color_ = o.color;
  background_ = CreateSolidBrush(color_);
  host_ = CreateWindowExA(0, kHostClass, "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, rect.left,
                          rect.top, rect.right - rect.left, rect.bottom - rect.top, parent,
                          reinterpret_cast<HMENU>(INT_PTR(id)), GetModuleHandleA(nullptr), this);
  if (!host_) return false;
  CreateListBox();
  return list_ != nullptr;
}

void TThumbnailList::CreateListBox() {
  RECT client;
  GetClientRect(host_, &client);
  // Owner-drawn with fixed item height; items are empty placeholders, the content comes
  // from the photos. The horizontal scroll bar style is part of the control.
  DWORD style = WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP | LBS_OWNERDRAWFIXED |
                LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | LBS_WANTKEYBOARDINPUT;
  if (multiSelect_) style |= LBS_EXTENDEDSEL;
  list_ = CreateWindowExA(WS_EX_CLIENTEDGE, "LISTBOX", "", style, 0, 0, client.right, client.bottom,
                          host_, reinterpret_cast<HMENU>(INT_PTR(1)), GetModuleHandleA(nullptr),
                          nullptr);
  if (!list_) return;
  SendMessageA(list_, WM_SETFONT, WPARAM(font_ ? font_ : GetStockObject(DEFAULT_GUI_FONT)), FALSE);
  BuildItems();
}

LRESULT CALLBACK TThumbnailList::HostProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    auto* cs = reinterpret_cast<CREATESTRUCTA*>(lp);
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
    static_cast<TThumbnailList*>(cs->lpCreateParams)->host_ = hwnd;
  }
  auto* self = reinterpret_cast<TThumbnailList*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProcA(hwnd, msg, wp, lp);
  return self->HandleHostMessage(msg, wp, lp);
}

LRESULT TThumbnailList::HandleHostMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_MEASUREITEM:
      reinterpret_cast<MEASUREITEMSTRUCT*>(lp)->itemHeight = UINT(thumbnailSize_);
      return TRUE;
    case WM_DRAWITEM:
      DrawItem(*reinterpret_cast<DRAWITEMSTRUCT*>(lp));
      return TRUE;
    case WM_CTLCOLORLISTBOX:
      return reinterpret_cast<LRESULT>(background_);
    case WM_SIZE:
      OnHostSize(LOWORD(lp), HIWORD(lp));
      return 0;
    case WM_SETFOCUS:
      if (list_) ::SetFocus(list_);
      return 0;
    case WM_ERASEBKGND:
      return 1;  // the list box covers the whole host
    case WM_VKEYTOITEM:
      if (OnKeyDown && OnKeyDown(LOWORD(wp))) return -2;  // used up
      return -1;  // the list box still does its own work for the key
    case WM_COMMAND:
      if (HWND(lp) == list_) {
        int code = HIWORD(wp);
        HWND parent = GetParent(host_);
        if (parent)
          SendMessageA(parent, WM_COMMAND, MAKEWPARAM(id_, code), reinterpret_cast<LPARAM>(host_));
        if (code == LBN_SELCHANGE && OnClick) OnClick();
        if (code == LBN_DBLCLK && OnDblClick) OnDblClick();
        if (code == LBN_SETFOCUS && OnEnter) OnEnter();
        if (code == LBN_KILLFOCUS && OnExit) OnExit();
        return 0;
      }
      break;
  }
  return DefWindowProcA(host_, msg, wp, lp);
}

void TThumbnailList::OnHostSize(int width, int height) {
  if (!list_) return;
  MoveWindow(list_, 0, 0, width, height, TRUE);
  InvalidateRect(list_, nullptr, TRUE);
}

void TThumbnailList::EndUpdate() {
  if (updating_ > 0 && --updating_ == 0) BuildItems();
}

void TThumbnailList::BuildItems() {
  if (destroying_ || !list_ || updating_ > 0) return;
  // Placeholders go and come at the end, so the list box's selection marks stay at
  // their positions when a thumbnail in the middle is removed.
  int want = photos_.Count();
  int have = int(SendMessageA(list_, LB_GETCOUNT, 0, 0));
  // Without redrawing in between: the list box would otherwise redo its scroll bar and
  // paint for every placeholder when a whole project's photos arrive.
  bool many = std::abs(want - have) > 1;
  if (many) SendMessageA(list_, WM_SETREDRAW, FALSE, 0);
  if (many && want > have) SendMessageA(list_, LB_INITSTORAGE, WPARAM(want - have), 0);
  while (have > want) SendMessageA(list_, LB_DELETESTRING, WPARAM(--have), 0);
  while (have < want) {
    SendMessageA(list_, LB_ADDSTRING, 0, 0);
    ++have;
  }
  if (many) SendMessageA(list_, WM_SETREDRAW, TRUE, 0);
  ApplyThumbnailSize();
  InvalidateRect(list_, nullptr, TRUE);
}

void TThumbnailList::ApplyThumbnailSize() {
  if (!list_) return;
  const int itemHeight = thumbnailSize_;
  // Setting the height makes the list box lay out every item again; with hundreds of
  // photos added one by one that only costs when the height really changes.
  if (itemHeight > 0 && SendMessageA(list_, LB_GETITEMHEIGHT, 0, 0) != itemHeight)
    SendMessageA(list_, LB_SETITEMHEIGHT, 0, MAKELPARAM(itemHeight, 0));
}

void TThumbnailList::SetThumbnailSize(int size) {
  thumbnailSize_ = size;
  ApplyThumbnailSize();
  InvalidateRect(list_, nullptr, TRUE);
}

void TThumbnailList::SetShowCaption(bool on) {
  if (on == showCaption_) return;
  showCaption_ = on;
  InvalidateRect(list_, nullptr, TRUE);
}

void TThumbnailList::SetShowSelection(bool on) {
  if (on == showSelection_) return;
  showSelection_ = on;
  InvalidateRect(list_, nullptr, TRUE);
}

void TThumbnailList::SetColor(COLORREF color) {
  color_ = color;
  if (background_) DeleteObject(background_);
  background_ = CreateSolidBrush(color_);
  InvalidateRect(list_, nullptr, TRUE);
}

void TThumbnailList::SetFont(HFONT font) {
  font_ = font;
  if (list_) SendMessageA(list_, WM_SETFONT, WPARAM(font ? font : GetStockObject(DEFAULT_GUI_FONT)), TRUE);
}

int TThumbnailList::CaptionHeight(HDC dc) const {
  SIZE s{};
  GetTextExtentPoint32A(dc, "gh", 2, &s);
  return int(s.cy);
}

bool TThumbnailList::MakeBitmap(const Photo& photo, Size area) {
  DropBitmap(photo.id);
  if (area.width <= 0 || area.height <= 0) return false;
  ++decodes_;
  std::vector<uint8_t> bytes;
  if (!ReadPictureFile(photo.path, bytes)) return false;
  Cached cache;
  cache.areaSize = area;
  // JPEG, WebP and TIFF photos go through our own readers at (or near) the drawn size;
  // everything else (and JPEGs libjpeg cannot read) through the platform's decoder, drawn
  // once at the drawn size. A photo of our kinds that is damaged or too large to decode
  // stays an empty frame: the platform's decoder would decode it at full size.
  DecodedThumbnail own;
  const OwnThumbnail kind = DecodeOwnThumbnail(bytes, area, own, uint32_t(color_));
  if (kind == OwnThumbnail::Decoded) {
    cache.fullSize = own.fullSize;
    cache.bitmapSize = {own.image.width, own.image.height};
    if (cache.bitmapSize.width > 0 && cache.bitmapSize.height > 0)
      cache.bitmap = BitmapFromPixels(own.image);
  } else if (kind == OwnThumbnail::Refused) {
    return false;
  } else {
    TIPicture picture;
    try {
      picture.LoadFromStream(&bytes);
    } catch (const PictureError&) {
      return false;
    }
    bytes = {};
    cache.fullSize = {picture.MaxWidth(), picture.MaxHeight()};
    cache.bitmapSize = FitPicture(cache.fullSize, area);
    if (cache.bitmapSize.width > 0 && cache.bitmapSize.height > 0)
      cache.bitmap = BitmapFromPicture(picture, cache.bitmapSize, color_);
  }
  if (!cache.bitmap) return false;
  bitmaps_[photo.id] = cache;
  return true;
}

void TThumbnailList::DropBitmap(PhotoId id) {
  auto it = bitmaps_.find(id);
  if (it == bitmaps_.end()) return;
  DeleteObject(it->second.bitmap);
  bitmaps_.erase(it);
}

bool TThumbnailList::HasBitmap(int index) const {
  return index >= 0 && index < photos_.Count() && bitmaps_.count(photos_.At(index).id) > 0;
}

const TThumbnailList::Cached& TThumbnailList::CacheAt(int index) const {
  static const Cached kNone;
  if (index < 0 || index >= photos_.Count()) return kNone;
  auto it = bitmaps_.find(photos_.At(index).id);
  return it == bitmaps_.end() ? kNone : it->second;
}

void TThumbnailList::DrawThumbnail(HDC dc, const Photo& photo, const Rect& area) {
  Size areaSize{area.width(), area.height()};
  if (areaSize.width <= 0 || areaSize.height <= 0) return;
  auto held = bitmaps_.find(photo.id);
  // A resized strip keeps a bitmap whose drawn size did not change.
  if (held != bitmaps_.end()) {
    const Cached& kept = held->second;
    if (kept.areaSize != areaSize && FitPicture(kept.fullSize, areaSize) != kept.bitmapSize) {
      DropBitmap(photo.id);
      held = bitmaps_.end();
    } else {
      held->second.areaSize = areaSize;
    }
  }
  // Loaded the first time the item is painted; a file that fails is tried again on the
  // next paint.
  if (held == bitmaps_.end()) {
    if (photo.path.empty() || !MakeBitmap(photo, areaSize)) return;
    bitmaps_[photo.id].lastDrawn = ++drawClock_;
    if (++madeSinceSweep_ >= SweepStep(mostHeld_)) DropOldBitmaps();
    held = bitmaps_.find(photo.id);
    if (held == bitmaps_.end()) return;
  }
  Cached& cache = held->second;
  cache.lastDrawn = ++drawClock_;
  Rect target = PlacePicture(area, cache.fullSize);
  HDC mem = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(mem, cache.bitmap);
  BitBlt(dc, target.left, target.top, cache.bitmapSize.width, cache.bitmapSize.height, mem, 0, 0,
         SRCCOPY);
  SelectObject(mem, old);
  DeleteDC(mem);
}

void TThumbnailList::DropOldBitmaps() {
  madeSinceSweep_ = 0;
  // One pass over the bitmaps held every tenth of the limit's worth of new bitmaps, so its cost
  // stays small beside the decoding that made them; it leaves room for that many more
  // before the next, so no more than the limit are ever kept.
  std::vector<std::pair<uint64_t, PhotoId>> held;
  held.reserve(bitmaps_.size());
  for (const auto& [id, cache] : bitmaps_) held.emplace_back(cache.lastDrawn, id);
  const int keep = mostHeld_ - SweepStep(mostHeld_) + 1;
  if (int(held.size()) <= keep) return;
  const auto drop = held.begin() + (std::ptrdiff_t(held.size()) - keep);
  std::nth_element(held.begin(), drop, held.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  for (auto it = held.begin(); it != drop; ++it) DropBitmap(it->second);
}

void TThumbnailList::DrawItem(const DRAWITEMSTRUCT& dis) {
  HDC dc = dis.hDC;
  RECT itemRect = dis.rcItem;
  if (int(dis.itemID) < 0) {
    FillRect(dc, &itemRect, background_);
    if (dis.itemState & ODS_FOCUS) DrawFocusRect(dc, &itemRect);
    return;
  }
  int index = int(dis.itemID);
  bool selected = (dis.itemState & ODS_SELECTED) && showSelection_;
  COLORREF fill = selected ? GetSysColor(COLOR_HIGHLIGHT) : color_;
  COLORREF text = selected ? GetSysColor(COLOR_HIGHLIGHTTEXT) : GetSysColor(COLOR_WINDOWTEXT);

  int saved = SaveDC(dc);
  HBRUSH brush = CreateSolidBrush(fill);
  HPEN pen = CreatePen(PS_SOLID, 2, fill);
  SelectObject(dc, brush);
  SelectObject(dc, pen);
  SelectObject(dc, font_ ? font_ : GetStockObject(DEFAULT_GUI_FONT));
  Rect r{itemRect.left, itemRect.top, itemRect.right, itemRect.bottom};
  Rectangle(dc, r.left, r.top, r.right, r.bottom);
  MoveToEx(dc, r.left, r.top, nullptr);
  LineTo(dc, r.right, r.top);
  LineTo(dc, r.right, r.bottom);
  LineTo(dc, r.left, r.bottom);
  LineTo(dc, r.left, r.top);

  if (index < photos_.Count()) {
    const Photo& photo = photos_.At(index);
    int caption = showCaption_ ? CaptionHeight(dc) : 0;
    ItemLayout layout = LayoutItem(r, caption);
    if (showCaption_) {
      RECT c{layout.content.left, layout.content.top, layout.content.right, layout.content.bottom};
      SetTextColor(dc, text);
      SetBkMode(dc, TRANSPARENT);
      // Captions are real names (UTF-8), which the code page may not hold.
      const std::wstring caption = platform::WideFromUtf8OrAnsi(photo.caption);
      DrawTextW(dc, caption.c_str(), int(caption.size()), &c,
                DT_SINGLELINE | DT_CENTER | DT_BOTTOM | DT_END_ELLIPSIS | DT_NOPREFIX);
    }
    DrawThumbnail(dc, photo, layout.pictureArea);
  }
  RestoreDC(dc, saved);
  DeleteObject(brush);
  DeleteObject(pen);
  if (dis.itemState & ODS_FOCUS) DrawFocusRect(dc, &itemRect);
}

void TThumbnailList::Move(int from, int to) {
  photos_.Move(from, to);
  if (!list_) return;
  if (multiSelect_)
    SendMessageA(list_, LB_SETSEL, FALSE, -1);
  SetSelected(to, true);
  SetItemIndex(to);
  InvalidateRect(list_, nullptr, FALSE);
}

void TThumbnailList::Clear() {
  BeginUpdate();
  photos_.Clear();
  EndUpdate();
}

std::vector<int> TThumbnailList::SelectedIndices() const {
  std::vector<int> out;
  if (!list_) return out;
  if (multiSelect_) {
    int n = int(SendMessageA(list_, LB_GETSELCOUNT, 0, 0));
    if (n <= 0) return out;
    out.resize(std::size_t(n));
    n = int(SendMessageA(list_, LB_GETSELITEMS, WPARAM(n), reinterpret_cast<LPARAM>(out.data())));
    out.resize(std::size_t(std::max(n, 0)));
  } else {
    int i = int(SendMessageA(list_, LB_GETCURSEL, 0, 0));
    if (i >= 0) out.push_back(i);
  }
  return out;
}

bool TThumbnailList::IsSelected(int index) const {
  return list_ && SendMessageA(list_, LB_GETSEL, WPARAM(index), 0) > 0;
}

void TThumbnailList::SetSelected(int index, bool selected) {
  if (!list_) return;
  if (multiSelect_)
    SendMessageA(list_, LB_SETSEL, selected ? TRUE : FALSE, LPARAM(index));
  else
    SendMessageA(list_, LB_SETCURSEL, selected ? WPARAM(index) : WPARAM(-1), 0);
}

int TThumbnailList::ItemIndex() const {
  if (!list_ || SendMessageA(list_, LB_GETCOUNT, 0, 0) <= 0) return -1;
  if (multiSelect_) return int(SendMessageA(list_, LB_GETCARETINDEX, 0, 0));
  return int(SendMessageA(list_, LB_GETCURSEL, 0, 0));
}

void TThumbnailList::SetItemIndex(int index) {
  if (!list_) return;
  if (multiSelect_)
    SendMessageA(list_, LB_SETCARETINDEX, WPARAM(index), FALSE);
  else
    SendMessageA(list_, LB_SETCURSEL, WPARAM(index), 0);
}

int TThumbnailList::TopIndex() const {
  return list_ ? int(SendMessageA(list_, LB_GETTOPINDEX, 0, 0)) : 0;
}

void TThumbnailList::SetTopIndex(int index) {
  if (list_) SendMessageA(list_, LB_SETTOPINDEX, WPARAM(index), 0);
}

bool TThumbnailList::Focused() const { return list_ && GetFocus() == list_; }

void TThumbnailList::SetFocus() {
  if (list_) ::SetFocus(list_);
}

void TThumbnailList::Repaint() {
  if (!list_) return;
  InvalidateRect(list_, nullptr, TRUE);
  UpdateWindow(list_);
}

}  // namespace prismora::thumbnails
