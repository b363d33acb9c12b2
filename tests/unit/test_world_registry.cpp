// The unit registry and the world step: slots, the update loop, removal and the collision pass.
#include "MyUnit.h"
#include "WorldFixture.h"

#include <cmath>
#include <limits>
#include <random>

namespace {

using Strings = std::vector<std::string>;

class Registry : public WorldTest {
protected:
  void SetUp() override {
    WorldTest::SetUp();
    TProbe::Log().clear();
  }
  static Strings Take() {
    Strings Entries;
    Entries.swap(TProbe::Log());
    return Entries;
  }
};

TEST_F(Registry, GrowsByHundredSlotsAndFillsTheLowestEmptySlot) {
  TProbe* First = AddProbe("a", 0, 0);
  EXPECT_EQ(Units.size(), 100u);
  EXPECT_EQ(Units[0], First);
  EXPECT_EQ(UnitCount, 1);
  for (int i = 1; i < 100; ++i) {
    AddProbe("p" + std::to_string(i), 0, 0);
  }
  EXPECT_EQ(Units.size(), 100u);
  TProbe* Extra = AddProbe("extra", 0, 0);
  EXPECT_EQ(Units.size(), 200u);
  EXPECT_EQ(Units[100], Extra);
  EXPECT_EQ(UnitCount, 101);

  RemoveUnit(3);
  EXPECT_EQ(Units[3], nullptr);
  EXPECT_EQ(UnitCount, 100);
  EXPECT_EQ(Take(), Strings{"free p3"});
  RemoveUnit(3); // empty already: nothing happens
  EXPECT_EQ(UnitCount, 100);
  TProbe* Reused = AddProbe("reused", 0, 0);
  EXPECT_EQ(Units[3], Reused);
  EXPECT_EQ(Units.size(), 200u);

  // Emptying keeps the slots; only a release gives them back.
  ClearUnits();
  EXPECT_EQ(UnitCount, 0);
  EXPECT_EQ(Units.size(), 200u);
  AddProbe("again", 0, 0);
  EXPECT_EQ(Units.size(), 200u);
  EXPECT_NE(Units[0], nullptr);
}

TEST_F(Registry, CollisionPassOrderAndTheAsymmetryOfSlotZero) {
  // Slots 0, 1, 2 all overlap; slot 3 touches nobody.
  AddProbe("p0", 0, 0);
  AddProbe("p1", 5, 0);
  AddProbe("p2", 0, 5);
  AddProbe("far", 500, 500);
  WorldStep();
  EXPECT_EQ(Take(), (Strings{"update p0", "update p1", "update p2", "update far", "p0>p1", "p0>p2",
                             "p1>p2", "p2>p1"}));
  EXPECT_EQ(UnitSlots, 100);
}

TEST_F(Registry, SingleSlotMeansNoCollisionAtAll) {
  // With one slot only the inner index never runs.
  Units.resize(1);
  AddUnit(new TProbe("only", TVector{0, 0, 0}, TVector{10, 10, 0}));
  ASSERT_EQ(Units.size(), 1u);
  WorldStep();
  EXPECT_EQ(UnitSlots, 1);
  EXPECT_EQ(Take(), Strings{"update only"});
}

TEST_F(Registry, UnitMarkedInThePassLivesUntilAfterItsNextUpdate) {
  TProbe* Hunter = AddProbe("hunter", 0, 0);
  AddProbe("prey", 0, 0);
  Hunter->OnCollide = [](TProbe&, TUnit& Other) { Other.Dead = true; };
  WorldStep();
  // Still registered after the step that marked it, so it is drawn that frame...
  EXPECT_NE(Units[1], nullptr);
  EXPECT_TRUE(Units[1]->Dead);
  EXPECT_EQ(Take(), (Strings{"update hunter", "update prey", "hunter>prey"}));
  WorldStep();
  // ...updated once more and freed right after that update, before the pass.
  EXPECT_EQ(Units[1], nullptr);
  EXPECT_EQ(UnitCount, 1);
  EXPECT_EQ(Take(), (Strings{"update hunter", "update prey", "free prey"}));
}

TEST_F(Registry, DeadUnitsStillTakePartInThePass) {
  TProbe* Marker = AddProbe("a", 0, 0);
  AddProbe("b", 0, 0);
  AddProbe("c", 0, 0);
  // a marks b dead in its first call; b still collides with c and c with b in that pass (a, in
  // slot 0, is never the other unit).
  Marker->OnCollide = [](TProbe&, TUnit& Other) { Other.Dead = true; };
  WorldStep();
  EXPECT_EQ(Take(), (Strings{"update a", "update b", "update c", "a>b", "a>c", "b>c", "c>b"}));
}

TEST_F(Registry, UnitsAddedDuringTheUpdateLoop) {
  // Slot 0 adds a unit while slot 2 is the lowest empty one (not reached yet: updated in this
  // step). Slot 1 dies in its update. Slot 3 then adds into slot 1 (passed already: first
  // updated in the next step). Both new units take part in this step's collision pass.
  TProbe* Spawner = AddProbe("s0", 0, 0);
  TProbe* Doomed = AddProbe("doomed", 100, 0);
  AddProbe("gap", 200, 0);
  TProbe* Adder = AddProbe("adder", 400, 0);
  RemoveUnit(2);
  Take();
  Spawner->OnUpdate = [](TProbe& Self) {
    AddProbe("early", 0, 0);
    Self.OnUpdate = nullptr;
  };
  Doomed->OnUpdate = [](TProbe& Self) { Self.Dead = true; };
  Adder->OnUpdate = [](TProbe& Self) {
    AddProbe("behind", 0, 0);
    Self.OnUpdate = nullptr;
  };
  WorldStep();
  EXPECT_EQ(Take(),
            (Strings{"update s0", "update doomed", "free doomed", "update early", "update adder",
                     "s0>behind", "s0>early", "behind>early", "early>behind"}));
  WorldStep();
  EXPECT_EQ(Take(), (Strings{"update s0", "update behind", "update early", "update adder",
                             "s0>behind", "s0>early", "behind>early", "early>behind"}));
}

TEST_F(Registry, UnitAddedBeyondTheSlotsOfTheStepWaitsForTheNextStep) {
  // 100 slots all taken: an add during the loop grows the array to 200 and lands in slot 100,
  // which this step neither updates nor collides.
  TProbe* Spawner = AddProbe("s", 0, 0);
  for (int i = 1; i < 100; ++i) {
    AddProbe("f" + std::to_string(i), 1000 + 20.0f * i, 1000);
  }
  Spawner->OnUpdate = [](TProbe& Self) {
    AddProbe("new", 0, 0);
    Self.OnUpdate = nullptr;
  };
  Take();
  WorldStep();
  ASSERT_EQ(Units.size(), 200u);
  Strings Step = Take();
  EXPECT_EQ(std::count(Step.begin(), Step.end(), "update new"), 0);
  EXPECT_EQ(std::count(Step.begin(), Step.end(), "s>new"), 0);
  EXPECT_EQ(UnitSlots, 100);
  WorldStep();
  Step = Take();
  EXPECT_EQ(UnitSlots, 200);
  EXPECT_EQ(std::count(Step.begin(), Step.end(), "update new"), 1);
  EXPECT_EQ(std::count(Step.begin(), Step.end(), "s>new"), 1);
  EXPECT_EQ(std::count(Step.begin(), Step.end(), "new>s"), 0); // the player slot is never Other
}

TEST_F(Registry, EscapeSwitchesToTheMenuButTheStepStillRuns) {
  AddProbe("a", 0, 0);
  MenuScene = [] {};
  CurrentScene = nullptr;
  Keys[27] = true;
  WorldStep();
  EXPECT_FALSE(Keys[27]);
  EXPECT_EQ(CurrentScene, MenuScene);
  EXPECT_EQ(Take(), Strings{"update a"});
  MenuScene = nullptr;
  CurrentScene = nullptr;
}

TEST_F(Registry, GameOverBookkeepingAppliesTheBestScoreAndAsksForARestart) {
  GameOver = true;
  NeedRestart = false;
  Score = 7;
  ScoreTable[9] = 5;
  WorldStep();
  EXPECT_EQ(ScoreTable[9], 7);
  EXPECT_TRUE(NeedRestart);
  NeedRestart = false;
  ScoreTable[9] = 9;
  WorldStep();
  EXPECT_EQ(ScoreTable[9], 9);
  EXPECT_TRUE(NeedRestart);
  // No game over, no bookkeeping.
  GameOver = false;
  NeedRestart = false;
  WorldStep();
  EXPECT_FALSE(NeedRestart);
}

TEST(BoxesOverlap, TouchingBoxesOverlap) {
  const TVector A = MakeVector(100, 100, 1);
  const TVector Big = MakeVector(64, 64, 0);
  const TVector Small = MakeVector(48, 48, 0);
  EXPECT_TRUE(BoxesOverlap(A, MakeVector(156, 100, 1), Big, Small));
  EXPECT_TRUE(BoxesOverlap(MakeVector(156, 100, 1), A, Small, Big));
  EXPECT_FALSE(BoxesOverlap(A, MakeVector(157, 100, 1), Big, Small));
  EXPECT_FALSE(BoxesOverlap(MakeVector(157, 100, 1), A, Small, Big));
  EXPECT_TRUE(BoxesOverlap(A, MakeVector(44, 44, 7), Big, Small)); // corners touch, z ignored
  EXPECT_FALSE(BoxesOverlap(A, MakeVector(100, 43, 1), Big, Small));
  const float NaN = std::numeric_limits<float>::quiet_NaN();
  EXPECT_FALSE(BoxesOverlap(A, MakeVector(NaN, 100, 1), Big, Small));
  EXPECT_FALSE(BoxesOverlap(A, A, MakeVector(NaN, 64, 0), Small));
}

TEST(BoxesOverlap, HalfSizeIsStoredAsFloatBeforeTheExtendedSums) {
  // (1 + 2^-24) / 2 rounds to 0.5 as a float, so 0.5 + 2^-25 apart no longer touches;
  // summed in extended precision without that rounding it would.
  const float Tiny = std::ldexp(1.0f, -24);
  const TVector SizeA = MakeVector(1, 1, 0);
  const TVector SizeB = MakeVector(Tiny, 1, 0);
  EXPECT_FALSE(BoxesOverlap(MakeVector(0, 0, 0), MakeVector(0.5f + std::ldexp(1.0f, -24), 0, 0),
                            SizeA, SizeB));
  EXPECT_TRUE(BoxesOverlap(MakeVector(0, 0, 0), MakeVector(0.5f, 0, 0), SizeA, SizeB));
  // A sum that a float cannot hold is still compared exactly: 2^24 + 0.5 >= 2^24 + 1 is false.
  const float Big = std::ldexp(1.0f, 24);
  EXPECT_FALSE(BoxesOverlap(MakeVector(Big, 0, 0), MakeVector(Big + 2, 0, 0), MakeVector(1, 1, 0),
                            MakeVector(1, 1, 0)));
}

TEST_F(Registry, PassAgreesWithTheExactTestOnNearTouchingBoxes) {
  // Pairs of boxes that touch exactly, or miss or overlap by a float step, on one axis or the
  // other, with awkward sizes and at small and large coordinates: the pass must call Collide
  // for exactly the pairs that BoxesOverlap accepts.
  std::mt19937 Random(12345);
  std::uniform_real_distribution<float> Sizes(0.001f, 80);
  std::uniform_real_distribution<float> Unit(-1, 1);
  const float Bases[] = {0, 0.5f, 3, -5e4f, 1e7f, 1.5e-3f};
  auto Touching = [](float From, float wA, float wB, int Steps) {
    const float Half = static_cast<float>((static_cast<long double>(wA) + wB) / 2);
    float At = static_cast<float>(From + static_cast<long double>(Half));
    for (; Steps != 0; Steps += Steps > 0 ? -1 : 1) {
      At = std::nextafter(At, Steps > 0 ? INFINITY : -INFINITY);
    }
    return At;
  };
  for (int p = 0; p < 240; ++p) {
    const float Base = Bases[p % 6];
    const float Band = 4000.0f * static_cast<float>(p / 6); // keeps the pairs apart
    const float wA = Sizes(Random), hA = Sizes(Random), wB = Sizes(Random), hB = Sizes(Random);
    const int Steps = p % 3 - 1;
    TVector A{Base, Band, 1};
    TVector B{};
    if ((p / 3) % 2 == 0) {
      B = TVector{Touching(Base, wA, wB, Steps), Band + Unit(Random) * std::min(hA, hB) / 2, 1};
    } else {
      A = TVector{Base, Band + Base, 1};
      B = TVector{Base + Unit(Random) * std::min(wA, wB) / 2, Touching(Band + Base, hA, hB, Steps),
                  1};
    }
    AddUnit(new TProbe("a" + std::to_string(p), A, TVector{wA, hA, 0}));
    AddUnit(new TProbe("b" + std::to_string(p), B, TVector{wB, hB, 0}));
  }
  WorldStep();
  Strings Got = Take();
  Got.erase(Got.begin(), Got.begin() + 480); // the updates
  Strings Expected;
  for (std::size_t i = 0; i < Units.size(); ++i) {
    for (std::size_t j = 1; j < Units.size(); ++j) {
      if (i != j && Units[i] && Units[j] &&
          BoxesOverlap(Units[i]->Pos, Units[j]->Pos, Units[i]->Size, Units[j]->Size)) {
        Expected.push_back(static_cast<TProbe*>(Units[i])->Name + ">" +
                           static_cast<TProbe*>(Units[j])->Name);
      }
    }
  }
  EXPECT_GT(Expected.size(), 200u);
  EXPECT_EQ(Got, Expected);
}

} // namespace
