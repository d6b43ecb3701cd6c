// The builder's two previews with the real runtime: a template playing inside the main
// window's preview panel, and the screen saver preview that opens the preview file's
// settings dialog. The main window is made in the test process; the runtime is the
// built template, started as the builder starts it.
#include <windows.h>

#include "builder/project/project_file.h"
#include "builder/scenes/import_worker.h"
#include "builder/scenes/win32/template_folder_win.h"
#include "engine/xfile/writer.h"
#include "common/trailer.h"
#include "platform/win32/win32_seams.h"
#include "runtime/win/config_dialog.h"
#include "runtime/win/saver.h"
#include "tests/output/builder_window.h"
#include "tests/support/unicode_photos.h"
#include "tests/support/wait.h"
#include "tests/scenes/box_scene.h"

using namespace prismora;
using namespace prismora::testsupport;
using window::ComboBoxScreensaverTemplate;

namespace {

constexpr uint32_t kRed = 0x000000FF, kGreen = 0x0000FF00;

// A process known by one of its windows; waits for its end.
struct WindowProcess {
  HANDLE handle = nullptr;
  DWORD id = 0;
  explicit WindowProcess(HWND w) {
    if (w) GetWindowThreadProcessId(w, &id);
    if (id) handle = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, id);
  }
  ~WindowProcess() {
    if (!handle) return;
    if (WaitForSingleObject(handle, 0) == WAIT_TIMEOUT) TerminateProcess(handle, 99);
    CloseHandle(handle);
  }
  WindowProcess(const WindowProcess&) = delete;
  WindowProcess& operator=(const WindowProcess&) = delete;
  // Waits while running the test's own messages: the builder window lives on this thread.
  bool Ended(DWORD ms) const {
    return WaitUntil([&] { return WaitForSingleObject(handle, 0) == WAIT_OBJECT_0; }, ms);
  }
};

class Previews : public BuilderWindowTest {
 protected:
  void SetUp() override {
    // The program folder apart from the user folder (the temporary folder), as installed.
    programFolder = dir / "program\\";
    CreateDirectoryA(programFolder.c_str(), nullptr);
    BuilderWindowTest::SetUp();
    DeleteFileA((PhotoFolder() + "preview0.bmp").c_str());
    DeleteFileA((PhotoFolder() + "preview1.bmp").c_str());
  }
  void AddRedAndGreen() {
    AddPhotos({Photo("red.bmp", 80, 60, kRed), Photo("green.bmp", 60, 80, kGreen)});
    ASSERT_EQ(form->PhotoCount(), 2);
  }

  // The runtime's window inside the host panel, once it is there.
  HWND WaitForRuntimeIn(HWND panel, DWORD ms = 15000) {
    EXPECT_NE(panel, nullptr) << "no host panel to look in";
    if (!panel) return nullptr;
    HWND w = nullptr;
    auto started = [&] {
      w = FindWindowExA(panel, nullptr, runtime::kSaverClassName, runtime::kPreviewTitle);
      return w != nullptr;
    };
    WaitUntil(started, ms);
    return w;
  }
  // Share of red and green pixels over a screen rectangle, looked at until it is enough.
  double WaitForPhotos(RECT r, double enough, DWORD ms = 10000) {
    double share = 0;
    WaitUntil([&] { return (share = ShareOnScreen(r, {kRed, kGreen})) >= enough; }, ms,
              kScreenWaitStepMs);
    return share;
  }
  std::vector<uint8_t> PreviewFile() const { return TempFolder::Read(dir / "preview.scr"); }
};

uint32_t TrailerWord(const std::vector<uint8_t>& file, std::size_t offset) {
  const std::size_t at = file.size() - trailer::kTrailerSize + offset;
  return uint32_t(file[at]) | uint32_t(file[at + 1]) << 8 | uint32_t(file[at + 2]) << 16 | uint32_t(file[at + 3]) << 24;
}

}  // namespace

TEST_F(Previews, TemplatePlaysInThePanelWithTheUsersPhotosAndAnotherReplacesIt) {
  StartBuilder();
  AddRedAndGreen();
  SelectItem(ComboBoxScreensaverTemplate, 1);

  // The preview file is the template (its own block last) with the project's record
  // after it, marked as a preview.
  std::vector<uint8_t> scr = PreviewFile();
  const std::vector<uint8_t> templ1 = TempFolder::Read(programFolder + "vexo1");
  ASSERT_EQ(scr.size(), templ1.size() + trailer::kBuilderRecordSize);
  EXPECT_TRUE(std::equal(templ1.begin(), templ1.end(), scr.begin()));
  EXPECT_EQ(TrailerWord(scr, trailer::off::PreviewFlag), 1u);
  EXPECT_TRUE(form->PreviewPhotosReady());
  for (const char* name : {"preview0.bmp", "preview1.bmp"}) {
    std::vector<uint8_t> bmp = TempFolder::Read(PhotoFolder() + name);
    ASSERT_GE(bmp.size(), 54u) << name;
    EXPECT_EQ(bmp[18] | bmp[19] << 8, 512) << name;
    EXPECT_EQ(bmp[28], 24) << name;
  }

  HWND panel = out->PreviewHostPanel();
  ASSERT_TRUE(panel);
  HWND runtimeWindow = WaitForRuntimeIn(panel);
  ASSERT_TRUE(runtimeWindow) << "the runtime did not open its window in the host panel";
  WindowProcess first(runtimeWindow);
  EXPECT_NE(first.id, GetCurrentProcessId());
  const RECT area = ClientOnScreen(panel);
  EXPECT_GT(WaitForPhotos(area, 0.05), 0.05) << "the user's photos do not show in the preview panel";

  // Another template: the first runtime ends with its frame, a new one plays.
  SelectItem(ComboBoxScreensaverTemplate, 3);
  EXPECT_TRUE(first.Ended(10000)) << "the first preview outlived its frame";
  HWND second = WaitForRuntimeIn(out->PreviewHostPanel());
  ASSERT_TRUE(second);
  WindowProcess next(second);
  EXPECT_NE(next.id, first.id);
  const std::vector<uint8_t> templ3 = TempFolder::Read(programFolder + "vexo3");
  scr = PreviewFile();
  ASSERT_EQ(scr.size(), templ3.size() + trailer::kBuilderRecordSize);
  EXPECT_TRUE(std::equal(templ3.begin(), templ3.end(), scr.begin()));
  EXPECT_GT(WaitForPhotos(ClientOnScreen(out->PreviewHostPanel()), 0.05), 0.05);
}

// The template preview of photos in folders named in Cyrillic and Japanese: the strip
// shows them, the photo bitmaps are written from them and the runtime plays them.
TEST_F(Previews, PhotosInFoldersNamedInOtherScriptsPlay) {
  StartBuilder();
  const testsupport::UnicodePhotoFolders photos(dir.path(), kRed, kGreen);
  AddPhotos({photos.cyrillicPhoto, photos.japanesePhoto});
  ASSERT_EQ(form->PhotoCount(), 2);
  form->Strip().Repaint();
  Pump();
  EXPECT_TRUE(form->Strip().HasBitmap(0));
  EXPECT_TRUE(form->Strip().HasBitmap(1));
  SelectItem(ComboBoxScreensaverTemplate, 1);
  for (const auto& [text, caption] : boxes.shown) ADD_FAILURE() << caption << ": " << text;
  EXPECT_TRUE(form->PreviewPhotosReady());
  for (const char* name : {"preview0.bmp", "preview1.bmp"}) {
    std::vector<uint8_t> bmp = TempFolder::Read(PhotoFolder() + name);
    ASSERT_GE(bmp.size(), 54u) << name;
    EXPECT_EQ(bmp[18] | bmp[19] << 8, 512) << name;
  }
  HWND runtimeWindow = WaitForRuntimeIn(out->PreviewHostPanel());
  ASSERT_TRUE(runtimeWindow) << "the runtime did not open its window in the host panel";
  EXPECT_GT(WaitForPhotos(ClientOnScreen(out->PreviewHostPanel()), 0.05), 0.05);
}

TEST_F(Previews, ClickingAPhotoEndsThePreviewAndShowsThePhoto) {
  StartBuilder();
  AddRedAndGreen();
  SelectItem(ComboBoxScreensaverTemplate, 0);
  HWND runtimeWindow = WaitForRuntimeIn(out->PreviewHostPanel());
  ASSERT_TRUE(runtimeWindow);
  WindowProcess runtimeProcess(runtimeWindow);

  form->Strip().SetItemIndex(1);
  Command(window::ThumbnailList1, LBN_SELCHANGE);
  EXPECT_EQ(out->PreviewHostPanel(), nullptr);
  EXPECT_TRUE(runtimeProcess.Ended(10000)) << "the preview went on after a photo was chosen";
  // The panel shows the chosen photo again.
  EXPECT_GT(WaitForPhotos(ClientOnScreen(form->PreviewPanel()), 0.3), 0.3);
}

TEST_F(Previews, OnePhotoWarnsThenOpensTheAddDialogAndStartsNothing) {
  StartBuilder();
  AddPhotos({Photo("only.bmp", 40, 30, kRed)});
  const std::size_t asked = dialogs.asked.size();
  SelectItem(ComboBoxScreensaverTemplate, 2);
  ASSERT_FALSE(boxes.shown.empty());
  EXPECT_EQ(boxes.shown.back(), std::make_pair(std::string(output::kTooFewPhotos), std::string("Warning!")));
  EXPECT_EQ(dialogs.asked.size(), asked + 1) << "the add dialog did not follow the warning";
  EXPECT_EQ(out->PreviewHostPanel(), nullptr);
  EXPECT_TRUE(PreviewFile().empty());
}

TEST_F(Previews, FailedPreparationReportsAndLeavesThePhotosNotReady) {
  StartBuilder();
  AddRedAndGreen();
  DeleteFileA((dir / "green.bmp").c_str());
  SelectItem(ComboBoxScreensaverTemplate, 0);
  ASSERT_FALSE(boxes.shown.empty());
  EXPECT_EQ(boxes.shown.back().second, "Error");
  EXPECT_FALSE(form->PreviewPhotosReady());
  EXPECT_FALSE(IsWindowVisible(progress.Handle()));
  EXPECT_EQ(WaitForRuntimeIn(out->PreviewHostPanel(), 1500), nullptr) << "a runtime started on half-made photos";
}

TEST_F(Previews, PreviewCommandOpensTheSettingsDialogWhosePreviewRunsFullScreen) {
  StartBuilder();
  AddRedAndGreen();
  Get<wingui::Control>(window::EditTitle).SetText("Garden Walk");
  Click(window::ImagePanelPreviewScreensaver);

  HWND dialog = nullptr;
  WaitUntil([&] { return (dialog = ForeignDialog()) != nullptr; }, 15000);
  ASSERT_TRUE(dialog) << "preview.scr showed no settings dialog";
  WindowProcess saver(dialog);
  char title[128] = {};
  GetDlgItemTextA(dialog, runtime::ctl::Title, title, sizeof title);
  EXPECT_STREQ(title, "Garden Walk");
  EXPECT_EQ(TrailerWord(PreviewFile(), trailer::off::PreviewFlag), 1u);

  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(runtime::ctl::Preview, BN_CLICKED),
               LPARAM(GetDlgItem(dialog, runtime::ctl::Preview)));
  HWND full = WaitForWindow(runtime::kSaverClassName, runtime::kSaverTitle);
  ASSERT_TRUE(full) << "the dialog's Preview started no full-screen run";
  WindowProcess run(full);
  RECT r{};
  GetWindowRect(full, &r);
  EXPECT_EQ(r.right - r.left, GetSystemMetrics(SM_CXSCREEN));
  EXPECT_EQ(r.bottom - r.top, GetSystemMetrics(SM_CYSCREEN));
  EXPECT_GT(WaitForPhotos(ScreenRect(), 0.02), 0.02) << "the full-screen run shows no photos";

  PostMessageA(full, WM_CLOSE, 0, 0);
  EXPECT_TRUE(run.Ended(10000));
  PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
  EXPECT_TRUE(saver.Ended(10000)) << "the settings dialog did not close";
}

TEST_F(Previews, ClosingWhileThePhotosAreWrittenWaitsForTheRunToEnd) {
  StartBuilder();
  AddPhotos({Photo("red.bmp", 80, 60, kRed), Photo("green.bmp", 60, 80, kGreen), Photo("red2.bmp", 30, 40, kRed)});
  DeleteFileA((PhotoFolder() + "preview2.bmp").c_str());
  // The close arrives while the run lets messages through.
  PostMessageA(form->Handle(), WM_CLOSE, 0, 0);
  SelectItem(ComboBoxScreensaverTemplate, 0);
  for (const char* name : {"preview0.bmp", "preview1.bmp", "preview2.bmp"})
    EXPECT_EQ(TempFolder::Read(PhotoFolder() + name).size(), 54u + 512 * 512 * 3) << name;
  EXPECT_TRUE(errors.empty());
  EXPECT_FALSE(MainWindowAlive()) << "the close asked for during the run was lost";
}

// preview.scr held by another program for good: the preview gives up after its bounded
// wait with an error box naming the file, and a close asked for meanwhile then happens.
TEST_F(Previews, APreviewFileHeldForGoodEndsInAnErrorAndTheBuilderStillCloses) {
  StartBuilder();
  AddRedAndGreen();
  const std::string target = dir / "preview.scr";
  TempFolder::Write(target, {1, 2, 3});
  HANDLE held = CreateFileA(target.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  PostMessageA(form->Handle(), WM_CLOSE, 0, 0);
  SelectItem(ComboBoxScreensaverTemplate, 0);
  CloseHandle(held);
  ASSERT_FALSE(boxes.shown.empty());
  EXPECT_EQ(boxes.shown.back().first.rfind("Could not write " + target + "\n", 0), 0u) << boxes.shown.back().first;
  EXPECT_EQ(boxes.shown.back().second, "Error");
  Pump();
  EXPECT_FALSE(MainWindowAlive()) << "the close asked for during the wait was lost";
}

TEST_F(Previews, ChangingTheFittingWhileThePhotosAreWrittenLeavesThemNotCurrent) {
  StartBuilder();
  AddRedAndGreen();
  // The user picks "Use border" while the photos are being written.
  PostMessageA(Control(window::ComboBoxResizeMetod), CB_SETCURSEL, 1, 0);
  PostMessageA(form->Handle(), WM_COMMAND, MAKEWPARAM(window::ComboBoxResizeMetod, CBN_SELCHANGE),
               LPARAM(Control(window::ComboBoxResizeMetod)));
  SelectItem(ComboBoxScreensaverTemplate, 0);
  EXPECT_FALSE(form->PreviewPhotosReady());
  EXPECT_TRUE(out->PreviewHostPanel()) << "the preview lost its frame";
  // The next preview writes them again, with the new fitting, and then they are current.
  DeleteFileA((PhotoFolder() + "preview0.bmp").c_str());
  SelectItem(ComboBoxScreensaverTemplate, 1);
  EXPECT_TRUE(form->PreviewPhotosReady());
  EXPECT_FALSE(TempFolder::Read(PhotoFolder() + "preview0.bmp").empty());
}

// A scene of the user's own, made by our writer: a textured box far from the origin and
// small. Imported from the File menu, it plays in the panel with the photos, is kept by
// number in the project, and once removed the project falls back to the first template.
TEST_F(Previews, ImportedScenePlaysWithThePhotosAndFallsBackWhenRemoved) {
  TempFolder::Write(programFolder + "vexoscene.exe", TempFolder::Read(BinaryDir() + "vexoscene.exe"));
  const std::string scene = dir / "little box.x";
  TempFolder::Write(scene, engine::xfile::writeXFile(BoxScene({900, -300, 40}, 0.05f), {true, false, false}));
  scenes::Win32TemplateFolder folder;
  templateFolder = &folder;
  StartBuilder();
  AddRedAndGreen();
  // As the builder runs it: the import on a worker thread while the window handles its
  // messages, the progress shown only for a long one and always hidden again.
  platform::Win32MessagePump importPump;
  struct CountedProgress : scenes::ImportProgress {
    int shows = 0, hides = 0;
    void Show(std::string_view) override { ++shows; }
    void Hide() override { ++hides; }
  } importProgress;
  form->SetImportRunner(&importPump, &importProgress);

  dialogs.opens.push_back({scene});
  SendMessageA(form->Handle(), WM_COMMAND, MAKEWPARAM(window::PunltMenuImportScene, 0), 0);
  EXPECT_EQ(importProgress.shows, importProgress.hides);
  EXPECT_FALSE(form->Busy()) << "the busy state ends with the import";
  Pump();
  ASSERT_TRUE(errors.empty()) << errors.front();
  ASSERT_TRUE(boxes.shown.empty()) << boxes.shown.front().first;
  ASSERT_TRUE(files.FileExists(userFolder + "vexo6"));
  const auto combo = Get<wingui::ComboBox>(ComboBoxScreensaverTemplate);
  ASSERT_EQ(combo.Count(), 7);
  EXPECT_EQ(combo.Item(6), "\"little box\"");
  EXPECT_EQ(combo.ItemIndex(), 6);
  EXPECT_EQ(form->ReadSettings().TemplateIndex, 6);

  // The preview is the imported template with the record after it.
  const std::vector<uint8_t> templ = TempFolder::Read(userFolder + "vexo6");
  const std::vector<uint8_t> scr = PreviewFile();
  ASSERT_EQ(scr.size(), templ.size() + trailer::kBuilderRecordSize);
  EXPECT_TRUE(std::equal(templ.begin(), templ.end(), scr.begin()));
  HWND runtimeWindow = WaitForRuntimeIn(out->PreviewHostPanel());
  ASSERT_TRUE(runtimeWindow) << "the imported template did not start in the panel";
  WindowProcess runtimeProcess(runtimeWindow);
  EXPECT_GT(WaitForPhotos(ClientOnScreen(out->PreviewHostPanel()), 0.05), 0.05)
      << "the photos do not cover the imported box";

  // Saved in a project file, it is selected again when the project is opened.
  const project::ProjectSettings saved = form->ReadSettings();
  const std::string projectFile = dir / "box.pmj";
  TempFolder::Write(projectFile, project::EncodeProjectRecord(saved).bytes);
  SendMessageA(Control(ComboBoxScreensaverTemplate), CB_SETCURSEL, 2, 0);
  form->OpenProjectFile(projectFile);
  EXPECT_EQ(combo.ItemIndex(), 6);
  EXPECT_TRUE(boxes.shown.empty());

  boxes.answer = platform::BoxAnswer::Yes;
  SendMessageA(form->Handle(), WM_COMMAND, MAKEWPARAM(window::PunltMenuRemoveImportedTemplate, 0), 0);
  Pump();
  EXPECT_TRUE(runtimeProcess.Ended(10000)) << "the preview of the removed scene went on";
  EXPECT_FALSE(files.FileExists(userFolder + "vexo6"));
  EXPECT_EQ(combo.Count(), 6);
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].second, "Confirm");

  // The project that names it opens with the first template and a warning; photos stay.
  boxes.shown.clear();
  form->OpenProjectFile(projectFile);
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].second, "Warning!");
  EXPECT_NE(boxes.shown[0].first.find("vexo6"), std::string::npos);
  EXPECT_EQ(combo.ItemIndex(), 0);
  EXPECT_EQ(form->PhotoCount(), 2);
  EXPECT_EQ(form->ReadSettings().Title, saved.Title);

  // The six cannot be removed.
  boxes.shown.clear();
  SendMessageA(form->Handle(), WM_COMMAND, MAKEWPARAM(window::PunltMenuRemoveImportedTemplate, 0), 0);
  EXPECT_EQ(combo.Count(), 6);
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].second, "Warning!");

  // A scene without textured faces is refused with an error box; nothing is added.
  const std::string plain = dir / "plain.x";
  TempFolder::Write(plain, engine::xfile::writeBinaryXFile(BoxScene({0, 0, 0}, 1, {1, 1, 1}, "")));
  boxes.shown.clear();
  dialogs.opens.push_back({plain});
  SendMessageA(form->Handle(), WM_COMMAND, MAKEWPARAM(window::PunltMenuImportScene, 0), 0);
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0],
            (std::pair<std::string, std::string>{plain + ": This scene has no textured faces for photos", "Error"}));
  EXPECT_EQ(combo.Count(), 6);
  EXPECT_FALSE(files.FileExists(userFolder + "vexo6"));
}
