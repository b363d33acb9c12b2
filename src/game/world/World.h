// The unit registry with its world step and world draw, the wall map and the level.
#pragma once

#include "../../UTypes.h"

#include <array>
#include <cstdint>
#include <vector>

class TUnit;
class TPlayer;

// Slots of registered units (nullptr: empty); grows 100 slots at a time, never shrinks while a
// game runs. The registry owns the units in it.
extern std::vector<TUnit*> Units;
// Number of occupied slots.
extern std::int32_t UnitCount;
// Number of slots taken at the start of the last world step; bounds its loops and the draw.
extern std::int32_t UnitSlots;
// The current player (not owned; the registry owns it).
extern TPlayer* Player;

// Stores Unit in the lowest empty slot, growing the array by 100 slots when every slot is taken.
void AddUnit(TUnit* Unit);
// Destroys the unit in Slot and empties the slot; an empty slot is left alone.
void RemoveUnit(std::int32_t Slot);
// Updates the unit in an occupied Slot and removes it when it is dead afterwards.
void UpdateUnit(std::int32_t Slot);
// Escape, updates, the collision pass, the end-of-game rule and the game-over bookkeeping.
void WorldStep();
// Camera on the player, every unit, then the map.
void WorldDraw();

// Destroys every registered unit; the slots stay. Player is cleared with its unit.
void ClearUnits();
// ClearUnits, then gives the slot array back: the registry is as at program start.
void ReleaseUnits();

// 22 columns by 18 rows, row after row; 0 floor, 1 wall.
constexpr int MapColumns = 22;
constexpr int MapRows = 18;
constexpr int TileSize = 64;
extern const std::array<std::uint8_t, MapColumns * MapRows> MapGrid;

// The wall-map cell of a level point: coordinates rounded to the nearest integer (halves to
// even), then divided by 64 truncating toward zero. False for a point outside the grid (rounded
// x outside -63..1407 or y outside -63..1151) or with a coordinate that is not finite.
bool CellOf(float x, float y, int& Column, int& Row);
// True when the point's cell is floor; false for walls and for every point outside the grid.
bool Passable(float x, float y);
void DrawMap();

// Cells of the floor region that the player can walk to from the start cell (4-neighbour
// connectivity), computed by NewGame. An enemy outside it can never be shot at close range, so
// the game ends once no registered enemy is left inside it.
extern std::array<bool, MapColumns * MapRows> ReachMask;
void ComputeReach();
bool WithinReach(float x, float y);
// True while at least one registered enemy stands within reach.
bool AnyEnemyWithinReach();

// Empties the registry, resets the flags and the score, and places the player and the level.
void NewGame();
void CreateEnemies();
void CreateSensorTraps();
void AddSensorTrap(const TVector& SensorPos, const TVector& TrapPos);
void CreateTurrets();
