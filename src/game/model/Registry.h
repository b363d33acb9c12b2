// The unit registry: the slots that own every registered unit.
#pragma once

#include <cstdint>
#include <vector>

class TUnit;
class TPlayer;

// Slots of registered units (nullptr: empty); grows 100 slots at a time and never shrinks while
// the program runs. The registry owns the units in it.
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

// Destroys every registered unit; the slots stay. Player is cleared with its unit.
void ClearUnits();
// ClearUnits, then gives the slot array back: the registry is as at program start.
void ReleaseUnits();
