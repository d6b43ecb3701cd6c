// Photos in folders named in scripts the system code page cannot hold (Cyrillic and
// Japanese on a Western code page), added by the dialog, by dropping and from a project:
// the strip, the preview and the file info read them, the project stores their 8.3
// aliases and opens them again showing the real names. And a project naming another
// computer's photos asks before anything reaches that computer.
#include <shlobj.h>

#include <algorithm>

#include "builder/project/network_gate.h"
#include "builder/project/project_file.h"
#include "builder/photos/win32/picture.h"
#include "platform/win32/wide_text.h"
#include "tests/support/unicode_photos.h"
#include "tests/window/window_test_support.h"

using namespace prismora;
using namespace prismora::window;
using testsupport::MainWindowTest;
using testsupport::Pump;

namespace {

using testsupport::kCyrillicFolder;
using testsupport::kCyrillicPhoto;
using testsupport::kJapaneseFolder;
using testsupport::kJapanesePhoto;

bool PlainAscii(const std::string& s) {
  for (unsigned char c : s)
    if (c >= 0x80 || c == '?') return false;
  return true;
}

class UnicodeNames : public MainWindowTest {
 protected:
  std::string cyrillic, japanese;            // the folders' real paths (UTF-8)
  std::string cyrillicPhoto, japanesePhoto;  // a photo in each, by its real path

  void SetUp() override {
    MainWindowTest::SetUp();
    // The temp folder is ASCII here; the folders below it are not.
    cyrillic = dir.path() + kCyrillicFolder;
    japanese = dir.path() + kJapaneseFolder;
    cyrillicPhoto = cyrillic + "\\" + kCyrillicPhoto;
    japanesePhoto = japanese + "\\" + kJapanesePhoto;
    ASSERT_TRUE(CreateDirectoryW(platform::WideFromUtf8(cyrillic).c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW(platform::WideFromUtf8(japanese).c_str(), nullptr));
    WriteWide(cyrillicPhoto, 40, 30, 0x000000FF);
    WriteWide(cyrillic + "\\b.bmp", 30, 40, 0x0000FF00);
    WriteWide(japanesePhoto, 64, 32, 0x00FF0000);
  }
  void WriteWide(const std::string& utf8Path, int w, int h, uint32_t color) {
    testsupport::WriteBitmapWide(utf8Path, w, h, color);
  }
  static std::string Stored(const std::string& utf8Path) {
    return platform::StoredPathFor(platform::WideFromUtf8(utf8Path)).value_or("");
  }
  std::vector<std::string> Captions() {
    std::vector<std::string> out;
    for (int i = 0; i < form->Strip().Count(); ++i) out.push_back(form->Strip().Photos().At(i).caption);
    return out;
  }
  // Paints the strip and tells which of its items hold a drawn picture.
  std::vector<bool> Drawn() {
    form->Strip().Repaint();
    Pump();
    std::vector<bool> out;
    for (int i = 0; i < form->Strip().Count(); ++i) out.push_back(form->Strip().HasBitmap(i));
    return out;
  }
  void DropWide(const std::vector<std::string>& utf8Paths) {
    std::wstring list;
    for (const std::string& p : utf8Paths) list += platform::WideFromUtf8(p) + L'\0';
    list += L'\0';
    HGLOBAL block = GlobalAlloc(GHND, sizeof(DROPFILES) + list.size() * sizeof(wchar_t));
    auto* drop = static_cast<DROPFILES*>(GlobalLock(block));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = TRUE;
    memcpy(reinterpret_cast<char*>(drop) + sizeof(DROPFILES), list.data(), list.size() * sizeof(wchar_t));
    GlobalUnlock(block);
    SendMessageA(form->Handle(), WM_DROPFILES, WPARAM(block), 0);  // the window frees it
    Pump();
  }
};

}  // namespace

// What the platform gives for such names. Wine makes an 8.3 alias for any long or
// non-ASCII name on the fly ("Фото" becomes "____~X53": each letter outside ASCII a "_",
// then "~" and a hash of the name); Windows, on volumes that keep short names, stores
// one such as "7B2A~1". Either opens the same file and leads back to the real name.
TEST_F(UnicodeNames, ThePlatformGivesAnAliasTheCodePageHolds) {
  ASSERT_EQ(GetACP(), 1252u) << "these tests need a Western system code page";
  for (const std::string& path : {cyrillic, japanese, cyrillicPhoto, japanesePhoto}) {
    EXPECT_FALSE(platform::AnsiFromWide(platform::WideFromUtf8(path))) << path;
    const std::string alias = Stored(path);
    ASSERT_FALSE(alias.empty()) << path;
    EXPECT_TRUE(PlainAscii(alias)) << alias;
    // The parts that were not ASCII are short names: at most 8 characters, a dot and 3.
    std::vector<std::string> parts;
    for (size_t at = 0; at <= alias.size();) {
      const size_t end = std::min(alias.find('\\', at), alias.size());
      parts.push_back(alias.substr(at, end - at));
      at = end + 1;
    }
    const size_t own = path == cyrillic || path == japanese ? 1 : 2;
    for (size_t i = parts.size() - own; i < parts.size(); ++i) {
      const std::string& part = parts[i];
      const size_t dot = part.find('.');
      EXPECT_LE(dot == std::string::npos ? part.size() : dot, 8u) << alias;
      if (dot != std::string::npos) {
        EXPECT_LE(part.size() - dot - 1, 3u) << alias;
      }
    }
  }
  std::vector<uint8_t> byAlias;
  ASSERT_TRUE(files.ReadWholeFile(Stored(japanesePhoto), byAlias));
  EXPECT_EQ(byAlias.size(), 54u + 64 * 32 * 3);
  // And back to the real name for showing.
  EXPECT_EQ(files.DisplayName(Stored(cyrillicPhoto)), cyrillicPhoto);
  EXPECT_EQ(files.DisplayName(Stored(japanesePhoto)), japanesePhoto);
}

TEST_F(UnicodeNames, AddedByTheDialogShownReadStoredAndOpenedAgain) {
  Start();
  dialogs.opens.push_back({cyrillicPhoto, japanesePhoto});
  Click(ImagePanelAdd);
  ASSERT_EQ(form->Strip().Count(), 2);
  const std::vector<std::string> stored{Stored(cyrillicPhoto), Stored(japanesePhoto)};
  EXPECT_EQ(form->Strip().Filenames(), stored);
  EXPECT_EQ(Captions(), (std::vector<std::string>{cyrillicPhoto, japanesePhoto}));
  EXPECT_EQ(Drawn(), (std::vector<bool>{true, true}));
  // The preview and the file info read the photo.
  form->Strip().SetItemIndex(1);
  Command(ThumbnailList1, LBN_SELCHANGE);
  EXPECT_TRUE(errors.empty()) << errors.front();
  EXPECT_EQ(Text(LabelSourceWidthR), "64");
  EXPECT_EQ(Text(LabelSourceHeightR), "32");
  EXPECT_EQ(Text(LabelFileSizeR), std::to_string(54 + 64 * 32 * 3));

  // Saved: the record holds the aliases, single bytes the code page reads back as they were.
  const std::string project = dir / "unicode.pmj";
  dialogs.saves.push_back(project);
  Command(PunltMenuSave);
  std::vector<uint8_t> bytes = testsupport::TempFolder::Read(project);
  ASSERT_EQ(bytes.size(), project::record::kSize);
  project::ProjectSettings saved;
  project::DecodeProjectRecord(bytes, saved);
  EXPECT_EQ(saved.Photos, stored);

  // Opened again after New Project: the same files, by their real names again.
  Command(PunltMenuNewProject);
  ASSERT_EQ(form->Strip().Count(), 0);
  form->OpenProjectFile(project);
  EXPECT_EQ(form->Strip().Filenames(), stored);
  EXPECT_EQ(Captions(), (std::vector<std::string>{cyrillicPhoto, japanesePhoto}));
  EXPECT_EQ(Drawn(), (std::vector<bool>{true, true}));
  EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(UnicodeNames, DroppedFoldersAndFilesByTheirWideNames) {
  Start();
  DropWide({cyrillic, japanesePhoto});
  // The folder's pictures sorted by name ("b.bmp" before "Лето.bmp"), then the file.
  EXPECT_EQ(form->Strip().Filenames(),
            (std::vector<std::string>{Stored(cyrillic + "\\b.bmp"), Stored(cyrillicPhoto), Stored(japanesePhoto)}));
  EXPECT_EQ(Captions(), (std::vector<std::string>{cyrillic + "\\b.bmp", cyrillicPhoto, japanesePhoto}));
  EXPECT_EQ(Drawn(), (std::vector<bool>{true, true, true}));
  EXPECT_EQ(Text(LabelTotalImages), "Total Images: 3");
}

TEST_F(UnicodeNames, AFileWithoutAnyStorableNameIsRefusedByName) {
  // A file system with no 8.3 names: what a volume with short names turned off gives.
  struct NoAliases : platform::Win32FileSystem {
    std::optional<std::string> StoredPathOf(const std::string& utf8Path) override {
      return platform::AnsiFromWide(platform::WideFromUtf8(utf8Path));
    }
  } noAliases;
  form = std::make_unique<TForm1>(FormSeams{boxes, noAliases, dialogs, colors, shell, dir.path(), nullptr, dir.path()});
  ASSERT_TRUE(form->Create());
  const std::string plain = Photo("plain.bmp");
  dialogs.opens.push_back({plain, japanesePhoto});
  Click(ImagePanelAdd);
  EXPECT_EQ(form->Strip().Filenames(), (std::vector<std::string>{plain}));
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].second, "Error");
  EXPECT_NE(boxes.shown[0].first.find(japanesePhoto), std::string::npos) << boxes.shown[0].first;
}

namespace {

// The real file system, recording every path it is asked about.
struct RecordingFiles : platform::Win32FileSystem {
  std::vector<std::string> touched;
  bool ReadWholeFile(const std::string& p, std::vector<uint8_t>& out) override {
    touched.push_back(p);
    return Win32FileSystem::ReadWholeFile(p, out);
  }
  bool FileExists(const std::string& p) override {
    touched.push_back(p);
    return Win32FileSystem::FileExists(p);
  }
  int64_t FileSize(const std::string& p) override {
    touched.push_back(p);
    return Win32FileSystem::FileSize(p);
  }
  bool CanOpenForRead(const std::string& p) override {
    touched.push_back(p);
    return Win32FileSystem::CanOpenForRead(p);
  }
  std::string DisplayName(const std::string& p) override {
    touched.push_back(p);
    return Win32FileSystem::DisplayName(p);
  }
  int TouchedHost() const {
    int n = 0;
    for (const std::string& p : touched) n += p.rfind("\\\\host\\", 0) == 0;
    return n;
  }
};

// Answers No (or Yes), noting how often the host had been touched when it asked.
struct AskingBoxes : testsupport::FakeBoxes {
  RecordingFiles* files = nullptr;
  std::vector<int> touchedWhenAsked;
  platform::BoxAnswer Show(platform::WindowHandle owner, const std::string& text, const std::string& caption,
                           platform::BoxIcon icon, platform::BoxButtons buttons) override {
    touchedWhenAsked.push_back(files->TouchedHost());
    return FakeBoxes::Show(owner, text, caption, icon, buttons);
  }
};

}  // namespace

TEST_F(UnicodeNames, AProjectsNetworkPathsWaitForTheUsersAnswerAndNoKeepsThem) {
  RecordingFiles disk;
  project::NetworkGate gate(disk);
  photos::SetPictureFileSystem(&gate);  // the strip reads through the gate as in the program
  AskingBoxes asking;
  asking.files = &disk;
  asking.answer = platform::BoxAnswer::No;
  form = std::make_unique<TForm1>(FormSeams{asking, gate, dialogs, colors, shell, dir.path(), nullptr, dir.path(), &gate});
  ASSERT_TRUE(form->Create());
  form->Show(SW_SHOWNORMAL);
  Pump();

  const std::string local = Photo("local.bmp");
  project::ProjectSettings s;
  s.Photos = {local, "\\\\host\\share\\a.jpg", "\\\\?\\C:\\x.jpg"};
  s.WizardImageFile = "\\\\host\\share\\wizard.bmp";
  const std::string project = dir / "foreign.pmj";
  ASSERT_TRUE(project::SaveProjectFile(project, s, files).written);
  disk.touched.clear();
  form->OpenProjectFile(project);

  // An error for the device path, then the one question, asked before the host was touched.
  ASSERT_EQ(asking.shown.size(), 2u);
  EXPECT_EQ(asking.shown[0].second, "Error");
  EXPECT_NE(asking.shown[0].first.find("\\\\?\\C:\\x.jpg"), std::string::npos);
  EXPECT_EQ(asking.shown[1].second, "Warning!");
  EXPECT_NE(asking.shown[1].first.find("\\\\host"), std::string::npos) << asking.shown[1].first;
  EXPECT_EQ(asking.touchedWhenAsked, (std::vector<int>{0, 0}));
  // No: the path stays in the list, nothing opens it (strip, file info), and it is
  // saved as it was.
  EXPECT_EQ(form->Strip().Filenames(), (std::vector<std::string>{local, "\\\\host\\share\\a.jpg"}));
  EXPECT_EQ(Drawn(), (std::vector<bool>{true, false}));
  form->Strip().SetItemIndex(1);
  SendMessageA(form->Handle(), WM_COMMAND, MAKEWPARAM(ThumbnailList1, LBN_SELCHANGE), LPARAM(Control(ThumbnailList1)));
  Pump();
  EXPECT_EQ(disk.TouchedHost(), 0);
  form->FormClose();
  project::ProjectSettings autoSaved;
  project::DecodeProjectRecord(testsupport::TempFolder::Read(project::AutoSavePath(dir.path())), autoSaved);
  EXPECT_EQ(autoSaved.Photos, (std::vector<std::string>{local, "\\\\host\\share\\a.jpg"}));
  EXPECT_EQ(autoSaved.WizardImageFile, "\\\\host\\share\\wizard.bmp");
  EXPECT_EQ(disk.TouchedHost(), 0);
  photos::SetPictureFileSystem(nullptr);
}
