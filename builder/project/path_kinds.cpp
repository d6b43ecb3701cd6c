#include "builder/project/path_kinds.h"

#include <cctype>

namespace prismora::project {

namespace {
bool IsSeparator(char c) { return c == '\\' || c == '/'; }
}  // namespace

PathPlace ClassifyPath(std::string_view path) {
  if (path.size() < 2 || !IsSeparator(path[0]) || !IsSeparator(path[1])) return {};
  // "\\?\", "\\.\" and the NT form "\??\" open devices and bypass the name checks; a
  // "\\?\UNC\host\..." is a network path in that form and is refused with them.
  if (path.size() >= 3 && (path[2] == '?' || path[2] == '.') &&
      (path.size() == 3 || IsSeparator(path[3])))
    return {PathKind::Device, {}};
  std::size_t end = 2;
  while (end < path.size() && !IsSeparator(path[end])) ++end;
  // "\\" alone, or a host name that is empty, still reaches the network redirector.
  return {PathKind::Network, std::string(path.substr(2, end - 2))};
}

bool SameHost(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

std::vector<std::string> NetworkHosts(const std::vector<std::string>& paths) {
  std::vector<std::string> hosts;
  for (const std::string& path : paths) {
    PathPlace place = ClassifyPath(path);
    if (place.kind != PathKind::Network) continue;
    bool known = false;
    for (const std::string& h : hosts) known = known || SameHost(h, place.host);
    if (!known) hosts.push_back(place.host);
  }
  return hosts;
}

std::string NetworkPathsQuestion(const std::vector<std::string>& hosts) {
  std::string names;
  for (const std::string& h : hosts) names += "\r\n    \\\\" + h;
  const bool one = hosts.size() == 1;
  return std::string("This project names photos on ") + (one ? "another computer" : "other computers") +
         ":" + names +
         "\r\n\r\nOpening them connects to " + (one ? "that computer" : "those computers") +
         " with your Windows logon. Open them only if you trust the project and " +
         (one ? "the computer" : "the computers") +
         ".\r\n\r\nOpen these photos?\r\n\r\n(No keeps them in the photo list, unopened, and "
         "saves them as they are.)";
}

std::string DevicePathsRefusedText(const std::vector<std::string>& paths) {
  std::string names;
  for (const std::string& p : paths) names += "\r\n    " + p;
  return std::string("The project names ") + (paths.size() == 1 ? "a device path" : "device paths") +
         ", which the builder does not open:" + names +
         "\r\n\r\nThey were left out of the photo list.";
}

}  // namespace prismora::project
