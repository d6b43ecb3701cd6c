#include "builder/window/dropped_files.h"

#include <gtest/gtest.h>

#include <map>

using namespace prismora::window;
using Paths = std::vector<std::string>;

TEST(DroppedFiles, PictureKindsByExtension) {
  for (const char* name : {"a.jpg", "B.JPEG", "c.Png", "d.tif", "e.TIFF", "f.bmp", "g.gif", "h.ico",
                           "phone.webp", "WEB.WebP", "IMG_0001.HEIC", "burst.heif", "web.avif"})
    EXPECT_TRUE(IsPictureFileName(name)) << name;
  for (const char* name : {"notes.txt", "jpg", "archive.jpg.zip", "movie.mp4", ""})
    EXPECT_FALSE(IsPictureFileName(name)) << name;
}

TEST(DroppedFiles, PicturesStayInOrderAndFoldersBringTheirPicturesSortedByName) {
  std::map<std::string, Paths> folders = {
      {"C:\\Trip", {"b.JPG", "readme.txt", "A.png", "c.tif", "thumbs.db", "d.webp", "IMG_0002.HEIC",
                     "e.avif", "clip.mov"}},
      {"D:\\Empty\\", {}},
  };
  DropSource source{
      [&](const std::string& p) { return folders.count(p) > 0; },
      [&](const std::string& p) { return folders.at(p); },
  };
  EXPECT_EQ(PhotosFromDrop({"C:\\x.jpg", "C:\\Trip", "D:\\Empty\\", "C:\\notes.txt"}, source),
            (Paths{"C:\\x.jpg", "C:\\Trip\\A.png", "C:\\Trip\\b.JPG", "C:\\Trip\\c.tif",
                   "C:\\Trip\\d.webp", "C:\\Trip\\e.avif", "C:\\Trip\\IMG_0002.HEIC"}));
  EXPECT_EQ(PhotosFromDrop({}, source), Paths{});
}

TEST(DroppedFiles, PhotosThatCannotBeStoredAreEachNamed) {
  const std::string one = UnnamablePhotosText({"C:\\\xD0\xA4\xD0\xBE\xD1\x82\xD0\xBE\\a.jpg"});
  EXPECT_NE(one.find("C:\\\xD0\xA4\xD0\xBE\xD1\x82\xD0\xBE\\a.jpg"), std::string::npos);
  EXPECT_EQ(one.find("These"), std::string::npos);
  const std::string two = UnnamablePhotosText({"C:\\x\\\xE6\x9D\xB1.jpg", "D:\\y.jpg"});
  EXPECT_NE(two.find("These photos"), std::string::npos);
  EXPECT_NE(two.find("C:\\x\\\xE6\x9D\xB1.jpg"), std::string::npos);
  EXPECT_NE(two.find("D:\\y.jpg"), std::string::npos);
}
