// samplephotos OUTPUT_FOLDER [PHOTO_FOLDER_AS_THE_BUILDER_SEES_IT]
// Writes the built-in sample photos as JPEG files and a demo project "Demo.pmj" that
// lists them. The second argument is the photos' folder in the form the builder will
// read it (for example a Wine path "Z:\work\out\demo\photos\"); by default the Unix path.
#include <cstdio>
#include <fstream>
#include <string>

#include "builder/photos/jpeg.h"
#include "builder/project/project_file.h"
#include "tools/samplephotos/painter.h"

using namespace prismora;

namespace {
bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  return bool(out);
}
}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: samplephotos OUTPUT_FOLDER [PHOTO_FOLDER_FOR_THE_PROJECT]\n");
    return 2;
  }
  std::string out = argv[1];
  if (out.back() != '/') out += '/';
  std::string listed = argc > 2 ? argv[2] : out;

  project::ProjectSettings demo;
  demo.Title = "Prismora Demo";
  demo.Author = "Prismora Team";
  demo.Email = "demo@example.com";
  demo.Website = "www.example.com";
  demo.LicenseText = "This demo screen saver may be shared freely.";
  demo.TemplateIndex = 0;
  demo.DialogBoxColor = 0x00A05A2C;  // a calm blue

  for (const samples::SamplePicture& sample : samples::BuiltInSamples()) {
    photos::PixelImage image(sample.width, sample.height);
    sample.paint(image, unsigned(sample.width * 31 + sample.height));
    std::vector<uint8_t> jpeg;
    std::string error;
    if (!photos::EncodeJpeg(image.View(), photos::kExportQuality, jpeg, error) ||
        !WriteFile(out + sample.name + ".jpg", jpeg)) {
      std::fprintf(stderr, "samplephotos: %s.jpg: %s\n", sample.name.c_str(), error.c_str());
      return 1;
    }
    demo.Photos.push_back(listed + sample.name + ".jpg");
    std::printf("  %s.jpg  %d x %d\n", sample.name.c_str(), sample.width, sample.height);
  }
  project::EncodedProject record = project::EncodeProjectRecord(demo);
  if (!WriteFile(out + "Demo.pmj", record.bytes)) {
    std::fprintf(stderr, "samplephotos: cannot write %sDemo.pmj\n", out.c_str());
    return 1;
  }
  std::printf("  Demo.pmj  %zu photos\n", demo.Photos.size());
  return 0;
}
