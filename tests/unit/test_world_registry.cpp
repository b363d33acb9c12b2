// The unit registry and the world step: slots, removal and the collision pass.
#include "WorldFixture.h"

#include <cmath>
#include <random>
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

TProbe* AddProbe(const std::string& Name, float x, float y) {
  auto* Probe = new TProbe(Name, TVector{x, y, 1}, TVector{10, 10, 0});
  AddUnit(Probe);
  return Probe;
}

class Registry : public WorldTest {};

TEST_F(Registry, GrowsByHundredSlotsAndReusesTheLowestEmptySlot) {
  Log.clear(); // the previous test's teardown
  for (int i = 0; i < 100; ++i) {
    AddProbe("p" + std::to_string(i), 20.0f * i, 0);
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
  TProbe* Reused = AddProbe("reused", 0, 0);
  EXPECT_EQ(Units[3], Reused);
}

TEST_F(Registry, PassOrderSlotZeroAndTheLastFrameOfAMarkedUnit) {
  Log.clear(); // the previous test's teardown
  // p0, p1 and p2 overlap one another; far touches nobody; p1 marks what it meets dead.
  AddProbe("p0", 0, 0);
  AddProbe("p1", 5, 0)->Marks = true;
  AddProbe("p2", 0, 5);
  AddProbe("far", 500, 500);
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

TEST(BoxesOverlap, TouchingBoxesOverlapAndHalfSizesAreRoundedToFloat) {
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
      {{0x1p24f + 2, 0, 0}, {0x1p24f + 4, 0, 0}, One, One, false}};
  // clang-format on
  for (const auto& [PA, PB, SA, SB, Expected] : Cases) {
    EXPECT_EQ(BoxesOverlap(PA, PB, SA, SB), Expected) << PB.x << " " << PB.y;
    EXPECT_EQ(BoxesOverlap(PB, PA, SB, SA), Expected) << PB.x << " " << PB.y;
  }
}

TEST_F(Registry, PassAgreesWithTheExactTestOnNearTouchingBoxes) {
  Log.clear(); // the previous test's teardown
  // Pairs that touch exactly or miss or overlap by one float step, along x or y, at small and
  // large coordinates: the pass must call Collide for exactly the pairs BoxesOverlap accepts.
  std::mt19937 Random(12345);
  std::uniform_real_distribution<float> Sizes(0.001f, 80), Across(-0.5f, 0.5f);
  const float Bases[] = {0, 0.5f, 3, -5e4f, 1e7f, 1.5e-3f};
  for (int p = 0; p < 240; ++p) {
    const int Axis = (p / 3) % 2, Other = 1 - Axis;
    const float Base = Bases[p % 6];
    float A[2] = {Base, 4000.0f * static_cast<float>(p / 6) + Base * static_cast<float>(Axis)};
    const float SA[2] = {Sizes(Random), Sizes(Random)}, SB[2] = {Sizes(Random), Sizes(Random)};
    const float Half = static_cast<float>((SA[Axis] + static_cast<long double>(SB[Axis])) / 2);
    float B[2];
    B[Axis] = static_cast<float>(A[Axis] + static_cast<long double>(Half));
    if (p % 3 != 1) {
      B[Axis] = std::nextafter(B[Axis], p % 3 == 0 ? -INFINITY : INFINITY);
    }
    B[Other] = A[Other] + Across(Random) * std::min(SA[Other], SB[Other]);
    AddUnit(new TProbe("a" + std::to_string(p), TVector{A[0], A[1], 1}, TVector{SA[0], SA[1], 0}));
    AddUnit(new TProbe("b" + std::to_string(p), TVector{B[0], B[1], 1}, TVector{SB[0], SB[1], 0}));
  }
  WorldStep();
  Strings Expected(Log.begin(), Log.begin() + 480); // the updates
  for (std::size_t i = 0; i < 480; ++i) {
    for (std::size_t j = 1; j < 480; ++j) {
      if (i != j && BoxesOverlap(Units[i]->Pos, Units[j]->Pos, Units[i]->Size, Units[j]->Size)) {
        Expected.push_back(static_cast<TProbe*>(Units[i])->Name + ">" +
                           static_cast<TProbe*>(Units[j])->Name);
      }
    }
  }
  EXPECT_GT(Expected.size(), 680u);
  EXPECT_EQ(Log, Expected);
}

} // namespace
