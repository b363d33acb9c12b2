// A new game: the player and the fixed population of the level, and the part of the level the
// player can reach.
#include "World.h"

#include "MyUnit.h"
#include "game/model/Registry.h"
#include "game/shared/GameFlow.h"
#include "game/units/Units.h"

std::array<bool, MapColumns * MapRows> ReachMask{};

namespace {

// Where the player starts, in level pixels.
constexpr float PlayerStartX = 224;
constexpr float PlayerStartY = 128;

} // namespace

void NewGame() {
  // A game after a finished one starts from an empty registry, so the player takes slot 0 again.
  ClearUnits();
  NeedRestart = false;
  SaveScores = false;
  GameOver = false;
  GameStarted = false;
  Score = 0;
  ComputeReach();
  Player = new TPlayer(MakeVector(PlayerStartX, PlayerStartY, 1), MakeVector(64, 64, 0),
                       MakeVector(0, 0, 0));
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

void ComputeReach() {
  ReachMask.fill(false);
  // Flood fill over floor cells from the cell of the player's start.
  int Column = 0;
  int Row = 0;
  if (!CellOf(PlayerStartX, PlayerStartY, Column, Row) || MapGrid[Column + Row * MapColumns] != 0) {
    return;
  }
  std::array<int, MapColumns * MapRows> Pending{};
  int Count = 0;
  Pending[Count++] = Column + Row * MapColumns;
  ReachMask[Column + Row * MapColumns] = true;
  while (Count > 0) {
    const int Cell = Pending[--Count];
    const int c = Cell % MapColumns;
    const int r = Cell / MapColumns;
    const int Neighbours[4][2] = {{c - 1, r}, {c + 1, r}, {c, r - 1}, {c, r + 1}};
    for (const auto& [nc, nr] : Neighbours) {
      if (nc < 0 || nc >= MapColumns || nr < 0 || nr >= MapRows) {
        continue;
      }
      const int Next = nc + nr * MapColumns;
      if (MapGrid[Next] == 0 && !ReachMask[Next]) {
        ReachMask[Next] = true;
        Pending[Count++] = Next;
      }
    }
  }
}

bool WithinReach(float x, float y) {
  int Column = 0;
  int Row = 0;
  return CellOf(x, y, Column, Row) && ReachMask[Column + Row * MapColumns];
}
