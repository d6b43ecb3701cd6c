// The thumbnail strip: an owner-drawn list box that shows one picture with a caption per
// item, and at the same time holds the project's photo list (one TThumbnail per photo,
// in the order of adding). Pictures are loaded the first time their item is painted and
// kept only as a bitmap of the size they are drawn at, so a long list of camera photos
// costs little memory.
//
// The control is a small host window (the handle the parent sees, with the id given at
// creation) around the real list box. The host draws the items and passes the list
// box's notifications on to the parent as WM_COMMAND with its own id and the list box
// codes (LBN_SELCHANGE, LBN_DBLCLK, LBN_SETFOCUS, LBN_KILLFOCUS), and also calls the
// event functions below.
#pragma once
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "builder/thumbnails/picture.h"
#include "builder/thumbnails/thumbnail_geometry.h"

namespace prismora::thumbnails {

enum class TThumbnailSource { tsPicture = 0, tsFile = 1 };
enum class TThumbnailOrientation { toVertical = 0, toHorizontal = 1 };

class TThumbnails;
class TThumbnailList;

class TThumbnail {
 public:
  explicit TThumbnail(TThumbnails& owner);
  ~TThumbnail();
  TThumbnail(const TThumbnail&) = delete;
  TThumbnail& operator=(const TThumbnail&) = delete;

  const std::string& Filename() const { return filename_; }
  void SetFilename(const std::string& name);
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& caption);
  // tsFile: the picture is read from Filename when the item is first painted.
  TThumbnailSource Source = TThumbnailSource::tsFile;
  int32_t Tag = 0;

  // A picture given in memory (source tsPicture) is kept and drawn as it is.
  const TIPicture& Picture() const { return *picture_; }
  void SetPicture(const TIPicture& picture);

  // What the strip keeps of a file picture: a bitmap of exactly the drawn size.
  struct Cached {
    HBITMAP bitmap = nullptr;
    Size bitmapSize;  // the bitmap's size
    Size fullSize;    // the picture's own size (GIF: logical screen)
    Size areaSize;    // the picture area it was made for
    uint64_t lastDrawn = 0;  // when it was last drawn, on the strip's own clock
  };
  const Cached& Cache() const { return cache_; }
  // Tells whether a bitmap is held (for the memory promise and its tests).
  bool HasBitmap() const { return cache_.bitmap != nullptr; }
  void DropBitmap();

 private:
  friend class TThumbnailList;
  void Changed();

  TThumbnails& owner_;
  std::string filename_, caption_;
  std::unique_ptr<TIPicture> picture_;
  Cached cache_;
};

class TThumbnails {
 public:
  explicit TThumbnails(TThumbnailList* owner);
  ~TThumbnails();

  int Count() const { return int(items_.size()); }
  TThumbnail& Add();
  TThumbnail& Insert(int index);  // 0 <= index <= Count()
  // Throws std::out_of_range outside 0..Count()-1.
  TThumbnail& Item(int index);
  const TThumbnail& Item(int index) const;
  void Delete(int index);
  // Takes the item at `from` out and puts it back at `to` (both 0..Count()-1).
  void Move(int from, int to);
  void Clear();
  // Live items; the list box's placeholder count follows this.
  int ThumbCount() const { return thumbCount_; }
  TThumbnailList* Owner() const { return owner_; }

 private:
  friend class TThumbnail;
  void AddThumb();
  void RemoveThumb();
  void Changed();

  TThumbnailList* owner_;
  std::vector<std::unique_ptr<TThumbnail>> items_;
  int thumbCount_ = 0;
  bool clearing_ = false;
};

struct TThumbnailListOptions {
  bool multiSelect = true;  // extended selection (shift / ctrl click)
  bool showSelection = true;
  bool showCaption = true;
  bool buffered = true;
  int thumbnailSize = 64;
  TThumbnailOrientation orientation = TThumbnailOrientation::toVertical;
  COLORREF color = RGB(255, 255, 255);
};

class TThumbnailList {
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

  TThumbnails& Thumbnails() { return thumbnails_; }
  const TThumbnails& Thumbnails() const { return thumbnails_; }

  // The photo list in the project's terms: caption and file name are the path, source
  // tsFile.
  TThumbnail& AddFile(const std::string& path);
  int Count() const { return thumbnails_.Count(); }
  std::string FilenameAt(int index) const;  // empty outside the list
  std::vector<std::string> Filenames() const;
  void Remove(int index);
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
  bool Buffered() const { return buffered_; }
  void SetBuffered(bool on) { buffered_ = on; }
  TThumbnailOrientation Orientation() const { return orientation_; }
  void SetOrientation(TThumbnailOrientation orientation);
  int ThumbnailSize() const { return thumbnailSize_; }
  void SetThumbnailSize(int size);
  COLORREF Color() const { return color_; }
  void SetColor(COLORREF color);
  void SetFont(HFONT font);  // the caption font; the default GUI font otherwise

  // Fills the list from a folder: "C:\\photos\\*.*" shows every picture file there.
  void ShowFolder(const std::string& mask);

  // Events, called after the parent got the matching WM_COMMAND.
  std::function<void()> OnClick;     // the selection changed by mouse or keyboard
  std::function<void()> OnDblClick;
  std::function<void()> OnEnter;     // the list box got the focus
  std::function<void()> OnExit;      // the list box lost the focus
  // Every key pressed in the list box; true when the key was used up, so the list box
  // does not move its caret for it as well.
  std::function<bool(WORD key)> OnKeyDown;

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

  // Rebuilds the placeholder items from the thumbnail count; called by the collection.
  // Between BeginUpdate and the matching EndUpdate rebuilding waits, so filling the
  // strip with many photos rebuilds it once.
  void BuildItems();
  void BeginUpdate() { ++updating_; }
  void EndUpdate();

 private:
  static LRESULT CALLBACK HostProc(HWND, UINT, WPARAM, LPARAM);
  LRESULT HandleHostMessage(UINT msg, WPARAM wp, LPARAM lp);
  void CreateListBox();
  void DrawItem(const DRAWITEMSTRUCT& dis);
  void DrawThumbnail(HDC dc, TThumbnail& item, const Rect& area);
  bool MakeBitmap(TThumbnail& item, Size area);
  // Drops the bitmaps drawn longest ago while more than MostBitmapsHeld are kept.
  void DropOldBitmaps();
  void OnHostSize(int width, int height);
  void ApplyThumbnailSize();
  int CaptionHeight(HDC dc) const;

  Size ItemPictureArea();
  void PaintPlaceholder(const DRAWITEMSTRUCT& dis);

  HWND host_ = nullptr;
  HWND list_ = nullptr;
  HBRUSH background_ = nullptr;
  bool destroying_ = false;
  int id_ = 0;
  TThumbnails thumbnails_;
  bool multiSelect_ = true;
  bool showCaption_ = true;
  bool showSelection_ = false;
  bool buffered_ = true;
  int thumbnailSize_ = 64;
  TThumbnailOrientation orientation_ = TThumbnailOrientation::toVertical;
  COLORREF color_ = RGB(255, 255, 255);
  HFONT font_ = nullptr;
  int decodes_ = 0;
  int updating_ = 0;
  int mostHeld_ = kMostBitmapsHeld;
  int madeSinceSweep_ = 0;
  uint64_t drawClock_ = 0;
};

}  // namespace prismora::thumbnails
