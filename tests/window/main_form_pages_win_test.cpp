// The main window's pages, button looks, menus, help, shape and small windows, driven
// through real window messages.
#include "builder/window/about_box.h"
#include "tests/support/wait.h"
#include "tests/window/window_test_support.h"

using namespace prismora;
using namespace prismora::window;
using testsupport::MainWindowTest;
using wingui::Bevel;
using wingui::Panel;

namespace {

class Pages : public MainWindowTest {
 protected:
  std::vector<int> Lowered() {
    std::vector<int> out;
    for (int p : kButtonPanels)
      if (Get<Panel>(p).InnerBevel() == Bevel::Lowered) out.push_back(p);
    return out;
  }
  std::vector<int> Raised() {
    std::vector<int> out;
    for (int p : kButtonPanels) {
      EXPECT_NE(Get<Panel>(p).OuterBevel(), Bevel::Lowered);
      if (Get<Panel>(p).OuterBevel() == Bevel::Raised) out.push_back(p);
    }
    return out;
  }
  std::vector<int> VisiblePages() {
    std::vector<int> out;
    for (int p : kPages)
      if (Get<Panel>(p).Visible()) out.push_back(p);
    return out;
  }
};

}  // namespace

TEST_F(Pages, StartShowsOnlyThePhotosPageWithItsButtonLowered) {
  Start();
  char caption[64] = {};
  GetWindowTextA(form->Handle(), caption, sizeof caption);
  EXPECT_STREQ(caption, "Prismora Builder");
  RECT client;
  GetClientRect(form->Handle(), &client);
  EXPECT_EQ(client.right, 785);
  EXPECT_EQ(client.bottom, 508);
  EXPECT_EQ(VisiblePages(), std::vector<int>{PanelRightPhotos});
  EXPECT_EQ(Lowered(), std::vector<int>{PanelPhotos});
  EXPECT_TRUE(Raised().empty());
  EXPECT_EQ(form->PhotoCount(), 0);
  EXPECT_FALSE(form->PreviewPhotosReady());
}

TEST_F(Pages, MenuItemsAndImagesSwitchPages) {
  Start();
  Command(PunltMenuInformation);
  EXPECT_EQ(VisiblePages(), std::vector<int>{PanelRightLicense});
  EXPECT_EQ(Lowered(), std::vector<int>{PanelTitleAutor});
  Click(ImagePanelInstallSettings);
  EXPECT_EQ(VisiblePages(), std::vector<int>{PanelRightInstall});
  EXPECT_EQ(Lowered(), std::vector<int>{PanelInstallSettings});
  Command(PunltMenuSelfInstalloptions);
  EXPECT_EQ(VisiblePages(), std::vector<int>{PanelRightInstall});
  Command(PunltMenuEditPhotos);
  EXPECT_EQ(VisiblePages(), std::vector<int>{PanelRightPhotos});
  EXPECT_EQ(Lowered(), std::vector<int>{PanelPhotos});
  Click(ImagePanelTitleAutor);
  EXPECT_EQ(VisiblePages(), std::vector<int>{PanelRightLicense});
}

TEST_F(Pages, HoverRaisesOnlyTheLastButtonAndTheBackgroundClearsIt) {
  Start();
  MoveOver(Control(PanelAdd));
  EXPECT_EQ(Raised(), std::vector<int>{PanelAdd});
  MoveOver(Control(ImageBuild));  // the picture inside a button counts as the button
  EXPECT_EQ(Raised(), std::vector<int>{PanelBuild});
  MoveOver(Control(PanelPhotos));
  EXPECT_EQ(Raised(), std::vector<int>{PanelPhotos});
  MoveOver(form->Handle());
  EXPECT_TRUE(Raised().empty());
  MoveOver(Control(ImagePanelRemoveAll));
  MoveOver(Control(PanelCenter));  // a frame is background too
  EXPECT_TRUE(Raised().empty());
  // Hovering never changes which page looks chosen.
  EXPECT_EQ(Lowered(), std::vector<int>{PanelPhotos});
}

TEST_F(Pages, WheelNeverChangesTheFocusedTemplate) {
  Start();
  HWND templ = Control(ComboBoxScreensaverTemplate);
  SendMessageA(templ, CB_SETCURSEL, 2, 0);
  SetFocus(templ);
  ASSERT_EQ(GetFocus(), templ);
  for (int delta : {-WHEEL_DELTA, -WHEEL_DELTA, WHEEL_DELTA * 3}) {
    SendMessageA(GetFocus(), WM_MOUSEWHEEL, MAKEWPARAM(0, delta), 0);
    testsupport::Pump();
  }
  EXPECT_EQ(Get<wingui::ComboBox>(ComboBoxScreensaverTemplate).ItemIndex(), 2);
  // The other drop-down list still answers the wheel: the guard is the template's only.
  HWND resize = Control(ComboBoxResizeMetod);
  SetFocus(resize);
  SendMessageA(resize, CB_SETCURSEL, 1, 0);
  SendMessageA(resize, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
  testsupport::Pump();
  EXPECT_EQ(Get<wingui::ComboBox>(ComboBoxResizeMetod).ItemIndex(), 0);
}

TEST_F(Pages, HelpImagesAndMenuOpenThePagesInTheBuilderFolder) {
  Start();
  Click(ImageVoprosPhotos);
  Command(PunltMenuInformation);
  Click(ImageVoprosInform);
  Command(PunltMenuSelfInstalloptions);
  Click(ImageVoprosSelf_install);
  Command(PunltMenuPrismorabuilderhelp);
  const std::vector<std::string> expected = {
      dir / "help\\screen-saver-file-info.htm", dir / "help\\screen-saver-information.htm",
      dir / "help\\screen-saver-self-install-options.htm", dir / "help\\screen-saver-file-info.htm"};
  EXPECT_EQ(shell.opened, expected);
}

TEST_F(Pages, ColourButtonsSetTheirPanelsAndCancelKeepsThem) {
  Start();
  colors.answer = 0x00123456;
  Command(ButtonBorderColor, BN_CLICKED);
  EXPECT_EQ(Get<Panel>(PanelBorderColor).Color(), 0x00123456u);
  EXPECT_EQ(form->PreviewFillColor(), 0x00123456u);
  EXPECT_EQ(form->ForSaveFillColor(), 0x00123456u);
  colors.answer = std::nullopt;
  Command(ButtonBorderColor, BN_CLICKED);
  EXPECT_EQ(Get<Panel>(PanelBorderColor).Color(), 0x00123456u);
  EXPECT_EQ(colors.initials.back(), 0x00123456u);  // the dialog opens on the last choice
  colors.answer = 0x00ABCDEF;
  Command(ButtonSelectColor, BN_CLICKED);
  EXPECT_EQ(Get<Panel>(PanelColorDialogBox).Color(), 0x00ABCDEFu);
  EXPECT_EQ(colors.initials.back(), 0x00FF00FFu);  // magenta at first
  EXPECT_EQ(form->ReadSettings().DialogBoxColor, 0x00ABCDEFu);
  EXPECT_EQ(form->ReadSettings().BorderColor, 0x00123456u);
}

TEST_F(Pages, PaintRestoresBothBrushesToTheBorderColour) {
  Start();
  colors.answer = 0x000000FF;
  Command(ButtonBorderColor, BN_CLICKED);
  form->SetForSaveFillColor(0x00FFFFFF);
  InvalidateRect(form->Handle(), nullptr, FALSE);
  UpdateWindow(form->Handle());
  EXPECT_EQ(form->ForSaveFillColor(), 0x000000FFu);
  EXPECT_EQ(form->PreviewFillColor(), 0x000000FFu);
}

TEST_F(Pages, LicenceCheckBoxEnablesTheMemoButKeepsItsText) {
  Start();
  Command(PunltMenuInformation);
  SetWindowTextA(Control(MemoLicenseAgreement), "Line one\r\nLine two");
  SendMessageA(Control(CheckBoxEnableLicenseAgreement), BM_SETCHECK, BST_UNCHECKED, 0);
  Command(CheckBoxEnableLicenseAgreement, BN_CLICKED);
  EXPECT_FALSE(IsWindowEnabled(Control(MemoLicenseAgreement)));
  const auto s = form->ReadSettings();
  EXPECT_FALSE(s.LicenseEnabled);
  EXPECT_EQ(s.LicenseText, "Line one\r\nLine two");
}

TEST_F(Pages, ShapeShowsTheDesktopOutsideThePanels) {
  // The screen before the window exists, at the points the test looks at.
  Start();
  auto screenAt = [this](int cx, int cy) {
    POINT p{cx, cy};
    ClientToScreen(form->Handle(), &p);
    HDC screen = GetDC(nullptr);
    COLORREF c = GetPixel(screen, p.x, p.y);
    ReleaseDC(nullptr, screen);
    return c;
  };
  struct Point {
    int x, y;
  };
  const Point outside[] = {{170, 120}, {780, 10}, {480, 5}, {100, 470}};
  const Point inside[] = {{500, 300}, {3, 200}, {197, 60}, {290, 470}};
  const COLORREF panel = GetSysColor(COLOR_ACTIVECAPTION);
  auto panelsShow = [&](bool shown) {
    for (const Point& p : inside)
      if ((screenAt(p.x, p.y) == panel) != shown) return false;
    return true;
  };
  ShowWindow(form->Handle(), SW_HIDE);
  // Nothing of the window left on the screen; the wait ends at its time when the desktop
  // happens to have the panels' colour.
  testsupport::WaitUntil([&] { return panelsShow(false); }, 2000);
  std::vector<COLORREF> before;
  for (const Point& p : outside) before.push_back(screenAt(p.x, p.y));
  form->Show(SW_SHOWNORMAL);
  testsupport::Pump();
  RedrawWindow(form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  testsupport::WaitUntil([&] { return panelsShow(true); }, 3000);
  for (size_t i = 0; i < std::size(outside); ++i)
    EXPECT_EQ(screenAt(outside[i].x, outside[i].y), before[i]) << "outside point " << i;
  for (const Point& p : inside) EXPECT_EQ(screenAt(p.x, p.y), panel) << p.x << "," << p.y;
  // The region itself: the caption's right part is cut away, the menu corner kept.
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  ASSERT_NE(GetWindowRgn(form->Handle(), region), ERROR);
  EXPECT_FALSE(PtInRegion(region, 700, 10));
  EXPECT_TRUE(PtInRegion(region, 20, 20));
  DeleteObject(region);
}

TEST_F(Pages, CloseAndMinimizeImages) {
  Start();
  Click(ImageSmallButt_Svernut);
  EXPECT_TRUE(IsIconic(form->Handle()));
  ShowWindow(form->Handle(), SW_RESTORE);
  Click(ImageSmallButt_Close);
  EXPECT_FALSE(IsWindow(form->Handle()));
}

TEST_F(Pages, AnErrorInAHandlerIsShownAndTheWindowGoesOn) {
  Start();
  AddPhotos({dir / "missing.jpg"});
  form->Strip().SetItemIndex(0);
  Command(ThumbnailList1, LBN_SELCHANGE);
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_NE(errors[0].find("missing.jpg"), std::string::npos);
  // The window still answers.
  Command(PunltMenuInformation);
  EXPECT_TRUE(Get<Panel>(PanelRightLicense).Visible());
}

TEST(AboutBox, ShowsVersionAndAddressAndClosesWithOk) {
  testsupport::RecordingShell shell;
  TAboutBox about(shell);
  ASSERT_TRUE(about.Create(nullptr));
  EXPECT_EQ(about.Controls().Get<wingui::Label>(TAboutBox::Version).Text(), "1.4");
  EXPECT_EQ(about.Controls().Get<wingui::Label>(TAboutBox::ProductName).Text(), "Prismora Builder");
  char caption[32] = {};
  GetWindowTextA(about.Handle(), caption, sizeof caption);
  EXPECT_STREQ(caption, "About");
  RECT client;
  GetClientRect(about.Handle(), &client);
  EXPECT_EQ(client.right, 298);
  EXPECT_EQ(client.bottom, 188);
  // The modal loop ends on OK, and may be shown again.
  for (int round = 0; round < 2; ++round) {
    PostMessageA(about.Handle(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    EXPECT_EQ(about.ShowModal(nullptr), IDOK);
    EXPECT_FALSE(IsWindowVisible(about.Handle()));
  }
  HWND url = about.Controls()[TAboutBox::URL];
  SendMessageA(about.Handle(), WM_COMMAND, MAKEWPARAM(TAboutBox::URL, STN_CLICKED), LPARAM(url));
  EXPECT_EQ(shell.opened, std::vector<std::string>{std::string(kProductUrl)});
}
