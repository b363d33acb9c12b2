// The player: aim, the shot and charge cycles with their 16-bit counters, throwing, walking and
// what it does to the units it touches.
#include "MyUnit.h"
#include "WorldFixture.h"

#include <cmath>

namespace {

class PlayerTest : public WorldTest {
protected:
  void SetUp() override {
    WorldTest::SetUp();
    Player = new TPlayer(MakeVector(224, 128, 1), MakeVector(64, 64, 0), MakeVector(0, 0, 0));
    AddUnit(Player);
    Aim(400, 301);
  }
  static void Aim(int x, int y) {
    MouseX = x;
    MouseY = y;
  }
  // Player updates until the first one that registers a bullet; returns how many it took.
  static int UpdatesUntilShot(int Limit) {
    for (int i = 1; i <= Limit; ++i) {
      const std::int32_t Before = UnitCount;
      Player->Update();
      if (UnitCount != Before) {
        return i;
      }
    }
    return -1;
  }
};

TEST_F(PlayerTest, AimsAtTheMouseSeenFromTheScreenCentre) {
  Player->Update();
  EXPECT_EQ(Player->Angle, 0); // (0, 1): down the screen
  EXPECT_EQ(Player->Dir.x, 0);
  EXPECT_EQ(Player->Dir.y, 1);
  Aim(399, 300); // (-1, 0)
  Player->Update();
  EXPECT_FLOAT_EQ(Player->Angle, 1.57079633f);
  EXPECT_EQ(Player->Dir.x, -1);
  Aim(400, 0); // (0, -300)
  Player->Update();
  EXPECT_EQ(Player->Angle, static_cast<float>(3.14159265358979323846L));
  EXPECT_EQ(Player->Dir.y, -1);
  // (1, 0): the full turn is the literal 6.28318, not 2 pi.
  Aim(700, 300);
  Player->Update();
  EXPECT_FLOAT_EQ(Player->Angle, 4.71238367f);
  EXPECT_GT(std::fabs(Player->Angle - 4.71238898f), 4e-6f);
  // (3, 4): a unit vector from a 5-long offset, and (-sin, cos) points along it.
  Aim(403, 304);
  Player->Update();
  EXPECT_FLOAT_EQ(Player->Dir.x, 0.6f);
  EXPECT_FLOAT_EQ(Player->Dir.y, 0.8f);
  EXPECT_NEAR(-std::sin(Player->Angle), 0.6, 1e-5);
  EXPECT_NEAR(std::cos(Player->Angle), 0.8, 1e-5);
  // The mouse words may reach 65535 (a position beyond the window).
  Aim(65535, 65535);
  Player->Update();
  EXPECT_TRUE(std::isfinite(Player->Angle));
  EXPECT_NEAR(std::hypot(Player->Dir.x, Player->Dir.y), 1, 1e-6);
}

TEST_F(PlayerTest, MouseOnTheCentreKeepsTheLastAimAndFiresAlongIt) {
  Aim(403, 304);
  Player->Update();
  const float Angle = Player->Angle;
  const TVector Dir = Player->Dir;
  Aim(400, 300);
  MouseLeft = true;
  Player->ShotTicks = 500;
  Player->Update();
  EXPECT_EQ(Player->Angle, Angle);
  EXPECT_EQ(Player->Dir.x, Dir.x);
  EXPECT_EQ(Player->Dir.y, Dir.y);
  auto Bullets = All<TBullet>();
  ASSERT_EQ(Bullets.size(), 1u);
  EXPECT_EQ(Bullets[0]->Dir.x, Dir.x);
  EXPECT_EQ(Bullets[0]->Dir.y, Dir.y);
  EXPECT_EQ(Bullets[0]->Angle, Angle);
  // A field thrown now also flies along the kept direction.
  Player->ThrowTicks = 100;
  MouseRight = true;
  Player->Update();
  MouseRight = false;
  Player->Update();
  auto Fields = All<TTimeField>();
  ASSERT_EQ(Fields.size(), 1u);
  EXPECT_EQ(Fields[0]->Dir.x, Dir.x);
  EXPECT_EQ(Fields[0]->Angle, Angle);
}

TEST_F(PlayerTest, FiresOnEvery21stUpdateWhileTheButtonIsHeld) {
  MouseLeft = true;
  EXPECT_EQ(UpdatesUntilShot(100), 21);
  EXPECT_EQ(Player->ShotTicks, 0);
  EXPECT_EQ(Player->ThrowTicks, 1); // reset by the shot, then counted
  EXPECT_EQ(UpdatesUntilShot(100), 21);
  auto Bullets = All<TBullet>();
  ASSERT_EQ(Bullets.size(), 2u);
  const TBullet& B = *Bullets[0];
  EXPECT_EQ(B.Owner, "TPlayer");
  EXPECT_EQ(B.Damage, 5);
  EXPECT_EQ(B.Pos.x, 224);
  EXPECT_EQ(B.Pos.y, 128);
  EXPECT_EQ(B.Pos.z, 1);
  EXPECT_EQ(B.Size.x, 5);
  EXPECT_EQ(B.Size.y, 15);
  EXPECT_EQ(B.Size.z, 1);
  EXPECT_EQ(B.Dir.y, 1);
  EXPECT_EQ(B.Dir.z, 0);
  EXPECT_EQ(B.TimeFactor, 0);
  // After a long pause the first shot leaves on the first update of the press.
  MouseLeft = false;
  for (int i = 0; i < 300; ++i) {
    Player->Update();
  }
  MouseLeft = true;
  EXPECT_EQ(UpdatesUntilShot(100), 1);
}

TEST_F(PlayerTest, CountersWrapAtSixteenBits) {
  MouseLeft = true;
  MouseRight = true;
  Player->ShotTicks = 32767;
  Player->ThrowTicks = 32767;
  Player->Update();
  EXPECT_EQ(Player->ShotTicks, -32768);
  EXPECT_EQ(Player->ThrowTicks, -32768);
  EXPECT_EQ(All<TBullet>().size(), 0u);
  EXPECT_FALSE(Player->Charging);
  // Both rules stay false until the counters have climbed back above 20 and 50.
  Player->ShotTicks = 19;
  Player->ThrowTicks = -5;
  Player->Update();
  EXPECT_EQ(All<TBullet>().size(), 0u);
  EXPECT_EQ(Player->ShotTicks, 20);
  Player->Update();
  EXPECT_EQ(All<TBullet>().size(), 1u);
}

TEST_F(PlayerTest, ChargesAfterFiftyQuietTicksAndThrowsWeakOrStrong) {
  MouseRight = true;
  for (int i = 0; i < 50; ++i) {
    Player->Update();
  }
  EXPECT_FALSE(Player->Charging);
  EXPECT_EQ(Player->Charge, 0);
  Player->Update(); // ThrowTicks 51
  EXPECT_TRUE(Player->Charging);
  EXPECT_EQ(Player->Charge, 1);
  for (int i = 0; i < 70; ++i) {
    Player->Update();
  }
  EXPECT_EQ(Player->Charge, 71);
  Aim(399, 300);
  MouseRight = false;
  Player->Update();
  EXPECT_FALSE(Player->Charging);
  EXPECT_EQ(Player->Charge, 0);
  EXPECT_EQ(Player->ThrowTicks, 0); // the throw comes after this tick's count
  auto Fields = All<TTimeField>();
  ASSERT_EQ(Fields.size(), 1u);
  const TTimeField& Weak = *Fields[0];
  EXPECT_EQ(Weak.Size.x, 1.5f);
  EXPECT_EQ(Weak.Size.y, 3);
  EXPECT_EQ(Weak.Size.z, 0);
  EXPECT_EQ(Weak.Pos.x, 224);
  EXPECT_EQ(Weak.Pos.z, 1);
  EXPECT_EQ(Weak.Dir.x, -1);
  EXPECT_EQ(Weak.SlowFactor, 0.09f);
  EXPECT_TRUE(Weak.SpinNegative);
  EXPECT_EQ(Weak.Angle, Player->Angle);
  EXPECT_EQ(Weak.FieldAge, 0);

  // 72 ticks of charge throw the strong one; holding on keeps the charge at 100.
  MouseRight = true;
  for (int i = 0; i < 50 + 72; ++i) {
    Player->Update();
  }
  EXPECT_EQ(Player->Charge, 72);
  for (int i = 0; i < 100; ++i) {
    Player->Update();
  }
  EXPECT_EQ(Player->Charge, 100);
  MouseRight = false;
  Player->Update();
  Fields = All<TTimeField>();
  ASSERT_EQ(Fields.size(), 2u);
  EXPECT_EQ(Fields[1]->Size.x, 3);
  EXPECT_EQ(Fields[1]->Size.y, 7);
  EXPECT_EQ(Fields[1]->SlowFactor, 0.02f);
}

TEST_F(PlayerTest, ChargeOf72ThrowsStrongAndFiringHoldsTheChargeBack) {
  MouseRight = true;
  for (int i = 0; i < 50 + 71; ++i) {
    Player->Update();
  }
  ASSERT_EQ(Player->Charge, 71);
  // A shot resets ThrowTicks: the charge stops growing but stays under way.
  MouseLeft = true;
  Player->ShotTicks = 100;
  for (int i = 0; i < 40; ++i) {
    Player->Update();
  }
  EXPECT_EQ(Player->Charge, 71);
  EXPECT_TRUE(Player->Charging);
  MouseLeft = false;
  while (Player->Charge < 72) {
    Player->Update();
  }
  MouseRight = false;
  Player->Update();
  auto Fields = All<TTimeField>();
  ASSERT_EQ(Fields.size(), 1u);
  EXPECT_EQ(Fields[0]->SlowFactor, 0.02f);
}

TEST_F(PlayerTest, WalksThreePixelsPerKeyAndStopsAtWalls) {
  // A and D together: left, then right from there.
  Keys[65] = Keys[68] = true;
  Player->Update();
  EXPECT_EQ(Player->Pos.x, 224);
  Keys[65] = Keys[68] = false;
  // Up: the probe 32 pixels ahead leaves row 1 once y drops below 96, so the walk ends at 95.
  Keys[87] = true;
  for (int i = 0; i < 30; ++i) {
    Player->Update();
  }
  EXPECT_EQ(Player->Pos.y, 95);
  EXPECT_EQ(Player->Pos.x, 224);
  Keys[87] = false;
  // Right: column 5 is wall, so the walk ends once x + 32 would round into it.
  Keys[68] = true;
  for (int i = 0; i < 40; ++i) {
    Player->Update();
  }
  EXPECT_EQ(Player->Pos.x, 290); // 287 + 32 = 319 is column 4; 290 + 32 = 322 is column 5
  Keys[68] = false;
  // The E key does nothing.
  Keys[69] = true;
  Player->Update();
  EXPECT_EQ(Player->Pos.x, 290);
  EXPECT_EQ(Player->Pos.y, 95);
}

TEST_F(PlayerTest, FiresBeforeItMovesAndIgnoresTheTimeFactor) {
  MouseLeft = true;
  Player->ShotTicks = 50;
  Player->TimeFactor = 0.02f;
  Keys[83] = true;
  Player->Update();
  EXPECT_EQ(Player->Pos.y, 131);
  auto Bullets = All<TBullet>();
  ASSERT_EQ(Bullets.size(), 1u);
  EXPECT_EQ(Bullets[0]->Pos.y, 128);
  EXPECT_EQ(Player->TimeFactor, 0.02f);
}

TEST_F(PlayerTest, RemovesEnemyBulletsAndArmsTraps) {
  TBullet Enemys(MakeVector(0, 0, 1), MakeVector(5, 15, 1), MakeVector(0, 0, 0));
  Enemys.Owner = "TEnemy";
  TBullet Own(MakeVector(0, 0, 1), MakeVector(5, 15, 1), MakeVector(0, 0, 0));
  Own.Owner = "TPlayer";
  TTrap Trap(MakeVector(0, 0, 1), MakeVector(64, 64, 0), MakeVector(0, 0, 0));
  TEnemy Enemy(MakeVector(0, 0, 1));
  Player->Collide(Enemys);
  Player->Collide(Own);
  Player->Collide(Trap);
  Player->Collide(Enemy);
  EXPECT_TRUE(Enemys.Dead);
  EXPECT_FALSE(Own.Dead);
  EXPECT_TRUE(Trap.Armed);
  EXPECT_FALSE(Enemy.Dead);
  EXPECT_EQ(Player->Health, 10);
  Player->Kill();
  EXPECT_FALSE(Player->Dead);
}

TEST(UnitBase, ConstructorsAndBaseOperations) {
  const TUnit Made(MakeVector(224, 128, 1), MakeVector(64, 64, 0), MakeVector(0, 0, 0));
  EXPECT_EQ(Made.Size.x, 64);
  EXPECT_EQ(Made.Health, 10);
  EXPECT_EQ(Made.Damage, 10);
  EXPECT_EQ(Made.Angle, 0);
  EXPECT_EQ(Made.Age, 0);
  EXPECT_FALSE(Made.Dead);
  EXPECT_EQ(Made.TimeFactor, 0);
  const TTurret Bare(MakeVector(1, 2, 3));
  EXPECT_EQ(Bare.Pos.z, 3);
  EXPECT_EQ(Bare.Size.x, 0);
  EXPECT_EQ(Bare.Dir.y, 0);
  EXPECT_EQ(Bare.Health, 0);
  EXPECT_EQ(Bare.Damage, 0);
  EXPECT_EQ(Bare.TimeFactor, 0);
  const TVector v = MakeVector(1, 2, 3);
  EXPECT_EQ(v.x, 1);
  EXPECT_EQ(v.y, 2);
  EXPECT_EQ(v.z, 3);
  TUnit Mover(MakeVector(10, 20, 1), MakeVector(1, 1, 0), MakeVector(1, -2, 0));
  Mover.Update();
  EXPECT_EQ(Mover.Pos.x, 11);
  EXPECT_EQ(Mover.Pos.y, 18);
  EXPECT_EQ(Mover.Pos.z, 1);
  // 32-bit arithmetic: 2^24 + 1 is lost.
  TUnit Far(MakeVector(16777216.0f, 0, 0), MakeVector(1, 1, 0), MakeVector(1, 0, 0));
  Far.Update();
  EXPECT_EQ(Far.Pos.x, 16777216.0f);
  Far.Collide(Mover);
  Far.Kill();
  EXPECT_FALSE(Far.Dead);
  EXPECT_EQ(Mover.Pos.x, 11);
}

TEST(ArcCos, MatchesTheArcCosineOnItsDomain) {
  EXPECT_EQ(ArcCos(1), 0);
  EXPECT_NEAR(static_cast<double>(ArcCos(0)), 1.5707963267948966, 1e-15);
  EXPECT_NEAR(static_cast<double>(ArcCos(-1)), 3.141592653589793, 1e-15);
  for (double x = -1; x <= 1; x += 0.125) {
    EXPECT_NEAR(static_cast<double>(ArcCos(x)), std::acos(x), 1e-15) << x;
  }
  float Angle = 7;
  EXPECT_FALSE(AimAngle(0, 0, Angle));
  EXPECT_EQ(Angle, 7);
}

} // namespace
