// What kind of place a path in a project file names. A project file may come from
// anyone, and opening a network path (\\host\share\...) logs on to that computer with
// the user's own credentials (and freezes the window while a host does not answer), so
// the builder asks before it touches one. Device paths (\\?\..., \\.\...) reach past the
// file system's own checks and are never taken from a project file.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace prismora::project {

enum class PathKind { Local, Network, Device };

struct PathPlace {
  PathKind kind = PathKind::Local;
  std::string host;  // the computer of a network path, as written
};

// Both separators count: Windows reads "//host/share" as "\\host\share".
PathPlace ClassifyPath(std::string_view path);

// The computers the network paths name, each once (compared without regard to case), in
// the order they first appear.
std::vector<std::string> NetworkHosts(const std::vector<std::string>& paths);

// Whether two host names name the same computer as far as the text tells.
bool SameHost(std::string_view a, std::string_view b);

// The question asked before a project's network paths are opened.
std::string NetworkPathsQuestion(const std::vector<std::string>& hosts);
// The message for device paths taken out of a project.
std::string DevicePathsRefusedText(const std::vector<std::string>& paths);

}  // namespace prismora::project
