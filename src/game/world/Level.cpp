// A new game: the player and the fixed population of the level.
#include "World.h"

#include "MyUnit.h"
#include "game/scenes/GameFlow.h"
#include "game/units/Units.h"

void NewGame() {
  // A game after a finished one starts from an empty registry, so the player takes slot 0 again.
  ClearUnits();
  NeedRestart = false;
  SaveScores = false;
  GameOver = false;
  GameStarted = false;
  Score = 0;
  ComputeReach();
  Player = new TPlayer(MakeVector(224, 128, 1), MakeVector(64, 64, 0), MakeVector(0, 0, 0));
  AddUnit(Player);
  CreateEnemies();
  CreateSensorTraps();
  CreateTurrets();
}

void CreateEnemies() {
  const TVector Positions[] = {
      {448, 416, 1}, {320, 608, 1}, {576, 768, 1}, {864, 320, 1}, {1184, 448, 1}, {1312, 544, 1},
  };
  for (const TVector& Position : Positions) {
    auto* Enemy = new TEnemy(Position);
    Enemy->Setup();
  }
}

void CreateSensorTraps() {
  AddSensorTrap(MakeVector(64, 832, 1), MakeVector(64, 768, 1));
  AddSensorTrap(MakeVector(64, 960, 1), MakeVector(64, 896, 1));
  AddSensorTrap(MakeVector(704, 768, 1), MakeVector(704, 896, 1));
  AddSensorTrap(MakeVector(1088, 640, 1), MakeVector(960, 640, 1));
  AddSensorTrap(MakeVector(1280, 320, 1), MakeVector(1280, 192, 1));
  AddSensorTrap(MakeVector(832, 512, 1), MakeVector(704, 512, 1));
}

void AddSensorTrap(const TVector& SensorPos, const TVector& TrapPos) {
  auto* Sensor = new TSensor(SensorPos, MakeVector(64, 64, 0), MakeVector(0, 0, 0));
  AddUnit(Sensor);
  auto* Trap =
      new TTrap(MakeVector(TrapPos.x, TrapPos.y, 1), MakeVector(64, 64, 0), MakeVector(0, 0, 0));
  Sensor->TrapLink = Trap;
  Trap->Setup();
  Trap->Armed = true;
}

void CreateTurrets() {
  const struct {
    TVector Position;
    bool Flag;
  } Turrets[] = {
      {{320, 224, 1}, true}, {{320, 768, 1}, false}, {{672, 192, 1}, true},
      {{992, 128, 1}, true}, {{928, 1056, 1}, true},
  };
  for (const auto& [Position, Flag] : Turrets) {
    auto* Turret = new TTurret(Position);
    Turret->Setup(Flag);
  }
}
