// The map, the registry and collision pass, a game's start and end, bad replay lines, a played demo
// step, and the units' rules at their boundaries (the replays pin the rest of their play).
#include "MyUnit.h"
#include "OGLWnd.h"
#include "game/model/Registry.h"
#include "game/replay/Demo.h"
#include "game/replay/Replay.h"
#include "game/shared/GameFlow.h"
#include "game/units/Units.h"
#include "game/world/World.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iterator>
#include <map>
#include <numbers>
#include <sstream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace {

// A clean world for every test: no slots, no player, flags as at load, key bindings set, no input.
class WorldTest : public testing::Test {
protected:
  void SetUp() override { Reset(); }
  void TearDown() override { Reset(); }
  static void Reset() {
    ReleaseUnits();
    ResetGameFlow();
    SetKeyBindings();
    ResetWindowState();
  }
  template <class T> static std::vector<T*> All() {
    std::vector<T*> Found;
    for (TUnit* Unit : Units) {
      if (auto* Typed = dynamic_cast<T*>(Unit)) {
        Found.push_back(Typed);
      }
    }
    return Found;
  }
};

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

using Registry = WorldTest;
using Level = WorldTest;

TEST(Passable, RoundsHalfToEvenDividesTruncatingAndWallsOffTheOutside) {
  const float Inf = INFINITY, NaN = std::nanf("");
  // Halves to even (319.5 is wall, 318.5 not); rows end at 1151; far and undefined points are wall.
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

TEST_F(Registry, GrowsByHundredSlotsAndReusesTheLowestEmptySlot) {
  Log.clear(); // the previous test's teardown
  for (int i = 0; i < 100; ++i) {
    AddProbe("p" + std::to_string(i), {20.0f * i, 0, 1});
    EXPECT_EQ(Units.size(), 100u);
  }
  // A 101st unit, added in the step at slot 100, waits for the next step to be updated or met.
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
  Log.clear();
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

// A game after another, with over 100 units left behind, starts from an empty registry and flags.
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

TEST_F(Level, EscLeavesForTheMenuAndTheGameEndsOnceNoEnemyWithinReachIsLeft) {
  NewGame();
  std::string Reach; // only enemies 1, 4 and 5 stand where the player can walk
  for (const TEnemy* Enemy : All<TEnemy>()) {
    Reach += WithinReach(Enemy->Pos.x, Enemy->Pos.y) ? '1' : '0';
  }
  EXPECT_EQ(Reach, "100110");
  RemoveUnit(1);
  RemoveUnit(4);
  // A player bullet brings enemy 5 to 0, scores and is spent; the enemy counts until its update.
  Units[5]->Health = 5;
  auto* Bullet = new TBullet(MakeVector(1184, 448, 1), MakeVector(5, 15, 1), MakeVector(0, 1, 0));
  Bullet->Setup("TPlayer", 5, 0);
  GameStarted = Keys[VK_ESCAPE] = true;
  CurrentScene = [] {}; // the game's scene; the menu's is another
  WorldStep();
  EXPECT_EQ(std::tuple(Units[5]->Health, Score, GameOver, Bullet->Dead),
            std::tuple(0, 1, false, true));
  EXPECT_EQ(std::tuple(Keys[VK_ESCAPE], CurrentScene), std::tuple(false, MenuScene));
  GameStarted = false; // the menu's world: no game to end yet
  WorldStep();
  EXPECT_EQ(std::tuple(Units[5], GameOver), std::tuple(nullptr, false));
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

// A recording ends with its game, and the next game is not recorded. A played demo's Esc visits
// no menu; its steps leave the player's own input as it was; its last frame is held, lightning
// included, until Esc leaves for the menu, from where the game goes on unsaved.
TEST_F(WorldTest, ARecordingEndsWithItsGameAndAPlayedDemoHoldsItsLastFrameUntilEsc) {
  CurrentScene = GameScene = [] {};
  testing::internal::CaptureStdout();
  RecordDemo(testing::TempDir() + "kelto_ended.demo");
  for (int Game = 0; Game < 2; ++Game) {
    BeforeDemoStep(true);
    GameOver = true; // at the first step
    AfterDemoStep();
  }
  const std::string Name = testing::TempDir() + "kelto_played.demo";
  std::ofstream(Name) << "# kelto demo 1\n150 285 1 1 27,87\n";
  std::string Error;
  ASSERT_TRUE(PlayDemo(Name, Error)) << Error;
  NewGame();
  Keys[65] = true;
  MouseX = 7;
  ASSERT_TRUE(BeforeDemoStep(true));
  WorldStep();
  AfterDemoStep();
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "demo: 1 ticks, score 0\ndemo: 1 ticks, score 0\n");
  EXPECT_EQ(std::tuple(Keys[87], Keys[65], MouseLeft, MouseX, CurrentScene),
            std::tuple(false, true, false, 7, GameScene));
  TTrap* Trap = All<TTrap>()[0];
  const float Held = std::exchange(Trap->Frame, 5.2f); // a draw moved it on
  EXPECT_FALSE(BeforeDemoStep(false)) << "the demo has ended: the world stands still";
  EXPECT_EQ(Trap->Frame, Held);
  Keys[VK_ESCAPE] = true;
  EXPECT_FALSE(BeforeDemoStep(false));
  EXPECT_EQ(std::tuple(Keys[VK_ESCAPE], CurrentScene, DemoWaitsForGame()),
            std::tuple(false, MenuScene, false));
  EXPECT_TRUE(BeforeDemoStep(false)) << "the player's own game goes on";
  GameOver = SaveScores = true;
  AfterDemoStep();
  EXPECT_FALSE(SaveScores);
}

} // namespace

// Through kelto-replay's loop with its sounds: every bullet made is heard once as its maker's shot
// in the step that made it, every enemy freed once as destroyed, and slowed sounds carry the
// factor of the field they are in. A bullet is new when its age is 0, or 1 where its slot held no
// bullet of age 0 a step before (that one would be 1 now: slots never move). A turret's bullet
// made in a wall is gone before it is printed, heard as a wall hit too.
TEST(SoundEvents, EachBulletMadeAndEnemyFreedIsHeardOnceWithItsPlacesFactor) {
  std::string Script; // a weak field thrown at turret 1, then enemy 1 shot down
  const std::pair<const char*, int> Lines[] = {
      {"496 396 0 1 -", 80}, {"496 396 0 0 -", 60}, {"400 300 0 0 83", 96}, {"624 300 1 0 -", 90}};
  for (const auto& [Line, Count] : Lines) {
    for (int i = 0; i < Count; ++i) {
      Script += std::string(Line) + '\n';
    }
  }
  std::istringstream In(Script);
  std::ostringstream Out, Err;
  ASSERT_EQ(RunReplay(In, Out, Err, true), 0);
  std::istringstream Printed(Out.str());
  std::map<std::string, int> Made, Heard, Totals;
  std::map<int, int> Ages, LastAges; // slot: age of its bullet
  int Enemies = 0, LastEnemies = 6, Slowed = 0;
  const auto Compare = [&](int Tick) {
    EXPECT_EQ(Heard["player_shot"], Made["TPlayer"]) << "tick " << Tick;
    const int EnemyShots = Heard["enemy_shot"] + Heard["turret_shot"];
    EXPECT_LE(Made["TEnemy"], EnemyShots) << "tick " << Tick;
    EXPECT_LE(EnemyShots, Made["TEnemy"] + Heard["wall_hit"]) << "tick " << Tick;
    EXPECT_EQ(Heard["enemy_destroyed"], LastEnemies - Enemies) << "tick " << Tick;
    Totals["destroyed"] += Heard["enemy_destroyed"];
    Made.clear(), Heard.clear(), LastAges = std::exchange(Ages, {});
    LastEnemies = std::exchange(Enemies, 0);
  };
  for (std::string Word, Line; Printed >> Word && std::getline(Printed, Line);) {
    std::istringstream Fields(Line);
    std::vector<std::string> F{std::istream_iterator<std::string>(Fields), {}};
    if (Word == "tick" && F[0] != "1") {
      Compare(std::stoi(F[0]) - 1);
    } else if (Word == "slot" && F[1] == "TBullet") {
      const int Slot = std::stoi(F[0]), Age = std::stoi(F[14]);
      Ages[Slot] = Age;
      Made[F[17]] += Age == 0 || (Age == 1 && !(LastAges.contains(Slot) && LastAges[Slot] == 0));
    } else if (Word == "slot") {
      Enemies += F[1] == "TEnemy";
    } else if (Word == "sound") {
      ++Heard[F[1]];
      const float Factor = std::stof(F[4]);
      EXPECT_TRUE(Factor == 1 || Factor == 0.09f) << Line;
      Slowed += Factor == 0.09f;
    }
  }
  Compare(-1);
  EXPECT_EQ(Totals["destroyed"], 1);
  EXPECT_GT(Slowed, 0);
}
