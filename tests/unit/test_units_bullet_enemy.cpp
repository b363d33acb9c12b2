// Bullets and enemies: flight, time factor, walls and age; range, cadence, the 8-bit counter,
// hits and death.
#include "MyUnit.h"
#include "WorldFixture.h"

#include <cmath>

namespace {

class Shots : public WorldTest {
protected:
  void SetUp() override {
    WorldTest::SetUp();
    Player = new TPlayer(MakeVector(224, 128, 1), MakeVector(64, 64, 0), MakeVector(0, 0, 0));
    AddUnit(Player);
  }
  static TBullet* Fire(const char* Owner, float x, float y, float dx, float dy) {
    auto* Bullet = new TBullet(MakeVector(x, y, 1), MakeVector(5, 15, 1), MakeVector(dx, dy, 0));
    Bullet->Setup(Owner, 5, 0.5f);
    return Bullet;
  }
  static TEnemy* Enemy(float x, float y) {
    auto* Unit = new TEnemy(MakeVector(x, y, 1));
    Unit->Setup();
    return Unit;
  }
};

TEST_F(Shots, BulletStaysPutOnceThenFliesTenPixelsATick) {
  TBullet* Bullet = Fire("TPlayer", 224, 128, 1, 0);
  EXPECT_EQ(Bullet->Damage, 5);
  EXPECT_EQ(Bullet->Angle, 0.5f);
  Bullet->Update();
  EXPECT_EQ(Bullet->Pos.x, 224);
  EXPECT_EQ(Bullet->Age, 1);
  EXPECT_EQ(Bullet->TimeFactor, 1);
  Bullet->Update();
  EXPECT_EQ(Bullet->Pos.x, 234);
  EXPECT_EQ(Bullet->Pos.z, 1);
  // Column 5 (x from 320) is wall: the centre gets there on the 11th update, 324.
  for (int i = 3; i <= 10; ++i) {
    Bullet->Update();
    EXPECT_FALSE(Bullet->Dead) << i;
  }
  EXPECT_EQ(Bullet->Pos.x, 314);
  Bullet->Update();
  EXPECT_EQ(Bullet->Pos.x, 324);
  EXPECT_TRUE(Bullet->Dead);
}

TEST_F(Shots, BulletDiesOnItsHundredAndFirstUpdate) {
  TBullet* Bullet = Fire("TEnemy", 224, 128, 0, 0);
  for (int i = 1; i <= 100; ++i) {
    Bullet->Update();
  }
  EXPECT_FALSE(Bullet->Dead);
  Bullet->Update();
  EXPECT_EQ(Bullet->Age, 101);
  EXPECT_TRUE(Bullet->Dead);
}

TEST_F(Shots, BulletCrawlsInTimeFields) {
  TBullet* Bullet = Fire("TPlayer", 200, 128, 1, 0);
  Bullet->TimeFactor = 0.09f; // a field reached it before its first update
  Bullet->Update();
  EXPECT_FLOAT_EQ(Bullet->Pos.x, 200.9f);
  EXPECT_EQ(Bullet->TimeFactor, 1);
  const float Before = Bullet->Pos.x;
  Bullet->TimeFactor = 0.02f;
  Bullet->Update();
  EXPECT_NEAR(Bullet->Pos.x - Before, 0.2f, 1e-5f);
}

TEST_F(Shots, PlayerBulletHitsEveryEnemyItOverlapsAndScores) {
  TEnemy* A = Enemy(448, 416);
  TEnemy* B = Enemy(460, 416);
  TBullet* Bullet = Fire("TPlayer", 454, 416, 0, 1);
  WorldStep();
  EXPECT_EQ(A->Health, 5);
  EXPECT_EQ(B->Health, 5);
  EXPECT_EQ(Score, 2);
  EXPECT_TRUE(Bullet->Dead);
  // Still there for this frame's draw; gone after its next update.
  EXPECT_EQ(Units[3], Bullet);
  WorldStep();
  EXPECT_EQ(Units[3], nullptr);
  // A second bullet finishes both; each dies in its own next update.
  Fire("TPlayer", 454, 416, 0, 1);
  WorldStep();
  EXPECT_EQ(A->Health, 0);
  EXPECT_EQ(Score, 4);
  WorldStep();
  EXPECT_EQ(Units[1], nullptr);
  EXPECT_EQ(Units[2], nullptr);
}

TEST_F(Shots, OnlyThePlayersBulletsHurtAndOnlyEnemies) {
  TEnemy Target(MakeVector(0, 0, 1));
  Target.Health = 10;
  TBullet Foe(MakeVector(0, 0, 1), MakeVector(5, 15, 1), MakeVector(0, 0, 0));
  Foe.Owner = "TEnemy";
  Foe.Damage = 5;
  Foe.Collide(Target);
  EXPECT_EQ(Target.Health, 10);
  EXPECT_FALSE(Foe.Dead);
  TBullet Mine(MakeVector(0, 0, 1), MakeVector(5, 15, 1), MakeVector(0, 0, 0));
  Mine.Owner = "TPlayer";
  Mine.Damage = 5;
  TTurret Turret(MakeVector(0, 0, 1));
  Mine.Collide(*Player);
  Mine.Collide(Turret);
  Mine.Collide(Foe);
  EXPECT_FALSE(Mine.Dead);
  EXPECT_EQ(Score, 0);
  // The health is a 16-bit value: a hit below -32763 wraps.
  Target.Health = -32766;
  Mine.Collide(Target);
  EXPECT_EQ(Target.Health, 32765);
  EXPECT_TRUE(Mine.Dead);
  EXPECT_EQ(Score, 1);
}

TEST_F(Shots, EnemyFiresEvery21TicksStrictlyWithinRange) {
  // 400 pixels exactly: never fires.
  TEnemy* Edge = Enemy(624, 128);
  for (int i = 0; i < 300; ++i) {
    Edge->Update();
  }
  EXPECT_EQ(All<TBullet>().size(), 0u);
  EXPECT_EQ(Edge->Angle, 0);
  // 399 pixels: the first update runs at factor 0, then it fires when the counter reaches 21.
  TEnemy* Near = Enemy(224, 527);
  std::vector<int> ShotsAt;
  for (int i = 1; i <= 63; ++i) {
    const std::size_t Before = All<TBullet>().size();
    Near->Update();
    if (All<TBullet>().size() != Before) {
      ShotsAt.push_back(i);
    }
  }
  EXPECT_EQ(ShotsAt, (std::vector<int>{21, 42, 63}));
  const TBullet& Bullet = *All<TBullet>().front();
  EXPECT_EQ(Bullet.Owner, "TEnemy");
  EXPECT_EQ(Bullet.Damage, 5);
  EXPECT_EQ(Bullet.Pos.x, 224);
  EXPECT_EQ(Bullet.Pos.y, 527);
  EXPECT_EQ(Bullet.Dir.x, 0);
  EXPECT_EQ(Bullet.Dir.y, -1);
  EXPECT_EQ(Near->Angle, static_cast<float>(3.14159265358979323846L)); // facing up at the player
  EXPECT_EQ(Bullet.Angle, Near->Angle);
}

TEST_F(Shots, EnemyCounterIsEightBitsAndFieldsStopTheFire) {
  TEnemy* Far = Enemy(1184, 448);
  Far->ShotTicks = 127;
  Far->Update();
  EXPECT_EQ(Far->ShotTicks, -128);
  // In range but inside a field: 20 / 0.09 is above every 8-bit value.
  TEnemy* Slowed = Enemy(224, 300);
  Slowed->ShotTicks = 126;
  Slowed->TimeFactor = 0.09f;
  Slowed->Update();
  EXPECT_EQ(Slowed->ShotTicks, 127);
  EXPECT_EQ(All<TBullet>().size(), 0u);
  EXPECT_EQ(Slowed->TimeFactor, 1);
  Slowed->TimeFactor = 0.02f;
  Slowed->Update();
  EXPECT_EQ(Slowed->ShotTicks, -128);
  EXPECT_EQ(All<TBullet>().size(), 0u);
  // Out of the field with the counter between 21 and 127: fires at once.
  Slowed->ShotTicks = 60;
  Slowed->Update();
  EXPECT_EQ(All<TBullet>().size(), 1u);
  EXPECT_EQ(Slowed->ShotTicks, 0);
}

TEST_F(Shots, EnemyWithNoHealthKillsItselfAndDoesNothingElse) {
  TEnemy* Doomed = Enemy(224, 300);
  Doomed->Health = 0;
  Doomed->TimeFactor = 0.5f;
  Doomed->ShotTicks = 100;
  Doomed->Update();
  EXPECT_TRUE(Doomed->Dead);
  EXPECT_EQ(Doomed->TimeFactor, 0.5f);
  EXPECT_EQ(Doomed->ShotTicks, 100);
  EXPECT_EQ(All<TBullet>().size(), 0u);
  // Through the registry it is freed right after that update.
  TEnemy* Next = Enemy(600, 600);
  Next->Health = -4;
  const std::int32_t Count = UnitCount;
  WorldStep();
  EXPECT_EQ(UnitCount, Count - 2);
}

TEST_F(Shots, PlayerOnTheEnemysCentreGetsAPointBlankShot) {
  TEnemy* Under = Enemy(224, 128);
  Under->Angle = 1.25f;
  Under->ShotTicks = 40;
  Under->TimeFactor = 1;
  Under->Update();
  EXPECT_EQ(Under->Angle, 1.25f);
  auto Bullets = All<TBullet>();
  ASSERT_EQ(Bullets.size(), 1u);
  TBullet* Bullet = Bullets[0];
  EXPECT_EQ(Bullet->Dir.x, 0);
  EXPECT_EQ(Bullet->Dir.y, 0);
  EXPECT_EQ(Bullet->Angle, 1.25f);
  EXPECT_EQ(Bullet->Pos.x, 224);
  // The player's collision removes it in the next step, after its harmless update.
  WorldStep();
  EXPECT_TRUE(Bullet->Dead);
  EXPECT_EQ(Bullet->Pos.x, 224);
  EXPECT_FALSE(std::isnan(Bullet->Pos.y));
}

} // namespace
