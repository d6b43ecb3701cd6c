#include "builder/project/path_kinds.h"

#include <gtest/gtest.h>

#include "builder/project/network_gate.h"
#include "builder/project/project_commands.h"
#include "tests/support/fake_seams.h"

using namespace prismora::project;
using prismora::testsupport::FakeBoxes;
using prismora::testsupport::FakeFiles;

TEST(ClassifyPath, LocalNetworkAndDevicePaths) {
  for (const char* local : {"C:\\Photos\\a.jpg", "c:/photos/a.jpg", "a.jpg", "\\Photos\\a.jpg", "/x/a.jpg",
                            "D:", "", "\\", "C:\\\\server\\a.jpg"})
    EXPECT_EQ(ClassifyPath(local).kind, PathKind::Local) << local;
  const std::pair<const char*, const char*> network[] = {
      {"\\\\host\\share\\a.jpg", "host"}, {"//nas/photos/a.jpg", "nas"}, {"\\/nas\\x", "nas"},
      {"\\\\192.168.1.5\\p\\a.jpg", "192.168.1.5"}, {"\\\\host", "host"}, {"\\\\", ""},
      {"\\\\\\share\\a.jpg", ""}, {"\\\\host.example.org@SSL\\DavWWWRoot\\a.jpg", "host.example.org@SSL"},
      {"\\\\?host\\a", "?host"}};
  for (auto [path, host] : network) {
    const PathPlace place = ClassifyPath(path);
    EXPECT_EQ(place.kind, PathKind::Network) << path;
    EXPECT_EQ(place.host, host) << path;
  }
  for (const char* device : {"\\\\?\\C:\\Photos\\a.jpg", "\\\\.\\PhysicalDrive0", "\\\\?\\UNC\\host\\share\\a.jpg",
                             "//./COM1", "\\\\?\\GLOBALROOT\\Device\\x", "\\\\.", "\\\\?"})
    EXPECT_EQ(ClassifyPath(device).kind, PathKind::Device) << device;
}

TEST(NetworkHosts, EachComputerOnceInFirstOrder) {
  EXPECT_EQ(NetworkHosts({"C:\\a.jpg", "\\\\nas\\p\\1.jpg", "\\\\Pc2\\s\\2.jpg", "\\\\NAS\\q\\3.jpg",
                          "\\\\?\\UNC\\evil\\s\\x.jpg", "//pc2/s/4.jpg"}),
            (std::vector<std::string>{"nas", "Pc2"}));
  EXPECT_TRUE(NetworkHosts({"C:\\a.jpg", "b.jpg"}).empty());
  const std::string q = NetworkPathsQuestion({"nas", "Pc2"});
  EXPECT_NE(q.find("\\\\nas"), std::string::npos);
  EXPECT_NE(q.find("\\\\Pc2"), std::string::npos);
  EXPECT_NE(DevicePathsRefusedText({"\\\\.\\COM1"}).find("\\\\.\\COM1"), std::string::npos);
}

TEST(NetworkGate, HeldBackComputersAreNeverReached) {
  FakeFiles inner;
  inner.files["\\\\nas\\p\\a.jpg"] = {1, 2, 3};
  inner.files["\\\\other\\p\\b.jpg"] = {4};
  inner.files["C:\\a.jpg"] = {5};
  NetworkGate gate(inner);
  std::vector<uint8_t> bytes;
  // Nothing is held back until the user declines.
  EXPECT_TRUE(gate.ReadWholeFile("\\\\nas\\p\\a.jpg", bytes));
  gate.HoldBack("NAS");
  EXPECT_TRUE(gate.HeldBack("\\\\nas\\p\\a.jpg"));
  EXPECT_TRUE(gate.HeldBack("//Nas/p/a.jpg"));
  EXPECT_FALSE(gate.ReadWholeFile("\\\\nas\\p\\a.jpg", bytes));
  EXPECT_TRUE(bytes.empty());
  EXPECT_FALSE(gate.FileExists("\\\\nas\\p\\a.jpg"));
  EXPECT_FALSE(gate.CanOpenForRead("\\\\nas\\p\\a.jpg"));
  EXPECT_EQ(gate.FileSize("\\\\nas\\p\\a.jpg"), -1);
  EXPECT_FALSE(gate.CopyReplacing("\\\\nas\\p\\a.jpg", "C:\\copy.jpg"));
  EXPECT_FALSE(gate.CopyReplacingWhy("C:\\a.jpg", "\\\\nas\\p\\x.jpg").ok());
  const std::vector<uint8_t> data{9};
  EXPECT_FALSE(gate.ReplaceFileContents("\\\\nas\\p\\new.jpg", data));
  EXPECT_FALSE(gate.WriteWholeFile("\\\\nas\\p\\new.jpg", data));
  EXPECT_FALSE(gate.AppendToFile("\\\\nas\\p\\a.jpg", data));
  EXPECT_FALSE(gate.RemoveFile("\\\\nas\\p\\a.jpg"));
  EXPECT_EQ(gate.DisplayName("\\\\nas\\p\\a.jpg"), "\\\\nas\\p\\a.jpg");
  EXPECT_EQ(inner.files.count("\\\\nas\\p\\new.jpg"), 0u);
  EXPECT_EQ(inner.files.count("\\\\nas\\p\\a.jpg"), 1u);
  EXPECT_EQ(inner.copies, 0);
  // Other computers and local files pass.
  EXPECT_TRUE(gate.ReadWholeFile("\\\\other\\p\\b.jpg", bytes));
  EXPECT_TRUE(gate.ReadWholeFile("C:\\a.jpg", bytes));
  // Allowed later (the user added a photo from there): open again.
  gate.Allow("nas");
  EXPECT_TRUE(gate.Allowed("NAS"));
  EXPECT_TRUE(gate.ReadWholeFile("\\\\nas\\p\\a.jpg", bytes));
  EXPECT_EQ(bytes, (std::vector<uint8_t>{1, 2, 3}));
}

namespace {
ProjectSettings WithPhotos(std::vector<std::string> photos) {
  ProjectSettings s;
  s.Photos = std::move(photos);
  return s;
}
}  // namespace

TEST(ScreenProjectPaths, OneQuestionNamingTheComputersBeforeAnythingOpens) {
  FakeFiles inner;
  NetworkGate gate(inner);
  struct ButtonBoxes : FakeBoxes {
    std::vector<prismora::platform::BoxButtons> buttons;
    prismora::platform::BoxAnswer Show(prismora::platform::WindowHandle owner, const std::string& text,
                                       const std::string& caption, prismora::platform::BoxIcon icon,
                                       prismora::platform::BoxButtons b) override {
      buttons.push_back(b);
      return FakeBoxes::Show(owner, text, caption, icon, b);
    }
  } boxes;
  boxes.answer = prismora::platform::BoxAnswer::No;
  ProjectSettings s = WithPhotos({"C:\\a.jpg", "\\\\host\\share\\a.jpg", "\\\\HOST\\share\\b.jpg", "\\\\nas\\p\\c.jpg"});
  s.WizardImageFile = "\\\\wiz\\pics\\big.bmp";
  const std::vector<std::string> before = s.Photos;
  PathScreening r = ScreenProjectPaths(nullptr, s, gate, boxes);
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].second, "Warning!");
  for (const char* host : {"\\\\host", "\\\\nas", "\\\\wiz"})
    EXPECT_NE(boxes.shown[0].first.find(host), std::string::npos) << host;
  EXPECT_EQ(r.askedHosts, (std::vector<std::string>{"host", "nas", "wiz"}));
  // Yes or No, with No the default: Enter does not connect.
  EXPECT_EQ(boxes.buttons, (std::vector<prismora::platform::BoxButtons>{prismora::platform::BoxButtons::YesNoSafe}));
  EXPECT_FALSE(r.allowed);
  // No: the paths stay as they were, and the gate keeps them closed.
  EXPECT_EQ(s.Photos, before);
  EXPECT_EQ(s.WizardImageFile, "\\\\wiz\\pics\\big.bmp");
  EXPECT_TRUE(gate.HeldBack("\\\\host\\share\\a.jpg"));
  EXPECT_TRUE(gate.HeldBack("\\\\wiz\\pics\\big.bmp"));
  EXPECT_FALSE(gate.HeldBack("C:\\a.jpg"));

  // Yes: allowed, and a project naming only allowed computers asks nothing.
  boxes.shown.clear();
  boxes.answer = prismora::platform::BoxAnswer::Yes;
  s = WithPhotos({"\\\\nas\\p\\c.jpg"});
  r = ScreenProjectPaths(nullptr, s, gate, boxes);
  EXPECT_TRUE(r.allowed);
  EXPECT_FALSE(gate.HeldBack("\\\\nas\\p\\c.jpg"));
  boxes.shown.clear();
  r = ScreenProjectPaths(nullptr, s, gate, boxes);
  EXPECT_TRUE(boxes.shown.empty());
  EXPECT_TRUE(r.askedHosts.empty());
  // A project of local photos asks nothing either.
  s = WithPhotos({"C:\\a.jpg", "b.jpg"});
  ScreenProjectPaths(nullptr, s, gate, boxes);
  EXPECT_TRUE(boxes.shown.empty());
}

TEST(ScreenProjectPaths, DevicePathsAreTakenOutWithAnError) {
  FakeFiles inner;
  NetworkGate gate(inner);
  FakeBoxes boxes;
  ProjectSettings s = WithPhotos({"C:\\a.jpg", "\\\\?\\C:\\b.jpg", "\\\\.\\COM1", "C:\\c.jpg"});
  s.WizardSmallImageFile = "\\\\?\\UNC\\host\\s\\small.bmp";
  PathScreening r = ScreenProjectPaths(nullptr, s, gate, boxes);
  EXPECT_EQ(s.Photos, (std::vector<std::string>{"C:\\a.jpg", "C:\\c.jpg"}));
  EXPECT_EQ(s.WizardSmallImageFile, "");
  EXPECT_EQ(r.devicePaths.size(), 3u);
  ASSERT_EQ(boxes.shown.size(), 1u);  // no network question: "\\?\UNC\" is a device path
  EXPECT_EQ(boxes.shown[0].second, "Error");
  EXPECT_NE(boxes.shown[0].first.find("\\\\.\\COM1"), std::string::npos);
  EXPECT_NE(boxes.shown[0].first.find("\\\\?\\C:\\b.jpg"), std::string::npos);
}
