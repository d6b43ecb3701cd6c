#include "builder/window/form_layout.h"

#include "builder/window/art_ids.h"

namespace prismora::window {

using wingui::ControlRow;
using wingui::Kind;
using wingui::Rect;
using namespace wingui;  // flags

namespace {

// Page contents are designed relative to the page; the table holds window coordinates.
constexpr int kPageLeft = 504, kPageTop = 40;
constexpr Rect P(int x, int y, int w, int h) { return {kPageLeft + x, kPageTop + y, w, h}; }

constexpr uint32_t kButtonPanel = kTabStop;  // face-coloured, bevels set at run time
constexpr uint32_t kButtonImage = kStretch;
constexpr uint32_t kValue = kBlueText | kAutoSize;
constexpr uint32_t kHelpImage = kStretch | kHandCursor;

// Rows in creation order: a parent comes before its children, and among overlapping
// siblings the earlier row lies on top. Only the controls the user is told about have a
// hint; a control without one shows its nearest parent's (the pictures on the button
// panels show their panel's).
constexpr ControlRow kLayout[] = {
    // --- frame of the photo strip
    {PanelLeft, Kind::Panel, 0, {0, 16, 153, 409}, "", kDecor},
    {ThumbnailList1, Kind::Custom, PanelLeft, {8, 24, 137, 393}},
    // --- add, remove, remove all
    {PanelPlusRemoveEtc, Kind::Panel, 0, {144, 152, 65, 177}, "", kDecor},
    {PanelAdd, Kind::Panel, PanelPlusRemoveEtc, {152, 160, 49, 49}, "", kButtonPanel,
     "Add photos to your screensaver"},
    {ImagePanelAdd, Kind::Image, PanelAdd, {154, 162, 45, 45}, "", kButtonImage, nullptr, ART_ADD},
    {PanelRemove, Kind::Panel, PanelPlusRemoveEtc, {152, 216, 49, 49}, "", kButtonPanel,
     "Remove currently selected photos from the list"},
    {ImagePanelRemove, Kind::Image, PanelRemove, {154, 218, 45, 45}, "", kButtonImage, nullptr, ART_REMOVE},
    {PanelRemoveAll, Kind::Panel, PanelPlusRemoveEtc, {152, 272, 49, 49}, "", kButtonPanel,
     "clear all the photo list"},
    {ImagePanelRemoveAll, Kind::Image, PanelRemoveAll, {154, 274, 45, 45}, "", kButtonImage, nullptr,
     ART_REMOVE_ALL},
    // --- page buttons
    {PanelTop, Kind::Panel, 0, {192, 8, 277, 81}, "", kDecor},
    {PanelPhotos, Kind::Panel, PanelTop, {200, 16, 65, 65}, "", kButtonPanel | kInnerLowered,
     "Add, remove photos to be played in the final screensaver"},
    {ImagePanelPhotos, Kind::Image, PanelPhotos, {204, 20, 56, 56}, "", kButtonImage, nullptr, ART_PAGE_PHOTOS},
    {PanelInstallSettings, Kind::Panel, PanelTop, {265, 16, 65, 65}, "", kButtonPanel},
    {ImagePanelInstallSettings, Kind::Image, PanelInstallSettings, {269, 20, 56, 56}, "",
     kButtonImage, "self-install options", ART_PAGE_INSTALL},
    {PanelTitleAutor, Kind::Panel, PanelTop, {330, 16, 65, 65}, "", kButtonPanel,
     "Edit title,autor, email, website, license agreement of the final screensaver"},
    {ImagePanelTitleAutor, Kind::Image, PanelTitleAutor, {334, 20, 56, 56}, "", kButtonImage, nullptr,
     ART_PAGE_INFO},
    // --- the preview
    {PanelCenter, Kind::Panel, 0, {200, 104, 281, 281}, "", kDecor},
    {PanelPreview, Kind::Panel, PanelCenter, {208, 112, 265, 265}, "", kInnerLowered},
    {ImagePreview, Kind::Image, PanelPreview, {212, 116, 256, 256}, "", kStretch},
    // --- preview and build
    {PanelBottom, Kind::Panel, 0, {272, 392, 145, 84}, "", kDecor},
    {PanelPreviewScreensaver, Kind::Panel, PanelBottom, {280, 400, 65, 65}, "", kButtonPanel,
     "Preview this screensaver"},
    {ImagePanelPreviewScreensaver, Kind::Image, PanelPreviewScreensaver, {284, 404, 56, 56}, "",
     kButtonImage, nullptr, ART_PREVIEW},
    {PanelBuild, Kind::Panel, PanelBottom, {344, 400, 65, 65}, "", kButtonPanel,
     "Build the final self-install screensaver"},
    {ImageBuild, Kind::Image, PanelBuild, {348, 404, 56, 56}, "", kButtonImage, nullptr, ART_BUILD},
    // --- pages
    {PanelRight, Kind::Panel, 0, {496, 32, 273, 473}, "", kDecor},
    {PanelRightPhotos, Kind::Panel, PanelRight, {504, 40, 257, 457}, "", kNoBorder},
    {PanelRightInstall, Kind::Panel, PanelRight, {504, 40, 257, 457}, "", kNoBorder | kHidden},
    {PanelRightLicense, Kind::Panel, PanelRight, {504, 40, 257, 457}, "", kNoBorder | kHidden},
    // --- the title buttons (PanelKnopki only gives the shape its corner)
    {PanelKnopki, Kind::Panel, 0, {600, 0, 75, 28}, "", kHidden},
    {ImageSmallButt_Svernut, Kind::Image, 0, {600, 0, 25, 29}, "", 0, nullptr, ART_TITLE_MINIMIZE},
    {ImageSmallButt_2, Kind::Image, 0, {624, 0, 25, 29}, "", 0, nullptr, ART_TITLE_DECOR},
    {ImageSmallButt_Close, Kind::Image, 0, {648, 0, 27, 29}, "", 0, nullptr, ART_TITLE_CLOSE},

    // --- photos page
    {GroupBoxFileInfo, Kind::GroupBox, PanelRightPhotos, P(8, 4, 241, 126), " File info  "},
    {LabelFormat, Kind::Label, GroupBoxFileInfo, P(16, 24, 80, 13), "Format"},
    {LabelFormatR, Kind::Label, GroupBoxFileInfo, P(124, 24, 8, 13), "0", kValue},
    {LabelSourceWidth, Kind::Label, GroupBoxFileInfo, P(16, 44, 80, 13), "Source Width"},
    {LabelSourceWidthR, Kind::Label, GroupBoxFileInfo, P(124, 44, 8, 13), "0", kValue},
    {LabelSourceHeight, Kind::Label, GroupBoxFileInfo, P(16, 64, 80, 13), "Source Height"},
    {LabelSourceHeightR, Kind::Label, GroupBoxFileInfo, P(124, 64, 8, 13), "0", kValue},
    {LabelFileSize, Kind::Label, GroupBoxFileInfo, P(16, 84, 80, 13), "File Size"},
    {LabelFileSizeR, Kind::Label, GroupBoxFileInfo, P(124, 84, 8, 13), "0", kValue},
    {LabelTotalImages, Kind::Label, GroupBoxFileInfo, P(16, 106, 200, 13), "Total Images:", kBold},
    {LabelScreensaverTemplate, Kind::Label, PanelRightPhotos, P(8, 140, 200, 13),
     "Screensaver Template."},
    {ComboBoxScreensaverTemplate, Kind::ComboBox, PanelRightPhotos, P(8, 156, 241, 21)},
    {CheckBoxErBack, Kind::CheckBox, PanelRightPhotos, P(8, 180, 120, 17), "Erase background", kHidden},
    {GroupBoxPictures, Kind::GroupBox, PanelRightPhotos, P(8, 188, 241, 116), "Pictures: Size and Border."},
    {ComboBoxResizeMetod, Kind::ComboBox, GroupBoxPictures, P(16, 208, 153, 21)},
    {PanelBorderColor, Kind::Panel, GroupBoxPictures, P(188, 206, 49, 49), "", kInnerLowered},
    {CheckBoxRandomColor, Kind::CheckBox, GroupBoxPictures, P(16, 238, 150, 17), "Random Color"},
    {ButtonBorderColor, Kind::Button, GroupBoxPictures, P(16, 266, 105, 25), "Select Color"},
    {GroupBoxDialogColor, Kind::GroupBox, PanelRightPhotos, P(8, 312, 241, 80),
     "Screen Saver Dialog Box Color"},
    {PanelColorDialogBox, Kind::Panel, GroupBoxDialogColor, P(188, 330, 49, 49), "", kInnerLowered},
    {ButtonSelectColor, Kind::Button, GroupBoxDialogColor, P(16, 342, 105, 25), "Select color"},
    {LabelPhotoChange, Kind::Label, PanelRightPhotos, P(8, 401, 112, 13), "Change a photo every"},
    {EditPhotoChange, Kind::Edit, PanelRightPhotos, P(122, 397, 40, 21), "", kTabStop},
    {LabelPhotoChangeSeconds, Kind::Label, PanelRightPhotos, P(166, 401, 46, 13), "seconds"},
    {ImageVoprosPhotos, Kind::Image, PanelRightPhotos, P(217, 412, 32, 32), "", kHelpImage, nullptr, ART_HELP},

    // --- install page
    {GroupBoxSelfInstall, Kind::GroupBox, PanelRightInstall, P(8, 4, 241, 400), " Self-install options "},
    {LabelWizardImageFiles, Kind::Label, GroupBoxSelfInstall, P(16, 22, 200, 13), "Wizard Image Files", kBold},
    {ImageWizardImageFile, Kind::Image, GroupBoxSelfInstall, P(16, 40, 164, 314), "", kStretch,
     "Specifies the bitmap file to display on the left side of the wizard in the Setup program."},
    {ImageWizModernSmallImage, Kind::Image, GroupBoxSelfInstall, P(186, 40, 55, 55), "", kStretch,
     "Specifies the bitmap file to display in the upperright corner of the wizard window."},
    {ImageWizModernSmallImageLupa, Kind::Image, GroupBoxSelfInstall, P(201, 100, 24, 24), "",
     kHelpImage, nullptr, ART_LUPA},
    {ImageWizardImageFileLupa, Kind::Image, GroupBoxSelfInstall, P(201, 330, 24, 24), "", kHelpImage,
     "Select a picture", ART_LUPA},
    {LabelWizModernImagebmp, Kind::Label, GroupBoxSelfInstall, P(16, 360, 225, 13), "", kBlueText},
    {LabelWizModernSmallImagebmp, Kind::Label, GroupBoxSelfInstall, P(16, 380, 225, 13), "", kBlueText},
    {ImageVoprosSelf_install, Kind::Image, PanelRightInstall, P(217, 412, 32, 32), "", kHelpImage, nullptr,
     ART_HELP},

    // --- title/author page
    {GroupBoxInformation, Kind::GroupBox, PanelRightLicense, P(8, 4, 241, 196), " Screen Saver Information "},
    {LabelTitle, Kind::Label, GroupBoxInformation, P(16, 22, 100, 13), "Title"},
    {EditTitle, Kind::Edit, GroupBoxInformation, P(16, 38, 225, 21), "", kTabStop},
    {LabelAutor, Kind::Label, GroupBoxInformation, P(16, 64, 100, 13), "Autor"},
    {EditAutor, Kind::Edit, GroupBoxInformation, P(16, 80, 225, 21), "", kTabStop},
    {LabelEmail, Kind::Label, GroupBoxInformation, P(16, 106, 100, 13), "Email"},
    {EditEmail, Kind::Edit, GroupBoxInformation, P(16, 122, 225, 21), "", kTabStop},
    {LabelWebsite, Kind::Label, GroupBoxInformation, P(16, 148, 100, 13), "Website"},
    {EditWebsite, Kind::Edit, GroupBoxInformation, P(16, 164, 225, 21), "", kTabStop},
    {GroupBoxLicense, Kind::GroupBox, PanelRightLicense, P(8, 206, 241, 198), " License Agreement "},
    {CheckBoxEnableLicenseAgreement, Kind::CheckBox, GroupBoxLicense, P(16, 224, 200, 17),
     "Enable License Agreement"},
    {MemoLicenseAgreement, Kind::Memo, GroupBoxLicense, P(16, 246, 225, 150), "", kTabStop},
    {ImageVoprosInform, Kind::Image, PanelRightLicense, P(217, 412, 32, 32), "", kHelpImage, nullptr, ART_HELP},

    // --- bridges between the frames, below everything else
    {PanelPeremichka1, Kind::Panel, 0, {24, 0, 25, 17}, "", kDecor},
    {PanelPeremichka2, Kind::Panel, 0, {400, 88, 33, 17}, "", kDecor},
    {PanelPeremichka3, Kind::Panel, 0, {480, 328, 25, 41}, "", kDecor},
    {PanelPeremichka4, Kind::Panel, 0, {352, 384, 33, 9}, "", kDecor},
    {PanelPeremichka5, Kind::Panel, 0, {624, 29, 25, 12}, "", kDecor},
    {PanelPeremichka6, Kind::Panel, 0, {0, 0, 200, 3}, "", kDecor},
};

constexpr wingui::MenuRow kMenu[] = {
    {0, "&File"},
    {1, "&New Project", PunltMenuNewProject},
    {1, nullptr},
    {1, "&Open Project", PunltMenuOpen},
    {1, "&Save Project", PunltMenuSave},
    {1, nullptr},
    {1, "Import Scene...", PunltMenuImportScene},
    {1, "Remove Imported Template", PunltMenuRemoveImportedTemplate},
    {1, nullptr},
    {1, "Add Photos", AddPhotos1, ART_MENU_ADD},
    {1, "Remove Photos", RemovePhotos1, ART_MENU_REMOVE},
    {1, "Remove All", RemoveAll1, ART_MENU_REMOVE_ALL},
    {1, nullptr},
    {1, "E&xit", PunltMenuExit},
    {0, "&Edit"},
    {1, "Edit Photos", PunltMenuEditPhotos},
    {1, "Self-Install options", PunltMenuSelfInstalloptions},
    {1, "Information", PunltMenuInformation},
    {1, nullptr},
    {1, "Preview Screen Saver", PunltMenuPreviewScreensaver, ART_MENU_PREVIEW},
    {1, "Build Screen Saver", PunltMenuBuildScreenSaver, ART_MENU_BUILD},
    {0, "&Help"},
    {1, "Prismora Builder help", PunltMenuPrismorabuilderhelp},
    {1, nullptr},
    {1, "&About...", PunltMenuAbout},
};

}  // namespace

wingui::Layout MainFormLayout() { return kLayout; }
std::span<const wingui::MenuRow> MainMenu() { return kMenu; }

int ImageOfButtonPanel(int panel) {
  for (const ControlRow& s : kLayout)
    if (s.parent == panel && s.kind == Kind::Image) return s.id;
  return 0;
}

int ButtonPanelOfImage(int image) {
  const ControlRow* s = wingui::FindRow(kLayout, image);
  if (!s) return 0;
  for (int panel : kButtonPanels)
    if (panel == s->parent) return panel;
  return 0;
}

int PagePanel(Page page) { return kPages[size_t(page)]; }

int PageButtonPanel(Page page) {
  switch (page) {
    case Page::Photos: return PanelPhotos;
    case Page::Install: return PanelInstallSettings;
    case Page::Information: return PanelTitleAutor;
  }
  return PanelPhotos;
}

}  // namespace prismora::window
