// Writes the six template scenes and their template blocks:
//   scenegen <output folder>      (normally runtime/resources)
#include <cstdio>
#include <fstream>
#include <string>

#include "tools/scenegen/templates.h"

namespace {

bool writeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: scenegen <output folder>\n");
    return 2;
  }
  std::string folder = std::string(argv[1]) + "/";
  for (int i = 0; i < prismora::scenegen::kTemplateCount; ++i) {
    auto scene = prismora::scenegen::buildTemplate(i);
    std::string scenePath = folder + prismora::scenegen::sceneFileName(i);
    std::string blockPath = folder + prismora::scenegen::templateBlockFileName(i);
    if (!writeFile(scenePath, prismora::scenegen::sceneBytes(scene)) ||
        !writeFile(blockPath, prismora::scenegen::templateBlockBytes(scene))) {
      std::fprintf(stderr, "scenegen: cannot write %s\n", scenePath.c_str());
      return 1;
    }
    std::printf("%s: %s\n", scenePath.c_str(), scene.title.c_str());
  }
  return 0;
}
