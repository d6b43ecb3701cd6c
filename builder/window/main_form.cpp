#include "builder/window/main_form.h"

#include <shellapi.h>

#include <iterator>

#include "builder/project/project_commands.h"
#include "builder/project/project_file.h"
#include "builder/window/about_box.h"
#include "builder/window/art_ids.h"
#include "builder/window/window_shape.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/windows_family.h"

namespace prismora::window {

using wingui::Bevel;
using wingui::Panel;

namespace {

Bevel ToBevel(BevelLook look) {
  switch (look) {
    case BevelLook::Lowered: return Bevel::Lowered;
    case BevelLook::Raised: return Bevel::Raised;
    case BevelLook::None: break;
  }
  return Bevel::None;
}

int ButtonIndex(int panel) {
  for (size_t i = 0; i < kButtonPanels.size(); ++i)
    if (kButtonPanels[i] == panel) return int(i);
  return -1;
}

// Which handler answers which notification, and whether it may run while a preview or
// a build is under way (Busy): only what neither starts a run, nor edits the photo list,
// nor opens a dialog. The fitting method is the exception: the combo box has changed
// already, so its handler runs and the preview photos stop being current.
struct CommandRoute {
  int id;
  int code;  // -1: any
  void (TForm1::*handler)();
  bool whileBusy = false;
};

constexpr int kAny = -1;
constexpr bool kWhileBusy = true;
constexpr CommandRoute kRoutes[] = {
    {ImagePanelPhotos, BN_CLICKED, &TForm1::ImagePanelPhotosClick, kWhileBusy},
    {ImagePanelInstallSettings, BN_CLICKED, &TForm1::ImagePanelInstallSettingsClick, kWhileBusy},
    {ImagePanelTitleAutor, BN_CLICKED, &TForm1::ImagePanelTitleAutorClick, kWhileBusy},
    {ImagePanelAdd, BN_CLICKED, &TForm1::ImagePanelAddClick},
    {ImagePanelRemove, BN_CLICKED, &TForm1::ImagePanelRemoveClick},
    {ImagePanelRemoveAll, BN_CLICKED, &TForm1::ImagePanelRemoveAllClick},
    {ImagePanelPreviewScreensaver, BN_CLICKED, &TForm1::ImagePanelPreviewScreensaverClick},
    {ImageBuild, BN_CLICKED, &TForm1::ImageBuildClick},
    {ImageSmallButt_Close, BN_CLICKED, &TForm1::ImageSmallButt_CloseClick, kWhileBusy},
    {ImageSmallButt_Svernut, BN_CLICKED, &TForm1::ImageSmallButt_SvernutClick, kWhileBusy},
    {ImageVoprosPhotos, BN_CLICKED, &TForm1::ImageVoprosPhotosClick, kWhileBusy},
    {ImageVoprosSelf_install, BN_CLICKED, &TForm1::ImageVoprosSelf_installClick, kWhileBusy},
    {ImageVoprosInform, BN_CLICKED, &TForm1::ImageVoprosInformClick, kWhileBusy},
    {ImageWizardImageFileLupa, BN_CLICKED, &TForm1::ImageWizardImageFileLupaClick},
    {ImageWizModernSmallImageLupa, BN_CLICKED, &TForm1::ImageWizModernSmallImageLupaClick},
    {ThumbnailList1, LBN_SELCHANGE, &TForm1::ThumbnailList1Click},
    {ComboBoxResizeMetod, CBN_SELCHANGE, &TForm1::ComboBoxResizeMetodChange, kWhileBusy},
    {ComboBoxScreensaverTemplate, CBN_SELCHANGE, &TForm1::ComboBoxScreensaverTemplateChange},
    {CheckBoxRandomColor, BN_CLICKED, &TForm1::CheckBoxRandomColorClick, kWhileBusy},
    {CheckBoxEnableLicenseAgreement, BN_CLICKED, &TForm1::CheckBoxEnableLicenseAgreementClick, kWhileBusy},
    {ButtonBorderColor, BN_CLICKED, &TForm1::ButtonBorderColorClick},
    {ButtonSelectColor, BN_CLICKED, &TForm1::ButtonSelectColorClick},
    // menu items
    {PunltMenuNewProject, kAny, &TForm1::PunltMenuNewProjectClick},
    {PunltMenuOpen, kAny, &TForm1::PunltMenuOpenClick},
    {PunltMenuSave, kAny, &TForm1::PunltMenuSaveClick},
    {AddPhotos1, kAny, &TForm1::ImagePanelAddClick},
    {RemovePhotos1, kAny, &TForm1::ImagePanelRemoveClick},
    {RemoveAll1, kAny, &TForm1::ImagePanelRemoveAllClick},
    {PunltMenuExit, kAny, &TForm1::PunltMenuExitClick, kWhileBusy},
    {PunltMenuEditPhotos, kAny, &TForm1::ImagePanelPhotosClick, kWhileBusy},
    {PunltMenuSelfInstalloptions, kAny, &TForm1::ImagePanelInstallSettingsClick, kWhileBusy},
    {PunltMenuInformation, kAny, &TForm1::ImagePanelTitleAutorClick, kWhileBusy},
    {PunltMenuPreviewScreensaver, kAny, &TForm1::ImagePanelPreviewScreensaverClick},
    {PunltMenuBuildScreenSaver, kAny, &TForm1::ImageBuildClick},
    {PunltMenuPrismorabuilderhelp, kAny, &TForm1::PunltMenuPrismorabuilderhelpClick, kWhileBusy},
    {PunltMenuAbout, kAny, &TForm1::PunltMenuAboutClick},
    {PunltMenuImportScene, kAny, &TForm1::PunltMenuImportSceneClick},
    {PunltMenuRemoveImportedTemplate, kAny, &TForm1::PunltMenuRemoveImportedTemplateClick},
};

}  // namespace

TForm1::TForm1(FormSeams seams) : seams_(std::move(seams)) {}

TForm1::~TForm1() {
  if (menu_ && !IsWindow(Handle())) DestroyMenu(menu_);
}

bool TForm1::Create() {
  // Construction: no preview frame, bitmaps not current, the platform family noted.
  previewPhotos_.Changed();
  oldPlatform_ = platform::IsWindows9xFamily();
  HINSTANCE self = GetModuleHandleA(nullptr);
  wingui::WindowStyle style;
  style.className = "TForm1";
  style.style = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
  style.icon = static_cast<HICON>(LoadImageA(self, MAKEINTRESOURCEA(ART_APP_ICON), IMAGE_ICON, 32, 32, 0));
  style.smallIcon = static_cast<HICON>(LoadImageA(self, MAKEINTRESOURCEA(ART_APP_ICON), IMAGE_ICON, 16, 16, 0));
  style.clientWidth = kClientWidth;
  style.clientHeight = kClientHeight;
  if (!Window::Create(style, std::string(kCaption))) return false;

  menu_ = wingui::BuildMenu(MainMenu());
  SetMenu(Handle(), menu_);
  // The menu bar takes client height; size the frame again around 785 × 508.
  RECT r{0, 0, kClientWidth, kClientHeight};
  AdjustWindowRectEx(&r, DWORD(GetWindowLongPtrA(Handle(), GWL_STYLE)), TRUE, 0);
  const int w = r.right - r.left, h = r.bottom - r.top;
  SetWindowPos(Handle(), nullptr, (GetSystemMetrics(SM_CXSCREEN) - w) / 2,
               (GetSystemMetrics(SM_CYSCREEN) - h) / 2, w, h, SWP_NOZORDER | SWP_NOACTIVATE);

  const wingui::Layout layout = MainFormLayout();
  c_ = wingui::BuildLayout(Handle(), layout);
  // The strip comes from the thumbnail component; it lives in its frame panel.
  const wingui::ControlRow& strip = *wingui::FindRow(layout, ThumbnailList1);
  const wingui::Rect sr = wingui::RelativeRect(layout, strip);
  RECT stripRect{sr.left, sr.top, sr.Right(), sr.Bottom()};
  strip_.Create(wingui::ParentOf(c_, layout, strip, Handle()), stripRect, ThumbnailList1);
  strip_.SetFont(wingui::DialogFont());
  DragAcceptFiles(Handle(), TRUE);  // photos and folders may be dropped onto the window
  c_.Add(ThumbnailList1, strip_.Handle());
  strip_.OnKeyDown = [this](WORD key) {
    try {
      return ThumbnailList1KeyDown(key);
    } catch (const std::exception& e) {
      wingui::ReportError(Handle(), e.what());
      return true;
    }
  };

  // Controls that hold settings start with their first-start values.
  RefillTemplates();
  c_.Get<wingui::ComboBox>(ComboBoxResizeMetod)
      .SetItems({project::kResizeMethodItems.begin(), project::kResizeMethodItems.end()});
  c_.Get<wingui::Edit>(EditTitle).SetLimit(199);
  c_.Get<wingui::Edit>(EditAutor).SetLimit(99);
  c_.Get<wingui::Edit>(EditEmail).SetLimit(99);
  c_.Get<wingui::Edit>(EditWebsite).SetLimit(99);
  c_.Get<wingui::Memo>(MemoLicenseAgreement).SetLimit(14999);
  c_.Get<wingui::Edit>(EditPhotoChange).SetLimit(4);
  PreviewSurface().Resize(photos::kPreviewSide, photos::kPreviewSide);
  imageForSave_.Resize(photos::kTextureSide, photos::kTextureSide);
  WriteSettings(project::FirstStartSettings());

  ApplyShape();
  photoCount_ = 0;
  UpdateTotalImages();

  // FormCreate: the project of the last session, taken over from the program folder where
  // an earlier builder kept it.
  project::ProjectSettings s = ReadSettings();
  project::TakeOverOldAutoSave({seams_.builderFolder, seams_.userFolder}, seams_.files);
  project::LoadAutoSave(Handle(), seams_.userFolder, s, seams_.files, seams_.boxes);
  ScreenProjectPaths(s);
  WriteSettings(s);
  ShowPage(Page::Photos);
  return true;
}

void TForm1::ApplyShape() {
  ShapeMetrics m;
  m.edge = GetSystemMetrics(SM_CYEDGE);
  m.captionButton = GetSystemMetrics(SM_CXSIZE);
  m.menuButton = GetSystemMetrics(SM_CXMENUSIZE);
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  for (const ShapePiece& p : MainWindowShape(MainFormLayout(), m)) {
    HRGN piece = p.corner > 0 ? CreateRoundRectRgn(p.left, p.top, p.right, p.bottom, p.corner, p.corner)
                              : CreateRectRgn(p.left, p.top, p.right, p.bottom);
    CombineRgn(region, region, piece, RGN_OR);
    DeleteObject(piece);
  }
  SetWindowRgn(Handle(), region, FALSE);  // the window owns the region from now on
}

// ---- pages and the button look ---------------------------------------------------

void TForm1::ShowPage(Page page) {
  const int target = PagePanel(page);
  c_.Get<Panel>(target).SetVisible(true);
  for (int p : kPages)
    if (p != target) c_.Get<Panel>(p).SetVisible(false);
  look_.Select(size_t(ButtonIndex(PageButtonPanel(page))));
  ApplyButtonLook();
}

void TForm1::ApplyButtonLook() {
  for (size_t i = 0; i < kButtonPanels.size(); ++i) {
    Panel p = c_.Get<Panel>(kButtonPanels[i]);
    p.SetInnerBevel(ToBevel(look_.Inner(i)));
    p.SetOuterBevel(ToBevel(look_.Outer(i)));
  }
}

void TForm1::ImagePanelPhotosClick() { ShowPage(Page::Photos); }
void TForm1::ImagePanelInstallSettingsClick() { ShowPage(Page::Install); }
void TForm1::ImagePanelTitleAutorClick() { ShowPage(Page::Information); }

void TForm1::OnControlMouseMove(int id) {
  int panel = ButtonIndex(id) >= 0 ? id : ButtonPanelOfImage(id);
  if (panel)
    look_.Hover(size_t(ButtonIndex(panel)));
  else
    look_.ClearHover();  // a frame, a page or a picture counts as background
  ApplyButtonLook();
}

void TForm1::OnMouseMove(int, int) {
  look_.ClearHover();
  ApplyButtonLook();
}

// ---- the other handlers ----------------------------------------------------------

void TForm1::OnCommand(int id, int code, HWND) {
  for (const CommandRoute& r : kRoutes)
    if (r.id == id && (r.code == kAny || r.code == code)) {
      if (!busy_ || r.whileBusy) {
        (this->*r.handler)();
        return;
      }
      MessageBeep(MB_ICONWARNING);  // refused until the running command ends
      // The combo shows the refused pick already; the running command keeps its own.
      if (id == ComboBoxScreensaverTemplate)
        c_.Get<wingui::ComboBox>(ComboBoxScreensaverTemplate).SetItemIndex(templateItemOfRun_);
      return;
    }
}

void TForm1::SetPreviewPhotosReady(bool ready) {
  if (ready)
    previewPhotos_.Prepared(previewPhotos_.Stamp());
  else
    previewPhotos_.Changed();
}

void TForm1::RunOutputCommand(void (OutputActions::*command)(TForm1&)) {
  if (busy_) return;
  busy_ = true;
  templateItemOfRun_ = c_.Get<wingui::ComboBox>(ComboBoxScreensaverTemplate).ItemIndex();
  struct EndOfRun {
    TForm1& form;
    ~EndOfRun() {
      form.busy_ = false;
      if (!form.closeWhenIdle_) return;
      form.closeWhenIdle_ = false;
      PostMessageA(form.Handle(), WM_CLOSE, 0, 0);
    }
  } end{*this};
  (actions_->*command)(*this);
}

void TForm1::ImagePanelPreviewScreensaverClick() { RunOutputCommand(&OutputActions::PreviewScreenSaver); }
void TForm1::ImageBuildClick() { RunOutputCommand(&OutputActions::Build); }
void TForm1::ComboBoxScreensaverTemplateChange() { RunOutputCommand(&OutputActions::TemplateChosen); }

void TForm1::ImageSmallButt_CloseClick() { Close(); }
void TForm1::ImageSmallButt_SvernutClick() { ShowWindow(Handle(), SW_MINIMIZE); }
void TForm1::PunltMenuExitClick() { Close(); }

void TForm1::OpenHelp(std::string_view page) { seams_.shell.Open(seams_.builderFolder + std::string(page)); }
void TForm1::ImageVoprosPhotosClick() { OpenHelp(kHelpFileInfo); }
void TForm1::ImageVoprosSelf_installClick() { OpenHelp(kHelpSelfInstall); }
void TForm1::ImageVoprosInformClick() { OpenHelp(kHelpInformation); }
void TForm1::PunltMenuPrismorabuilderhelpClick() { OpenHelp(kHelpFileInfo); }

void TForm1::PunltMenuAboutClick() {
  if (about_) about_->ShowModal(Handle());
}

void TForm1::CheckBoxEnableLicenseAgreementClick() {
  c_.Get<wingui::Memo>(MemoLicenseAgreement)
      .SetEnabled(c_.Get<wingui::CheckBox>(CheckBoxEnableLicenseAgreement).Checked());
}

void TForm1::CheckBoxRandomColorClick() { previewFill_ = borderDialogColor_; }

void TForm1::ButtonBorderColorClick() {
  if (auto chosen = seams_.colors.Choose(Handle(), borderDialogColor_)) {
    borderDialogColor_ = *chosen;
    c_.Get<Panel>(PanelBorderColor).SetColor(*chosen);
    previewFill_ = forSaveFill_ = *chosen;
  }
}

void TForm1::ButtonSelectColorClick() {
  if (auto chosen = seams_.colors.Choose(Handle(), dialogBoxDialogColor_)) {
    dialogBoxDialogColor_ = *chosen;
    c_.Get<Panel>(PanelColorDialogBox).SetColor(*chosen);
  }
}

void TForm1::ComboBoxResizeMetodChange() {
  previewPhotos_.Changed();
  const bool border = c_.Get<wingui::ComboBox>(ComboBoxResizeMetod).ItemIndex() != project::kResizePictures;
  c_.Get<wingui::CheckBox>(CheckBoxRandomColor).SetEnabled(border);
  c_.Get<wingui::Button>(ButtonBorderColor).SetEnabled(border);
  // A running preview keeps its frame and the run its surfaces; the photo is shown anew
  // at the next click.
  if (!busy_) ThumbnailList1Click();
}

// ---- the project menu ------------------------------------------------------------

void TForm1::PunltMenuNewProjectClick() {
  project::ProjectSettings s = ReadSettings();
  project::ApplyNewProject(s);
  WriteSettings(s);
}

void TForm1::PunltMenuSaveClick() {
  project::SaveProjectCommand(Handle(), ReadSettings(), seams_.dialogs, seams_.files, seams_.boxes, seams_.codePage);
}

void TForm1::OpenProjectFile(const std::string& path) {
  project::ProjectSettings s = ReadSettings();
  project::OpenProjectPath(Handle(), path, s, seams_.files, seams_.boxes);
  ScreenProjectPaths(s);
  WriteSettings(s);
}

LRESULT TForm1::OnOtherMessage(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg != WM_DROPFILES) return Window::OnOtherMessage(msg, wp, lp);
  HDROP drop = reinterpret_cast<HDROP>(wp);
  if (busy_) {  // the list stays as the running command read it
    DragFinish(drop);
    MessageBeep(MB_ICONWARNING);
    return 0;
  }
  // By their real names: the ones the code page cannot hold are kept by their aliases.
  std::vector<std::string> dropped;
  UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT i = 0; i < count; ++i) {
    const UINT length = DragQueryFileW(drop, i, nullptr, 0);
    std::wstring path(length + 1, L'\0');
    if (length && DragQueryFileW(drop, i, path.data(), length + 1))
      dropped.push_back(platform::Utf8FromWide(std::wstring_view(path.data(), length)));
  }
  DragFinish(drop);
  AddDroppedPhotos(dropped);
  return 0;
}

void TForm1::PunltMenuOpenClick() {
  project::ProjectSettings s = ReadSettings();
  if (project::OpenProjectCommand(Handle(), s, seams_.dialogs, seams_.files, seams_.boxes) == project::OpenOutcome::Read) {
    ScreenProjectPaths(s);
    WriteSettings(s);
  } else {
    // Unreadable (or cancelled): only the indices may have been reset.
    SelectTemplate(s.TemplateIndex);
    c_.Get<wingui::ComboBox>(ComboBoxResizeMetod).SetItemIndex(s.ResizeMethod);
  }
}

// ---- painting, wheel, closing ----------------------------------------------------

void TForm1::OnPaint(HDC, const PAINTSTRUCT&) {
  // FormPaint: both canvases take the border colour dialog's colour again.
  previewFill_ = forSaveFill_ = borderDialogColor_;
}

bool TForm1::OnControlWheel(int id) {
  // The template must never change under the wheel: a new template starts a preview.
  return id == ComboBoxScreensaverTemplate && c_.Get<wingui::ComboBox>(id).Focused();
}

HBRUSH TForm1::OnControlColor(HDC dc, HWND control) {
  const uint32_t flags = wingui::Control(control).Flags();
  char cls[16] = {};
  GetClassNameA(control, cls, sizeof cls);
  if (lstrcmpiA(cls, "EDIT") == 0) return nullptr;  // edits keep the window colour
  if (flags & wingui::kBlueText) SetTextColor(dc, RGB(0, 0, 255));
  SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
  return GetSysColorBrush(COLOR_BTNFACE);
}

void TForm1::WriteAutoSave() {
  if (autoSaved_) return;
  autoSaved_ = true;
  project::WriteAutoSave(Handle(), seams_.userFolder, ReadSettings(), seams_.files, seams_.boxes,
                         seams_.codePage);
}

void TForm1::FormClose() { WriteAutoSave(); }

bool TForm1::OnClose() {
  if (busy_) {
    // The running command still draws on this window's surfaces; close when it ends.
    closeWhenIdle_ = true;
    return false;
  }
  FormClose();  // before any other closing work
  return true;
}

void TForm1::OnEndSession() { FormClose(); }

void TForm1::OnDestroy() {
  // A window closed without WM_CLOSE (destroyed by its owner) still saves.
  WriteAutoSave();
  if (quitOnDestroy_) PostQuitMessage(0);
}

}  // namespace prismora::window
