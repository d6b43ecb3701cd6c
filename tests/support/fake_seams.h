// In-memory stand-ins for the platform seams, for platform-free tests.
#pragma once
#include <functional>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/seams.h"

namespace prismora::testsupport {

// A file system in memory; files listed in `locked` refuse to be replaced, as files in
// use by another program; those in `unwritable` refuse with the reason given.
struct FakeFiles : platform::FileSystem {
  std::map<std::string, std::vector<uint8_t>> files;
  std::set<std::string> locked;
  std::map<std::string, std::string> unwritable;
  bool failAppend = false;
  int copies = 0;
  std::function<void()> onCopy;

  bool CopyReplacing(const std::string& from, const std::string& to) override {
    ++copies;
    if (onCopy) onCopy();
    if (!files.count(from) || locked.count(to) || unwritable.count(to)) return false;
    files[to] = files[from];
    return true;
  }
  platform::CopyOutcome CopyReplacingWhy(const std::string& from, const std::string& to) override {
    if (CopyReplacing(from, to)) return {};
    if (!files.count(from)) return {platform::CopyFailure::Other, "The system cannot find the file specified."};
    if (unwritable.count(to)) return {platform::CopyFailure::Other, unwritable[to]};
    return {platform::CopyFailure::InUse, "The file is in use by another process."};
  }
  bool CanOpenForRead(const std::string& p) override { return files.count(p) > 0; }
  bool AppendToFile(const std::string& p, std::span<const uint8_t> d) override {
    if (failAppend || !files.count(p)) return false;
    files[p].insert(files[p].end(), d.begin(), d.end());
    return true;
  }
  bool ReadWholeFile(const std::string& p, std::vector<uint8_t>& out) override {
    if (!files.count(p)) return false;
    out = files[p];
    return true;
  }
  bool ReplaceFileContents(const std::string& p, std::span<const uint8_t> d) override {
    if (locked.count(p)) return false;
    files[p].assign(d.begin(), d.end());
    return true;
  }
  bool RemoveFile(const std::string& p) override { return files.erase(p) > 0; }
  bool FileExists(const std::string& p) override { return files.count(p) > 0; }
};

struct FakeBoxes : platform::MessageBoxes {
  std::vector<std::pair<std::string, std::string>> shown;
  platform::BoxAnswer answer = platform::BoxAnswer::Ok;  // what every box is answered
  platform::BoxAnswer Show(platform::WindowHandle, const std::string& text, const std::string& caption,
                           platform::BoxIcon, platform::BoxButtons) override {
    shown.emplace_back(text, caption);
    return answer;
  }
};

struct FakePump : platform::MessagePump {
  int runs = 0, pauses = 0;
  std::function<void()> onRun;
  void RunPending() override {
    ++runs;
    if (onRun) onRun();
  }
  void Pause(int) override { ++pauses; }
};

}  // namespace prismora::testsupport
