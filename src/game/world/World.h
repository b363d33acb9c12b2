// The unit registry with its world step and world draw, the wall map and the level.
#pragma once

#include "../../UTypes.h"

#include <array>
#include <cstdint>
#include <vector>

class TUnit;
class TPlayer;

// Slots of registered units (nullptr: empty); grows 100 slots at a time, never shrinks.
extern std::vector<TUnit*> Units;
extern std::int32_t UnitCount;
extern std::int32_t UnitSlots;
// The current player (not owned).
extern TPlayer* Player;

void AddUnit(TUnit* Unit);
void RemoveUnit(std::int32_t Slot);
void UpdateUnit(std::int32_t Slot);
void WorldStep();
void WorldDraw();

// 22 columns by 18 rows, row after row; 0 floor, 1 wall.
constexpr int MapColumns = 22;
constexpr int MapRows = 18;
constexpr int TileSize = 64;
extern const std::array<std::uint8_t, MapColumns * MapRows> MapGrid;

bool Passable(float x, float y);
void DrawMap();

void NewGame();
void CreateEnemies();
void CreateSensorTraps();
void AddSensorTrap(const TVector& SensorPos, const TVector& TrapPos);
void CreateTurrets();
