// The platform-free rules of the main window: layout table, outline, button look and
// the photos page texts.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "builder/window/button_group.h"
#include "builder/window/form_layout.h"
#include "builder/window/photo_info.h"
#include "builder/window/window_shape.h"

using namespace prismora;
using namespace prismora::window;

namespace {
wingui::Rect RectOf(int id) {
  const wingui::ControlRow* s = wingui::FindRow(MainFormLayout(), id);
  EXPECT_NE(s, nullptr) << id;
  return s ? s->rect : wingui::Rect{};
}
bool Inside(const wingui::Rect& inner, const wingui::Rect& outer) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.Right() <= outer.Right() &&
         inner.Bottom() <= outer.Bottom();
}
}  // namespace

TEST(MainFormLayout, ControlsSitWhereTheDesignPutsThem) {
  struct Expect {
    int id;
    wingui::Rect r;
  };
  const Expect expected[] = {
      {PanelLeft, {0, 16, 153, 409}},          {ThumbnailList1, {8, 24, 137, 393}},
      {PanelPlusRemoveEtc, {144, 152, 65, 177}}, {PanelAdd, {152, 160, 49, 49}},
      {PanelRemove, {152, 216, 49, 49}},        {PanelRemoveAll, {152, 272, 49, 49}},
      {ImagePanelAdd, {154, 162, 45, 45}},      {PanelTop, {192, 8, 277, 81}},
      {PanelPhotos, {200, 16, 65, 65}},         {PanelInstallSettings, {265, 16, 65, 65}},
      {PanelTitleAutor, {330, 16, 65, 65}},     {ImagePanelTitleAutor, {334, 20, 56, 56}},
      {PanelCenter, {200, 104, 281, 281}},      {PanelPreview, {208, 112, 265, 265}},
      {ImagePreview, {212, 116, 256, 256}},     {PanelBottom, {272, 392, 145, 84}},
      {PanelPreviewScreensaver, {280, 400, 65, 65}}, {PanelBuild, {344, 400, 65, 65}},
      {PanelRight, {496, 32, 273, 473}},        {PanelRightPhotos, {504, 40, 257, 457}},
      {PanelRightInstall, {504, 40, 257, 457}}, {PanelRightLicense, {504, 40, 257, 457}},
      {PanelKnopki, {600, 0, 75, 28}},          {ImageSmallButt_Svernut, {600, 0, 25, 29}},
      {ImageSmallButt_2, {624, 0, 25, 29}},     {ImageSmallButt_Close, {648, 0, 27, 29}},
      {PanelPeremichka1, {24, 0, 25, 17}},      {PanelPeremichka2, {400, 88, 33, 17}},
      {PanelPeremichka3, {480, 328, 25, 41}},   {PanelPeremichka4, {352, 384, 33, 9}},
      {PanelPeremichka5, {624, 29, 25, 12}},    {PanelPeremichka6, {0, 0, 200, 3}},
      {PanelBorderColor, {692, 246, 49, 49}},   {PanelColorDialogBox, {692, 370, 49, 49}},
      {ImageWizardImageFile, {520, 80, 164, 314}}, {ImageWizModernSmallImage, {690, 80, 55, 55}},
  };
  for (const Expect& e : expected) EXPECT_EQ(RectOf(e.id), e.r) << "control " << e.id;
  // The four edits of the information page are 225 pixels wide.
  for (int id : {EditTitle, EditAutor, EditEmail, EditWebsite}) EXPECT_EQ(RectOf(id).width, 225);
}

TEST(MainFormLayout, ParentsComeFirstAndHoldTheirChildren) {
  std::set<int> seen;
  for (const wingui::ControlRow& s : MainFormLayout()) {
    EXPECT_TRUE(seen.insert(s.id).second) << "duplicate id " << s.id;
    if (s.parent == 0) continue;
    ASSERT_TRUE(seen.count(s.parent)) << s.id << " comes before its parent " << s.parent;
    // Everything inside a page stays inside it; a bridge may overlap its neighbours.
    EXPECT_TRUE(Inside(s.rect, RectOf(s.parent)) || s.parent == PanelPlusRemoveEtc)
        << s.id << " leaves parent " << s.parent;
  }
  for (int panel : kButtonPanels) {
    const int image = ImageOfButtonPanel(panel);
    ASSERT_NE(image, 0);
    EXPECT_EQ(ButtonPanelOfImage(image), panel);
    EXPECT_TRUE(Inside(RectOf(image), RectOf(panel)));
  }
  EXPECT_EQ(ButtonPanelOfImage(ImagePreview), 0);
}

TEST(MainFormLayout, OnlyThePhotosPageStartsVisibleAndPanelPhotosLowered) {
  for (int page : kPages) {
    const bool hidden = wingui::FindRow(MainFormLayout(), page)->flags & wingui::kHidden;
    EXPECT_EQ(hidden, page != PanelRightPhotos);
  }
  for (int panel : kButtonPanels) {
    const bool lowered = wingui::FindRow(MainFormLayout(), panel)->flags & wingui::kInnerLowered;
    EXPECT_EQ(lowered, panel == PanelPhotos);
  }
}

TEST(MainFormLayout, HintsAreTheNamedOnesAndPicturesShowTheirPanels) {
  std::map<int, std::string> own;
  for (const wingui::ControlRow& s : MainFormLayout())
    if (s.hint) own[s.id] = s.hint;
  const std::map<int, std::string> named = {
      {PanelAdd, "Add photos to your screensaver"},
      {PanelRemove, "Remove currently selected photos from the list"},
      {PanelRemoveAll, "clear all the photo list"},
      {PanelPhotos, "Add, remove photos to be played in the final screensaver"},
      {ImagePanelInstallSettings, "self-install options"},
      {PanelTitleAutor, "Edit title,autor, email, website, license agreement of the final screensaver"},
      {PanelPreviewScreensaver, "Preview this screensaver"},
      {PanelBuild, "Build the final self-install screensaver"},
      {ImageWizardImageFileLupa, "Select a picture"},
      {ImageWizardImageFile, "Specifies the bitmap file to display on the left side of the wizard in the Setup program."},
      {ImageWizModernSmallImage, "Specifies the bitmap file to display in the upperright corner of the wizard window."},
  };
  EXPECT_EQ(own, named);
  auto shown = [](int id) {
    const char* hint = wingui::EffectiveHint(MainFormLayout(), *wingui::FindRow(MainFormLayout(), id));
    return std::string(hint ? hint : "");
  };
  // A button picture shows its panel's hint; the small picture's magnifier shows none.
  EXPECT_EQ(shown(ImageBuild), "Build the final self-install screensaver");
  EXPECT_EQ(shown(ImagePanelAdd), "Add photos to your screensaver");
  EXPECT_EQ(shown(ImageWizModernSmallImageLupa), "");
  EXPECT_EQ(shown(LabelWizModernSmallImagebmp), "");
  EXPECT_EQ(shown(EditTitle), "");
}

TEST(MainFormMenu, CaptionsInOrderWithSeparators) {
  std::vector<std::string> captions;
  for (const wingui::MenuRow& m : MainMenu()) captions.push_back(m.caption ? m.caption : "-");
  const std::vector<std::string> expected = {
      "&File", "&New Project", "-", "&Open Project", "&Save Project", "-", "Import Scene...",
      "Remove Imported Template", "-", "Add Photos",
      "Remove Photos", "Remove All", "-", "E&xit", "&Edit", "Edit Photos", "Self-Install options",
      "Information", "-", "Preview Screen Saver", "Build Screen Saver", "&Help",
      "Prismora Builder help", "-", "&About..."};
  EXPECT_EQ(captions, expected);
}

TEST(WindowShape, PiecesWithWineMetrics) {
  const ShapeMetrics m{2, 18, 18};  // Y = 18 + 18 + 3 * 2 = 42
  ASSERT_EQ(m.VerticalOffset(), 42);
  const auto pieces = MainWindowShape(MainFormLayout(), m);
  ASSERT_EQ(pieces.size(), 13u);  // six frames, the menu strip, the title buttons, five bridges
  EXPECT_EQ(pieces[0], (ShapePiece{498, 74, 773, 549, 30}));   // PanelRight
  EXPECT_EQ(pieces[1], (ShapePiece{194, 50, 473, 133, 20}));   // PanelTop
  EXPECT_EQ(pieces[4], (ShapePiece{2, 58, 157, 469, 20}));     // PanelLeft
  EXPECT_EQ(pieces[5], (ShapePiece{146, 194, 213, 373, 0}));   // PanelPlusRemoveEtc
  EXPECT_EQ(pieces[6], (ShapePiece{0, 0, 150, 45, 10}));       // the menu strip
  EXPECT_EQ(pieces[7], (ShapePiece{602, 42, 679, 72, 10}));    // PanelKnopki
  EXPECT_EQ(pieces[8], (ShapePiece{26, 40, 53, 61, 0}));       // first bridge, 2 pixels higher
  EXPECT_EQ(pieces[12], (ShapePiece{626, 71, 653, 85, 0}));    // fifth bridge
  for (const ShapePiece& p : pieces) EXPECT_NE(p, PanelPiece({0, 0, 200, 3}, 0, m)) << "bridge 6 is left out";
}

TEST(WindowShape, OffsetFollowsTheMetrics) {
  const auto a = MainWindowShape(MainFormLayout(), {1, 16, 16});  // Y = 35
  EXPECT_EQ(a[6], (ShapePiece{0, 0, 150, 38, 10}));
  EXPECT_EQ(a[0].top, 32 + 35);
  EXPECT_EQ(a[0].left, 497);
}

TEST(ButtonGroupLook, SelectionAndHoverAreExclusive) {
  ButtonGroupLook look;
  for (size_t i = 0; i < 8; ++i) {
    EXPECT_EQ(look.Inner(i), i == 3 ? BevelLook::Lowered : BevelLook::None);
    EXPECT_EQ(look.Outer(i), BevelLook::None);
  }
  look.Hover(0);
  look.Hover(6);
  look.Select(5);
  for (size_t i = 0; i < 8; ++i) {
    EXPECT_EQ(look.Outer(i), i == 6 ? BevelLook::Raised : BevelLook::None) << i;
    EXPECT_EQ(look.Inner(i), i == 5 ? BevelLook::Lowered : BevelLook::None) << i;
  }
  look.ClearHover();
  for (size_t i = 0; i < 8; ++i) EXPECT_EQ(look.Outer(i), BevelLook::None);
  EXPECT_EQ(look.Inner(5), BevelLook::Lowered);  // the page choice outlives the mouse
}

TEST(PhotoInfo, Texts) {
  EXPECT_EQ(TotalImagesText(0), "Total Images: 0");
  EXPECT_EQ(TotalImagesText(12), "Total Images: 12");
  EXPECT_EQ(FileExtension("C:\\Photos\\beach.jpg"), ".jpg");
  EXPECT_EQ(FileExtension("C:\\Photos\\BEACH.JPEG"), ".JPEG");
  EXPECT_EQ(FileExtension("C:\\my.photos\\beach"), "");  // the dot belongs to the folder
  EXPECT_EQ(FileExtension("C:\\a\\archive.tar.gz"), ".gz");
  EXPECT_EQ(FileExtension("noext"), "");
  const FileInfoValues v = PhotoFileInfo("D:\\x\\p.Bmp", 400, 300, 360054);
  EXPECT_EQ(v.format, ".Bmp");
  EXPECT_EQ(v.width, "400");
  EXPECT_EQ(v.height, "300");
  EXPECT_EQ(v.size, "360054");
}

TEST(PhotoInfo, CentringTruncatesEachHalf) {
  EXPECT_EQ(CentredLeft(241, 7), 120 - 3);
  EXPECT_EQ(CentredLeft(241, 8), 120 - 4);
  EXPECT_EQ(CentredLeft(240, 241), 120 - 120);
  EXPECT_EQ(CentredLeft(10, 31), 5 - 15);  // a label wider than its group starts left of it
}

TEST(PhotoInfo, RemovalGoesFromTheEnd) {
  EXPECT_EQ(RemovalOrder({1, 2}, 4), (std::vector<int>{2, 1}));
  EXPECT_EQ(RemovalOrder({3, 0, 3, 7, -1}, 4), (std::vector<int>{3, 0}));
  EXPECT_TRUE(RemovalOrder({}, 4).empty());
  EXPECT_TRUE(RemovalOrder({0}, 0).empty());
}
