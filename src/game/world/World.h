// The world of one game: the world step and draw over the registry, and the level a new game
// places.
#pragma once

#include "UTypes.h"
#include "game/model/Map.h"

#include <array>

// Where the game is heard from: the player, whom the view centres; without one, the view's centre.
// Sounds of the menu and the score scene are made there, so they come from straight ahead.
TVector ListenerPosition();

// Escape, every unit's update, the collision pass, the end of a game and its bookkeeping.
void WorldStep();
// Camera on the player, every unit, then the map; switches to the score scene once the game is
// over.
void WorldDraw();

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
