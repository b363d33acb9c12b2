// Time fields (flight, growth, spin, end, slowing) and turrets (turning, cadence, bullets),
// sensors and traps.
#include "MyUnit.h"
#include "WorldFixture.h"

#include <cmath>

namespace {

class Fields : public WorldTest {
protected:
  void SetUp() override {
    WorldTest::SetUp();
    Player = new TPlayer(MakeVector(224, 128, 1), MakeVector(64, 64, 0), MakeVector(0, 0, 0));
    AddUnit(Player);
    Player->Angle = 2;
  }
  static TTimeField* Throw(bool Strong) {
    auto* Field =
        new TTimeField(MakeVector(224, 128, 1),
                       Strong ? MakeVector(3, 7, 0) : MakeVector(1.5f, 3, 0), MakeVector(1, 0, 0));
    Field->Setup(true, Strong);
    return Field;
  }
  static TTurret* Turret(float x, float y, bool Flag) {
    auto* Unit = new TTurret(MakeVector(x, y, 1));
    Unit->Setup(Flag);
    return Unit;
  }
};

TEST_F(Fields, WeakFieldFliesGrowsSpinsAndEnds) {
  TTimeField* Field = Throw(false);
  EXPECT_EQ(Field->Angle, 2);
  EXPECT_EQ(Field->SlowFactor, 0.09f);
  for (int i = 1; i <= 29; ++i) {
    Field->Update();
  }
  EXPECT_EQ(Field->Pos.x, 224 + 174);
  EXPECT_EQ(Field->Pos.y, 128);
  EXPECT_NEAR(Field->Size.x, 6.17, 0.005);
  EXPECT_NEAR(Field->Size.y, 9.36, 0.005);
  EXPECT_EQ(Field->Size.z, 0);
  EXPECT_EQ(Field->Angle, 2); // no spin in flight
  for (int i = 30; i <= 299; ++i) {
    Field->Update();
  }
  EXPECT_EQ(Field->Pos.x, 398); // stays put after the flight
  EXPECT_NEAR(Field->Size.x, 69.37, 0.005);
  EXPECT_NEAR(Field->Size.y, 47.05, 0.005);
  const TVector Grown = Field->Size;
  for (int i = 300; i <= 399; ++i) {
    Field->Update();
  }
  EXPECT_EQ(Field->Size.x, Grown.x);
  EXPECT_EQ(Field->Size.y, Grown.y);
  EXPECT_NEAR(Field->Angle, 2 - 18.5, 1e-3); // 370 spinning ticks of -0.05
  EXPECT_FALSE(Field->Dead);
  const float Angle = Field->Angle;
  Field->Update();
  EXPECT_EQ(Field->FieldAge, 400);
  EXPECT_TRUE(Field->Dead);
  EXPECT_EQ(Field->Angle, Angle); // nothing else happens in the last update
}

TEST_F(Fields, StrongFieldSizes) {
  TTimeField* Field = Throw(true);
  EXPECT_EQ(Field->SlowFactor, 0.02f);
  for (int i = 1; i <= 29; ++i) {
    Field->Update();
  }
  EXPECT_NEAR(Field->Size.x, 12.35, 0.005);
  EXPECT_NEAR(Field->Size.y, 21.83, 0.005);
  for (int i = 30; i <= 299; ++i) {
    Field->Update();
  }
  EXPECT_NEAR(Field->Size.x, 138.75, 0.005);
  EXPECT_NEAR(Field->Size.y, 109.78, 0.005);
}

TEST_F(Fields, FieldIsRemovedByTheUpdateThatReachesAge400) {
  TTimeField* Field = Throw(false);
  const std::int32_t Slot = SlotOf(Field);
  for (int i = 1; i <= 399; ++i) {
    WorldStep();
  }
  EXPECT_EQ(Units[static_cast<std::size_t>(Slot)], Field);
  WorldStep();
  EXPECT_EQ(Units[static_cast<std::size_t>(Slot)], nullptr);
}

TEST_F(Fields, FieldSlowsEnemiesBulletsAndTurretsOnly) {
  TTimeField* Field = Throw(false);
  TEnemy Enemy(MakeVector(0, 0, 1));
  TBullet Bullet(MakeVector(0, 0, 1), MakeVector(5, 15, 1), MakeVector(0, 0, 0));
  TTurret Gun(MakeVector(0, 0, 1));
  TSensor Sensor(MakeVector(0, 0, 1), MakeVector(64, 64, 0), MakeVector(0, 0, 0));
  TTrap Trap(MakeVector(0, 0, 1), MakeVector(64, 64, 0), MakeVector(0, 0, 0));
  TTimeField Other(MakeVector(0, 0, 1), MakeVector(1, 1, 0), MakeVector(0, 0, 0));
  TUnit* All[] = {&Enemy, &Bullet, &Gun, &Sensor, &Trap, &Other, Player};
  for (TUnit* Unit : All) {
    Unit->TimeFactor = 0.5f;
    Field->Collide(*Unit);
  }
  EXPECT_EQ(Enemy.TimeFactor, 0.09f);
  EXPECT_EQ(Bullet.TimeFactor, 0.09f);
  EXPECT_EQ(Gun.TimeFactor, 0.09f);
  EXPECT_EQ(Sensor.TimeFactor, 0.5f);
  EXPECT_EQ(Trap.TimeFactor, 0.5f);
  EXPECT_EQ(Other.TimeFactor, 0.5f);
  EXPECT_EQ(Player->TimeFactor, 0.5f);
}

TEST_F(Fields, LaterFieldWinsAndTheSlowingLastsAsLongAsTheOverlap) {
  TTimeField* Weak = Throw(false);
  TTimeField* Strong = Throw(true);
  TTurret* Gun = Turret(300, 128, true);
  // Let the fields fly over the turret, then look at one pass.
  for (int i = 0; i < 12; ++i) {
    WorldStep();
  }
  ASSERT_TRUE(BoxesOverlap(Weak->Pos, Gun->Pos, Weak->Size, Gun->Size));
  ASSERT_TRUE(BoxesOverlap(Strong->Pos, Gun->Pos, Strong->Size, Gun->Size));
  EXPECT_LT(SlotOf(Weak), SlotOf(Strong));
  EXPECT_EQ(Gun->TimeFactor, 0.02f);
  RemoveUnit(SlotOf(Strong));
  RemoveUnit(SlotOf(Weak));
  WorldStep();
  EXPECT_EQ(Gun->TimeFactor, 1);
}

TEST_F(Fields, TurretFiresEvery11TicksAlongItsFacing) {
  TTurret* Gun = Turret(928, 1056, true);
  EXPECT_EQ(Gun->Size.x, 64);
  EXPECT_EQ(Gun->Spin, 0.1f);
  Gun->Update();
  EXPECT_EQ(Gun->Angle, 0); // factor 0 in the first update: no turn, no shot
  EXPECT_EQ(Gun->FireTimer, 1);
  std::vector<int> ShotsAt;
  for (int i = 2; i <= 33; ++i) {
    const std::size_t Before = All<TBullet>().size();
    Gun->Update();
    if (All<TBullet>().size() != Before) {
      ShotsAt.push_back(i);
    }
  }
  EXPECT_EQ(ShotsAt, (std::vector<int>{11, 22, 33}));
  const TBullet& First = *All<TBullet>().front();
  // Ten turning ticks before the first shot.
  const float Angle = First.Angle;
  EXPECT_NEAR(Angle, 1.0, 1e-5);
  EXPECT_EQ(First.Owner, "TEnemy");
  EXPECT_EQ(First.Damage, 5);
  EXPECT_NEAR(First.Pos.x, 928 + 40 * std::sin(Angle), 1e-3);
  EXPECT_NEAR(First.Pos.y, 1056 - 40 * std::cos(Angle), 1e-3);
  EXPECT_NEAR(First.Dir.x, std::sin(Angle), 1e-6);
  EXPECT_NEAR(First.Dir.y, -std::cos(Angle), 1e-6);
  EXPECT_EQ(First.Dir.z, 0);
  EXPECT_EQ(First.Pos.z, 1);
  EXPECT_EQ(First.Size.y, 15);
  // Angle 0 fires straight up the screen.
  Gun->Angle = 0;
  Gun->FireTimer = 10;
  Gun->Spin = 0;
  Gun->Update();
  const TBullet& Up = *All<TBullet>().back();
  EXPECT_EQ(Up.Pos.x, 928);
  EXPECT_EQ(Up.Pos.y, 1016);
  EXPECT_EQ(Up.Dir.y, -1);
}

TEST_F(Fields, TurretCadenceInsideFields) {
  // A factor held down in every update, as a field does while it overlaps.
  for (const auto& [Factor, Period, Turn] :
       {std::tuple{0.09f, 112, 0.009}, std::tuple{0.02f, 501, 0.002}}) {
    TTurret* Gun = Turret(928, 1056, true);
    Gun->Update(); // the first update, at factor 0
    Gun->FireTimer = 0;
    int Ticks = 0;
    const std::size_t Before = All<TBullet>().size();
    while (All<TBullet>().size() == Before && Ticks < 2000) {
      Gun->TimeFactor = Factor;
      const float Angle = Gun->Angle;
      Gun->Update();
      ++Ticks;
      EXPECT_NEAR(Gun->Angle - Angle, Turn, 1e-6);
    }
    EXPECT_EQ(Ticks, Period) << Factor;
  }
}

TEST_F(Fields, TurretAngleStaysWithinOneTurn) {
  TTurret* Back = Turret(320, 768, false);
  TTurret* Ahead = Turret(320, 224, true);
  Back->Update();
  Back->Update();
  // Below 0 on its second update: one full turn is added.
  EXPECT_FLOAT_EQ(Back->Angle, 6.18318531f);
  float Lowest = 10, Highest = -10;
  for (int i = 0; i < 5000; ++i) {
    Ahead->Update();
    Back->Update();
    Lowest = std::min({Lowest, Ahead->Angle, Back->Angle});
    Highest = std::max({Highest, Ahead->Angle, Back->Angle});
  }
  EXPECT_GE(Lowest, 0);
  EXPECT_LE(Highest, static_cast<float>(6.283185307179586476925L));
  EXPECT_LT(Lowest, 0.1f);
  EXPECT_GT(Highest, 6.18f);
}

TEST(Trap, FrameSequencePerDraw) {
  TTrap Trap(MakeVector(0, 0, 1), MakeVector(64, 64, 0), MakeVector(0, 0, 0));
  std::vector<int> Frames;
  for (int i = 0; i < 41 + 36 * 2; ++i) {
    Frames.push_back(Trap.AdvanceFrame());
  }
  std::vector<int> Expected(2, 0);
  for (int k = 1; k <= 7; ++k) {
    Expected.insert(Expected.end(), 5, k);
  }
  Expected.insert(Expected.end(), 4, 8);
  ASSERT_EQ(Expected.size(), 41u);
  for (int Cycle = 0; Cycle < 2; ++Cycle) {
    Expected.insert(Expected.end(), 2, 1);
    for (int k = 2; k <= 7; ++k) {
      Expected.insert(Expected.end(), 5, k);
    }
    Expected.insert(Expected.end(), 4, 8);
  }
  EXPECT_EQ(Frames, Expected);
}

TEST(Sensor, ArmsItsTrapOnlyWhenTriggered) {
  TTrap Trap(MakeVector(0, 0, 1), MakeVector(64, 64, 0), MakeVector(0, 0, 0));
  TSensor Sensor(MakeVector(0, 0, 1), MakeVector(64, 64, 0), MakeVector(0, 0, 0));
  Sensor.Update(); // no trap linked: nothing to do
  Sensor.TrapLink = &Trap;
  Sensor.Update();
  EXPECT_FALSE(Trap.Armed);
  Sensor.Triggered = true;
  Sensor.Update();
  EXPECT_TRUE(Trap.Armed);
}

} // namespace
