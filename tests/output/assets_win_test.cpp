// The wizard pictures as drawn for the installer: any picture becomes exactly the size of
// its slot; and the licence text on disk.
#include <windows.h>

#include <gtest/gtest.h>

#include "builder/output/assets.h"
#include "builder/output/assets_win.h"
#include "builder/photos/bmp.h"
#include "builder/photos/jpeg.h"
#include "platform/win32/win32_seams.h"
#include "tests/support/temp_folder.h"

using namespace prismora;
using testsupport::TempFolder;

namespace {
constexpr uint32_t kRed = 0x000000FF, kBlue = 0x00FF0000;

photos::PixelImage Stretched(const photos::PictureDrawer& draw, int w, int h) {
  photos::PixelImage img;
  std::string error;
  EXPECT_TRUE(output::StretchedPicture(draw, w, h, img, error)) << error;
  return img;
}

// A picture held the way the window holds one: a DIB, left half red, right half blue.
struct HalfAndHalf {
  photos::DibSurface surface;
  HalfAndHalf(int w, int h) : surface(w, h) {
    photos::Fill(surface.Pixels(), kRed);
    photos::PixelView right = surface.Pixels();
    right.pixels += (w / 2) * 3;
    right.width = w - w / 2;
    photos::Fill(right, kBlue);
  }
  photos::PictureDrawer Drawer() {
    return [this](HDC dc, const RECT& r) {
      StretchBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, surface.Dc(), 0, 0,
                 surface.Width(), surface.Height(), SRCCOPY);
    };
  }
};
}  // namespace

TEST(WizardImages, AnyPictureIsSqueezedToTheSlotsSize) {
  HalfAndHalf photo(640, 480), small(300, 100);
  photos::PixelImage wizard = Stretched(photo.Drawer(), output::kWizardImageWidth, output::kWizardImageHeight);
  ASSERT_EQ(wizard.Width(), 164);
  ASSERT_EQ(wizard.Height(), 314);
  EXPECT_EQ(wizard.View().At(0, 0), kRed);
  EXPECT_EQ(wizard.View().At(81, 313), kRed);
  EXPECT_EQ(wizard.View().At(82, 0), kBlue);
  EXPECT_EQ(wizard.View().At(163, 313), kBlue);
  photos::PixelImage tiny = Stretched(small.Drawer(), 55, 55);
  ASSERT_EQ(tiny.Width(), 55);
  ASSERT_EQ(tiny.Height(), 55);
  EXPECT_EQ(tiny.View().At(0, 54), kRed);
  EXPECT_EQ(tiny.View().At(54, 0), kBlue);
}

TEST(WizardImages, BuiltInBitmapsAreStretchedFromTheirHandle) {
  // A 16-colour-sized default picture given as a plain bitmap handle, already 164 × 314:
  // copied without scaling.
  HDC screen = GetDC(nullptr);
  HBITMAP wizard = CreateCompatibleBitmap(screen, 164, 314);
  HBITMAP small = CreateCompatibleBitmap(screen, 55, 55);
  ReleaseDC(nullptr, screen);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, wizard);
  RECT all{0, 0, 164, 314};
  HBRUSH red = CreateSolidBrush(kRed);
  FillRect(dc, &all, red);
  SetPixel(dc, 10, 20, kBlue);
  SelectObject(dc, small);
  FillRect(dc, &all, red);
  SelectObject(dc, old);
  DeleteDC(dc);
  DeleteObject(red);
  photos::PixelImage img = Stretched(photos::DrawBitmapStretched(wizard), 164, 314);
  EXPECT_EQ(img.View().At(10, 20), kBlue);  // one pixel survives: no scaling happened
  EXPECT_EQ(img.View().At(11, 20), kRed);
  EXPECT_EQ(Stretched(photos::DrawBitmapStretched(small), 55, 55).View().At(30, 30), kRed);
  DeleteObject(wizard);
  DeleteObject(small);
}

TEST(WizardImages, NothingToDrawLeavesAWhitePictureOfTheRightSize) {
  photos::PixelImage img = Stretched(nullptr, 55, 55);
  ASSERT_EQ(img.Width(), 55);
  EXPECT_EQ(img.View().At(27, 27), 0x00FFFFFFu);
}

TEST(LicenseFile, TwoLinesKeepTheirOnlyLineBreak) {
  TempFolder dir;
  platform::Win32FileSystem files;
  ASSERT_TRUE(output::SaveLicenseFile(files, dir.path(), "first\r\nsecond"));
  std::vector<uint8_t> bytes = TempFolder::Read(dir / "license.txt");
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "first\r\nsecond");
}
