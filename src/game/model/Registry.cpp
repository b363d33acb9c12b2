// The unit registry: slots that own the units, filled lowest first.
#include "Registry.h"

#include "Unit.h"

#include <cstddef>

std::vector<TUnit*> Units;
std::int32_t UnitCount = 0;
std::int32_t UnitSlots = 0;
TPlayer* Player = nullptr;

namespace {

// Destroys the units still registered when the program ends (declared after Units, so it goes
// first).
struct TRegistryRelease {
  ~TRegistryRelease() { ReleaseUnits(); }
} RegistryRelease;

} // namespace

void AddUnit(TUnit* Unit) {
  if (static_cast<std::int64_t>(Units.size()) <= UnitCount) {
    Units.resize(static_cast<std::size_t>(UnitCount) + 100, nullptr);
  }
  ++UnitCount;
  for (TUnit*& Slot : Units) {
    if (Slot == nullptr) {
      Slot = Unit;
      return;
    }
  }
}

void RemoveUnit(std::int32_t Slot) {
  TUnit*& Unit = Units[static_cast<std::size_t>(Slot)];
  if (Unit == nullptr) {
    return;
  }
  delete Unit;
  Unit = nullptr;
  --UnitCount;
}

void UpdateUnit(std::int32_t Slot) {
  Units[static_cast<std::size_t>(Slot)]->Update();
  // The update may have added units and moved the array: read the slot again.
  if (Units[static_cast<std::size_t>(Slot)]->Dead) {
    RemoveUnit(Slot);
  }
}

void ClearUnits() {
  for (std::size_t i = 0; i < Units.size(); ++i) {
    RemoveUnit(static_cast<std::int32_t>(i));
  }
  Player = nullptr; // it went with the others
}

void ReleaseUnits() {
  ClearUnits();
  Units.clear();
  Units.shrink_to_fit();
  UnitCount = 0;
  UnitSlots = 0;
  Player = nullptr;
}
