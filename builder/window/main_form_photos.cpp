// Photo list editing of the main window: add, remove selected, remove all, and the
// preview of the current photo with its file info.
#include "builder/window/main_form.h"

#include <shellapi.h>

#include <cmath>
#include <exception>

#include "builder/photos/win32/picture_decoder.h"
#include "builder/project/path_kinds.h"
#include "builder/project/project_commands.h"
#include "builder/window/dropped_files.h"
#include "builder/window/photo_info.h"
#include "platform/win32/win32_seams.h"

namespace prismora::window {

const char* AddPhotosFilter() {
  return "All pictures (*.jpg;*.jpeg;*.bmp;*.gif;*.png;*.tif;*.tiff;*.webp;*.heic;*.heif;*.avif;"
         "*.ico;*.emf;*.wmf)"
         "|*.jpg;*.jpeg;*.bmp;*.gif;*.png;*.tif;*.tiff;*.webp;*.heic;*.heif;*.avif;*.ico;*.emf;*.wmf"
         "|JPEG Image File (*.jpg;*.jpeg)|*.jpg;*.jpeg"
         "|Bitmaps (*.bmp)|*.bmp"
         "|GIF Image (*.gif)|*.gif"
         "|PNG Image (*.png)|*.png"
         "|TIFF Image (*.tif;*.tiff)|*.tif;*.tiff"
         "|WebP Image (*.webp)|*.webp"
         "|HEIF Image (*.heic;*.heif)|*.heic;*.heif"
         "|AVIF Image (*.avif)|*.avif"
         "|Icons (*.ico)|*.ico"
         "|Metafiles (*.emf;*.wmf)|*.emf;*.wmf";
}

wingui::Surface& TForm1::PreviewSurface() const { return c_.Get<wingui::Image>(ImagePreview).Picture(); }

void TForm1::RepaintPreview() const {
  HWND preview = c_[ImagePreview];
  InvalidateRect(preview, nullptr, FALSE);
  UpdateWindow(preview);
}

void TForm1::UpdateTotalImages() {
  c_.Get<wingui::Label>(LabelTotalImages).SetText(TotalImagesText(photoCount_));
}

void TForm1::SetFileInfoLabel(int id, const std::string& text) {
  wingui::Label label = c_.Get<wingui::Label>(id);
  label.SetText(text);
  // Centred in the group; the label's real parent is the group's page.
  const wingui::ControlRow& group = *wingui::FindRow(MainFormLayout(), GroupBoxFileInfo);
  const wingui::Rect groupInPage = wingui::RelativeRect(MainFormLayout(), group);
  label.SetLeft(groupInPage.left + CentredLeft(group.rect.width, label.Width()));
  label.Invalidate();
}

void TForm1::ResetFileInfo() {
  for (int id : kFileInfoLabels) SetFileInfoLabel(id, "0");
}

void TForm1::AppendPhoto(const std::string& path) {
  strip_.AddFile(path, seams_.files.DisplayName(path));
  ++photoCount_;
  UpdateTotalImages();
}

bool TForm1::AddChosenPhotos(const std::vector<std::string>& utf8Paths) {
  std::vector<std::string> stored, refused;
  for (const std::string& path : utf8Paths) {
    if (std::optional<std::string> s = seams_.files.StoredPathOf(path))
      stored.push_back(std::move(*s));
    else
      refused.push_back(path);
  }
  if (!refused.empty())
    seams_.boxes.ShowUnicode(Handle(), UnnamablePhotosText(refused), "Error", platform::BoxIcon::Error);
  if (stored.empty()) return false;
  // Photos the user picks from another computer open: that is the user's own choice.
  if (seams_.network)
    for (const std::string& host : project::NetworkHosts(stored)) seams_.network->Allow(host);
  previewPhotos_.Changed();
  // The same file may be added again; the new photos do not become current.
  strip_.BeginUpdate();
  for (const std::string& photo : stored) AppendPhoto(photo);
  strip_.EndUpdate();
  return true;
}

void TForm1::AddDroppedPhotos(const std::vector<std::string>& dropped) {
  DropSource source{
      [this](const std::string& path) { return seams_.files.IsFolderUnicode(path); },
      [this](const std::string& folder) { return seams_.files.FileNamesInUnicode(folder); }};
  AddChosenPhotos(PhotosFromDrop(dropped, source));
}

void TForm1::ImagePanelAddClick() { AddPhotos(); }
void TForm1::ImagePanelRemoveClick() { RemoveSelectedPhotos(); }
void TForm1::ImagePanelRemoveAllClick() { RemoveAllPhotos(); }

void TForm1::AddPhotos() {
  platform::FileDialogOptions o;
  o.filter = AddPhotosFilter();
  o.allowMultiple = true;
  o.hideReadOnly = true;
  o.picturePreview = true;
  std::vector<std::string> files = seams_.dialogs.OpenUnicode(Handle(), o);
  if (files.empty()) return;  // cancelled
  AddChosenPhotos(files);
}

void TForm1::ScreenProjectPaths(project::ProjectSettings& s) {
  if (seams_.network) project::ScreenProjectPaths(Handle(), s, *seams_.network, seams_.boxes);
}

void TForm1::RemoveSelectedPhotos() {
  previewPhotos_.Changed();
  // The strip's placeholders follow once, not once per photo: removing a thousand
  // selected photos would otherwise rebuild the list box a thousand times.
  strip_.BeginUpdate();
  for (int index : RemovalOrder(strip_.SelectedIndices(), strip_.Count())) {
    strip_.SetSelected(index, false);
    strip_.Remove(index);
    --photoCount_;
  }
  strip_.EndUpdate();
  // A new current photo that cannot be read still reports its error, but only after the
  // counter and the file info show the list as it now is.
  std::exception_ptr unreadable;
  if (strip_.Count() > 0) {
    try {
      ShowCurrentPhoto();
    } catch (...) {
      unreadable = std::current_exception();
    }
  } else {
    PreviewSurface().Fill(GetSysColor(COLOR_BTNFACE));
    RepaintPreview();
  }
  ResetFileInfo();
  UpdateTotalImages();
  if (unreadable) std::rethrow_exception(unreadable);
}

void TForm1::RemoveAllPhotos() {
  previewPhotos_.Changed();
  strip_.Clear();
  photoCount_ = 0;
  PreviewSurface().Fill(GetSysColor(COLOR_BTNFACE));
  RepaintPreview();
  ResetFileInfo();
  UpdateTotalImages();
}

void TForm1::ThumbnailList1Click() { ShowCurrentPhoto(); }

bool TForm1::ThumbnailList1KeyDown(WORD key) {
  // The strip only hears keys while it has the focus. The list stays as a running
  // command read it.
  if (busy_) return key == VK_DELETE;
  if (key == VK_DELETE) RemoveSelectedPhotos();
  if ((key == VK_UP || key == VK_DOWN) && GetKeyState(VK_CONTROL) < 0) {
    MoveCurrentPhoto(key == VK_UP ? -1 : 1);
    return true;
  }
  return false;
}

void TForm1::MoveCurrentPhoto(int step) {
  const int from = strip_.ItemIndex(), to = from + step;
  if (from < 0 || from >= strip_.Count() || to < 0 || to >= strip_.Count()) return;
  strip_.Move(from, to);
  // The prepared preview bitmaps follow the old order.
  previewPhotos_.Changed();
}

void TForm1::ShowCurrentPhoto() {
  actions_->StopTemplatePreview(*this);
  const int index = strip_.ItemIndex();
  if (index < 0 || index >= strip_.Count()) return;
  const std::string path = strip_.FilenameAt(index);

  // The photo is decoded and fitted exactly as texture preparation does it, so the
  // preview shows what the screen saver will show.
  const bool border = c_.Get<wingui::ComboBox>(ComboBoxResizeMetod).ItemIndex() == project::kUseBorder;
  wingui::Surface& preview = PreviewSurface();
  if (preview.Empty()) preview.Resize(photos::kPreviewSide, photos::kPreviewSide);
  const int side = preview.Width();
  photos::DecodedPhoto photo;
  std::string error;
  const photos::DrawSizeFor drawSize = [&](int w, int h) {
    const photos::PixelRect r = photos::FittedRect(w, h, side, {border, 0});
    return photos::PixelSize{r.Width(), r.Height()};
  };
  // Transparent parts show the colour the photo is framed in: with Random Color the next
  // draw, looked at on a copy, since a photo that cannot be read draws none.
  const bool randomFill = border && c_.Get<wingui::CheckBox>(CheckBoxRandomColor).Checked();
  photos::RandomColors ahead = random_;
  const uint32_t fill = randomFill ? ahead.NextRandomColor() : previewFill_;
  // A file that cannot be read or decoded ends the handler here, with its message.
  if (!PhotoDecoder()(path, drawSize, photo, error, border ? fill : photos::kWhite))
    throw std::runtime_error(error);

  if (randomFill) previewFill_ = random_.NextRandomColor();
  const photos::PixelView square{preview.Bits(), side, preview.Height(), preview.Stride()};
  photos::DrawFitted(photo.pixels.View(), photo.fullWidth, photo.fullHeight, square, {border, previewFill_});
  RepaintPreview();

  const FileInfoValues info = PhotoFileInfo(path, photo.fullWidth, photo.fullHeight, seams_.files.FileSize(path));
  SetFileInfoLabel(LabelFormatR, info.format);
  SetFileInfoLabel(LabelSourceWidthR, info.width);
  SetFileInfoLabel(LabelSourceHeightR, info.height);
  SetFileInfoLabel(LabelFileSizeR, info.size);
}

const photos::PhotoDecoder& TForm1::PhotoDecoder() {
  // The same decoder the photo runs use, so the preview shows what the screen saver will.
  if (!decoder_) decoder_ = photos::MakePlatformPhotoDecoder(seams_.files);
  return decoder_;
}

}  // namespace prismora::window
