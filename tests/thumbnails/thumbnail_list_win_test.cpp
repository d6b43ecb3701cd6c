#include "builder/thumbnails/thumbnail_list.h"

#include <gtest/gtest.h>
#include <webp/encode.h>

#include "tests/support/picture_files.h"
#include "tests/support/pump.h"
#include "tests/support/temp_folder.h"
#include "tests/support/gif_maker.h"
#include "tests/support/jpeg_maker.h"

using namespace prismora::thumbnails;
using prismora::testsupport::Pump;
using prismora::testsupport::TempFolder;

namespace {

constexpr int kStripId = 77;

// A plain top-level window that records the commands its children send.
struct Parent {
  HWND hwnd = nullptr;
  std::vector<std::pair<int, int>> commands;  // id, code

  static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
    auto* self = reinterpret_cast<Parent*>(GetWindowLongPtrA(h, GWLP_USERDATA));
    if (m == WM_COMMAND && self) self->commands.emplace_back(LOWORD(w), HIWORD(w));
    return DefWindowProcA(h, m, w, l);
  }
  Parent() {
    static ATOM atom = [] {
      WNDCLASSA wc{};
      wc.lpfnWndProc = Proc;
      wc.hInstance = GetModuleHandleA(nullptr);
      wc.lpszClassName = "StripTestParent";
      wc.hbrBackground = HBRUSH(COLOR_BTNFACE + 1);
      return RegisterClassA(&wc);
    }();
    (void)atom;
    hwnd = CreateWindowA("StripTestParent", "strip", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 400,
                         500, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  ~Parent() { DestroyWindow(hwnd); }
};

// Draws one item into a bitmap through the control's own draw handler and keeps the
// pixels for inspection.
struct DrawnItem {
  int width, height;
  std::vector<uint32_t> pixels;  // 0x00RRGGBB
  int captionHeight = 0;
  uint32_t At(int x, int y) const { return pixels[std::size_t(y * width + x)] & 0xFFFFFF; }
};

DrawnItem DrawThroughControl(TThumbnailList& strip, int index, int width, int height, UINT state = 0) {
  DrawnItem out{width, height, {}};
  BITMAPINFO bi{};
  bi.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  uint32_t* bits = nullptr;
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bmp = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), nullptr, 0);
  HGDIOBJ old = SelectObject(dc, bmp);
  DRAWITEMSTRUCT dis{};
  dis.CtlType = ODT_LISTBOX;
  dis.CtlID = 1;
  dis.itemID = UINT(index);
  dis.itemAction = ODA_DRAWENTIRE;
  dis.itemState = state;
  dis.hwndItem = strip.ListBox();
  dis.hDC = dc;
  dis.rcItem = {0, 0, width, height};
  SendMessageA(strip.Handle(), WM_DRAWITEM, 1, reinterpret_cast<LPARAM>(&dis));
  GdiFlush();
  out.pixels.assign(bits, bits + width * height);
  SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
  SIZE s{};
  GetTextExtentPoint32A(dc, "gh", 2, &s);
  out.captionHeight = int(s.cy);
  SelectObject(dc, old);
  DeleteObject(bmp);
  DeleteDC(dc);
  return out;
}

bool IsRed(uint32_t c) { return (c >> 16 & 255) > 200 && (c >> 8 & 255) < 60 && (c & 255) < 60; }

std::vector<uint8_t> RedPhoto(int w, int h) { return prismora::testjpeg::SolidJpeg(w, h, {255, 0, 0}); }

}  // namespace

// The strip at the main window's place, with a folder for its photos.
class StandardStrip : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(strip.Create(parent.hwnd, RECT{8, 24, 145, 417}, kStripId));
  }
  TempFolder dir;
  Parent parent;
  TThumbnailList strip;
};

TEST_F(StandardStrip, ScalingExampleDraws62By47Placed35PixelsRight) {
  TempFolder::Write(dir / "red.jpg", RedPhoto(640, 480));
  strip.AddFile(dir / "red.jpg");
  DrawnItem item = DrawThroughControl(strip, 0, 137, 64);

  // The picture area is the item less 2 pixels each side and the caption line.
  Rect area = LayoutItem({0, 0, 137, 64}, item.captionHeight).pictureArea;
  Rect expected = PlacePicture(area, {640, 480});
  if (item.captionHeight == 13) {
    EXPECT_EQ(expected.width(), 62);
    EXPECT_EQ(expected.height(), 47);
    EXPECT_EQ(expected.left - area.left, 35);
  }
  int y = (expected.top + expected.bottom) / 2;
  EXPECT_FALSE(IsRed(item.At(expected.left - 1, y)));
  EXPECT_TRUE(IsRed(item.At(expected.left, y)));
  EXPECT_TRUE(IsRed(item.At(expected.right - 1, y)));
  EXPECT_FALSE(IsRed(item.At(expected.right, y)));
  EXPECT_TRUE(IsRed(item.At(expected.left + 5, expected.top)));
  EXPECT_FALSE(IsRed(item.At(expected.left + 5, expected.bottom)));

  // Only a bitmap of the drawn size is kept.
  ASSERT_TRUE(strip.HasBitmap(0));
  EXPECT_EQ(strip.CacheAt(0).bitmapSize, (Size{expected.width(), expected.height()}));
  EXPECT_EQ(strip.CacheAt(0).fullSize, (Size{640, 480}));
}

// A photo declaring a size no decoder can afford is an empty frame, as an unreadable one
// is; the photo after it gets its thumbnail.
TEST_F(StandardStrip, PhotosTooLargeToDecodeStayEmptyFrames) {
  namespace testjpeg = prismora::testjpeg;
  TempFolder::Write(dir / "progressive.jpg", testjpeg::DeclaringSize(65500, 65500, true));
  TempFolder::Write(dir / "sequential.jpg", testjpeg::DeclaringSize(30000, 30000, false));
  TempFolder::Write(dir / "screen.gif", prismora::testgif::MakeGif(65535, 65535, {{0, 0, 4, 4, 10, 0, false, 1}}));
  TempFolder::Write(dir / "red.jpg", RedPhoto(64, 48));
  for (const char* name : {"progressive.jpg", "sequential.jpg", "screen.gif", "red.jpg"})
    strip.AddFile(dir / name);
  for (int i = 0; i < 4; ++i) {
    DrawnItem item = DrawThroughControl(strip, i, 137, 64);
    Rect area = LayoutItem({0, 0, 137, 64}, item.captionHeight).pictureArea;
    const bool red = IsRed(item.At((area.left + area.right) / 2, (area.top + area.bottom) / 2));
    EXPECT_EQ(red, i == 3) << i;
    EXPECT_EQ(strip.HasBitmap(i), i == 3) << i;
  }
}

TEST_F(StandardStrip, TiffAndPngPhotosGetThumbnailsToo) {
  TempFolder::Write(dir / "red.tif", prismora::testsupport::SolidTiff(200, 100, 255, 0, 0));
  TempFolder::Write(dir / "red.png", prismora::testsupport::SolidPng(90, 120, 255, 0, 0));
  strip.AddFile(dir / "red.tif");
  strip.AddFile(dir / "red.png");
  const Size full[] = {{200, 100}, {90, 120}};
  for (int i = 0; i < 2; ++i) {
    DrawnItem item = DrawThroughControl(strip, i, 137, 64);
    Rect area = LayoutItem({0, 0, 137, 64}, item.captionHeight).pictureArea;
    Rect placed = PlacePicture(area, full[i]);
    EXPECT_TRUE(IsRed(item.At((placed.left + placed.right) / 2, (placed.top + placed.bottom) / 2))) << i;
    EXPECT_FALSE(IsRed(item.At(placed.left - 1, placed.top))) << i;
    EXPECT_EQ(strip.CacheAt(i).fullSize, full[i]) << i;
  }
}

// WebP and CMYK JPEG photos through the builder's own readers; a WebP declaring a giant
// stays an empty frame rather than going to the platform's decoder.
TEST_F(StandardStrip, WebpAndCmykJpegPhotosGetThumbnailsAndAGiantWebpNone) {
  std::vector<uint8_t> bgr;
  for (int i = 0; i < 160 * 120; ++i) bgr.insert(bgr.end(), {0, 0, 255});
  uint8_t* encoded = nullptr;
  const size_t size = WebPEncodeLosslessBGR(bgr.data(), 160, 120, 160 * 3, &encoded);
  ASSERT_GT(size, 25u);
  std::vector<uint8_t> webp(encoded, encoded + size);
  WebPFree(encoded);
  TempFolder::Write(dir / "red.webp", webp);
  // The lossless header's 14-bit sides (after the signature byte at 20) at their largest.
  const uint32_t bits = 16383 | 16383u << 14 | (webp[24] & 0xF0u) << 24;
  for (int i = 0; i < 4; ++i) webp[21 + i] = uint8_t(bits >> (8 * i));
  TempFolder::Write(dir / "giant.webp", webp);
  std::vector<uint8_t> inks;  // magenta and yellow ink, inverted as Adobe's writers store it
  for (int i = 0; i < 120 * 90; ++i) inks.insert(inks.end(), {255, 0, 0, 255});
  TempFolder::Write(dir / "print.jpg", prismora::testjpeg::EncodeSamples(
                                           120, 90, 4, inks, 95, [](jpeg_compress_struct& c) {
                                             c.in_color_space = JCS_CMYK;
                                             jpeg_set_colorspace(&c, JCS_CMYK);
                                           }));
  for (const char* name : {"red.webp", "print.jpg", "giant.webp"}) strip.AddFile(dir / name);
  const Size full[] = {{160, 120}, {120, 90}};
  for (int i = 0; i < 2; ++i) {
    DrawnItem item = DrawThroughControl(strip, i, 137, 64);
    Rect area = LayoutItem({0, 0, 137, 64}, item.captionHeight).pictureArea;
    Rect placed = PlacePicture(area, full[i]);
    EXPECT_TRUE(IsRed(item.At((placed.left + placed.right) / 2, (placed.top + placed.bottom) / 2)))
        << i << " " << std::hex << item.At((placed.left + placed.right) / 2, (placed.top + placed.bottom) / 2);
    EXPECT_EQ(strip.CacheAt(i).fullSize, full[i]) << i;
  }
  DrawThroughControl(strip, 2, 137, 64);
  EXPECT_FALSE(strip.HasBitmap(2));
}

TEST_F(StandardStrip, SmallPicturesKeepTheirSizeCentredAndCaptionsAreCut) {
  TempFolder::Write(dir / "small.bmp", prismora::testsupport::SolidBmp(20, 10, 255, 0, 0));
  const int index = strip.AddFile(dir / "small.bmp");
  strip.SetCaption(index, std::string(200, 'W'));  // far wider than the item: cut with an ellipsis
  DrawnItem item = DrawThroughControl(strip, 0, 137, 64);
  Rect area = LayoutItem({0, 0, 137, 64}, item.captionHeight).pictureArea;
  Rect expected = PlacePicture(area, {20, 10});
  EXPECT_EQ(expected.width(), 20);
  int red = 0;
  for (int yy = 0; yy < 64; ++yy)
    for (int xx = 0; xx < 137; ++xx) red += IsRed(item.At(xx, yy));
  EXPECT_EQ(red, 200);
  EXPECT_TRUE(IsRed(item.At(expected.left, expected.top)));
  // The caption stays inside the item's content.
  for (int yy = area.bottom; yy < 62; ++yy) {
    EXPECT_EQ(item.At(0, yy), 0xFFFFFFu);
    EXPECT_EQ(item.At(136, yy), 0xFFFFFFu);
  }
}

TEST(ThumbnailList, SelectedItemsTakeTheHighlightColourWhenShown) {
  Parent parent;
  TThumbnailList strip;
  TThumbnailListOptions o;
  o.showSelection = true;
  ASSERT_TRUE(strip.Create(parent.hwnd, RECT{8, 24, 145, 417}, kStripId, o));
  strip.AddFile("C:\\nowhere\\a.jpg");
  COLORREF hl = GetSysColor(COLOR_HIGHLIGHT);
  uint32_t highlight = uint32_t(GetRValue(hl)) << 16 | uint32_t(GetGValue(hl)) << 8 | GetBValue(hl);
  EXPECT_EQ(DrawThroughControl(strip, 0, 137, 64, ODS_SELECTED).At(10, 10), highlight);
  strip.SetShowSelection(false);
  EXPECT_EQ(DrawThroughControl(strip, 0, 137, 64, ODS_SELECTED).At(10, 10), 0xFFFFFFu);
}

TEST_F(StandardStrip, PicturesLoadLazilyOnFirstPaintAndFailuresAreRetried) {
  for (int i = 0; i < 30; ++i) TempFolder::Write(dir / ("p" + std::to_string(i) + ".jpg"), RedPhoto(320, 240));
  TempFolder::Write(dir / "broken.jpg", std::vector<uint8_t>(300, 0x11));
  strip.AddFile(dir / "broken.jpg");
  for (int i = 0; i < 30; ++i) strip.AddFile(dir / ("p" + std::to_string(i) + ".jpg"));
  EXPECT_EQ(strip.DecodeCount(), 0);  // adding decodes nothing

  strip.Repaint();
  Pump();
  int visible = 393 / 64 + 1;
  int loaded = 0;
  for (int i = 0; i < strip.Count(); ++i) loaded += strip.HasBitmap(i);
  EXPECT_GT(loaded, 0);
  EXPECT_LE(loaded, visible);
  EXPECT_FALSE(strip.HasBitmap(0));
  EXPECT_FALSE(strip.HasBitmap(30));
  int decodes = strip.DecodeCount();

  strip.Repaint();  // only the broken file is tried again
  Pump();
  EXPECT_EQ(strip.DecodeCount(), decodes + 1);

  strip.SetTopIndex(25);
  strip.Repaint();
  Pump();
  EXPECT_TRUE(strip.HasBitmap(30));
  EXPECT_TRUE(strip.HasBitmap(1));  // kept after scrolling away
}

TEST_F(StandardStrip, ScrollingThroughALongListKeepsOnlyTheBitmapsDrawnLast) {
  EXPECT_EQ(strip.MostBitmapsHeld(), TThumbnailList::kMostBitmapsHeld);
  TempFolder::Write(dir / "red.jpg", RedPhoto(64, 48));
  for (int i = 0; i < 80; ++i) strip.AddFile(dir / "red.jpg");
  strip.SetMostBitmapsHeld(20);
  auto held = [&] {
    int n = 0;
    for (int i = 0; i < strip.Count(); ++i) n += strip.HasBitmap(i);
    return n;
  };
  for (int top = 0; top < 80; top += 3) {
    strip.SetTopIndex(top);
    strip.Repaint();
    Pump();
    ASSERT_LE(held(), 20) << top;
  }
  // The screen at the end of the list is whole; the first photos gave theirs back and get
  // them again when scrolled to.
  const int top = strip.TopIndex();
  for (int i = top; i < 80 && i < top + 6; ++i) EXPECT_TRUE(strip.HasBitmap(i)) << i;
  EXPECT_FALSE(strip.HasBitmap(0));
  const int decodes = strip.DecodeCount();
  EXPECT_GE(decodes, 80);
  strip.SetTopIndex(0);
  strip.Repaint();
  Pump();
  EXPECT_TRUE(strip.HasBitmap(0));
  EXPECT_GT(strip.DecodeCount(), decodes);
  EXPECT_LE(held(), 20);
}

TEST_F(StandardStrip, MovedThumbnailsKeepTheirBitmapsAndBecomeTheSelection) {
  TempFolder::Write(dir / "red.jpg", RedPhoto(64, 48));
  for (const char* name : {"red.jpg", "b.jpg", "c.jpg", "d.jpg"}) strip.AddFile(dir / name);
  DrawThroughControl(strip, 0, 137, 64);
  ASSERT_TRUE(strip.HasBitmap(0));
  strip.SetSelected(1, true);

  strip.Move(0, 2);
  EXPECT_EQ(strip.Filenames(), (std::vector<std::string>{dir / "b.jpg", dir / "c.jpg", dir / "red.jpg", dir / "d.jpg"}));
  EXPECT_TRUE(strip.HasBitmap(2));
  EXPECT_EQ(strip.SelectedIndices(), std::vector<int>{2});
  EXPECT_EQ(strip.ItemIndex(), 2);
  strip.Move(3, 0);
  EXPECT_EQ(strip.Filenames(), (std::vector<std::string>{dir / "d.jpg", dir / "b.jpg", dir / "c.jpg", dir / "red.jpg"}));
  EXPECT_EQ(strip.ItemIndex(), 0);
  EXPECT_THROW(strip.Move(0, 4), std::out_of_range);
  EXPECT_THROW(strip.Move(-1, 0), std::out_of_range);
  EXPECT_EQ(strip.Count(), 4);
}

TEST_F(StandardStrip, PlaceholdersFollowTheThumbnailsFromTheEnd) {
  for (const char* p : {"C:\\a.jpg", "C:\\b.jpg", "C:\\c.jpg"}) strip.AddFile(p);
  EXPECT_EQ(SendMessageA(strip.ListBox(), LB_GETCOUNT, 0, 0), 3);
  strip.SetSelected(0, true);
  strip.SetSelected(1, true);
  strip.Remove(1);
  EXPECT_EQ(SendMessageA(strip.ListBox(), LB_GETCOUNT, 0, 0), 2);
  EXPECT_EQ(strip.Filenames(), (std::vector<std::string>{"C:\\a.jpg", "C:\\c.jpg"}));
  // The last placeholder went, so the marks stayed where they were.
  EXPECT_EQ(strip.SelectedIndices(), (std::vector<int>{0, 1}));
  EXPECT_EQ(strip.FilenameAt(1), "C:\\c.jpg");
  EXPECT_EQ(strip.FilenameAt(2), "");
  EXPECT_THROW(strip.Photos().At(2), std::out_of_range);
  EXPECT_THROW(strip.Remove(2), std::out_of_range);
  strip.Clear();
  EXPECT_EQ(SendMessageA(strip.ListBox(), LB_GETCOUNT, 0, 0), 0);
  EXPECT_EQ(strip.Count(), 0);
  EXPECT_EQ(strip.ItemIndex(), -1);
}

TEST_F(StandardStrip, TellsTheParentAboutClicksKeysAndFocus) {
  for (const char* p : {"C:\\a.jpg", "C:\\b.jpg"}) strip.AddFile(p);
  int clicks = 0, enters = 0;
  std::vector<WORD> keys;
  strip.OnClick = [&] { ++clicks; };
  strip.OnEnter = [&] { ++enters; };
  strip.OnKeyDown = [&](WORD k) {
    keys.push_back(k);
    return false;
  };

  SetForegroundWindow(parent.hwnd);
  strip.SetFocus();
  Pump();
  EXPECT_TRUE(strip.Focused());
  EXPECT_EQ(enters, 1);

  SendMessageA(strip.ListBox(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 64 + 20));
  SendMessageA(strip.ListBox(), WM_LBUTTONUP, 0, MAKELPARAM(20, 64 + 20));
  Pump();
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(strip.SelectedIndices(), (std::vector<int>{1}));
  EXPECT_EQ(strip.ItemIndex(), 1);
  bool told = false;
  for (auto [id, code] : parent.commands) told |= id == kStripId && code == LBN_SELCHANGE;
  EXPECT_TRUE(told);

  SendMessageA(strip.ListBox(), WM_KEYDOWN, VK_DELETE, 0);
  EXPECT_EQ(keys, (std::vector<WORD>{VK_DELETE}));
}
