#include "builder/project/settings.h"

#include <gtest/gtest.h>

using namespace prismora::project;

TEST(ProjectSettings, FirstStartValues) {
  ProjectSettings s = FirstStartSettings();
  EXPECT_EQ(s.Title, "Untitled Screen Saver");
  EXPECT_FALSE(s.Author.empty());
  EXPECT_NE(s.Email.find('@'), std::string::npos);
  EXPECT_EQ(s.Website.rfind("http", 0), 0u);
  EXPECT_TRUE(s.LicenseEnabled);
  EXPECT_TRUE(s.LicenseText.empty());
  EXPECT_EQ(s.WizardImageFile, "WizModernImage.bmp");
  EXPECT_EQ(s.WizardSmallImageFile, "WizModernSmallImage.bmp");
  EXPECT_EQ(s.DialogBoxColor, 0x00FF00FFu);
  EXPECT_EQ(s.TemplateIndex, 0);
  EXPECT_EQ(s.BorderColor, 0u);
  EXPECT_EQ(s.ResizeMethod, 1);
  EXPECT_TRUE(s.RandomColor);
  EXPECT_FALSE(s.EraseBackground);
  EXPECT_TRUE(s.Photos.empty());
  EXPECT_EQ(s.PhotoChangeSeconds, 5);
}

TEST(ProjectSettings, PhotoChangeTextReadsTheLeadingDigits) {
  EXPECT_EQ(ParsePhotoChangeText("12"), 12);
  EXPECT_EQ(ParsePhotoChangeText(" 7 "), 7);
  EXPECT_EQ(ParsePhotoChangeText("0"), 0);
  EXPECT_EQ(ParsePhotoChangeText(""), 0);
  EXPECT_EQ(ParsePhotoChangeText("abc"), 0);
  EXPECT_EQ(ParsePhotoChangeText("-5"), 0);
  EXPECT_EQ(ParsePhotoChangeText("9999"), kMaxPhotoChangeSeconds);
  EXPECT_EQ(ParsePhotoChangeText("99999999999999999999"), kMaxPhotoChangeSeconds);
  EXPECT_EQ(PhotoChangeText(5), "5");
  EXPECT_EQ(PhotoChangeText(-1), "0");
  EXPECT_EQ(ParsePhotoChangeText(PhotoChangeText(3600)), 3600);
}

TEST(ProjectSettings, ValueListsKeepTheirExactTexts) {
  EXPECT_EQ(kTemplateItems[0], "\"16 cubes\"");
  EXPECT_EQ(kTemplateItems[5], "\"Template 6\"");
  EXPECT_EQ(kResizeMethodItems[0], "Resize Pictures ");
  EXPECT_EQ(kResizeMethodItems[kUseBorder], "Use border");
}

TEST(ProjectSettings, NewProjectEmptiesTextsAndKeepsLooks) {
  ProjectSettings s;
  s.LicenseEnabled = false;
  s.LicenseText = "line 1\r\nline 2";
  s.WizardImageFile = "C:\\pics\\big.bmp";
  s.WizardSmallImageFile = "C:\\pics\\small.bmp";
  s.DialogBoxColor = 0x00112233;
  s.TemplateIndex = 3;
  s.BorderColor = 0x00445566;
  s.ResizeMethod = kResizePictures;
  s.RandomColor = false;
  s.EraseBackground = true;
  s.Photos = {"C:\\a.jpg", "C:\\b.jpg"};

  ApplyNewProject(s);
  EXPECT_EQ(s.Title, "");
  EXPECT_EQ(s.Author, "");
  EXPECT_EQ(s.Email, "");
  EXPECT_EQ(s.Website, "");
  EXPECT_TRUE(s.LicenseEnabled);
  EXPECT_EQ(s.LicenseText, "");
  EXPECT_EQ(s.WizardImageFile, "WizModernImage.bmp");
  EXPECT_EQ(s.WizardSmallImageFile, "WizModernSmallImage.bmp");
  EXPECT_TRUE(s.Photos.empty());
  EXPECT_EQ(s.DialogBoxColor, 0x00112233u);
  EXPECT_EQ(s.TemplateIndex, 3);
  EXPECT_EQ(s.BorderColor, 0x00445566u);
  EXPECT_EQ(s.ResizeMethod, kResizePictures);
  EXPECT_FALSE(s.RandomColor);
  EXPECT_TRUE(s.EraseBackground);
}

TEST(ProjectSettings, UnreadableFileResetsOnlyTemplateAndFitting) {
  ProjectSettings s;
  s.Title = "Mine";
  s.TemplateIndex = 4;
  s.ResizeMethod = kResizePictures;
  ApplyUnreadableProjectFile(s);
  EXPECT_EQ(s.Title, "Mine");
  EXPECT_EQ(s.TemplateIndex, 0);
  EXPECT_EQ(s.ResizeMethod, kUseBorder);
}
