// Photo list editing, the single-photo preview and the project in the controls: New
// Project, Open Project and the auto-save at close and start.
#include <shlobj.h>
#include <webp/encode.h>

#include <cstdlib>

#include "builder/project/project_file.h"
#include "tests/support/folder_snapshot.h"
#include "tests/support/jpeg_maker.h"
#include "tests/support/picture_files.h"
#include "tests/window/window_test_support.h"

using namespace prismora;
using namespace prismora::window;
using testsupport::MainWindowTest;
namespace testjpeg = prismora::testjpeg;

namespace {

class Photos : public MainWindowTest {
 protected:
  std::vector<std::string> FileInfo() {
    std::vector<std::string> out;
    for (int id : kFileInfoLabels) out.push_back(Text(id));
    return out;
  }
  // The value labels sit centred in the " File info  " group.
  void ExpectCentred() {
    RECT group = Get<wingui::Control>(GroupBoxFileInfo).Bounds();
    const int gw = group.right - group.left;
    for (int id : kFileInfoLabels) {
      RECT r = Get<wingui::Control>(id).Bounds();
      EXPECT_EQ(r.left - group.left, gw / 2 - (r.right - r.left) / 2) << Text(id);
    }
  }
  uint32_t PreviewPixel(int x, int y) {
    wingui::Surface& s = form->PreviewSurface();
    const uint8_t* p = s.Bits() + y * s.Stride() + x * 3;
    return uint32_t(p[2]) | uint32_t(p[1]) << 8 | uint32_t(p[0]) << 16;
  }
  // Starts the window with one border colour for every photo.
  void StartWithBorder(uint32_t color) {
    Start();
    SendMessageA(Control(CheckBoxRandomColor), BM_SETCHECK, BST_UNCHECKED, 0);
    colors.answer = color;
    Command(ButtonBorderColor, BN_CLICKED);
  }
  void ShowPhoto(int index) {
    form->Strip().SetItemIndex(index);
    Command(ThumbnailList1, LBN_SELCHANGE);
  }
};

}  // namespace

TEST_F(Photos, AddingTheSameFileTwiceCountsTwo) {
  Start();
  const std::string a = Photo("a.bmp");
  AddPhotos({a});
  form->SetPreviewPhotosReady(true);
  AddPhotos({a});
  EXPECT_EQ(form->Strip().Filenames(), (std::vector<std::string>{a, a}));
  EXPECT_EQ(form->PhotoCount(), 2);
  EXPECT_EQ(Text(LabelTotalImages), "Total Images: 2");
  EXPECT_FALSE(form->PreviewPhotosReady());
  // The dialog allows several pictures with a preview pane.
  ASSERT_FALSE(dialogs.asked.empty());
  EXPECT_TRUE(dialogs.asked.back().allowMultiple);
  EXPECT_TRUE(dialogs.asked.back().picturePreview);
  EXPECT_NE(dialogs.asked.back().filter.find("*.jpg"), std::string::npos);
  EXPECT_NE(dialogs.asked.back().filter.find("*.bmp"), std::string::npos);
  EXPECT_NE(dialogs.asked.back().filter.find("PNG Image (*.png)|*.png"), std::string::npos);
  EXPECT_NE(dialogs.asked.back().filter.find("|*.jpg;*.jpeg;*.bmp;*.gif;*.png;*.tif;"), std::string::npos);
  // Cancel adds nothing and keeps the flag.
  form->SetPreviewPhotosReady(true);
  Click(ImagePanelAdd);
  EXPECT_EQ(form->PhotoCount(), 2);
  EXPECT_TRUE(form->PreviewPhotosReady());
}

TEST_F(Photos, RemovingTheSelectedLeavesTheRestWithFileInfoZero) {
  Start();
  const std::string a = Photo("a.bmp", 40, 30), b = Photo("b.bmp"), c = Photo("c.bmp"), d = Photo("d.bmp");
  AddPhotos({a, b, c, d});
  ShowPhoto(0);
  EXPECT_EQ(FileInfo(), (std::vector<std::string>{".bmp", "40", "30", std::to_string(54 + 120 * 30)}));
  ExpectCentred();
  form->Strip().SetSelected(0, false);
  form->Strip().SetSelected(1, true);
  form->Strip().SetSelected(2, true);
  form->SetPreviewPhotosReady(true);
  Command(RemovePhotos1);
  EXPECT_EQ(form->Strip().Filenames(), (std::vector<std::string>{a, d}));
  EXPECT_EQ(form->PhotoCount(), 2);
  EXPECT_EQ(Text(LabelTotalImages), "Total Images: 2");
  EXPECT_EQ(FileInfo(), (std::vector<std::string>{"0", "0", "0", "0"}));
  ExpectCentred();
  EXPECT_FALSE(form->PreviewPhotosReady());
  EXPECT_TRUE(errors.empty());
}

TEST_F(Photos, RemovalWhoseNewCurrentPhotoCannotBeReadStillCountsAndResets) {
  Start();
  const std::string a = Photo("a.bmp", 40, 30), c = Photo("c.bmp");
  const std::string broken = dir / "broken.jpg";
  testsupport::TempFolder::Write(broken, {0xFF, 0xD8, 0xFF, 0x00, 1, 2, 3});
  AddPhotos({a, broken, c});
  ShowPhoto(0);
  ASSERT_EQ(Text(LabelSourceWidthR), "40");
  // The broken photo becomes current when the last one goes.
  form->Strip().SetItemIndex(1);
  form->Strip().SetSelected(0, false);
  form->Strip().SetSelected(2, true);
  Command(RemovePhotos1);
  EXPECT_EQ(errors.size(), 1u) << "the unreadable photo was not reported";
  EXPECT_EQ(form->Strip().Filenames(), (std::vector<std::string>{a, broken}));
  EXPECT_EQ(Text(LabelTotalImages), "Total Images: 2");
  EXPECT_EQ(FileInfo(), (std::vector<std::string>{"0", "0", "0", "0"}));
  ExpectCentred();
}

TEST_F(Photos, CtrlUpAndDownMoveTheCurrentPhotoAndTheProjectFollows) {
  Start();
  const std::string a = Photo("a.bmp"), b = Photo("b.bmp"), c = Photo("c.bmp");
  AddPhotos({a, b, c});
  ShowPhoto(2);
  form->Strip().SetFocus();
  form->SetPreviewPhotosReady(true);
  auto ctrl = [](bool down) {
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_CONTROL] = down ? 0x80 : 0;
    SetKeyboardState(keys);
  };
  ctrl(true);
  PressKey(VK_UP);
  EXPECT_EQ(form->Strip().Filenames(), (std::vector<std::string>{a, c, b}));
  EXPECT_EQ(form->Strip().ItemIndex(), 1);
  EXPECT_FALSE(form->PreviewPhotosReady());
  PressKey(VK_UP);
  PressKey(VK_UP);  // already first: nothing moves
  EXPECT_EQ(form->Strip().Filenames(), (std::vector<std::string>{c, a, b}));
  PressKey(VK_DOWN);
  EXPECT_EQ(form->Strip().Filenames(), (std::vector<std::string>{a, c, b}));
  EXPECT_EQ(form->ReadSettings().Photos, (std::vector<std::string>{a, c, b}));
  ctrl(false);
  PressKey(VK_UP);  // a plain arrow only moves through the list
  EXPECT_EQ(form->Strip().Filenames(), (std::vector<std::string>{a, c, b}));
  EXPECT_EQ(form->PhotoCount(), 3);
  EXPECT_TRUE(errors.empty());
}

TEST_F(Photos, DeleteKeyRemovesOnlyWhenTheStripHasTheFocus) {
  Start();
  AddPhotos({Photo("a.bmp"), Photo("b.bmp")});
  form->Strip().SetSelected(1, true);
  SetFocus(Control(ComboBoxResizeMetod));
  PressKey(VK_DELETE);
  EXPECT_EQ(form->PhotoCount(), 2);
  form->Strip().SetFocus();
  form->Strip().SetSelected(1, true);
  PressKey(VK_DELETE);
  EXPECT_EQ(form->PhotoCount(), 1);
  EXPECT_EQ(form->Strip().Count(), 1);
}

TEST_F(Photos, RemoveAllAndRemovingTheLastClearThePreview) {
  Start();
  AddPhotos({Photo("a.bmp", 20, 20, 0x0000FF00), Photo("b.bmp")});
  ShowPhoto(0);
  Command(RemoveAll1);
  EXPECT_EQ(form->PhotoCount(), 0);
  EXPECT_EQ(form->Strip().Count(), 0);
  EXPECT_EQ(Text(LabelTotalImages), "Total Images: 0");
  EXPECT_EQ(FileInfo(), (std::vector<std::string>{"0", "0", "0", "0"}));
  EXPECT_NE(PreviewPixel(128, 128), 0x0000FF00u);
  AddPhotos({Photo("c.bmp", 20, 20, 0x0000FF00)});
  ShowPhoto(0);
  EXPECT_EQ(PreviewPixel(128, 128), 0x0000FF00u);
  form->Strip().SetSelected(0, true);
  Click(ImagePanelRemove);
  EXPECT_EQ(form->PhotoCount(), 0);
  EXPECT_NE(PreviewPixel(128, 128), 0x0000FF00u);
}

TEST_F(Photos, BorderFittingOfA400By300Photo) {
  StartWithBorder(0x000000FF);  // red
  AddPhotos({Photo("wide.bmp", 400, 300, 0x0000C000)});
  ShowPhoto(0);
  // Rectangle 0, 32, 256, 224: bands above and below in the border colour.
  EXPECT_EQ(PreviewPixel(128, 31), 0x000000FFu);
  EXPECT_EQ(PreviewPixel(128, 32), 0x0000C000u);
  EXPECT_EQ(PreviewPixel(0, 100), 0x0000C000u);
  EXPECT_EQ(PreviewPixel(255, 223), 0x0000C000u);
  EXPECT_EQ(PreviewPixel(128, 224), 0x000000FFu);
  EXPECT_EQ(Text(LabelSourceWidthR), "400");
  EXPECT_EQ(Text(LabelSourceHeightR), "300");
  // "Resize Pictures " covers the whole square.
  SelectItem(ComboBoxResizeMetod, 0);
  EXPECT_EQ(PreviewPixel(128, 5), 0x0000C000u);
  EXPECT_EQ(PreviewPixel(128, 250), 0x0000C000u);
}

TEST_F(Photos, TiffPhotoShowsInThePreviewWithItsSize) {
  StartWithBorder(0x000000FF);
  const std::string tiff = dir / "tall.tif";
  testsupport::TempFolder::Write(tiff, testsupport::SolidTiff(300, 400, 0, 0xC0, 0));
  AddPhotos({tiff});
  ShowPhoto(0);
  // Portrait: bands left and right (32, 0, 224, 256), the photo between them from the
  // first row to the last.
  EXPECT_EQ(PreviewPixel(31, 128), 0x000000FFu);
  EXPECT_EQ(PreviewPixel(32, 128), 0x0000C000u);
  EXPECT_EQ(PreviewPixel(223, 0), 0x0000C000u);
  EXPECT_EQ(PreviewPixel(100, 255), 0x0000C000u);
  EXPECT_EQ(PreviewPixel(224, 128), 0x000000FFu);
  EXPECT_EQ(Text(LabelSourceWidthR), "300");
  EXPECT_EQ(Text(LabelSourceHeightR), "400");
}

TEST_F(Photos, CameraPhotoHeldSidewaysShowsUpright) {
  StartWithBorder(0x00FF00FF);  // magenta
  // Stored 400 x 300, green left and blue right, taken with the camera turned a quarter
  // clockwise: upright it is 300 x 400, green above blue.
  const std::string photo = dir / "portrait.jpg";
  const auto halves = [](int x, int) {
    return x < 200 ? testjpeg::Rgb{0, 192, 0} : testjpeg::Rgb{0, 0, 255};
  };
  testsupport::TempFolder::Write(
      photo, testjpeg::WithOrientation(testjpeg::MakeJpeg(400, 300, halves), 6));
  AddPhotos({photo});
  ShowPhoto(0);
  EXPECT_EQ(PreviewPixel(31, 128), 0x00FF00FFu);  // portrait: bands left and right
  EXPECT_EQ(PreviewPixel(224, 128), 0x00FF00FFu);
  auto similar = [](uint32_t got, uint32_t want) {
    for (int shift : {0, 8, 16}) {
      if (std::abs(int(got >> shift & 255) - int(want >> shift & 255)) > 40) return false;
    }
    return true;
  };
  EXPECT_TRUE(similar(PreviewPixel(128, 40), 0x0000C000u)) << std::hex << PreviewPixel(128, 40);
  EXPECT_TRUE(similar(PreviewPixel(128, 216), 0x00FF0000u)) << std::hex << PreviewPixel(128, 216);
  EXPECT_EQ(Text(LabelSourceWidthR), "300");
  EXPECT_EQ(Text(LabelSourceHeightR), "400");
}

TEST_F(Photos, TransparentPartsOfAPhotoShowItsRandomBorderColour) {
  Start();
  ASSERT_TRUE(Get<wingui::CheckBox>(CheckBoxRandomColor).Checked());
  // 400 x 300, left half transparent, right half opaque green (libwebp's own encoder).
  std::vector<uint8_t> bgra;
  for (int y = 0; y < 300; ++y)
    for (int x = 0; x < 400; ++x) bgra.insert(bgra.end(), {0, 0xC0, 0, uint8_t(x < 200 ? 0 : 255)});
  uint8_t* encoded = nullptr;
  const size_t size = WebPEncodeLosslessBGRA(bgra.data(), 400, 300, 400 * 4, &encoded);
  ASSERT_GT(size, 0u);
  testsupport::TempFolder::Write(dir / "half.webp", std::vector<uint8_t>(encoded, encoded + size));
  WebPFree(encoded);
  AddPhotos({dir / "half.webp"});
  // The sequence's first two colours, one per showing: the band and the transparent half
  // alike.
  for (uint32_t color : {346u, 130u}) {
    ShowPhoto(0);
    EXPECT_EQ(PreviewPixel(64, 10), color);    // band
    EXPECT_EQ(PreviewPixel(64, 128), color);   // transparent half
    EXPECT_EQ(PreviewPixel(192, 128), 0x0000C000u);
  }
  EXPECT_EQ(Text(LabelFormatR), ".webp");
  EXPECT_EQ(Text(LabelSourceWidthR), "400");
}

// Made before this test by heif-enc (tests/photos/make_heif_photos.sh): stored 64 x 96 on
// its side with a quarter turn in its irot box; upright 96 x 64, red left, blue right.
TEST_F(Photos, AHeicPhotoFromAPhoneShowsUprightWithItsFileInfo) {
  const char* made = std::getenv("PRISMORA_HEIF_PHOTOS");
  ASSERT_NE(made, nullptr) << "PRISMORA_HEIF_PHOTOS must name the folder of the made photos (ctest sets it)";
  StartWithBorder(0x00FF00FF);  // magenta
  AddPhotos({(made[0] == '/' ? "Z:" : "") + std::string(made) + "\\heic.heic"});
  ShowPhoto(0);
  auto similar = [](uint32_t got, uint32_t want) {
    for (int shift : {0, 8, 16})
      if (std::abs(int(got >> shift & 255) - int(want >> shift & 255)) > 24) return false;
    return true;
  };
  EXPECT_EQ(PreviewPixel(128, 10), 0x00FF00FFu);  // landscape: bands above and below
  EXPECT_TRUE(similar(PreviewPixel(64, 128), 0x001E1EC8u)) << std::hex << PreviewPixel(64, 128);
  EXPECT_TRUE(similar(PreviewPixel(192, 128), 0x00C81E1Eu)) << std::hex << PreviewPixel(192, 128);
  EXPECT_EQ(Text(LabelFormatR), ".heic");
  EXPECT_EQ(Text(LabelSourceWidthR), "96");
  EXPECT_EQ(Text(LabelSourceHeightR), "64");
}

TEST_F(Photos, RandomBorderColoursFollowTheSequenceFromSeedOne) {
  Start();
  ASSERT_TRUE(Get<wingui::CheckBox>(CheckBoxRandomColor).Checked());
  AddPhotos({Photo("wide.bmp", 400, 300, 0x0000C000)});
  const uint32_t expected[] = {346, 130, 10982, 1090};
  for (uint32_t color : expected) {
    ShowPhoto(0);
    EXPECT_EQ(PreviewPixel(10, 5), color);
  }
  // Turning the check box off restores the chosen border colour for the next photo.
  SendMessageA(Control(CheckBoxRandomColor), BM_SETCHECK, BST_UNCHECKED, 0);
  Command(CheckBoxRandomColor, BN_CLICKED);
  ShowPhoto(0);
  EXPECT_EQ(PreviewPixel(10, 5), 0u);  // black, the first-start border colour
}

TEST_F(Photos, ResizePicturesDisablesRandomColourAndTheBorderButton) {
  Start();
  EXPECT_TRUE(IsWindowEnabled(Control(CheckBoxRandomColor)));
  EXPECT_TRUE(IsWindowEnabled(Control(ButtonBorderColor)));
  form->SetPreviewPhotosReady(true);
  SelectItem(ComboBoxResizeMetod, 0);
  EXPECT_EQ(Get<wingui::ComboBox>(ComboBoxResizeMetod).Item(0), "Resize Pictures ");
  EXPECT_FALSE(IsWindowEnabled(Control(CheckBoxRandomColor)));
  EXPECT_FALSE(IsWindowEnabled(Control(ButtonBorderColor)));
  EXPECT_TRUE(IsWindowVisible(Control(PanelBorderColor)));
  EXPECT_FALSE(form->PreviewPhotosReady());
  SelectItem(ComboBoxResizeMetod, 1);
  EXPECT_TRUE(IsWindowEnabled(Control(CheckBoxRandomColor)));
  EXPECT_TRUE(IsWindowEnabled(Control(ButtonBorderColor)));
}

TEST_F(Photos, NewProjectKeepsTemplateFittingAndColoursButEmptiesTheTexts) {
  Start();
  SetWindowTextA(Control(EditTitle), "Flowers");
  SetWindowTextA(Control(EditAutor), "Jo");
  SetWindowTextA(Control(EditEmail), "jo@example.com");
  SetWindowTextA(Control(EditWebsite), "http://example.com");
  SetWindowTextA(Control(MemoLicenseAgreement), "Terms");
  SelectItem(ComboBoxScreensaverTemplate, 3);
  SelectItem(ComboBoxResizeMetod, 0);
  colors.answer = 0x00102030;
  Command(ButtonSelectColor, BN_CLICKED);
  AddPhotos({Photo("a.bmp"), Photo("b.bmp")});
  Command(PunltMenuNewProject);
  const project::ProjectSettings s = form->ReadSettings();
  EXPECT_EQ(s.Title, "");
  EXPECT_EQ(s.Author, "");
  EXPECT_EQ(s.Email, "");
  EXPECT_EQ(s.Website, "");
  EXPECT_EQ(s.LicenseText, "");
  EXPECT_TRUE(s.LicenseEnabled);
  EXPECT_EQ(s.WizardImageFile, "WizModernImage.bmp");
  EXPECT_EQ(s.TemplateIndex, 3);
  EXPECT_EQ(s.ResizeMethod, 0);
  EXPECT_EQ(s.DialogBoxColor, 0x00102030u);
  EXPECT_EQ(s.BorderColor, 0u);
  EXPECT_TRUE(s.Photos.empty());
  EXPECT_EQ(Text(LabelTotalImages), "Total Images: 0");
}

TEST_F(Photos, OpeningAProjectReplacesTheList) {
  Start();
  AddPhotos({Photo("old.bmp")});
  project::ProjectSettings saved = project::FirstStartSettings();
  saved.Title = "Beach";
  saved.TemplateIndex = 4;
  saved.BorderColor = 0x00445566;
  saved.Photos = {dir / "x.jpg", dir / "y.jpg"};
  const std::string path = dir / "beach.pmj";
  ASSERT_TRUE(project::SaveProjectFile(path, saved, files).written);
  dialogs.opens.push_back({path});
  Command(PunltMenuOpen);
  EXPECT_EQ(form->Strip().Filenames(), saved.Photos);
  EXPECT_EQ(form->PhotoCount(), 2);
  EXPECT_EQ(Text(LabelTotalImages), "Total Images: 2");
  EXPECT_EQ(Text(EditTitle), "Beach");
  EXPECT_EQ(Get<wingui::ComboBox>(ComboBoxScreensaverTemplate).ItemIndex(), 4);
  EXPECT_EQ(Get<wingui::Panel>(PanelBorderColor).Color(), 0x00445566u);
  // Cancel changes nothing.
  Command(PunltMenuOpen);
  EXPECT_EQ(form->PhotoCount(), 2);
}

TEST_F(Photos, SaveProjectProposesTheTitle) {
  Start();
  SetWindowTextA(Control(EditTitle), "Untitled Screen Saver");
  dialogs.saves.push_back(dir / "saved.pmj");
  Command(PunltMenuSave);
  ASSERT_FALSE(dialogs.asked.empty());
  EXPECT_EQ(dialogs.asked.back().initialName, "Untitled Screen Saver");
  EXPECT_EQ(dialogs.asked.back().defaultExt, "pmj");
  EXPECT_EQ(testsupport::TempFolder::Read(dir / "saved.pmj").size(), project::record::kSize);
}

TEST_F(Photos, ClosingWritesTheAutoSaveAndTheNextStartShowsTheSameProject) {
  struct Route {
    const char* name;
    std::function<void(MainWindowTest&, HWND)> close;
  };
  const std::string photo = Photo("kept.bmp");
  int round = 0;
  for (auto close : {+[](HWND w) { SendMessageA(w, WM_COMMAND, PunltMenuExit, 0); },
                     +[](HWND w) { SendMessageA(w, WM_SYSCOMMAND, SC_CLOSE, 0); },
                     +[](HWND w) { PostMessageA(w, WM_CLOSE, 0, 0); }}) {
    const std::string title = "Closed by route " + std::to_string(++round);
    Start();
    SetWindowTextA(Control(EditTitle), title.c_str());
    AddPhotos({photo});
    SelectItem(ComboBoxScreensaverTemplate, round);
    HWND w = form->Handle();
    close(w);
    testsupport::Pump();
    EXPECT_FALSE(IsWindow(w)) << title;
    EXPECT_EQ(testsupport::TempFolder::Read(dir / "AutoSave.pmj").size(), project::record::kSize) << title;
    form.reset();
    Start();
    EXPECT_EQ(Text(EditTitle), title);
    EXPECT_EQ(form->Strip().Filenames(), std::vector<std::string>{photo});
    EXPECT_EQ(Text(LabelTotalImages), "Total Images: 1");
    EXPECT_EQ(Get<wingui::ComboBox>(ComboBoxScreensaverTemplate).ItemIndex(), round);
    form.reset();
    DeleteFileA((dir / "AutoSave.pmj").c_str());
  }
}

// The builder of an earlier version kept its auto-save in its program folder. With the real
// user folder of this prefix empty, the first start takes it over (copies it: the program
// folder is read-only to a standard user) and shows that project; from then on the user's
// own auto-save counts, and the old file is never read again.
TEST_F(Photos, AnAutoSaveInTheProgramFolderIsTakenOverOnceIntoTheUserFolder) {
  programFolder = dir / "program\\";
  CreateDirectoryA(programFolder.c_str(), nullptr);
  userFolder = testsupport::EmptiedRealUserFolder();
  ASSERT_FALSE(userFolder.empty());
  project::ProjectSettings old = project::FirstStartSettings();
  old.Title = "Left by the old builder";
  old.Photos = {Photo("old.bmp")};
  testsupport::TempFolder::Write(programFolder + "AutoSave.pmj", project::EncodeProjectRecord(old).bytes);
  const std::vector<uint8_t> oldBytes = testsupport::TempFolder::Read(programFolder + "AutoSave.pmj");

  Start();
  EXPECT_EQ(Text(EditTitle), old.Title);
  EXPECT_EQ(form->Strip().Filenames(), old.Photos);
  EXPECT_EQ(testsupport::TempFolder::Read(userFolder + "AutoSave.pmj"), oldBytes);
  SetWindowTextA(Control(EditTitle), "The user's own");
  PostMessageA(form->Handle(), WM_CLOSE, 0, 0);
  testsupport::Pump();
  form.reset();
  EXPECT_EQ(testsupport::TempFolder::Read(programFolder + "AutoSave.pmj"), oldBytes) << "the old one was written";

  Start();
  EXPECT_EQ(Text(EditTitle), "The user's own");
  form.reset();
  testsupport::EmptiedRealUserFolder();
}

TEST_F(Photos, FiveThousandPhotosComeBackWholeAfterTheAutoSave) {
  // A screenful of real photos first, then names of a camera's folder (not on disk: the
  // strip reads only what it shows, and the project keeps what it was given).
  std::vector<std::string> photos;
  for (int i = 0; i < 8; ++i) photos.push_back(Photo("shown" + std::to_string(i) + ".bmp", 30 + i, 40));
  for (int i = int(photos.size()); i < 5000; ++i)
    photos.push_back("C:\\Users\\Anna\\Pictures\\2024 Holiday in the Mountains\\IMG_" + std::to_string(10000 + i) +
                     ".JPG");
  Start();
  form->AddDroppedPhotos(photos);
  ASSERT_EQ(form->Strip().Count(), 5000);
  PostMessageA(form->Handle(), WM_CLOSE, 0, 0);
  testsupport::Pump();
  EXPECT_TRUE(boxes.shown.empty());  // nothing was left out
  form.reset();

  Start();
  EXPECT_EQ(form->Strip().Filenames(), photos);
  EXPECT_EQ(form->PhotoCount(), 5000);
  EXPECT_EQ(Text(LabelTotalImages), "Total Images: 5000");
  // Opening read the photos of the first screen only.
  EXPECT_LE(form->Strip().DecodeCount(), 393 / form->Strip().ThumbnailSize() + 1);
  EXPECT_TRUE(form->Strip().HasBitmap(0));
  EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(Photos, FirstStartWithoutAutoSave) {
  Start();
  const project::ProjectSettings s = form->ReadSettings();
  EXPECT_EQ(s.Title, "Untitled Screen Saver");
  EXPECT_EQ(s.TemplateIndex, 0);
  EXPECT_EQ(Get<wingui::ComboBox>(ComboBoxScreensaverTemplate).Item(0), "\"16 cubes\"");
  EXPECT_EQ(s.ResizeMethod, 1);
  EXPECT_EQ(s.BorderColor, 0u);
  EXPECT_EQ(s.DialogBoxColor, 0x00FF00FFu);
  EXPECT_TRUE(s.RandomColor);
  EXPECT_TRUE(s.LicenseEnabled);
  EXPECT_EQ(s.LicenseText, "");
  EXPECT_FALSE(IsWindowVisible(Control(CheckBoxErBack)));
}

// Files and folders dropped onto the window arrive as the platform sends them: a
// WM_DROPFILES message with a DROPFILES block.
TEST_F(Photos, DroppedFilesAndFoldersAreAddedLikeAddPhotos) {
  Start();
  const std::string loose = Photo("loose.bmp");
  const std::string trip = dir / "Trip";
  CreateDirectoryA(trip.c_str(), nullptr);
  testsupport::WriteBitmap(trip + "\\b.bmp", 40, 30, 0x000000FF);
  testsupport::WriteBitmap(trip + "\\A.bmp", 40, 30, 0x0000FF00);
  testsupport::TempFolder::Write(trip + "\\notes.txt", {'h', 'i'});
  testsupport::TempFolder::Write(dir / "readme.txt", {'h', 'i'});

  std::string list;
  for (const std::string& p : {loose, trip, dir / "readme.txt"}) list += p + '\0';
  list += '\0';
  HGLOBAL block = GlobalAlloc(GHND, sizeof(DROPFILES) + list.size());
  auto* drop = static_cast<DROPFILES*>(GlobalLock(block));
  drop->pFiles = sizeof(DROPFILES);
  drop->fWide = FALSE;
  memcpy(reinterpret_cast<char*>(drop) + sizeof(DROPFILES), list.data(), list.size());
  GlobalUnlock(block);
  form->SetPreviewPhotosReady(true);
  SendMessageA(form->Handle(), WM_DROPFILES, WPARAM(block), 0);  // the window frees it

  EXPECT_EQ(form->Strip().Filenames(), (std::vector<std::string>{loose, trip + "\\A.bmp", trip + "\\b.bmp"}));
  EXPECT_EQ(form->PhotoCount(), 3);
  EXPECT_EQ(Text(LabelTotalImages), "Total Images: 3");
  EXPECT_FALSE(form->PreviewPhotosReady());
  EXPECT_NE(GetWindowLongPtrA(form->Handle(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES, 0);
}
