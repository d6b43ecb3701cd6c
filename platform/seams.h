// The small interfaces through which window code reaches the platform. Window code
// and the output steps take them as parameters, so tests can drive real windows
// without a modal box or a common dialog blocking the run.
//
// Texts and paths are single bytes in the system code page, the form the project file,
// the settings trailer and the installer script store them in. A file whose real name
// that code page cannot hold is known by its short 8.3 alias; where its real name is
// shown it is UTF-8 text, and only the calls that say so take or give that.
#pragma once
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace prismora::platform {

using WindowHandle = void*;  // an HWND, kept opaque for platform-free code

enum class BoxIcon { None, Error, Warning, Information, Question };
// YesNoSafe: Yes and No with No as the default button, for questions where Enter must
// not take the risky road.
enum class BoxButtons { Ok, OkCancel, YesNo, YesNoSafe };
enum class BoxAnswer { Ok, Cancel, Yes, No };

struct MessageBoxes {
  virtual ~MessageBoxes() = default;
  virtual BoxAnswer Show(WindowHandle owner, const std::string& text, const std::string& caption,
                         BoxIcon icon, BoxButtons buttons = BoxButtons::Ok) = 0;
  // The same box with a UTF-8 text, for messages that name a file by its real name.
  virtual BoxAnswer ShowUnicode(WindowHandle owner, const std::string& utf8Text,
                                const std::string& caption, BoxIcon icon,
                                BoxButtons buttons = BoxButtons::Ok) {
    return Show(owner, utf8Text, caption, icon, buttons);
  }
};

// Why a copy did not happen: the target was in use by another program (which may soon
// let it go), or anything else (read-only, disk full, no such folder), which waiting does
// not mend. `reason` is the system's own text when there is one.
enum class CopyFailure { None, InUse, Other };
struct CopyOutcome {
  CopyFailure failure = CopyFailure::None;
  std::string reason;
  bool ok() const { return failure == CopyFailure::None; }
};

struct FileSystem {
  virtual ~FileSystem() = default;
  // Copies, replacing an existing target. False when the copy did not happen.
  virtual bool CopyReplacing(const std::string& from, const std::string& to) = 0;
  // The same copy, telling why it failed. A file system that cannot tell calls every
  // failure `Other`.
  virtual CopyOutcome CopyReplacingWhy(const std::string& from, const std::string& to) {
    if (CopyReplacing(from, to)) return {};
    return {CopyFailure::Other, {}};
  }
  // Whether the file can be opened for reading right now.
  virtual bool CanOpenForRead(const std::string& path) = 0;
  // Writes `data` after the last byte of an existing file; true only when all of it
  // was written.
  virtual bool AppendToFile(const std::string& path, std::span<const uint8_t> data) = 0;
  virtual bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& out) = 0;
  // Writes the whole file through a temporary file in the same folder, so that the
  // previous content survives any failure.
  virtual bool ReplaceFileContents(const std::string& path, std::span<const uint8_t> data) = 0;
  // Writes the whole file in place, without the temporary file and the flush to disk of
  // ReplaceFileContents: for files that are simply made again when they are lost (photo
  // bitmaps, exported photos), where a flush per file would make long photo lists slow.
  virtual bool WriteWholeFile(const std::string& path, std::span<const uint8_t> data) {
    return ReplaceFileContents(path, data);
  }
  virtual bool RemoveFile(const std::string& path) = 0;
  virtual bool FileExists(const std::string& path) = 0;
  // Creates the last level of a folder path (a trailing backslash is allowed); false when
  // it exists already or cannot be made.
  virtual bool CreateFolder(const std::string& /*path*/) { return false; }
  // Size in bytes, or -1 when the file cannot be read.
  virtual int64_t FileSize(const std::string& path) {
    std::vector<uint8_t> bytes;
    return ReadWholeFile(path, bytes) ? int64_t(bytes.size()) : -1;
  }
  // The name to show for a path, as UTF-8: the real long name of a file known by its
  // 8.3 alias. A file system that cannot tell gives the path back.
  virtual std::string DisplayName(const std::string& path) { return path; }
  // How a file the user chose, named by its real path in UTF-8, is kept in the photo
  // list and stored in a project: the path itself when the system code page holds it,
  // else its 8.3 alias. Nothing when it has neither. A file system that knows only
  // single-byte paths gives the path back.
  virtual std::optional<std::string> StoredPathOf(const std::string& utf8Path) { return utf8Path; }
  // For files the user drops: whether a path (UTF-8) is a folder, and the names (UTF-8)
  // of the plain files directly in it.
  virtual bool IsFolderUnicode(const std::string& /*utf8Path*/) { return false; }
  virtual std::vector<std::string> FileNamesInUnicode(const std::string& /*utf8Folder*/) { return {}; }
};

struct MessagePump {
  virtual ~MessagePump() = default;
  // Runs every window message that is waiting, then returns.
  virtual void RunPending() = 0;
  // Waits about `ms` milliseconds while still handling messages.
  virtual void Pause(int ms) = 0;
};

// The common open and save dialogs. A filter is written as pairs of description and
// pattern separated by '|', e.g. "Project (*.pmj)|*.pmj".
struct FileDialogOptions {
  std::string filter;
  std::string defaultExt;   // without the dot; appended when the user types none
  std::string initialName;  // file name proposed when the dialog opens
  bool allowMultiple = false;
  bool mustExist = false;
  bool hideReadOnly = true;
  bool overwritePrompt = false;
  bool picturePreview = false;  // an open dialog with a pane that shows the chosen picture
};

struct FileDialogs {
  virtual ~FileDialogs() = default;
  // The chosen files, in the order the dialog returns them; empty when cancelled.
  virtual std::vector<std::string> Open(WindowHandle owner, const FileDialogOptions& options) = 0;
  // The same dialog giving the chosen files' real paths as UTF-8, for callers that keep
  // files the code page cannot name (through FileSystem::StoredPathOf).
  virtual std::vector<std::string> OpenUnicode(WindowHandle owner, const FileDialogOptions& options) {
    return Open(owner, options);
  }
  // The chosen file, or nothing when cancelled.
  virtual std::optional<std::string> Save(WindowHandle owner, const FileDialogOptions& options) = 0;
};

// The colour dialog; nothing when cancelled. Colours are 0x00BBGGRR.
struct ColorDialogs {
  virtual ~ColorDialogs() = default;
  virtual std::optional<uint32_t> Choose(WindowHandle owner, uint32_t initial) = 0;
};

// Where a registry value is read: the machine's part or the user's, and which of the two
// views a 64-bit Windows keeps, the one 32-bit programs see or the one 64-bit programs see
// (a 32-bit Windows has one view, and both name it).
enum class RegistryRoot { LocalMachine, CurrentUser };
enum class RegistryView { Bits32, Bits64 };

// A string value; nothing when the key or the value is missing or holds no text.
using ReadRegistryString = std::optional<std::string> (*)(RegistryRoot root, RegistryView view,
                                                          const std::string& key,
                                                          const std::string& value);

// Asks the shell to "open" a document or address (help pages, web links), showing it
// normally. The outcome is the shell's business: nothing is reported back.
struct Shell {
  virtual ~Shell() = default;
  virtual void Open(const std::string& target) = 0;
};

}  // namespace prismora::platform
