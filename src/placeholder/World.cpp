// Temporary: replaced by the world.
#include "game/world/World.h"
#include "game/units/Units.h"
std::vector<TUnit*> Units;
std::int32_t UnitCount;
std::int32_t UnitSlots;
TPlayer* Player;
void WorldStep() {}
void WorldDraw() {}
void NewGame() {}
