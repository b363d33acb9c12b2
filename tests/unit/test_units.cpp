// The units' rules at their boundaries; the replays pin the rest of their play.
#include "WorldFixture.h"

#include <numbers>
#include <string>
#include <tuple>
#include <vector>

namespace {

class UnitsTest : public WorldTest {
protected:
  void SetUp() override {
    WorldTest::SetUp();
    AddUnit(Player = new TPlayer(MakeVector(224, 128, 1), MakeVector(64, 64, 0), TVector{}));
  }
};

TEST(AimAngle, ZeroFacesDownAndOnlyOffsetsToTheRightTurnBackFromAFullTurn) {
  constexpr float Pi = std::numbers::pi_v<float>;
  const std::tuple<float, float, float> Cases[] = {
      {0, 1, 0}, {-1, 0, Pi / 2}, {0, -1, Pi}, {1, 0, 6.28318f - Pi / 2}};
  for (const auto& [dx, dy, Expected] : Cases) {
    float Angle = 9;
    EXPECT_TRUE(AimAngle(dx, dy, Angle));
    EXPECT_FLOAT_EQ(Angle, Expected) << dx << " " << dy;
  }
}

TEST_F(UnitsTest, PlayerShotAndChargeRulesWithSixteenBitCounters) {
  MouseLeft = MouseRight = true;
  Player->ShotTicks = Player->ThrowTicks = 32767;
  Player->Update();
  EXPECT_EQ(std::tuple(Player->ShotTicks, Player->ThrowTicks, Player->Charging),
            std::tuple(std::int16_t{-32768}, std::int16_t{-32768}, false));
  EXPECT_TRUE(All<TBullet>().empty());
  // Charging starts once ThrowTicks passes 50; 71 throws weak, 72 strong; the charge stops at 100.
  MouseLeft = false;
  for (const auto& [Ticks, Charge, Factor] :
       {std::tuple{72, 71, 0.09f}, std::tuple{73, 72, 0.02f}, std::tuple{151, 100, 0.02f}}) {
    Player->ThrowTicks = 49;
    MouseRight = true;
    for (int i = 0; i < Ticks; ++i) {
      Player->Update();
    }
    EXPECT_EQ(Player->Charge, Charge);
    MouseRight = false;
    Player->Update();
    Player->Update();
    EXPECT_EQ(All<TTimeField>().back()->SlowFactor, Factor) << Ticks;
  }
  EXPECT_EQ(All<TTimeField>().size(), 3u) << "one field per release";
}

// The walk probes one point 32 pixels ahead: from x 225 the player stops at 93 going left and 288
// going right. Shots on ticks 21, 42 and 63 start where the player stood.
TEST_F(UnitsTest, PlayerFiresEveryTwentyFirstTickBeforeWalkingAndStopsAtWalls) {
  Player->Pos = MakeVector(225, 96, 1);
  MouseLeft = Keys[KeyLeft] = true;
  for (int Tick = 1; Tick <= 63; ++Tick) {
    Player->Update();
  }
  std::vector<float> ShotFrom;
  for (const TBullet* Bullet : All<TBullet>()) {
    ShotFrom.push_back(Bullet->Pos.x);
  }
  EXPECT_EQ(ShotFrom, (std::vector<float>{225 - 3 * 20, 225 - 3 * 41, 93}));
  MouseLeft = Keys[KeyLeft] = false;
  Keys[KeyRight] = true;
  for (int Tick = 0; Tick < 80; ++Tick) {
    Player->Update();
  }
  EXPECT_EQ(Player->Pos.x, 288);
}

TEST_F(UnitsTest, BulletMovesTenPixelsTimesItsFactorAndLivesHundredTicks) {
  auto* Bullet = new TBullet(MakeVector(200, 128, 1), MakeVector(5, 15, 1), MakeVector(1, 0, 0));
  Bullet->Setup("TPlayer", 5, 0);
  EXPECT_EQ(Bullet->TimeFactor, 0); // a new bullet stays put once
  for (const auto& [Factor, Step] : {std::tuple{1.0f, 10.0}, std::tuple{0.09f, 0.9},
                                     std::tuple{0.02f, 0.2}, std::tuple{0.0f, 0.0}}) {
    const float Before = Bullet->Pos.x;
    Bullet->TimeFactor = Factor;
    Bullet->Update();
    EXPECT_NEAR(Bullet->Pos.x - Before, Step, 2e-5) << Factor;
    EXPECT_EQ(Bullet->TimeFactor, 1);
  }
  // Standing still: dead on its 101st update, not its 100th.
  Bullet->Dir = TVector{};
  for (int Age = 5; Age <= 101; ++Age) {
    EXPECT_FALSE(Bullet->Dead) << Age;
    Bullet->Update();
  }
  EXPECT_TRUE(Bullet->Dead);
}

// The player at (224, 128): an enemy at y 528 is 400 away. One right under the player has no
// direction to aim in: it keeps its facing, its shot gets none.
TEST_F(UnitsTest, EnemyFiresStrictlyWithin400WithAnEightBitCounterAndNeverInAField) {
  for (const auto& [y, Ticks, Factor, Angle] :
       {std::tuple{528.0f, 50, 1.0f, -1.0f},
        std::tuple{527.0f, 50, 1.0f, std::numbers::pi_v<float>},
        std::tuple{527.0f, 126, 0.09f, -1.0f}, std::tuple{527.0f, 127, 0.02f, -1.0f},
        std::tuple{128.0f, 50, 1.0f, 1.25f}}) {
    auto* Gunner = new TEnemy(MakeVector(224, y, 1));
    Gunner->Setup();
    Gunner->Angle = 1.25f;
    Gunner->ShotTicks = static_cast<std::int8_t>(Ticks);
    Gunner->TimeFactor = Factor;
    const bool Fires = Angle >= 0;
    const std::size_t Before = All<TBullet>().size();
    Gunner->Update();
    ASSERT_EQ(All<TBullet>().size() - Before, Fires ? 1u : 0u) << y << " " << Ticks;
    EXPECT_EQ(Gunner->ShotTicks, Fires ? 0 : static_cast<std::int8_t>(Ticks + 1));
    if (Fires) {
      const TBullet* Shot = All<TBullet>().back();
      EXPECT_EQ(std::tuple(Gunner->Angle, Shot->Angle, Shot->Dir.x, Shot->Dir.y),
                std::tuple(Angle, Angle, 0.0f, y == 128 ? 0.0f : -1.0f));
    }
  }
}

TEST_F(UnitsTest, FieldFliesTwentyNineTicksAndSlowsEnemiesBulletsAndTurretsOnly) {
  Player->Angle = 2;
  auto* Field = new TTimeField(MakeVector(224, 128, 1), MakeVector(3, 7, 0), MakeVector(1, 0, 0));
  Field->Setup(true, true);
  for (int Age = 1; Age <= 30; ++Age) {
    Field->Update();
  }
  EXPECT_EQ(Field->Pos.x, 398); // 29 steps of 6 pixels, then it turns
  EXPECT_FLOAT_EQ(Field->Angle, 1.95f);
  const TVector At{0, 0, 1}, Size{64, 64, 0};
  TEnemy Enemy(At);
  TBullet Bullet(At, Size, At);
  TTurret Gun(At);
  TTrap Trap(At, Size, At);
  for (TUnit* Unit : std::initializer_list<TUnit*>{&Enemy, &Bullet, &Gun, &Trap, Player}) {
    Unit->TimeFactor = 0.5f;
    Field->Collide(*Unit);
    EXPECT_EQ(Unit->TimeFactor, Unit == &Trap || Unit == Player ? 0.5f : 0.02f);
  }
}

TEST_F(UnitsTest, TurretFiresOnceItsTimerPassesTenOverTheFactorAndWrapsItsFacing) {
  for (const auto& [Factor, Period] :
       {std::tuple{1.0f, 11}, std::tuple{0.09f, 112}, std::tuple{0.02f, 501}}) {
    TTurret Gun(MakeVector(928, 1056, 1));
    int Ticks = 0;
    do {
      Gun.TimeFactor = Factor;
      Gun.Update();
    } while (++Ticks < 1000 && Gun.FireTimer != 0);
    EXPECT_EQ(Ticks, Period) << Factor;
  }
  // Below zero it goes up by 2 pi (in long double, then stored), at 2 pi and above down by it.
  for (const auto& [Angle, Spin, Wrapped] :
       {std::tuple{0.0f, -0.1f, 6.18318510f}, std::tuple{6.2f, 0.1f, 0.016814407f},
        std::tuple{1.0f, 0.1f, 1.1f}}) {
    TTurret Gun(MakeVector(928, 1056, 1));
    Gun.Angle = Angle;
    Gun.Spin = Spin;
    Gun.TimeFactor = 1;
    Gun.Update();
    EXPECT_FLOAT_EQ(Gun.Angle, Wrapped) << Angle << " " << Spin;
  }
}

TEST(Trap, FrameSequencePerDraw) {
  TTrap Trap(MakeVector(0, 0, 1), MakeVector(64, 64, 0), MakeVector(0, 0, 0));
  std::string Frames;
  for (int Draw = 0; Draw < 41 + 2 * 36; ++Draw) {
    Frames += static_cast<char>('0' + Trap.AdvanceFrame());
  }
  // 41 draws from Frame 0, then a 36-draw cycle from Frame 1.
  const std::string Cycle = "2222233333444445555566666777778888";
  EXPECT_EQ(Frames, "0011111" + Cycle + "11" + Cycle + "11" + Cycle);
}

} // namespace
