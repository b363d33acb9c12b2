// The units: the player's shot and charge rules and the aim it keeps, bullets at every time
// factor, the enemy's range and counter, time fields, the turret's cadence, the trap's frames.
#include "WorldFixture.h"

#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace {

class UnitsTest : public WorldTest {
protected:
  void SetUp() override {
    WorldTest::SetUp();
    AddUnit(Player = new TPlayer(MakeVector(224, 128, 1), MakeVector(64, 64, 0), TVector{}));
  }
};

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
       {std::tuple{71, 71, 0.09f}, std::tuple{72, 72, 0.02f}, std::tuple{150, 100, 0.02f}}) {
    Player->ThrowTicks = 50;
    MouseRight = true;
    for (int i = 0; i < Ticks; ++i) {
      Player->Update();
    }
    EXPECT_EQ(Player->Charge, Charge);
    MouseRight = false;
    Player->Update();
    EXPECT_EQ(All<TTimeField>().back()->SlowFactor, Factor) << Ticks;
  }
}

TEST_F(UnitsTest, MouseOnTheCentreKeepsThePlayersAimForShotsAndFields) {
  MouseX = 403;
  MouseY = 304;
  Player->Update();
  const TPlayer Aimed = *Player;
  MouseX = 400;
  MouseY = 300;
  MouseLeft = true;
  Player->ShotTicks = 100;
  Player->Charging = true; // as after a tick of charging
  Player->Update();        // fires and throws
  for (const TUnit* Unit :
       std::initializer_list<const TUnit*>{Player, All<TBullet>().at(0), All<TTimeField>().at(0)}) {
    EXPECT_EQ(Unit->Angle, Aimed.Angle);
    EXPECT_EQ(Unit->Dir.x, Aimed.Dir.x);
    EXPECT_EQ(Unit->Dir.y, Aimed.Dir.y);
  }
}

TEST_F(UnitsTest, BulletMovesTenPixelsScaledByItsTimeFactor) {
  auto* Bullet = new TBullet(MakeVector(200, 128, 1), MakeVector(5, 15, 1), MakeVector(1, 0, 0));
  Bullet->Setup("TPlayer", 5, 0);
  EXPECT_EQ(Bullet->TimeFactor, 0); // a new bullet stays put once
  for (const auto& [Factor, Step] : {std::tuple{0.0f, 0.0}, std::tuple{1.0f, 10.0},
                                     std::tuple{0.09f, 0.9}, std::tuple{0.02f, 0.2}}) {
    const float Before = Bullet->Pos.x;
    Bullet->TimeFactor = Factor;
    Bullet->Update();
    EXPECT_NEAR(Bullet->Pos.x - Before, Step, 2e-5) << Factor;
    EXPECT_EQ(Bullet->TimeFactor, 1);
  }
}

TEST_F(UnitsTest, EnemyFiresStrictlyWithin400WithAnEightBitCounterAndNeverInAField) {
  // The player at (224, 128): an enemy at y 528 is 400 away, at 527 399 away.
  for (const auto& [y, Ticks, Factor, Fires] :
       {std::tuple{528.0f, 50, 1.0f, false}, std::tuple{527.0f, 50, 1.0f, true},
        std::tuple{527.0f, 126, 0.09f, false}, std::tuple{527.0f, 127, 0.02f, false}}) {
    auto* Gunner = new TEnemy(MakeVector(224, y, 1));
    Gunner->Setup();
    Gunner->ShotTicks = static_cast<std::int8_t>(Ticks);
    Gunner->TimeFactor = Factor;
    const std::size_t Before = All<TBullet>().size();
    Gunner->Update();
    EXPECT_EQ(All<TBullet>().size() - Before, Fires ? 1u : 0u) << y << " " << Ticks;
    EXPECT_EQ(Gunner->ShotTicks, Fires ? 0 : static_cast<std::int8_t>(Ticks + 1));
    EXPECT_EQ(Gunner->TimeFactor, 1);
  }
}

TEST_F(UnitsTest, EnemyUnderThePlayerKeepsItsFacingAndFiresAShotThatVanishes) {
  auto* Under = new TEnemy(MakeVector(224, 128, 1));
  Under->Setup();
  Under->Angle = 1.25f;
  Under->ShotTicks = 40;
  Under->TimeFactor = 1;
  Under->Update();
  const TBullet* Bullet = All<TBullet>().at(0);
  EXPECT_EQ(std::tuple(Under->Angle, Bullet->Angle, Bullet->Dir.x, Bullet->Dir.y),
            std::tuple(1.25f, 1.25f, 0.0f, 0.0f));
  WorldStep(); // a harmless update, then the player removes it
  EXPECT_EQ(std::tuple(Bullet->Dead, Bullet->Pos.x, Bullet->Pos.y),
            std::tuple(true, 224.0f, 128.0f));
}

TEST_F(UnitsTest, FieldsFlyGrowHoldEndAndSlowEnemiesBulletsAndTurretsOnly) {
  Player->Angle = 2;
  const TVector At{0, 0, 1}, Size{64, 64, 0};
  TEnemy Enemy(At);
  TBullet Bullet(At, Size, At);
  TTurret Gun(At);
  TTrap Trap(At, Size, At);
  for (const auto& [Strong, FlownX, FlownY, GrownX, GrownY] :
       {std::tuple{false, 6.17, 9.36, 69.37, 47.05},
        std::tuple{true, 12.35, 21.83, 138.75, 109.78}}) {
    auto* Field =
        new TTimeField(MakeVector(224, 128, 1),
                       Strong ? MakeVector(3, 7, 0) : MakeVector(1.5f, 3, 0), MakeVector(1, 0, 0));
    Field->Setup(true, Strong);
    for (int Age = 1; Age <= 400; ++Age) {
      Field->Update();
      if (Age == 29 || Age >= 299) { // the end of the flight; grown from 299 on
        EXPECT_NEAR(Field->Size.x, Age == 29 ? FlownX : GrownX, 0.005) << Age;
        EXPECT_NEAR(Field->Size.y, Age == 29 ? FlownY : GrownY, 0.005) << Age;
      }
      EXPECT_EQ(Field->Dead, Age == 400) << Age;
    }
    // 29 steps of 6 pixels, then 370 spinning ticks.
    EXPECT_EQ(Field->Pos.x, 398);
    EXPECT_NEAR(Field->Angle, 2 - 18.5, 1e-3);
    for (TUnit* Unit : std::initializer_list<TUnit*>{&Enemy, &Bullet, &Gun, &Trap, Player}) {
      Unit->TimeFactor = 0.5f;
      Field->Collide(*Unit);
      EXPECT_EQ(Unit->TimeFactor, Unit == &Trap || Unit == Player ? 0.5f : Field->SlowFactor);
    }
    EXPECT_EQ(Field->SlowFactor, Strong ? 0.02f : 0.09f);
  }
}

TEST_F(UnitsTest, TurretFiresOnceItsTimerPassesTenOverTheFactor) {
  for (const auto& [Factor, Period] :
       {std::tuple{1.0f, 11}, std::tuple{0.09f, 112}, std::tuple{0.02f, 501}}) {
    TTurret Gun(MakeVector(928, 1056, 1));
    Gun.Spin = 0.1f;
    int Ticks = 0;
    do {
      Gun.TimeFactor = Factor;
      Gun.Update();
    } while (++Ticks < 1000 && Gun.FireTimer != 0);
    EXPECT_EQ(Ticks, Period) << Factor;
  }
}

TEST_F(UnitsTest, PlayerFiresEveryTwentyFirstTickBeforeWalking) {
  MouseX = 400;
  MouseY = 500;
  MouseLeft = true;
  Keys[KeyDown] = true;
  std::vector<float> ShotFrom; // the player's y when each bullet left
  for (int Tick = 1; Tick <= 63; ++Tick) {
    const std::size_t Before = All<TBullet>().size();
    const float y = Player->Pos.y;
    Player->Update();
    if (All<TBullet>().size() > Before) {
      ShotFrom.push_back(y);
      EXPECT_EQ(All<TBullet>().back()->Pos.y, y) << "fired before the step of tick " << Tick;
    }
  }
  // The counter passes 20 on ticks 21, 42 and 63.
  EXPECT_EQ(ShotFrom, (std::vector<float>{128 + 3 * 20, 128 + 3 * 41, 128 + 3 * 62}));
}

// The walk probes the one point 32 pixels ahead: from x 225 on row 1 the player stops at 93
// going left (96 - 32 is still floor, 93 - 32 is not) and at 288 going right.
TEST_F(UnitsTest, WalkStopsWhereThePointThirtyTwoPixelsAheadIsWall) {
  for (const auto& [Key, StopX] : {std::pair{&KeyLeft, 93.0f}, std::pair{&KeyRight, 288.0f}}) {
    Player->Pos = MakeVector(225, 96, 1);
    Keys[*Key] = true;
    for (int Tick = 0; Tick < 80; ++Tick) {
      Player->Update();
    }
    Keys[*Key] = false;
    EXPECT_EQ(Player->Pos.x, StopX);
  }
}

TEST_F(UnitsTest, BulletLivesHundredTicksAndIsSpentOnItsFirstHit) {
  // Down the open floor of column 3 at factor 1: dead on its 101st update, not its 100th.
  auto* Bullet = new TBullet(MakeVector(224, 160, 1), MakeVector(5, 15, 1), MakeVector(0, 0, 0));
  Bullet->Setup("TPlayer", 5, 0);
  for (int Age = 1; Age <= 101; ++Age) {
    Bullet->TimeFactor = 1;
    Bullet->Update();
    EXPECT_EQ(Bullet->Dead, Age == 101) << Age;
  }
  // A player's bullet costs an enemy its damage, scores and is spent; an enemy's does nothing.
  for (const char* Owner : {"TPlayer", "TEnemy"}) {
    const bool Hits = std::string(Owner) == "TPlayer";
    auto* Target = new TEnemy(MakeVector(0, 0, 1));
    Target->Setup();
    auto* Shot = new TBullet(MakeVector(0, 0, 1), MakeVector(5, 15, 1), MakeVector(0, 0, 0));
    Shot->Setup(Owner, 5, 0);
    Score = 0;
    Shot->Collide(*Target);
    EXPECT_EQ(Shot->Dead, Hits) << Owner;
    EXPECT_EQ(Target->Health, Hits ? 5 : 10) << Owner;
    EXPECT_EQ(Score, Hits ? 1 : 0) << Owner;
  }
}

TEST(Turret, FacingWrapsIntoOneFullTurn) {
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
