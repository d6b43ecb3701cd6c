// The offline renderer draws every template scene with photos on every face.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "engine/gl/bmp.h"
#include "tests/engine_gl/render_tool.h"
#include "tests/support/temp_folder.h"

using namespace prismora;
using testsupport::FileExists;
using testsupport::Here;
using testsupport::SourceFolder;

namespace {


int RunProgram(std::string command) {
  STARTUPINFOA si{};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi{};
  if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &si, &pi))
    return -1000;
  WaitForSingleObject(pi.hProcess, 120000);
  DWORD code = 0;
  GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return int(code);
}

struct Photo {
  uint8_t r, g, b;
};
constexpr Photo kPhotos[] = {{220, 40, 40}, {40, 200, 60}, {50, 70, 230}, {230, 210, 30}};

int CountNear(const image::Image& img, int r, int g, int b) {
  int n = 0;
  for (std::size_t i = 0; i + 2 < img.rgb.size(); i += 3)
    n += std::abs(img.rgb[i] - r) <= 2 && std::abs(img.rgb[i + 1] - g) <= 2 && std::abs(img.rgb[i + 2] - b) <= 2;
  return n;
}

}  // namespace

TEST(TemplateScenes, EveryTemplateRendersWithPhotosOnEveryFace) {
  const std::string tool = Here() + "..\\..\\tools\\render\\prismora_render.exe";
  ASSERT_TRUE(FileExists(tool)) << tool;
  ASSERT_NE(std::getenv("PRISMORA_SOURCE_DIR"), nullptr) << "run by ctest, which names the source folder";
  const std::string resources = SourceFolder() + "runtime\\resources\\";
  testsupport::TempFolder folder;
  for (int i = 0; i < 4; ++i) {
    image::Image img;
    img.width = img.height = 512;
    img.rgb.resize(512 * 512 * 3);
    for (std::size_t p = 0; p < img.rgb.size(); p += 3) {
      img.rgb[p] = kPhotos[i].r;
      img.rgb[p + 1] = kPhotos[i].g;
      img.rgb[p + 2] = kPhotos[i].b;
    }
    ASSERT_TRUE(image::SaveBmpFile(folder / ("preview" + std::to_string(i) + ".bmp"), img));
  }
  // Without its last backslash, which would escape the closing quote.
  const std::string photoFolder = folder.path().substr(0, folder.path().size() - 1);
  for (int n = 0; n < 6; ++n) {
    const std::string scene = resources + "scene" + std::to_string(n) + ".x";
    const std::string block = resources + "template" + std::to_string(n) + ".block";
    ASSERT_TRUE(FileExists(scene)) << scene;
    ASSERT_TRUE(FileExists(block)) << block;
    const std::string out = folder / ("scene" + std::to_string(n) + ".bmp");
    const int code = RunProgram("\"" + tool + "\" \"" + scene + "\" \"" + photoFolder + "\" \"" + out + "\" --block \"" +
                         block + "\" --size 320x240 --ticks 20");
    ASSERT_EQ(code, 0) << scene;
    const image::BmpReadResult read = image::LoadBmpFile(out);
    ASSERT_TRUE(read.ok()) << read.error;
    ASSERT_EQ(read.image.width, 320);
    ASSERT_EQ(read.image.height, 240);
    // Photos are solid colours and materials white: any white pixel is a face without
    // its photo, and the scene must show more than one photo.
    EXPECT_EQ(CountNear(read.image, 255, 255, 255), 0) << scene;
    int photosSeen = 0;
    for (const Photo& p : kPhotos) photosSeen += CountNear(read.image, p.r, p.g, p.b) > 50;
    EXPECT_GE(photosSeen, 2) << scene;
  }
}
