// The real platform behind the seams.
#pragma once
#include "platform/seams.h"

namespace prismora::platform {

struct Win32MessageBoxes final : MessageBoxes {
  BoxAnswer Show(WindowHandle owner, const std::string& text, const std::string& caption,
                 BoxIcon icon, BoxButtons buttons) override;
  BoxAnswer ShowUnicode(WindowHandle owner, const std::string& utf8Text, const std::string& caption,
                        BoxIcon icon, BoxButtons buttons) override;
};

struct Win32FileSystem : FileSystem {  // tests add to it
  bool CopyReplacing(const std::string& from, const std::string& to) override;
  CopyOutcome CopyReplacingWhy(const std::string& from, const std::string& to) override;
  bool CanOpenForRead(const std::string& path) override;
  bool AppendToFile(const std::string& path, std::span<const uint8_t> data) override;
  bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& out) override;
  bool ReplaceFileContents(const std::string& path, std::span<const uint8_t> data) override;
  bool WriteWholeFile(const std::string& path, std::span<const uint8_t> data) override;
  bool RemoveFile(const std::string& path) override;
  bool FileExists(const std::string& path) override;
  bool CreateFolder(const std::string& path) override;
  int64_t FileSize(const std::string& path) override;
  std::string DisplayName(const std::string& path) override;
  std::optional<std::string> StoredPathOf(const std::string& utf8Path) override;
  bool IsFolderUnicode(const std::string& utf8Path) override;
  std::vector<std::string> FileNamesInUnicode(const std::string& utf8Folder) override;
};

struct Win32MessagePump final : MessagePump {
  void RunPending() override;
  void Pause(int ms) override;
};

// Folder of the running program, ending in a backslash.
std::string ProgramFolder();

// The user's own local application-data folder ("C:\Users\<name>\AppData\Local"), made
// when it is missing, without a trailing backslash; empty when the system names none.
// The one place the builder asks where a user's files go.
std::string LocalAppDataFolder();

// Names of the files (not folders) directly in a folder, with or without its last backslash.
std::vector<std::string> FileNamesIn(const std::string& folder);

// Deletes a key below HKEY_CURRENT_USER with its subkeys.
void DeleteUserRegistryKey(const std::string& key);

// A string value (REG_SZ or REG_EXPAND_SZ, unexpanded) from the given root and view.
std::optional<std::string> ReadRegistryText(RegistryRoot root, RegistryView view, const std::string& key,
                                            const std::string& value);
std::string ProgramPath();

}  // namespace prismora::platform
