// The builder's real folders in this Wine prefix, and snapshots that tell whether a folder
// was written: every entry's name, size and last-write time, so a file made, removed,
// replaced or rewritten shows as a difference. Running as root, the tests cannot make a
// folder read-only to themselves, so they compare instead.
#pragma once
#include <windows.h>

#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "builder/project/win32/folders_win.h"

namespace prismora::testsupport {

// The user folder the builder writes into (%LOCALAPPDATA%\Prismora Builder\), emptied, so a
// test starts without an auto-save or imported templates of an earlier one.
inline std::string EmptiedRealUserFolder() {
  const std::string user = project::CurrentBuilderFolders().user;
  struct Remove {
    static void Tree(const std::string& dir, bool self) {
      WIN32_FIND_DATAA fd;
      HANDLE f = FindFirstFileA((dir + "*").c_str(), &fd);
      if (f != INVALID_HANDLE_VALUE) {
        do {
          const std::string name = fd.cFileName;
          if (name == "." || name == "..") continue;
          if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) Tree(dir + name + "\\", true);
          else DeleteFileA((dir + name).c_str());
        } while (FindNextFileA(f, &fd));
        FindClose(f);
      }
      if (self) RemoveDirectoryA(dir.c_str());
    }
  };
  if (!user.empty()) Remove::Tree(user, false);
  return user;
}

// A fixture member that empties the real user folder again when its test has ended (its
// windows closed, their auto-save written), so that nothing started later in this prefix
// (another test, the installed builder of `make dist`) opens what the test left.
struct RealUserFolderEmptiedAtEnd {
  RealUserFolderEmptiedAtEnd() = default;
  RealUserFolderEmptiedAtEnd(const RealUserFolderEmptiedAtEnd&) = delete;
  RealUserFolderEmptiedAtEnd& operator=(const RealUserFolderEmptiedAtEnd&) = delete;
  ~RealUserFolderEmptiedAtEnd() { EmptiedRealUserFolder(); }
};

class FolderSnapshot {
 public:
  // `depth` 0: the folder's own entries; each level more goes one folder further down.
  static FolderSnapshot Of(const std::string& folder, int depth) {
    FolderSnapshot s;
    s.Add(folder, "", depth);
    return s;
  }
  // What differs from an earlier snapshot, one line per entry.
  std::vector<std::string> ChangesSince(const FolderSnapshot& before) const {
    std::vector<std::string> changes;
    for (const auto& [name, entry] : entries_) {
      auto was = before.entries_.find(name);
      if (was == before.entries_.end()) changes.push_back("made " + name);
      else if (was->second != entry) changes.push_back("changed " + name);
    }
    for (const auto& [name, entry] : before.entries_)
      if (!entries_.count(name)) changes.push_back("removed " + name);
    return changes;
  }
  std::size_t size() const { return entries_.size(); }

 private:
  using Entry = std::tuple<bool, uint64_t, uint64_t>;  // folder, size, last write
  void Add(const std::string& folder, const std::string& prefix, int depth) {
    std::string base = folder;
    if (!base.empty() && base.back() != '\\') base += '\\';
    WIN32_FIND_DATAA fd;
    HANDLE f = FindFirstFileA((base + "*").c_str(), &fd);
    if (f == INVALID_HANDLE_VALUE) return;
    do {
      const std::string name = fd.cFileName;
      if (name == "." || name == "..") continue;
      const bool isFolder = (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
      entries_[prefix + name] = {isFolder, uint64_t(fd.nFileSizeHigh) << 32 | fd.nFileSizeLow,
                                 uint64_t(fd.ftLastWriteTime.dwHighDateTime) << 32 | fd.ftLastWriteTime.dwLowDateTime};
      if (isFolder && depth > 0) Add(base + name, prefix + name + "\\", depth - 1);
    } while (FindNextFileA(f, &fd));
    FindClose(f);
  }
  std::map<std::string, Entry> entries_;
};

}  // namespace prismora::testsupport
