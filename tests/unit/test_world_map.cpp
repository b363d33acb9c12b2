// The wall map, passability, the reach of the player's start, and the level after NewGame.
#include "MyUnit.h"
#include "WorldFixture.h"

#include <cmath>
#include <limits>

namespace {

TEST(MapGrid, ClosedLevelOf204WallsAnd192FloorCells) {
  int Walls = 0;
  for (const auto Cell : MapGrid) {
    ASSERT_LE(Cell, 1);
    Walls += Cell;
  }
  EXPECT_EQ(Walls, 204);
  for (int c = 0; c < MapColumns; ++c) {
    EXPECT_EQ(MapGrid[c], 1);
    EXPECT_EQ(MapGrid[c + 17 * MapColumns], 1);
  }
  for (int r = 0; r < MapRows; ++r) {
    EXPECT_EQ(MapGrid[r * MapColumns], 1);
    EXPECT_EQ(MapGrid[21 + r * MapColumns], 1);
  }
}

TEST(Passable, RoundsHalfToEvenThenDividesTruncating) {
  EXPECT_TRUE(Passable(224, 128));  // the player's start, cell (3, 2)
  EXPECT_FALSE(Passable(320, 224)); // cell (5, 3)
  EXPECT_FALSE(Passable(63.4f, 100));
  EXPECT_TRUE(Passable(64, 100));
  EXPECT_TRUE(Passable(63.6f, 100)); // rounds to 64: a point is not truncated to its column
  EXPECT_TRUE(Passable(63.5f, 100)); // 63.5 -> 64 (even)
  EXPECT_FALSE(Passable(-10, 100));
  EXPECT_FALSE(Passable(1407, 1151));
  // Halves to even: 319.5 -> 320 (column 5, wall at row 2); 318.5 -> 318 (column 4, floor).
  EXPECT_FALSE(Passable(319.5f, 160));
  EXPECT_TRUE(Passable(318.5f, 160));
  // The first coordinate picks the column: (1, 2) is floor, (2, 1) is floor, (2, 10) is wall.
  EXPECT_TRUE(Passable(64, 128));
  EXPECT_FALSE(Passable(128, 640));
  EXPECT_TRUE(Passable(640, 128));
}

TEST(Passable, EveryPointOutsideTheGridIsWall) {
  const float Inf = std::numeric_limits<float>::infinity();
  const float NaN = std::numeric_limits<float>::quiet_NaN();
  int Column = -5, Row = -5;
  EXPECT_TRUE(CellOf(-63, -63, Column, Row));
  EXPECT_EQ(Column, 0);
  EXPECT_EQ(Row, 0);
  EXPECT_TRUE(CellOf(1407, 1151, Column, Row));
  EXPECT_EQ(Column, 21);
  EXPECT_EQ(Row, 17);
  EXPECT_FALSE(CellOf(-63.6f, 100, Column, Row));
  EXPECT_FALSE(CellOf(1407.5f, 100, Column, Row)); // rounds to 1408 (even)
  EXPECT_TRUE(CellOf(1406.5f, 100, Column, Row));  // rounds to 1406
  EXPECT_FALSE(CellOf(100, 1152, Column, Row));
  EXPECT_FALSE(CellOf(100, -64, Column, Row));
  // A floor cell's coordinates paired with a far or undefined other coordinate.
  for (const float Bad : {1408.0f, -64.0f, 1e9f, -1e30f, 3e38f, Inf, -Inf, NaN}) {
    EXPECT_FALSE(Passable(Bad, 128)) << Bad;
    EXPECT_FALSE(Passable(224, Bad)) << Bad;
    EXPECT_FALSE(WithinReach(Bad, 128)) << Bad;
  }
  // Grid width and height differ: x up to 1407 is inside, y only up to 1151.
  EXPECT_FALSE(Passable(1300, 1200));
  EXPECT_TRUE(Passable(1300, 1000)); // cell (20, 15)
}

class Level : public WorldTest {};

TEST_F(Level, ReachOfTheStartTakesEnemiesOneFourAndFive) {
  ComputeReach();
  int Reached = 0;
  for (std::size_t i = 0; i < ReachMask.size(); ++i) {
    if (ReachMask[i]) {
      ++Reached;
      EXPECT_EQ(MapGrid[i], 0) << i;
    }
  }
  EXPECT_GT(Reached, 40);
  EXPECT_LT(Reached, 192);
  EXPECT_TRUE(WithinReach(224, 128));
  EXPECT_TRUE(WithinReach(448, 416));   // enemy 1
  EXPECT_FALSE(WithinReach(320, 608));  // enemy 2
  EXPECT_FALSE(WithinReach(576, 768));  // enemy 3
  EXPECT_TRUE(WithinReach(864, 320));   // enemy 4
  EXPECT_TRUE(WithinReach(1184, 448));  // enemy 5
  EXPECT_FALSE(WithinReach(1312, 544)); // enemy 6
  EXPECT_FALSE(WithinReach(320, 224));  // a wall is never within reach
}

TEST_F(Level, NewGamePlacesTwentyFourUnitsInTheirSlots) {
  NewGame();
  EXPECT_FALSE(NeedRestart);
  EXPECT_FALSE(SaveScores);
  EXPECT_FALSE(GameOver);
  EXPECT_FALSE(GameStarted);
  EXPECT_EQ(Score, 0);
  ASSERT_EQ(Units.size(), 100u);
  EXPECT_EQ(UnitCount, 24);
  for (std::size_t i = 24; i < Units.size(); ++i) {
    EXPECT_EQ(Units[i], nullptr);
  }

  auto* ThePlayer = dynamic_cast<TPlayer*>(Units[0]);
  ASSERT_NE(ThePlayer, nullptr);
  EXPECT_EQ(ThePlayer, Player);
  const TPlayer& P = *ThePlayer;
  EXPECT_EQ(P.Pos.x, 224);
  EXPECT_EQ(P.Pos.y, 128);
  EXPECT_EQ(P.Pos.z, 1);
  EXPECT_EQ(P.Size.x, 64);
  EXPECT_EQ(P.Size.y, 64);
  EXPECT_EQ(P.Dir.x, 0);
  EXPECT_EQ(P.Dir.y, 0);
  EXPECT_EQ(P.Health, 10);
  EXPECT_EQ(P.Damage, 10);
  EXPECT_EQ(P.Angle, 0);
  EXPECT_EQ(P.TimeFactor, 0);
  EXPECT_EQ(P.ShotTicks, 0);
  EXPECT_FALSE(P.Charging);

  const float EnemyAt[6][2] = {{448, 416}, {320, 608},  {576, 768},
                               {864, 320}, {1184, 448}, {1312, 544}};
  for (int i = 0; i < 6; ++i) {
    auto* Enemy = dynamic_cast<TEnemy*>(Units[1 + i]);
    ASSERT_NE(Enemy, nullptr) << i;
    EXPECT_EQ(Enemy->Pos.x, EnemyAt[i][0]);
    EXPECT_EQ(Enemy->Pos.y, EnemyAt[i][1]);
    EXPECT_EQ(Enemy->Pos.z, 1);
    EXPECT_EQ(Enemy->Size.x, 48);
    EXPECT_EQ(Enemy->Size.y, 48);
    EXPECT_EQ(Enemy->Health, 10);
    EXPECT_EQ(Enemy->Damage, 4);
    EXPECT_EQ(Enemy->Dir.x, 0);
    EXPECT_EQ(Enemy->TimeFactor, 0);
    EXPECT_TRUE(Passable(Enemy->Pos.x, Enemy->Pos.y));
  }

  const float Pairs[6][4] = {{64, 832, 64, 768},    {64, 960, 64, 896},     {704, 768, 704, 896},
                             {1088, 640, 960, 640}, {1280, 320, 1280, 192}, {832, 512, 704, 512}};
  for (int i = 0; i < 6; ++i) {
    auto* Sensor = dynamic_cast<TSensor*>(Units[7 + 2 * i]);
    auto* Trap = dynamic_cast<TTrap*>(Units[8 + 2 * i]);
    ASSERT_NE(Sensor, nullptr) << i;
    ASSERT_NE(Trap, nullptr) << i;
    EXPECT_EQ(Sensor->Pos.x, Pairs[i][0]);
    EXPECT_EQ(Sensor->Pos.y, Pairs[i][1]);
    EXPECT_EQ(Trap->Pos.x, Pairs[i][2]);
    EXPECT_EQ(Trap->Pos.y, Pairs[i][3]);
    EXPECT_EQ(Sensor->TrapLink, Trap);
    EXPECT_FALSE(Sensor->Triggered);
    EXPECT_TRUE(Trap->Armed);
    EXPECT_EQ(Trap->Frame, 0);
    EXPECT_EQ(Sensor->Size.x, 64);
    EXPECT_EQ(Trap->Size.y, 64);
    EXPECT_EQ(Sensor->Health, 10);
    EXPECT_TRUE(Passable(Sensor->Pos.x, Sensor->Pos.y));
    EXPECT_TRUE(Passable(Trap->Pos.x, Trap->Pos.y));
  }

  const float TurretAt[5][3] = {
      {320, 224, 0.1f}, {320, 768, -0.1f}, {672, 192, 0.1f}, {992, 128, 0.1f}, {928, 1056, 0.1f}};
  for (int i = 0; i < 5; ++i) {
    auto* Turret = dynamic_cast<TTurret*>(Units[19 + i]);
    ASSERT_NE(Turret, nullptr) << i;
    EXPECT_EQ(Turret->Pos.x, TurretAt[i][0]);
    EXPECT_EQ(Turret->Pos.y, TurretAt[i][1]);
    EXPECT_EQ(Turret->Spin, TurretAt[i][2]);
    EXPECT_EQ(Turret->Size.x, 64);
    EXPECT_EQ(Turret->Health, 0);
    EXPECT_EQ(Turret->Damage, 0);
    EXPECT_EQ(Turret->FireTimer, 0);
    EXPECT_EQ(Passable(Turret->Pos.x, Turret->Pos.y), i == 4);
  }
}

TEST_F(Level, SensorKeepsItsZTheTrapGetsOne) {
  Units.resize(0);
  AddSensorTrap(MakeVector(64, 832, 5), MakeVector(64, 768, 7));
  ASSERT_EQ(UnitCount, 2);
  EXPECT_EQ(Units[0]->Pos.z, 5);
  EXPECT_EQ(Units[1]->Pos.z, 1);
}

TEST_F(Level, NewGameAfterAFinishedGameStartsFromAnEmptyRegistry) {
  NewGame();
  Play(30); // bullets of the turrets are in flight
  for (int i = 0; i < 150; ++i) {
    AddUnit(new TBullet(MakeVector(700, 700, 1), MakeVector(5, 15, 1), MakeVector(0, 0, 0)));
  }
  ASSERT_EQ(Units.size(), 200u);
  GameOver = true;
  NeedRestart = true;
  Score = 5;
  NewGame();
  EXPECT_EQ(Units.size(), 200u); // the array never shrinks
  EXPECT_EQ(UnitCount, 24);
  EXPECT_NE(Player, nullptr);
  EXPECT_EQ(Units[0], Player);
  EXPECT_EQ(Score, 0);
  EXPECT_FALSE(GameOver);
  EXPECT_FALSE(NeedRestart);
  for (std::size_t i = 24; i < Units.size(); ++i) {
    EXPECT_EQ(Units[i], nullptr) << i;
  }
  EXPECT_NE(dynamic_cast<TTurret*>(Units[23]), nullptr);
}

TEST_F(Level, GameEndsWhenNoEnemyIsLeftWithinReach) {
  NewGame();
  Play(1);
  EXPECT_FALSE(GameOver);
  // Enemies 2, 3 and 6 alone do not keep the game going; 1, 4 and 5 do, one by one.
  for (const int Slot : {1, 4}) {
    Units[static_cast<std::size_t>(Slot)]->Health = 0;
    Play(1); // the enemy kills itself and is removed in this update
    EXPECT_EQ(Units[static_cast<std::size_t>(Slot)], nullptr);
    EXPECT_FALSE(GameOver);
  }
  Units[5]->Health = -3;
  Score = 6;
  ScoreTable.fill(0);
  ScoreTable[9] = 4;
  NeedRestart = false;
  Play(1);
  EXPECT_EQ(Units[5], nullptr);
  EXPECT_TRUE(GameOver);
  EXPECT_TRUE(SaveScores);
  EXPECT_TRUE(NeedRestart);
  EXPECT_EQ(ScoreTable[9], 6);
  EXPECT_EQ(All<TEnemy>().size(), 3u); // 2, 3 and 6 are still registered, out of reach
}

TEST_F(Level, AnEnemyDestroyedInThePassCountsUntilItsNextUpdate) {
  NewGame();
  RemoveUnit(1);
  RemoveUnit(4);
  Units[5]->Health = 5;
  // A player bullet on enemy 5: it does not move in its first update and hits in the pass.
  auto* Bullet = new TBullet(MakeVector(1184, 448, 1), MakeVector(5, 15, 1), MakeVector(0, 1, 0));
  Bullet->Setup("TPlayer", 5, 0);
  Play(1);
  EXPECT_EQ(Units[5]->Health, 0);
  EXPECT_EQ(Score, 1);
  EXPECT_FALSE(GameOver); // still registered at the end of that pass
  Play(1);
  EXPECT_EQ(Units[5], nullptr);
  EXPECT_TRUE(GameOver);
}

TEST_F(Level, NoGameOverBeforeTheGameHasStarted) {
  NewGame();
  for (const int Slot : {1, 4, 5}) {
    RemoveUnit(Slot);
  }
  WorldStep(); // GameStarted is still false: the menu's world, not a game frame
  EXPECT_FALSE(GameOver);
  EXPECT_FALSE(NeedRestart);
  GameStarted = true;
  WorldStep();
  EXPECT_TRUE(GameOver);
  EXPECT_TRUE(NeedRestart);
}

} // namespace
