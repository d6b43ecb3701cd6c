// The file system as the builder's windows and runs see it: every call passes to the
// real one, except for paths on computers the user has not agreed to connect to. Those
// fail at once, before anything reaches the network, so a thumbnail, the file info, a
// preview or a build never logs on to a computer a project file named.
#pragma once
#include <string>
#include <vector>

#include "platform/seams.h"

namespace prismora::project {

class NetworkGate final : public platform::FileSystem {
 public:
  explicit NetworkGate(platform::FileSystem& inner) : inner_(inner) {}

  // The user agreed: paths on this computer are opened from now on.
  void Allow(const std::string& host);
  // The user declined: its paths stay closed until allowed.
  void HoldBack(const std::string& host);
  bool Allowed(const std::string& host) const;
  // True for a network path whose computer is held back. Device paths are never held
  // back here: they are kept out of project files before they reach the list.
  bool HeldBack(const std::string& path) const;

  bool CopyReplacing(const std::string& from, const std::string& to) override;
  platform::CopyOutcome CopyReplacingWhy(const std::string& from, const std::string& to) override;
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

 private:
  platform::FileSystem& inner_;
  std::vector<std::string> allowed_, heldBack_;
};

}  // namespace prismora::project
