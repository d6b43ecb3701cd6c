#include "builder/thumbnails/photo_collection.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

using namespace prismora::thumbnails;

namespace {

// Writes down what the collection tells, in order: "-<id>" for a photo gone, "*" for a
// change, and the count the collection had when it told.
struct Journal : PhotoCollection::Listener {
  const PhotoCollection* photos = nullptr;
  std::vector<std::string> events;
  void PhotoRemoved(PhotoId id) override {
    events.push_back("-" + std::to_string(id) + "@" + std::to_string(photos->Count()));
  }
  void PhotosChanged() override { events.push_back("*@" + std::to_string(photos->Count())); }
};

struct Collection : ::testing::Test {
  Journal journal;
  PhotoCollection photos{&journal};
  Collection() { journal.photos = &photos; }
  void AddFour() {
    for (const char* p : {"C:\\a.jpg", "C:\\b.jpg", "C:\\c.jpg", "C:\\d.jpg"}) photos.Add(p, p + 3);
    journal.events.clear();
  }
  std::vector<std::string> Captions() const {
    std::vector<std::string> out;
    for (int i = 0; i < photos.Count(); ++i) out.push_back(photos.At(i).caption);
    return out;
  }
};

}  // namespace

TEST_F(Collection, KeepsPathsAndCaptionsInTheOrderOfAdding) {
  EXPECT_EQ(photos.Add("C:\\x\\one.jpg", "one.jpg"), 0);
  EXPECT_EQ(photos.Add("C:\\x\\one.jpg", "again"), 1);  // the same file may come twice
  EXPECT_EQ(photos.Count(), 2);
  EXPECT_EQ(photos.Paths(), (std::vector<std::string>{"C:\\x\\one.jpg", "C:\\x\\one.jpg"}));
  EXPECT_EQ(photos.At(1).caption, "again");
  EXPECT_NE(photos.At(0).id, photos.At(1).id);
  EXPECT_EQ(journal.events, (std::vector<std::string>{"*@1", "*@2"}));
  photos.SetCaption(0, "shown");
  EXPECT_EQ(photos.At(0).caption, "shown");
  EXPECT_EQ(photos.At(0).path, "C:\\x\\one.jpg");
  EXPECT_EQ(journal.events.back(), "*@2");
}

TEST_F(Collection, OutsideTheListReadsNothingAndChangesThrow) {
  AddFour();
  EXPECT_EQ(photos.PathAt(3), "C:\\d.jpg");
  EXPECT_EQ(photos.PathAt(4), "");
  EXPECT_EQ(photos.PathAt(-1), "");
  EXPECT_THROW(photos.At(4), std::out_of_range);
  EXPECT_THROW(photos.At(-1), std::out_of_range);
  EXPECT_THROW(photos.Remove(4), std::out_of_range);
  EXPECT_THROW(photos.SetCaption(-1, "x"), std::out_of_range);
  EXPECT_THROW(photos.Move(0, 4), std::out_of_range);
  EXPECT_THROW(photos.Move(-1, 0), std::out_of_range);
  EXPECT_EQ(photos.Count(), 4);
  EXPECT_TRUE(journal.events.empty());
}

TEST_F(Collection, MovesTakeThePhotoOutAndPutItBackWithItsNumber) {
  AddFour();
  const PhotoId a = photos.At(0).id;
  photos.Move(0, 2);
  EXPECT_EQ(Captions(), (std::vector<std::string>{"b.jpg", "c.jpg", "a.jpg", "d.jpg"}));
  EXPECT_EQ(photos.At(2).id, a);
  photos.Move(3, 0);
  EXPECT_EQ(Captions(), (std::vector<std::string>{"d.jpg", "b.jpg", "c.jpg", "a.jpg"}));
  photos.Move(1, 1);  // nowhere: no change to tell
  EXPECT_EQ(journal.events, (std::vector<std::string>{"*@4", "*@4"}));
}

TEST_F(Collection, PhotosGoneAreToldOutOfTheListThenTheChange) {
  AddFour();
  const PhotoId b = photos.At(1).id, c = photos.At(2).id;
  photos.Remove(1);
  EXPECT_EQ(Captions(), (std::vector<std::string>{"a.jpg", "c.jpg", "d.jpg"}));
  EXPECT_EQ(photos.At(1).id, c);
  EXPECT_EQ(journal.events, (std::vector<std::string>{"-" + std::to_string(b) + "@3", "*@3"}));

  journal.events.clear();
  std::vector<std::string> expected;
  for (int i = 0; i < photos.Count(); ++i) expected.push_back("-" + std::to_string(photos.At(i).id) + "@0");
  expected.push_back("*@0");
  photos.Clear();
  EXPECT_EQ(photos.Count(), 0);
  EXPECT_EQ(journal.events, expected);
}

TEST_F(Collection, NumbersAreNeverGivenTwice) {
  AddFour();
  const PhotoId last = photos.At(3).id;
  photos.Clear();
  photos.Add("C:\\a.jpg", "a.jpg");
  EXPECT_GT(photos.At(0).id, last);  // a new photo never takes over a bitmap kept for an old one
}

TEST(PhotoCollection, WorksWithoutAListener) {
  PhotoCollection photos;
  photos.Add("a", "a");
  photos.Add("b", "b");
  photos.Move(1, 0);
  photos.Remove(1);
  EXPECT_EQ(photos.Paths(), std::vector<std::string>{"b"});
  photos.Clear();
  EXPECT_EQ(photos.Count(), 0);
}
