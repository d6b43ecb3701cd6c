#include "builder/project/network_gate.h"

#include <algorithm>

#include "builder/project/path_kinds.h"

namespace prismora::project {

namespace {
bool Contains(const std::vector<std::string>& hosts, const std::string& host) {
  return std::any_of(hosts.begin(), hosts.end(), [&](const std::string& h) { return SameHost(h, host); });
}
void Remove(std::vector<std::string>& hosts, const std::string& host) {
  std::erase_if(hosts, [&](const std::string& h) { return SameHost(h, host); });
}
}  // namespace

void NetworkGate::Allow(const std::string& host) {
  Remove(heldBack_, host);
  if (!Contains(allowed_, host)) allowed_.push_back(host);
}

void NetworkGate::HoldBack(const std::string& host) {
  Remove(allowed_, host);
  if (!Contains(heldBack_, host)) heldBack_.push_back(host);
}

bool NetworkGate::Allowed(const std::string& host) const { return Contains(allowed_, host); }

bool NetworkGate::HeldBack(const std::string& path) const {
  const PathPlace place = ClassifyPath(path);
  return place.kind == PathKind::Network && Contains(heldBack_, place.host);
}

bool NetworkGate::CopyReplacing(const std::string& from, const std::string& to) {
  return !HeldBack(from) && !HeldBack(to) && inner_.CopyReplacing(from, to);
}

platform::CopyOutcome NetworkGate::CopyReplacingWhy(const std::string& from, const std::string& to) {
  if (HeldBack(from) || HeldBack(to))
    return {platform::CopyFailure::Other, "The computer it is on was not opened for this project."};
  return inner_.CopyReplacingWhy(from, to);
}

bool NetworkGate::CanOpenForRead(const std::string& path) {
  return !HeldBack(path) && inner_.CanOpenForRead(path);
}

bool NetworkGate::AppendToFile(const std::string& path, std::span<const uint8_t> data) {
  return !HeldBack(path) && inner_.AppendToFile(path, data);
}

bool NetworkGate::ReadWholeFile(const std::string& path, std::vector<uint8_t>& out) {
  if (HeldBack(path)) {
    out.clear();
    return false;
  }
  return inner_.ReadWholeFile(path, out);
}

bool NetworkGate::ReplaceFileContents(const std::string& path, std::span<const uint8_t> data) {
  return !HeldBack(path) && inner_.ReplaceFileContents(path, data);
}

bool NetworkGate::WriteWholeFile(const std::string& path, std::span<const uint8_t> data) {
  return !HeldBack(path) && inner_.WriteWholeFile(path, data);
}

bool NetworkGate::RemoveFile(const std::string& path) { return !HeldBack(path) && inner_.RemoveFile(path); }

bool NetworkGate::FileExists(const std::string& path) { return !HeldBack(path) && inner_.FileExists(path); }

bool NetworkGate::CreateFolder(const std::string& path) { return !HeldBack(path) && inner_.CreateFolder(path); }

int64_t NetworkGate::FileSize(const std::string& path) { return HeldBack(path) ? -1 : inner_.FileSize(path); }

std::string NetworkGate::DisplayName(const std::string& path) {
  // The real name of an alias is asked of the file system, which a held-back path must
  // not reach: it shows as stored.
  return HeldBack(path) ? platform::FileSystem::DisplayName(path) : inner_.DisplayName(path);
}

}  // namespace prismora::project
