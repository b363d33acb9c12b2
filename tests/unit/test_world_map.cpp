// The wall map, a new game, the end of a game, and bad lines in a replay script.
#include "WorldFixture.h"
#include "game/replay/Replay.h"

#include <cmath>
#include <numeric>
#include <sstream>
#include <string>
#include <tuple>

namespace {

TEST(Passable, RoundsHalfToEvenDividesTruncatingAndWallsOffTheOutside) {
  EXPECT_EQ(std::accumulate(MapGrid.begin(), MapGrid.end(), 0), 204);
  const float Inf = INFINITY, NaN = std::nanf("");
  // Halves to even: 319.5 is column 5 (wall), 318.5 column 4; x picks the column; rows end at
  // 1151; far and undefined points are wall.
  const std::tuple<float, float, bool> Points[] = {
      {224, 128, true},   {63.4f, 100, false},  {64, 100, true},     {63.6f, 100, true},
      {63.5f, 100, true}, {319.5f, 160, false}, {318.5f, 160, true}, {640, 128, true},
      {128, 640, false},  {1300, 1000, true},   {1300, 1200, false}, {1408, 128, false},
      {-64, 128, false},  {224, -64, false},    {1e9f, 128, false},  {224, -1e30f, false},
      {Inf, 128, false},  {224, -Inf, false},   {NaN, 128, false},   {224, NaN, false}};
  for (const auto& [x, y, Floor] : Points) {
    EXPECT_EQ(Passable(x, y), Floor) << x << " " << y;
  }
}

class Level : public WorldTest {};

// The replays pin where the level's units stand; a game after another one, with more than 100
// units left behind, starts from the same empty registry and flags.
TEST_F(Level, NewGameStartsAfreshEvenAfterAFinishedGame) {
  for (int Game = 0; Game < 2; ++Game) {
    GameOver = NeedRestart = SaveScores = GameStarted = true;
    Score = 5;
    NewGame();
    EXPECT_EQ(std::tuple(GameOver, NeedRestart, SaveScores, GameStarted, Score),
              std::tuple(false, false, false, false, 0));
    // Slots are never given back.
    EXPECT_EQ(std::tuple(Units[0], UnitCount, Units.size()),
              std::tuple(Player, 24, Game == 0 ? 100u : 200u));
    for (int i = 0; i < 150; ++i) {
      AddUnit(new TBullet(MakeVector(700, 700, 1), MakeVector(5, 15, 1), MakeVector(0, 0, 0)));
    }
    WorldStep();
  }
}

TEST_F(Level, GameEndsOnceNoEnemyWithinReachIsLeft) {
  NewGame();
  std::string Reach; // only enemies 1, 4 and 5 stand where the player can walk
  for (const TEnemy* Enemy : All<TEnemy>()) {
    Reach += WithinReach(Enemy->Pos.x, Enemy->Pos.y) ? '1' : '0';
  }
  EXPECT_EQ(Reach, "100110");
  RemoveUnit(1);
  RemoveUnit(4);
  // A player bullet brings enemy 5 to 0 in the pass and scores; the enemy counts until its next
  // update.
  Units[5]->Health = 5;
  auto* Bullet = new TBullet(MakeVector(1184, 448, 1), MakeVector(5, 15, 1), MakeVector(0, 1, 0));
  Bullet->Setup("TPlayer", 5, 0);
  GameStarted = Keys[VK_ESCAPE] = true;
  WorldStep();
  EXPECT_EQ(std::tuple(Units[5]->Health, Score, GameOver), std::tuple(0, 1, false));
  EXPECT_FALSE(Keys[VK_ESCAPE]) << "Esc is consumed by the step";
  GameStarted = false; // the menu's world: no game to end yet
  WorldStep();
  EXPECT_EQ(Units[5], nullptr);
  EXPECT_FALSE(GameOver);
  GameStarted = true;
  WorldStep();
  EXPECT_EQ(std::tuple(GameOver, SaveScores, NeedRestart), std::tuple(true, true, true));
}

TEST_F(Level, ReplayStopsAtABadLineWithItsNumberAndStatus2) {
  const char* Bad[] = {"400 301 0 0",       "400 301 0 0 - 5", "65536 0 0 0 -",  "-1 0 0 0 -",
                       "+1 0 0 0 -",        "400 301 2 0 -",   "400 301 0 01 -", "400 301 0 0 256",
                       "400 301 0 0 65,",   "400 301 0 0 ,65", "400 301 0 0 6a", "x 301 0 0 -",
                       "400 301 0 0 65;68", "400.5 301 0 0 -", "400 301 0 0 --"};
  for (const char* Line : Bad) {
    // Comments, blank lines and a Windows line end are read; W and A move the player.
    std::istringstream In(std::string("# header\n\n65535 0 0 0 87,65,0,255\r\n") + Line +
                          "\n400 301 0 0 -\n");
    std::ostringstream Out, Err;
    EXPECT_EQ(RunReplay(In, Out, Err), 2) << Line;
    EXPECT_NE(Err.str().find("line 4: "), std::string::npos) << Err.str();
    EXPECT_EQ(Out.str().rfind("tick 1 score 0 slots 100 count 24\nslot 0 TPlayer 221 125 ", 0), 0u);
    EXPECT_EQ(Out.str().find("tick 2 "), std::string::npos) << Line;
  }
}

} // namespace
