// The main window as data: every control with its rectangle, text, hint and picture,
// the menu, and the groups the handlers work on. Platform-free, so the layout can be
// checked without a window.
#pragma once
#include <array>
#include <string_view>

#include "platform/win32/wingui/layout_table.h"

namespace prismora::window {

inline constexpr std::string_view kCaption = "Prismora Builder";
inline constexpr int kClientWidth = 785;
inline constexpr int kClientHeight = 508;

enum ControlId : int {
  // frame of the photo strip and the strip itself
  PanelLeft = 100, ThumbnailList1,
  // photo buttons
  PanelPlusRemoveEtc, PanelAdd, ImagePanelAdd, PanelRemove, ImagePanelRemove, PanelRemoveAll,
  ImagePanelRemoveAll,
  // page buttons
  PanelTop, PanelPhotos, ImagePanelPhotos, PanelInstallSettings, ImagePanelInstallSettings,
  PanelTitleAutor, ImagePanelTitleAutor,
  // preview
  PanelCenter, PanelPreview, ImagePreview,
  // action buttons
  PanelBottom, PanelPreviewScreensaver, ImagePanelPreviewScreensaver, PanelBuild, ImageBuild,
  // pages
  PanelRight, PanelRightPhotos, PanelRightInstall, PanelRightLicense,
  // title buttons
  PanelKnopki, ImageSmallButt_Svernut, ImageSmallButt_2, ImageSmallButt_Close,
  // bridges
  PanelPeremichka1, PanelPeremichka2, PanelPeremichka3, PanelPeremichka4, PanelPeremichka5,
  PanelPeremichka6,
  // photos page
  GroupBoxFileInfo, LabelFormat, LabelSourceWidth, LabelSourceHeight, LabelFileSize, LabelFormatR,
  LabelSourceWidthR, LabelSourceHeightR, LabelFileSizeR, LabelTotalImages, LabelScreensaverTemplate,
  ComboBoxScreensaverTemplate, CheckBoxErBack, GroupBoxPictures, ComboBoxResizeMetod,
  PanelBorderColor, CheckBoxRandomColor, ButtonBorderColor, GroupBoxDialogColor,
  PanelColorDialogBox, ButtonSelectColor, ImageVoprosPhotos,
  // install page
  GroupBoxSelfInstall, LabelWizardImageFiles, ImageWizardImageFile, LabelWizModernImagebmp,
  ImageWizardImageFileLupa, ImageWizModernSmallImage, LabelWizModernSmallImagebmp,
  ImageWizModernSmallImageLupa, ImageVoprosSelf_install,
  // title/author page
  GroupBoxInformation, LabelTitle, EditTitle, LabelAutor, EditAutor, LabelEmail, EditEmail,
  LabelWebsite, EditWebsite, GroupBoxLicense, CheckBoxEnableLicenseAgreement,
  MemoLicenseAgreement, ImageVoprosInform,
  // photos page: how often the screen saver changes a photo
  LabelPhotoChange, EditPhotoChange, LabelPhotoChangeSeconds,
};

enum MenuId : int {
  PunltMenuNewProject = 1000, PunltMenuOpen, PunltMenuSave, AddPhotos1, RemovePhotos1, RemoveAll1,
  PunltMenuExit, PunltMenuEditPhotos, PunltMenuSelfInstalloptions, PunltMenuInformation,
  PunltMenuPreviewScreensaver, PunltMenuBuildScreenSaver, PunltMenuPrismorabuilderhelp,
  PunltMenuAbout, PunltMenuImportScene, PunltMenuRemoveImportedTemplate,
};

wingui::Layout MainFormLayout();
std::span<const wingui::MenuRow> MainMenu();

// The eight button panels that share the hover and selection look, in this order.
inline constexpr std::array<int, 8> kButtonPanels = {
    PanelAdd, PanelRemove, PanelRemoveAll, PanelPhotos, PanelInstallSettings, PanelTitleAutor,
    PanelPreviewScreensaver, PanelBuild};

// The image inside a button panel, and the panel around a button image.
int ImageOfButtonPanel(int panel);
int ButtonPanelOfImage(int image);  // 0 when `image` is not a button image

enum class Page { Photos, Install, Information };
inline constexpr std::array<int, 3> kPages = {PanelRightPhotos, PanelRightInstall, PanelRightLicense};
int PagePanel(Page page);
int PageButtonPanel(Page page);

// The four file info value labels, in the order they are reset.
inline constexpr std::array<int, 4> kFileInfoLabels = {LabelFormatR, LabelSourceWidthR,
                                                       LabelSourceHeightR, LabelFileSizeR};

// Help pages, relative to the builder folder.
inline constexpr std::string_view kHelpFileInfo = "help\\screen-saver-file-info.htm";
inline constexpr std::string_view kHelpSelfInstall = "help\\screen-saver-self-install-options.htm";
inline constexpr std::string_view kHelpInformation = "help\\screen-saver-information.htm";

}  // namespace prismora::window
