// The replay tool's text: number formatting, script lines and whole runs.
#include "MyUnit.h"
#include "WorldFixture.h"
#include "game/world/WorldDump.h"

#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <sstream>

namespace {

std::string Printf9g(float Value) {
  char Buffer[64];
  std::snprintf(Buffer, sizeof Buffer, "%.9g", static_cast<double>(Value));
  return Buffer;
}

TEST(WorldDump, FloatsAsPrintfNineDigitsGeneral) {
  const float Fixed[] = {
      0.0f,          -0.0f,        1,     224,     0.1f, -0.1f, 6.1831851f, 1e-45f,
      3.4028235e38f, 123456789.0f, 1e-5f, 0.0001f, 1e9f, 1e16f, 2.5f,       0.900000036f};
  for (const float Value : Fixed) {
    EXPECT_EQ(FormatFloat(Value), Printf9g(Value)) << Value;
  }
  std::mt19937 Random(7);
  for (int i = 0; i < 200000; ++i) {
    const std::uint32_t Bits = Random();
    float Value;
    std::memcpy(&Value, &Bits, sizeof Value);
    if (std::isfinite(Value)) {
      ASSERT_EQ(FormatFloat(Value), Printf9g(Value)) << Bits;
    }
  }
  EXPECT_EQ(FormatFloat(0.1f), "0.100000001");
  EXPECT_EQ(FormatFloat(1e10f), "1e+10");
  EXPECT_EQ(FormatFloat(1e16f), "1.00000003e+16");
}

TEST(WorldDump, ScriptLines) {
  TReplayInput Input;
  std::string Error;
  EXPECT_EQ(ParseReplayLine("", Input, Error), TReplayLine::Skip);
  EXPECT_EQ(ParseReplayLine("   \t", Input, Error), TReplayLine::Skip);
  EXPECT_EQ(ParseReplayLine("# walk right", Input, Error), TReplayLine::Skip);
  EXPECT_EQ(ParseReplayLine("\r", Input, Error), TReplayLine::Skip);
  ASSERT_EQ(ParseReplayLine("65535 0 1 0 65,68,27,0,255\r", Input, Error), TReplayLine::Tick);
  EXPECT_EQ(Input.MouseX, 65535);
  EXPECT_EQ(Input.MouseY, 0);
  EXPECT_TRUE(Input.MouseLeft);
  EXPECT_FALSE(Input.MouseRight);
  int Held = 0;
  for (const bool Key : Input.Keys) {
    Held += Key;
  }
  EXPECT_EQ(Held, 5);
  EXPECT_TRUE(Input.Keys[65] && Input.Keys[68] && Input.Keys[27] && Input.Keys[0] &&
              Input.Keys[255]);
  ASSERT_EQ(ParseReplayLine("400  301\t0 1 -", Input, Error), TReplayLine::Tick);
  EXPECT_TRUE(Input.MouseRight);
  for (const bool Key : Input.Keys) {
    EXPECT_FALSE(Key);
  }
  const char* Bad[] = {"400 301 0 0",       "400 301 0 0 - 5", "65536 0 0 0 -",  "-1 0 0 0 -",
                       "+1 0 0 0 -",        "400 301 2 0 -",   "400 301 0 01 -", "400 301 0 0 256",
                       "400 301 0 0 65,",   "400 301 0 0 ,65", "400 301 0 0 6a", "x 301 0 0 -",
                       "400 301 0 0 65;68", "400.5 301 0 0 -", "400 301 0 0 --"};
  for (const char* Line : Bad) {
    Error.clear();
    EXPECT_EQ(ParseReplayLine(Line, Input, Error), TReplayLine::Bad) << Line;
    EXPECT_FALSE(Error.empty()) << Line;
  }
}

class Replay : public WorldTest {};

TEST_F(Replay, BadLineStopsWithItsPhysicalLineNumber) {
  std::istringstream In(
      "# header\n\n400 301 0 0 -\n400 301 0 0 87\n400 301 0 0 x\n400 301 0 0 -\n");
  std::ostringstream Out, Err;
  EXPECT_EQ(RunReplay(In, Out, Err), 2);
  EXPECT_NE(Err.str().find("line 5"), std::string::npos) << Err.str();
  EXPECT_NE(Out.str().find("tick 2 "), std::string::npos);
  EXPECT_EQ(Out.str().find("tick 3 "), std::string::npos);
}

TEST_F(Replay, PrintsEveryUnitAfterEveryTick) {
  std::istringstream In("400 301 0 0 -\n400 301 0 0 83\n");
  std::ostringstream Out, Err;
  EXPECT_EQ(RunReplay(In, Out, Err), 0);
  EXPECT_TRUE(Err.str().empty());
  const std::string Text = Out.str();
  EXPECT_EQ(Text.rfind("tick 1 score 0 slots 100 count 24\n"
                       "slot 0 TPlayer 224 128 1 0 1 0 64 64 0 10 10 0 0 0 0 1 1 0 0\n"
                       "slot 1 TEnemy 448 416 1 0 0 0 48 48 0 10 4 0 0 0 1 1\n",
                       0),
            0u);
  EXPECT_NE(Text.find("slot 7 TSensor 64 832 1 0 0 0 64 64 0 10 10 0 0 0 0 0 8\n"),
            std::string::npos);
  EXPECT_NE(Text.find("slot 8 TTrap 64 768 1 0 0 0 64 64 0 10 10 0 0 0 0 1 0\n"),
            std::string::npos);
  EXPECT_NE(Text.find("slot 20 TTurret 320 768 1 0 0 0 64 64 0 0 0 6.1831851 0 0 1 "
                      "-0.100000001 2\n"),
            std::string::npos);
  EXPECT_NE(Text.find("tick 2 score 0 slots 100 count 24\nslot 0 TPlayer 224 131 1 "),
            std::string::npos);
  EXPECT_EQ(std::count(Text.begin(), Text.end(), '\n'), 2 * 25);
}

TEST_F(Replay, ClassFieldsAndTheGameOverLine) {
  NewGame();
  auto* Field = new TTimeField(MakeVector(1, 2, 1), MakeVector(1.5f, 3, 0), MakeVector(0, 1, 0));
  Field->Setup(true, false);
  EXPECT_EQ(FormatUnit(24, *Field),
            "slot 24 TTimeField 1 2 1 0 1 0 1.5 3 0 10 10 0 0 0 0 0 0.0900000036 1");
  auto* Bullet = new TBullet(MakeVector(1, 2, 1), MakeVector(5, 15, 1), MakeVector(0, 1, 0));
  Bullet->Setup("TEnemy", 5, 0.25f);
  EXPECT_EQ(FormatUnit(25, *Bullet), "slot 25 TBullet 1 2 1 0 1 0 5 15 1 10 5 0.25 0 0 0 TEnemy");
  TSensor Lonely(MakeVector(0, 0, 1), MakeVector(64, 64, 0), MakeVector(0, 0, 0));
  EXPECT_EQ(FormatUnit(3, Lonely), "slot 3 TSensor 0 0 1 0 0 0 64 64 0 10 10 0 0 0 0 0 -1");
  EXPECT_STREQ(UnitClassName(*Units[19]), "TTurret");
  Score = 6;
  ScoreTable = {9, 8, 7, 6, 5, 4, 3, 2, 1, -2};
  EXPECT_EQ(FormatGameOver(), "game over score 6 table 9 8 7 6 5 4 3 2 1 -2\n");
}

TEST_F(Replay, EscapeSwitchesTheSceneAndTheRunGoesOn) {
  MenuScene = [] {};
  CurrentScene = nullptr;
  std::istringstream In("400 301 0 0 27\n400 301 0 0 -\n400 301 0 0 27,87\n");
  std::ostringstream Out, Err;
  EXPECT_EQ(RunReplay(In, Out, Err), 0);
  EXPECT_NE(Out.str().find("tick 3 "), std::string::npos);
  EXPECT_EQ(Out.str().find("game over"), std::string::npos);
  EXPECT_FALSE(Keys[27]);
  EXPECT_TRUE(Keys[87]);
  EXPECT_EQ(CurrentScene, MenuScene);
  EXPECT_EQ(Player->Pos.y, 125);
  MenuScene = nullptr;
  CurrentScene = nullptr;
}

} // namespace
