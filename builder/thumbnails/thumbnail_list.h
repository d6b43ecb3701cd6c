// The thumbnail strip: an owner-drawn list box that shows the project's photos (a
// PhotoCollection it holds) with one picture and a caption per photo. Pictures are
// loaded the first time their item is painted and kept only as a bitmap of the size they
// are drawn at, so a long list of camera photos costs little memory.
//
// The control is a small host window (the handle the parent sees, with the id given at
// creation) around the real list box. The host draws the items and passes the list
// box's notifications on to the parent as WM_COMMAND with its own id and the list box
// codes (LBN_SELCHANGE, LBN_DBLCLK, LBN_SETFOCUS, LBN_KILLFOCUS), and also calls the
// event functions below.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "builder/thumbnails/photo_collection.h"
#include "builder/thumbnails/thumbnail_geometry.h"

namespace prismora::thumbnails {

struct TThumbnailListOptions {
  bool multiSelect = true;  // extended selection (shift / ctrl click)
  bool showSelection = true;
  bool showCaption = true;
  int thumbnailSize = 64;
  COLORREF color = RGB(255, 255, 255);
};

class TThumbnailList final : private PhotoCollection::Listener {
 public:
  TThumbnailList();
  ~TThumbnailList();
  TThumbnailList(const TThumbnailList&) = delete;
  TThumbnailList& operator=(const TThumbnailList&) = delete;

  // Creates the control as a child of `parent` at `rect` (parent client coordinates).
  bool Create(HWND parent, const RECT& rect, int id, const TThumbnailListOptions& options = {});
  HWND Handle() const { return host_; }      // the control the parent places and sees
  HWND ListBox() const { return list_; }     // the list box inside it
  int Id() const { return id_; }

  // The photos shown; changed through the calls below.
  const PhotoCollection& Photos() const { return photos_; }
  // Appends a photo, captioned with its path unless a caption is given; returns its index.
  int AddFile(const std::string& path) { return AddFile(path, path); }
  int AddFile(const std::string& path, const std::string& caption) { return photos_.Add(path, caption); }
  void SetCaption(int index, const std::string& caption) { photos_.SetCaption(index, caption); }
  int Count() const { return photos_.Count(); }
  std::string FilenameAt(int index) const { return photos_.PathAt(index); }  // empty outside
  std::vector<std::string> Filenames() const { return photos_.Paths(); }
  // Throws std::out_of_range outside the list.
  void Remove(int index) { photos_.Remove(index); }
  // Moves one thumbnail; it becomes the only selected and the current item.
  void Move(int from, int to);
  void Clear();

  // Selection as the list box holds it.
  std::vector<int> SelectedIndices() const;
  bool IsSelected(int index) const;
  void SetSelected(int index, bool selected);
  int ItemIndex() const;  // the current (caret) item, -1 when none
  void SetItemIndex(int index);
  int TopIndex() const;
  void SetTopIndex(int index);
  bool Focused() const;
  void SetFocus();

  bool ShowCaption() const { return showCaption_; }
  void SetShowCaption(bool on);
  bool ShowSelection() const { return showSelection_; }
  void SetShowSelection(bool on);
  int ThumbnailSize() const { return thumbnailSize_; }
  void SetThumbnailSize(int size);
  COLORREF Color() const { return color_; }
  void SetColor(COLORREF color);
  void SetFont(HFONT font);  // the caption font; the default GUI font otherwise

  // Events, called after the parent got the matching WM_COMMAND.
  std::function<void()> OnClick;     // the selection changed by mouse or keyboard
  std::function<void()> OnDblClick;
  std::function<void()> OnEnter;     // the list box got the focus
  std::function<void()> OnExit;      // the list box lost the focus
  // Every key pressed in the list box; true when the key was used up, so the list box
  // does not move its caret for it as well.
  std::function<bool(WORD key)> OnKeyDown;

  // What the strip keeps of a photo's picture: a bitmap of exactly the drawn size.
  struct Cached {
    HBITMAP bitmap = nullptr;
    Size bitmapSize;  // the bitmap's size
    Size fullSize;    // the picture's own size (GIF: logical screen)
    Size areaSize;    // the picture area it was made for
    uint64_t lastDrawn = 0;  // when it was last drawn, on the strip's own clock
  };
  // Tells whether the photo at `index` has a bitmap held (for the memory promise and its
  // tests), and what it is; nothing outside the list.
  bool HasBitmap(int index) const;
  const Cached& CacheAt(int index) const;

  // Item decoding work since creation, for tests and the benchmark.
  int DecodeCount() const { return decodes_; }
  // At most this many file thumbnails keep their bitmaps: scrolling through thousands of
  // photos would otherwise hold a bitmap (and a GDI object, of which a process gets
  // 10,000) for every one. Those drawn longest ago go first; the items on screen were
  // drawn last and stay.
  static constexpr int kMostBitmapsHeld = 1000;
  int MostBitmapsHeld() const { return mostHeld_; }
  void SetMostBitmapsHeld(int most) { mostHeld_ = most > 0 ? most : 1; }
  // Repaints every item now (the window must be visible).
  void Repaint();

  // The placeholder items are rebuilt from the photo count after every change. Between
  // BeginUpdate and the matching EndUpdate rebuilding waits, so filling the strip with
  // many photos rebuilds it once.
  void BeginUpdate() { ++updating_; }
  void EndUpdate();

 private:
  void PhotoRemoved(PhotoId id) override { DropBitmap(id); }
  void PhotosChanged() override { BuildItems(); }
  void BuildItems();
  static LRESULT CALLBACK HostProc(HWND, UINT, WPARAM, LPARAM);
  LRESULT HandleHostMessage(UINT msg, WPARAM wp, LPARAM lp);
  void CreateListBox();
  void DrawItem(const DRAWITEMSTRUCT& dis);
  void DrawThumbnail(HDC dc, const Photo& photo, const Rect& area);
  // Decodes the photo's picture at the drawn size; false (and nothing kept) on failure.
  bool MakeBitmap(const Photo& photo, Size area);
  void DropBitmap(PhotoId id);
  // Drops the bitmaps drawn longest ago while more than MostBitmapsHeld are kept.
  void DropOldBitmaps();
  void OnHostSize(int width, int height);
  void ApplyThumbnailSize();
  int CaptionHeight(HDC dc) const;

  HWND host_ = nullptr;
  HWND list_ = nullptr;
  HBRUSH background_ = nullptr;
  bool destroying_ = false;
  int id_ = 0;
  PhotoCollection photos_{this};
  // The bitmaps held, by photo; a photo without one has no entry.
  std::unordered_map<PhotoId, Cached> bitmaps_;
  bool multiSelect_ = true;
  bool showCaption_ = true;
  bool showSelection_ = false;
  int thumbnailSize_ = 64;
  COLORREF color_ = RGB(255, 255, 255);
  HFONT font_ = nullptr;
  int decodes_ = 0;
  int updating_ = 0;
  int mostHeld_ = kMostBitmapsHeld;
  int madeSinceSweep_ = 0;
  uint64_t drawClock_ = 0;
};

}  // namespace prismora::thumbnails
