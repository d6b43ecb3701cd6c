#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>
#include <vector>

#include "engine/scene/scene.h"
#include "runtime/core/photo_change.h"
#include "runtime/core/photo_deck.h"

using namespace prismora::runtime;
namespace engine = prismora::engine;

// ---- the deck -----------------------------------------------------------------------

TEST(PhotoDeck, EveryPhotoOncePerRoundAndEachRoundShuffledAnew) {
  Random random(1234);
  PhotoDeck deck(300, random);
  std::vector<std::vector<int>> rounds;
  for (int r = 0; r < 4; ++r) {
    std::vector<int> round;
    for (int i = 0; i < 300; ++i) round.push_back(deck.Next());
    std::vector<int> sorted = round;
    std::sort(sorted.begin(), sorted.end());
    for (int i = 0; i < 300; ++i) ASSERT_EQ(sorted[i], i) << "round " << r;
    rounds.push_back(round);
  }
  EXPECT_NE(rounds[0], rounds[1]);
  EXPECT_NE(rounds[1], rounds[2]);
  // Shuffled, not the list order.
  std::vector<int> inOrder(300);
  for (int i = 0; i < 300; ++i) inOrder[i] = i;
  EXPECT_NE(rounds[0], inOrder);
}

TEST(PhotoDeck, EachRunSeedGivesItsOwnOrderAndTheSameSeedTheSame) {
  auto firstRound = [](uint32_t seed) {
    Random random(seed);
    PhotoDeck deck(50, random);
    std::vector<int> out;
    for (int i = 0; i < 50; ++i) out.push_back(deck.Next());
    return out;
  };
  EXPECT_EQ(firstRound(7), firstRound(7));
  EXPECT_NE(firstRound(7), firstRound(8));
  EXPECT_NE(firstRound(7), firstRound(1000007));
}

TEST(PhotoDeck, PhotosOnScreenArePassedOverButStayInTheRound) {
  Random random(99);
  PhotoDeck deck(10, random);
  std::vector<int> onScreen{3, 4, 5};
  std::vector<int> round;
  for (int i = 0; i < 7; ++i) {
    int p = deck.Next(onScreen);
    EXPECT_EQ(std::count(onScreen.begin(), onScreen.end(), p), 0);
    round.push_back(p);
  }
  // The remaining three of the round are exactly the passed-over ones.
  std::vector<int> rest;
  for (int i = 0; i < 3; ++i) rest.push_back(deck.Next());
  std::sort(rest.begin(), rest.end());
  EXPECT_EQ(rest, onScreen);
  EXPECT_EQ(deck.dealt(), 10u);

  // A set no larger than what is showing still deals (repeats cannot be avoided).
  Random r2(5);
  PhotoDeck small(2, r2);
  std::vector<int> both{0, 1};
  int p = small.Next(both);
  EXPECT_TRUE(p == 0 || p == 1);
  // Large sets draw beyond the 15 bits of one random number.
  Random r3(11);
  PhotoDeck big(100000, r3);
  int highest = 0;
  for (int i = 0; i < 2000; ++i) highest = std::max(highest, big.Next());
  EXPECT_GT(highest, 32767);
}

// ---- which texture changes -------------------------------------------------------------

namespace {

// One triangle per material, in the plane z = zPlane, clockwise as seen from -z (the
// camera's side at the origin looking along +z) when `towardCamera`.
std::shared_ptr<engine::Mesh> Triangle(std::shared_ptr<engine::Material> m, float zPlane, bool towardCamera) {
  auto mesh = std::make_shared<engine::Mesh>();
  engine::MeshGroup g;
  g.material = std::move(m);
  g.vertices.resize(3);
  g.vertices[0].position = {0, 0, zPlane};
  g.vertices[1].position = {0, 1, zPlane};  // up
  g.vertices[2].position = {1, 0, zPlane};  // right: centre, up, right is clockwise
  g.indices = towardCamera ? std::vector<uint32_t>{0, 1, 2} : std::vector<uint32_t>{0, 2, 1};
  mesh->groups.push_back(std::move(g));
  return mesh;
}

}  // namespace

TEST(PhotoChange, FacesTurnedAwayOrBehindTheCameraAreNotSeen) {
  engine::Scene scene;
  scene.camera.frame->setPosition(nullptr, {0, 0, 0});
  scene.camera.frame->setOrientation(nullptr, {0, 0, 1}, {0, 1, 0});
  auto facing = std::make_shared<engine::Material>();
  auto away = std::make_shared<engine::Material>();
  auto behind = std::make_shared<engine::Material>();
  auto untouched = std::make_shared<engine::Material>();
  engine::Frame& a = scene.root.createChild("a");
  a.addVisual(Triangle(facing, 10, true));
  a.addVisual(Triangle(away, 10, false));
  // Behind the camera, wound to face it: still out of sight.
  a.addVisual(Triangle(behind, -10, false));
  // Far off to the side, facing the camera: outside its view.
  auto aside = std::make_shared<engine::Material>();
  engine::Frame& side = scene.root.createChild("side");
  side.setPosition(nullptr, {500, 0, 0});
  side.addVisual(Triangle(aside, 10, true));
  std::vector<engine::Material*> slots{facing.get(), away.get(), behind.get(), untouched.get(), aside.get()};
  std::vector<Facing> f = CountFacing(scene.root, scene.camera, slots, 640, 480);
  ASSERT_EQ(f.size(), 5u);
  EXPECT_EQ(f[4].total, 1u);
  EXPECT_EQ(f[4].seen, 0u);
  EXPECT_EQ(f[0].seen, 1u);
  EXPECT_EQ(f[0].total, 1u);
  EXPECT_EQ(f[1].seen, 0u);
  EXPECT_EQ(f[1].total, 1u);
  EXPECT_EQ(f[2].seen, 0u);
  EXPECT_EQ(f[3].total, 0u);

  // The frames' placement counts: the frame turned half round shows the other face.
  a.setOrientation(nullptr, {0, 0, -1}, {0, 1, 0});
  a.setPosition(nullptr, {0, 0, 20});
  f = CountFacing(scene.root, scene.camera, slots, 640, 480);
  EXPECT_EQ(f[0].seen, 0u);
  EXPECT_EQ(f[1].seen, 1u);
}

TEST(PhotoChange, ChoosesAnUnseenTextureLongestShownOrWaits) {
  std::vector<PhotoSlot> slots{{0, 1000}, {1, 500}, {2, 800}, {3, 100}};
  std::vector<Facing> f{{0, 10}, {0, 10}, {3, 10}, {1, 10}};
  // Slots 0 and 1 are turned away; 1 has shown its photo longer.
  EXPECT_EQ(ChooseSlotToChange(slots, f, 2000, false), 1u);
  // All seen: wait, unless the change is overdue, then the least seen.
  std::vector<Facing> allSeen{{5, 10}, {9, 10}, {3, 10}, {1, 10}};
  EXPECT_FALSE(ChooseSlotToChange(slots, allSeen, 2000, false));
  EXPECT_EQ(ChooseSlotToChange(slots, allSeen, 2000, true), 3u);
  EXPECT_FALSE(ChooseSlotToChange({}, {}, 2000, true));

  // A photo not in sight since it went up is kept: the turned-away slot 1 has not been
  // seen, slot 0 has.
  slots[0].seen = true;
  slots[2].seen = true;
  EXPECT_EQ(ChooseSlotToChange(slots, f, 2000, false), 0u);
  // Overdue: the least seen of the seen ones, not the never-seen slot 3.
  EXPECT_EQ(ChooseSlotToChange(slots, allSeen, 2000, true), 2u);
}

TEST(PhotoChanger, ZeroIntervalNeverDealsNorChanges) {
  Random random(3);
  PhotoChanger off(0, 500, 12, random);
  EXPECT_FALSE(off.dealing());
  EXPECT_FALSE(off.changing());
  off.Start(0);
  std::vector<Facing> unseen(12);
  for (uint32_t t = 0; t < 3600000; t += 997) {
    ASSERT_FALSE(off.Due(t));
    ASSERT_FALSE(off.Change(t, unseen));
  }
  // No draw was taken from the run's sequence: the photos, start time and motions of
  // the run are those a saver without the setting draws.
  EXPECT_EQ(random.state(), Random(3).state());
}

TEST(PhotoChanger, GoesThroughEveryPhotoOneSlotAtATimeEveryInterval) {
  Random random(42);
  const int photos = 40;
  const std::size_t slotCount = 12;
  PhotoChanger changer(5, photos, slotCount, random);
  ASSERT_TRUE(changer.changing());
  std::set<int> seen;
  for (std::size_t i = 0; i < slotCount; ++i) seen.insert(changer.DealFirst());
  EXPECT_EQ(seen.size(), slotCount);  // each slot starts with its own photo
  changer.Start(10000);

  // Ticks every 50 ms from `from` up to `to` with the textures as `facing` says.
  auto run = [&](uint32_t from, uint32_t to, const std::vector<Facing>& facing) {
    std::vector<PhotoChange> made;
    for (uint32_t t = from; t < to; t += 50)
      if (auto c = changer.Change(t, facing)) made.push_back(*c);
    return made;
  };
  const std::vector<Facing> allInSight(slotCount, Facing{4, 4});
  EXPECT_FALSE(changer.Due(14999));
  EXPECT_TRUE(changer.Due(15000));
  // Every texture in sight: nothing changes until two intervals after the due time.
  EXPECT_TRUE(run(10000, 25000, allInSight).empty());
  std::vector<Facing> facing = allInSight;
  facing[7] = Facing{0, 4};
  std::vector<PhotoChange> made = run(25000, 25050, facing);
  ASSERT_EQ(made.size(), 1u);
  EXPECT_EQ(made[0].slot, 7u);
  EXPECT_EQ(changer.slots()[7].photo, made[0].photo);
  seen.insert(made[0].photo);
  EXPECT_FALSE(changer.Due(29999));  // one interval after the change
  // Slot 7's new photo has not been in sight yet: it stays although 7 is the only texture
  // turned away, until the change is overdue; then a texture whose photo was seen goes.
  EXPECT_TRUE(run(25050, 40000, facing).empty());
  made = run(40000, 40050, facing);
  ASSERT_EQ(made.size(), 1u);
  EXPECT_EQ(made[0].slot, 0u);  // all equally in sight: the longest shown, first of them
  seen.insert(made[0].photo);

  // Textures turn out of sight one after another; each takes the next photo in its turn.
  // After one round every photo was put up, and each was in sight before it went.
  uint32_t now = 40050;
  for (int i = 1; i <= photos - int(slotCount) - 2; ++i, now += 5000) {
    facing = allInSight;
    facing[std::size_t(i) % slotCount] = Facing{0, 4};
    made = run(now, now + 5000, facing);
    ASSERT_EQ(made.size(), 1u) << i;
    EXPECT_EQ(made[0].slot, std::size_t(i) % slotCount);
    seen.insert(made[0].photo);
    // Never a photo that another texture is showing.
    for (std::size_t s = 0; s < slotCount; ++s) {
      if (s == made[0].slot) continue;
      ASSERT_NE(changer.slots()[s].photo, made[0].photo);
    }
  }
  EXPECT_EQ(seen.size(), std::size_t(photos));

  // A photo only glimpsed (in sight for less than an interval in all) is not taken down.
  const uint32_t t = now + 5000;
  facing = allInSight;
  facing[3] = Facing{0, 4};
  made = run(t, t + 50, facing);
  ASSERT_EQ(made.size(), 1u);
  EXPECT_EQ(made[0].slot, 3u);
  EXPECT_TRUE(run(t + 50, t + 2050, allInSight).empty());  // two seconds in sight
  EXPECT_TRUE(run(t + 2050, t + 14950, facing).empty());   // due at t + 5000, kept

  // No more photos than textures: the deck only deals the first ones.
  Random r2(1);
  PhotoChanger few(5, 12, 12, r2);
  EXPECT_TRUE(few.dealing());
  EXPECT_FALSE(few.changing());
}

TEST(PhotoChanger, ThePhotoReadAheadIsTheOneTheNextChangePutsUp) {
  Random random(7);
  const std::size_t slotCount = 4;
  PhotoChanger changer(2, 30, slotCount, random);
  for (std::size_t i = 0; i < slotCount; ++i) changer.DealFirst();
  changer.Start(0);
  std::vector<Facing> facing(slotCount, Facing{2, 2});
  facing[1] = Facing{0, 2};
  std::set<int> putUp;
  for (std::size_t s = 0; s < slotCount; ++s) putUp.insert(changer.slots()[s].photo);
  uint32_t now = 0;
  for (int change = 0; change < 26; ++change) {
    const int upcoming = changer.Upcoming();
    EXPECT_EQ(changer.Upcoming(), upcoming);  // asked again: the same photo
    for (std::size_t s = 0; s < slotCount; ++s) ASSERT_NE(changer.slots()[s].photo, upcoming);
    std::optional<PhotoChange> made;
    while (!(made = changer.Change(now += 50, facing))) ASSERT_LT(now, 1000000u);
    EXPECT_EQ(made->photo, upcoming) << change;
    putUp.insert(made->photo);
  }
  // Reading ahead keeps the deck's promise: every photo once in the round.
  EXPECT_EQ(putUp.size(), 30u);
}

TEST(PhotoChanger, TheTickCountMayWrapRound) {
  Random random(8);
  PhotoChanger changer(2, 10, 2, random);
  changer.DealFirst();
  changer.DealFirst();
  const uint32_t start = 0xFFFFFC00u;  // 1024 ms before the count wraps
  changer.Start(start);
  std::vector<Facing> unseen(2);
  EXPECT_FALSE(changer.Due(start + 1000u));
  EXPECT_FALSE(changer.Due(start + 1999u));  // past the wrap, not yet due
  EXPECT_TRUE(changer.Due(start + 2000u));
  EXPECT_TRUE(changer.Change(start + 2000u, unseen));
}
