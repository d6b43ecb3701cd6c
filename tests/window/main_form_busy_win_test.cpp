// The main window while a preview or a build runs: those let window messages through, so
// the messages that arrive meanwhile must neither start a second run, nor change the
// photo list, nor open a dialog; and a close waits until the run has ended.
#include <algorithm>
#include <functional>

#include "builder/project/project_file.h"
#include "tests/window/window_test_support.h"

using namespace prismora;
using namespace prismora::window;
using testsupport::MainWindowTest;
using testsupport::Pump;

namespace {

// An output command that takes a while and lets messages run, as the photo runs and the
// compiler wait do. `during` posts the messages under test once the run is under way.
struct SlowCommands : OutputActions {
  int depth = 0, deepest = 0, builds = 0, templates = 0, previews = 0;
  int templateAtEnd = -1;  // the template the project names as the run ends
  bool windowAliveAtEnd = false;
  std::function<void()> during;

  void Run(TForm1& form, int& counter) {
    ++counter;
    deepest = std::max(deepest, ++depth);
    if (auto posting = std::exchange(during, nullptr)) posting();
    // A tenth of a second of work, the posted messages let through as a real run does.
    for (int i = 0; i < 10; ++i) {
      Pump();
      Sleep(10);
    }
    windowAliveAtEnd = IsWindow(form.Handle()) != FALSE;
    templateAtEnd = form.ReadSettings().TemplateIndex;
    --depth;
  }
  void TemplateChosen(TForm1& f) override { Run(f, templates); }
  void PreviewScreenSaver(TForm1& f) override { Run(f, previews); }
  void Build(TForm1& f) override { Run(f, builds); }
};

class Busy : public MainWindowTest {
 protected:
  SlowCommands commands;

  void StartWithPhotos() {
    Start();
    form->SetOutputActions(&commands);
    AddPhotos({Photo("a.bmp"), Photo("b.bmp"), Photo("c.bmp")});
    form->Strip().SetSelected(1, true);
    form->SetPreviewPhotosReady(true);
  }
  void Post(int id, int code = BN_CLICKED) {
    PostMessageA(form->Handle(), WM_COMMAND, MAKEWPARAM(id, code), LPARAM(Control(id)));
  }
};

}  // namespace

TEST_F(Busy, CommandsThatWouldNestOrEditTheListAreRefusedDuringARun) {
  StartWithPhotos();
  const std::string extra = Photo("d.bmp");
  dialogs.opens.push_back({extra});  // an answer for any dialog that opens by mistake
  const std::size_t asked = dialogs.asked.size();
  commands.during = [&] {
    for (int id : {ImageBuild, ImagePanelPreviewScreensaver, ImagePanelAdd, ImagePanelRemove, ImagePanelRemoveAll,
                   ImageWizardImageFileLupa, ButtonBorderColor})
      Post(id);
    for (int id : {PunltMenuBuildScreenSaver, PunltMenuPreviewScreensaver, AddPhotos1, RemovePhotos1, RemoveAll1,
                   PunltMenuOpen, PunltMenuNewProject, PunltMenuSave})
      Post(id, 0);
    SendMessageA(Control(ComboBoxScreensaverTemplate), CB_SETCURSEL, 3, 0);
    Post(ComboBoxScreensaverTemplate, CBN_SELCHANGE);
    PostMessageA(form->Strip().ListBox(), WM_KEYDOWN, VK_DELETE, 1);
  };
  Click(ImageBuild);
  EXPECT_EQ(commands.deepest, 1);
  EXPECT_EQ(commands.builds, 1);
  EXPECT_EQ(commands.templates + commands.previews, 0);
  EXPECT_EQ(form->PhotoCount(), 3);
  EXPECT_EQ(form->Strip().Count(), 3);
  EXPECT_EQ(dialogs.asked.size(), asked) << "a dialog opened during the run";
  EXPECT_TRUE(colors.initials.empty());
  EXPECT_TRUE(errors.empty());

  // Once the run has ended, the same commands work again.
  Click(ImagePanelPreviewScreensaver);
  EXPECT_EQ(commands.previews, 1);
  Click(ImagePanelRemoveAll);
  EXPECT_EQ(form->PhotoCount(), 0);
}

TEST_F(Busy, ClosingDuringARunClosesTheWindowWhenTheRunEnds) {
  StartWithPhotos();
  commands.during = [&] { PostMessageA(form->Handle(), WM_CLOSE, 0, 0); };
  SelectItem(ComboBoxScreensaverTemplate, 2);
  EXPECT_EQ(commands.templates, 1);
  EXPECT_TRUE(commands.windowAliveAtEnd) << "the window went while the run still used it";
  Pump();
  EXPECT_FALSE(IsWindow(form->Handle())) << "the close asked for during the run was lost";
  EXPECT_TRUE(testsupport::TempFolder::Read(dir / "AutoSave.pmj").size() > 0);
}

TEST_F(Busy, PagesAndTheFittingStillAnswerDuringARun) {
  StartWithPhotos();
  commands.during = [&] {
    Post(ImagePanelTitleAutor);
    SendMessageA(Control(ComboBoxResizeMetod), CB_SETCURSEL, 1, 0);
    Post(ComboBoxResizeMetod, CBN_SELCHANGE);
  };
  Click(ImagePanelPreviewScreensaver);
  EXPECT_TRUE(IsWindowVisible(Control(PanelRightLicense)));
  EXPECT_TRUE(IsWindowEnabled(Control(CheckBoxRandomColor)));
  EXPECT_FALSE(form->PreviewPhotosReady()) << "the photos were prepared with the old fitting";
}

// A template picked while a run is under way is refused, and the combo goes back to the
// template the run plays, so the preview, a later Build and the auto-save all name it.
TEST_F(Busy, ARefusedTemplatePickPutsThePreviousTemplateBack) {
  StartWithPhotos();
  auto pick = [&](int item) {
    return [this, item] {
      SendMessageA(Control(ComboBoxScreensaverTemplate), CB_SETCURSEL, WPARAM(item), 0);
      Post(ComboBoxScreensaverTemplate, CBN_SELCHANGE);
    };
  };
  commands.during = pick(4);
  SelectItem(ComboBoxScreensaverTemplate, 2);  // starts the template's preview
  EXPECT_EQ(commands.templates, 1);
  EXPECT_EQ(commands.templateAtEnd, 2);
  EXPECT_EQ(SendMessageA(Control(ComboBoxScreensaverTemplate), CB_GETCURSEL, 0, 0), 2);
  EXPECT_EQ(form->ReadSettings().TemplateIndex, 2);

  commands.during = pick(5);
  Click(ImageBuild);
  EXPECT_EQ(commands.builds, 1);
  EXPECT_EQ(commands.templateAtEnd, 2);
  EXPECT_EQ(commands.templates, 1);
  EXPECT_EQ(SendMessageA(Control(ComboBoxScreensaverTemplate), CB_GETCURSEL, 0, 0), 2);

  PostMessageA(form->Handle(), WM_CLOSE, 0, 0);
  Pump();
  project::ProjectSettings saved;
  project::DecodeProjectRecord(testsupport::TempFolder::Read(dir / "AutoSave.pmj"), saved);
  EXPECT_EQ(saved.TemplateIndex, 2);
}
