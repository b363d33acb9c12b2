// The unit registry and the world step: slots, removal and the collision pass.
#include "WorldFixture.h"

#include <cmath>
#include <string>
#include <tuple>
#include <utility>

namespace {

using Strings = std::vector<std::string>;
Strings Log;

// Logs its updates, its collisions ("receiver>other") and its destruction.
struct TProbe : TUnit {
  TProbe(std::string Id, const TVector& At, const TVector& Extent)
      : TUnit(At, Extent, TVector{0, 0, 0}), Name(std::move(Id)) {}
  ~TProbe() override { Log.push_back("free " + Name); }
  void Update() override {
    Log.push_back("update " + Name);
    if (std::exchange(Spawns, false)) {
      AddUnit(new TProbe("new", Pos, Size));
    }
  }
  void Collide(TUnit& Other) override {
    Log.push_back(Name + ">" + static_cast<TProbe&>(Other).Name);
    Other.Dead = Other.Dead || Marks;
  }
  std::string Name;
  bool Spawns = false; // adds a unit where it stands in its next update
  bool Marks = false;  // marks every unit it meets dead
};

TProbe* AddProbe(const std::string& Name, TVector At, TVector Size = {10, 10, 0}) {
  auto* Probe = new TProbe(Name, At, Size);
  AddUnit(Probe);
  return Probe;
}

class Registry : public WorldTest {
protected:
  void SetUp() override {
    WorldTest::SetUp();
    Log.clear(); // the previous test's teardown
  }
};

TEST_F(Registry, GrowsByHundredSlotsAndReusesTheLowestEmptySlot) {
  for (int i = 0; i < 100; ++i) {
    AddProbe("p" + std::to_string(i), {20.0f * i, 0, 1});
    EXPECT_EQ(Units.size(), 100u);
  }
  // A 101st unit added in the step grows the array; at slot 100, beyond the step's slots, it is
  // neither updated nor collided before the next step.
  static_cast<TProbe*>(Units[0])->Spawns = true;
  WorldStep();
  ASSERT_EQ(Units.size(), 200u);
  EXPECT_EQ(static_cast<TProbe*>(Units[100])->Name, "new");
  EXPECT_EQ(std::exchange(Log, {}).size(), 100u);
  WorldStep();
  EXPECT_EQ(std::tuple(UnitSlots, Log.size(), Log.back()), std::tuple(200, 102u, "p0>new"));
  Log.clear();
  RemoveUnit(3);
  RemoveUnit(3); // empty already: nothing happens
  EXPECT_EQ(Log, Strings{"free p3"});
  EXPECT_EQ(UnitCount, 100);
  EXPECT_EQ(Units[3], AddProbe("reused", {0, 0, 1}));
}

TEST_F(Registry, PassOrderSlotZeroAndTheLastFrameOfAMarkedUnit) {
  // p0, p1 and p2 overlap one another; far touches nobody; p1 marks what it meets dead.
  AddProbe("p0", {0, 0, 1});
  AddProbe("p1", {5, 0, 1})->Marks = true;
  AddProbe("p2", {0, 5, 1});
  AddProbe("far", {500, 500, 1});
  WorldStep();
  // Lower receiver first; slot 0 is never the other unit; marked p2 still collides.
  EXPECT_EQ(std::exchange(Log, {}), (Strings{"update p0", "update p1", "update p2", "update far",
                                             "p0>p1", "p0>p2", "p1>p2", "p2>p1"}));
  // Still registered for this frame's draw, updated once more, then freed before the pass.
  ASSERT_NE(Units[2], nullptr);
  EXPECT_TRUE(Units[2]->Dead);
  WorldStep();
  EXPECT_EQ(Log,
            (Strings{"update p0", "update p1", "update p2", "free p2", "update far", "p0>p1"}));
}

TEST_F(Registry, TouchingBoxesOverlapHalfSizesAreRoundedToFloatAndThePassAgrees) {
  const float NaN = std::nanf("");
  const TVector A{100, 100, 1}, S64{64, 64, 0}, S48{48, 48, 0}, One{1, 1, 0}, Tiny{0x1p-24f, 1, 0};
  // 64 and 48 wide, 56 apart they touch, 57 apart not; z is ignored; NaN never overlaps.
  // (1 + 2^-24) / 2 is stored as 0.5; 2^24 + 3, which a float cannot hold, is compared exactly.
  // clang-format off
  const std::tuple<TVector, TVector, TVector, TVector, bool> Cases[] = {
      {A, {156, 100, 7}, S64, S48, true}, {A, {157, 100, 7}, S64, S48, false},
      {A, {44, 44, 7}, S64, S48, true}, {A, {100, 43, 7}, S64, S48, false},
      {A, {NaN, 100, 7}, S64, S48, false}, {A, A, {NaN, 64, 0}, S48, false},
      {{-0.25f, 0, 0}, {0.25f, 0, 0}, One, Tiny, true},
      {{-0.25f, 0, 0}, {0.25f + 0x1p-25f, 0, 0}, One, Tiny, false},
      {{0x1p24f + 2, 0, 0}, {0x1p24f + 4, 0, 0}, One, One, false},
      {{1e7f, -5e4f, 0}, {1e7f + 60, -5e4f + 30, 0}, {80, 20, 0}, {40, 40, 0}, true}};
  // clang-format on
  for (const auto& [PA, PB, SA, SB, Expected] : Cases) {
    EXPECT_EQ(BoxesOverlap(PA, PB, SA, SB), Expected) << PB.x << " " << PB.y;
    EXPECT_EQ(BoxesOverlap(PB, PA, SB, SA), Expected) << PB.x << " " << PB.y;
    // The pass first rejects far pairs by a quicker test of its own, which must not reject these.
    ReleaseUnits();
    AddProbe("x", {-1e6f, -1e6f, 1}); // slot 0 is never the other unit
    AddProbe("a", PA, SA);
    AddProbe("b", PB, SB);
    Log.clear();
    WorldStep();
    EXPECT_EQ(Log.size(), Expected ? 5u : 3u) << PB.x << " " << PB.y;
  }
}

} // namespace
