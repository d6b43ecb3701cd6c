#include "builder/thumbnails/thumbnail_list.h"

#include "platform/win32/wide_text.h"

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <stdexcept>
#include <utility>
#include <vector>

#include "builder/photos/jpeg_thumbnail.h"
#include "builder/photos/own_thumbnail.h"
#include "platform/win32/wingui/surface.h"

namespace prismora::thumbnails {

// ---- TThumbnail -------------------------------------------------------------------

TThumbnail::TThumbnail(TThumbnails& owner) : owner_(owner), picture_(std::make_unique<TIPicture>()) {
  picture_->OnChange = [this] { Changed(); };
  owner_.AddThumb();
}

TThumbnail::~TThumbnail() {
  owner_.RemoveThumb();
  DropBitmap();
}

void TThumbnail::SetFilename(const std::string& name) {
  if (name != filename_) DropBitmap();
  filename_ = name;
  Changed();
}

void TThumbnail::SetCaption(const std::string& caption) {
  caption_ = caption;
  Changed();
}

void TThumbnail::SetPicture(const TIPicture& picture) {
  DropBitmap();
  picture_->Assign(&picture);  // fires Changed through the picture's OnChange
}

void TThumbnail::DropBitmap() {
  if (cache_.bitmap) DeleteObject(cache_.bitmap);
  cache_ = {};
}

void TThumbnail::Changed() { owner_.Changed(); }

// ---- TThumbnails ------------------------------------------------------------------

TThumbnails::TThumbnails(TThumbnailList* owner) : owner_(owner) {}

TThumbnails::~TThumbnails() {
  clearing_ = true;
  items_.clear();
}

TThumbnail& TThumbnails::Add() { return Insert(Count()); }

TThumbnail& TThumbnails::Insert(int index) {
  if (index < 0 || index > Count()) throw std::out_of_range("List index out of bounds");
  auto item = std::make_unique<TThumbnail>(*this);
  TThumbnail& ref = *item;
  items_.insert(items_.begin() + index, std::move(item));
  Changed();
  return ref;
}

TThumbnail& TThumbnails::Item(int index) {
  if (index < 0 || index >= Count()) throw std::out_of_range("List index out of bounds");
  return *items_[std::size_t(index)];
}

const TThumbnail& TThumbnails::Item(int index) const {
  if (index < 0 || index >= Count()) throw std::out_of_range("List index out of bounds");
  return *items_[std::size_t(index)];
}

void TThumbnails::Delete(int index) {
  if (index < 0 || index >= Count()) throw std::out_of_range("List index out of bounds");
  // Out of the list first, so a repaint during destruction never sees a half-moved list.
  std::unique_ptr<TThumbnail> victim = std::move(items_[std::size_t(index)]);
  items_.erase(items_.begin() + index);
  victim.reset();
}

void TThumbnails::Move(int from, int to) {
  if (from < 0 || from >= Count() || to < 0 || to >= Count()) throw std::out_of_range("List index out of bounds");
  if (from == to) return;
  auto first = items_.begin();
  if (from < to)
    std::rotate(first + from, first + from + 1, first + to + 1);
  else
    std::rotate(first + to, first + from, first + from + 1);
  Changed();
}

void TThumbnails::Clear() {
  std::vector<std::unique_ptr<TThumbnail>> victims = std::move(items_);
  items_.clear();
  while (!victims.empty()) victims.pop_back();
  Changed();
}

void TThumbnails::AddThumb() {
  ++thumbCount_;
  Changed();
}

void TThumbnails::RemoveThumb() {
  if (thumbCount_ > 0) --thumbCount_;
  Changed();
}

void TThumbnails::Changed() {
  if (owner_ && !clearing_) owner_->BuildItems();
}

// ---- TThumbnailList ---------------------------------------------------------------

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

TThumbnailList::TThumbnailList() : thumbnails_(this) {}

TThumbnailList::~TThumbnailList() {
  destroying_ = true;
  thumbnails_.Clear();
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
  buffered_ = o.buffered;
  thumbnailSize_ = o.thumbnailSize;
  orientation_ = o.orientation;
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
  std::vector<int> selected = list_ ? SelectedIndices() : std::vector<int>{};
  if (list_) DestroyWindow(list_);
  RECT client;
  GetClientRect(host_, &client);
  // Owner-drawn with fixed item height; items are empty placeholders, the content comes
  // from Thumbnails. The horizontal scroll bar style is part of the control.
  DWORD style = WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP | LBS_OWNERDRAWFIXED |
                LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | LBS_WANTKEYBOARDINPUT;
  if (multiSelect_) style |= LBS_EXTENDEDSEL;
  if (orientation_ == TThumbnailOrientation::toHorizontal) style |= LBS_MULTICOLUMN;
  list_ = CreateWindowExA(WS_EX_CLIENTEDGE, "LISTBOX", "", style, 0, 0, client.right, client.bottom,
                          host_, reinterpret_cast<HMENU>(INT_PTR(1)), GetModuleHandleA(nullptr),
                          nullptr);
  if (!list_) return;
  SendMessageA(list_, WM_SETFONT, WPARAM(font_ ? font_ : GetStockObject(DEFAULT_GUI_FONT)), FALSE);
  BuildItems();
  for (int i : selected) SetSelected(i, true);
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
  if (orientation_ == TThumbnailOrientation::toHorizontal) {
    if (thumbnailSize_ > 0) SendMessageA(list_, LB_SETCOLUMNWIDTH, WPARAM(thumbnailSize_), 0);
    RECT r;
    GetClientRect(list_, &r);
    int itemHeight = int(r.bottom) - GetSystemMetrics(SM_CYHSCROLL) - 4 * GetSystemMetrics(SM_CYBORDER);
    if (itemHeight > 0) SendMessageA(list_, LB_SETITEMHEIGHT, 0, MAKELPARAM(itemHeight, 0));
  }
  InvalidateRect(list_, nullptr, TRUE);
}

void TThumbnailList::EndUpdate() {
  if (updating_ > 0 && --updating_ == 0) BuildItems();
}

void TThumbnailList::BuildItems() {
  if (destroying_ || !list_ || updating_ > 0) return;
  // Placeholders go and come at the end, so the list box's selection marks stay at
  // their positions when a thumbnail in the middle is removed.
  int want = thumbnails_.ThumbCount();
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
  int itemHeight = thumbnailSize_;
  if (orientation_ == TThumbnailOrientation::toHorizontal) {
    SendMessageA(list_, LB_SETCOLUMNWIDTH, WPARAM(thumbnailSize_), 0);
    RECT r;
    GetClientRect(host_, &r);
    itemHeight = int(r.bottom) - GetSystemMetrics(SM_CYHSCROLL) - 4 * GetSystemMetrics(SM_CYBORDER);
  }
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

void TThumbnailList::SetOrientation(TThumbnailOrientation orientation) {
  if (orientation == orientation_) return;
  orientation_ = orientation;
  // Columns are a creation style of the list box, so it is made anew.
  if (list_) CreateListBox();
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

Size TThumbnailList::ItemPictureArea() {
  RECT item{};
  if (!list_ || SendMessageA(list_, LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&item)) == LB_ERR)
    return {};
  int caption = 0;
  if (showCaption_) {
    HDC dc = GetDC(list_);
    HGDIOBJ old = SelectObject(dc, font_ ? font_ : GetStockObject(DEFAULT_GUI_FONT));
    caption = CaptionHeight(dc);
    SelectObject(dc, old);
    ReleaseDC(list_, dc);
  }
  Rect area = LayoutItem({item.left, item.top, item.right, item.bottom}, caption).pictureArea;
  return {area.width(), area.height()};
}

bool TThumbnailList::MakeBitmap(TThumbnail& item, Size area) {
  item.DropBitmap();
  if (area.width <= 0 || area.height <= 0) return false;
  ++decodes_;
  std::vector<uint8_t> bytes;
  if (!ReadPictureFile(item.Filename(), bytes)) return false;
  TThumbnail::Cached cache;
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
  item.cache_ = cache;
  return true;
}

void TThumbnailList::DrawThumbnail(HDC dc, TThumbnail& item, const Rect& area) {
  Size areaSize{area.width(), area.height()};
  if (areaSize.width <= 0 || areaSize.height <= 0) return;
  TThumbnail::Cached& cache = item.cache_;
  // A resized strip keeps a bitmap whose drawn size did not change.
  if (cache.bitmap && cache.areaSize != areaSize &&
      FitPicture(cache.fullSize, areaSize) != cache.bitmapSize)
    item.DropBitmap();
  else if (cache.bitmap)
    cache.areaSize = areaSize;

  if (item.Source == TThumbnailSource::tsPicture || !item.Picture().Empty()) {
    const TIPicture& p = item.Picture();
    if (p.Empty()) return;
    Rect target = PlacePicture(area, {p.MaxWidth(), p.MaxHeight()});
    RECT r{target.left, target.top, target.right, target.bottom};
    p.DrawExact(dc, r);
    return;
  }
  // Loaded the first time the item is painted; a file that fails is tried again on the
  // next paint.
  if (!cache.bitmap && buffered_ && !item.Filename().empty() && MakeBitmap(item, areaSize)) {
    cache.lastDrawn = ++drawClock_;
    if (++madeSinceSweep_ >= SweepStep(mostHeld_)) DropOldBitmaps();
  }
  if (!cache.bitmap) return;
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
  // One pass over the list every tenth of the limit's worth of new bitmaps, so its cost
  // stays small beside the decoding that made them; it leaves room for that many more
  // before the next, so no more than the limit are ever kept.
  std::vector<std::pair<uint64_t, TThumbnail*>> held;
  for (int i = 0; i < thumbnails_.Count(); ++i) {
    TThumbnail& t = thumbnails_.Item(i);
    if (t.HasBitmap() && t.Source == TThumbnailSource::tsFile) held.emplace_back(t.Cache().lastDrawn, &t);
  }
  const int keep = mostHeld_ - SweepStep(mostHeld_) + 1;
  if (int(held.size()) <= keep) return;
  const auto drop = held.begin() + (std::ptrdiff_t(held.size()) - keep);
  std::nth_element(held.begin(), drop, held.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  for (auto it = held.begin(); it != drop; ++it) it->second->DropBitmap();
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

  if (index < thumbnails_.Count()) {
    TThumbnail& item = thumbnails_.Item(index);
    int caption = showCaption_ ? CaptionHeight(dc) : 0;
    ItemLayout layout = LayoutItem(r, caption);
    if (showCaption_) {
      RECT c{layout.content.left, layout.content.top, layout.content.right, layout.content.bottom};
      SetTextColor(dc, text);
      SetBkMode(dc, TRANSPARENT);
      // Captions are real names (UTF-8), which the code page may not hold.
      const std::wstring caption = platform::WideFromUtf8OrAnsi(item.Caption());
      DrawTextW(dc, caption.c_str(), int(caption.size()), &c,
                DT_SINGLELINE | DT_CENTER | DT_BOTTOM | DT_END_ELLIPSIS | DT_NOPREFIX);
    }
    DrawThumbnail(dc, item, layout.pictureArea);
  }
  RestoreDC(dc, saved);
  DeleteObject(brush);
  DeleteObject(pen);
  if (dis.itemState & ODS_FOCUS) DrawFocusRect(dc, &itemRect);
}

TThumbnail& TThumbnailList::AddFile(const std::string& path) {
  BeginUpdate();
  TThumbnail& t = thumbnails_.Add();
  t.Source = TThumbnailSource::tsFile;
  t.SetFilename(path);
  t.SetCaption(path);
  EndUpdate();
  return t;
}

std::string TThumbnailList::FilenameAt(int index) const {
  if (index < 0 || index >= thumbnails_.Count()) return {};
  return thumbnails_.Item(index).Filename();
}

std::vector<std::string> TThumbnailList::Filenames() const {
  std::vector<std::string> names;
  for (int i = 0; i < thumbnails_.Count(); ++i) names.push_back(thumbnails_.Item(i).Filename());
  return names;
}

void TThumbnailList::Remove(int index) { thumbnails_.Delete(index); }

void TThumbnailList::Move(int from, int to) {
  thumbnails_.Move(from, to);
  if (!list_) return;
  if (multiSelect_)
    SendMessageA(list_, LB_SETSEL, FALSE, -1);
  SetSelected(to, true);
  SetItemIndex(to);
  InvalidateRect(list_, nullptr, FALSE);
}

void TThumbnailList::Clear() {
  BeginUpdate();
  thumbnails_.Clear();
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

void TThumbnailList::ShowFolder(const std::string& mask) {
  Clear();
  std::string folder = mask.substr(0, mask.find_last_of("\\/") + 1);
  WIN32_FIND_DATAW found;
  HANDLE h = FindFirstFileW(platform::WideFromAnsi(mask).c_str(), &found);
  if (h == INVALID_HANDLE_VALUE) return;
  Size area = buffered_ ? Size{} : ItemPictureArea();
  do {
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    // Kept by the name the code page holds, its 8.3 alias otherwise; shown by its own.
    std::optional<std::string> name = platform::AnsiFromWide(found.cFileName);
    if (!name) name = platform::AnsiFromWide(found.cAlternateFileName);
    const std::string shown = platform::Utf8FromWide(found.cFileName);
    if (!name || name->empty() || !IsThumbnailFileName(shown)) continue;
    TThumbnail& t = thumbnails_.Add();
    t.Source = TThumbnailSource::tsFile;
    t.SetFilename(folder + *name);
    t.SetCaption(shown);
    if (!buffered_) {
      if (area.width <= 0) area = ItemPictureArea();
      MakeBitmap(t, area);
    }
  } while (FindNextFileW(h, &found));
  FindClose(h);
}

}  // namespace prismora::thumbnails
