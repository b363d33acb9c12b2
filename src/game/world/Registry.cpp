// The unit registry and the world step.
#include "World.h"

#include "MyUnit.h"
#include "OGLWnd.h"
#include "game/scenes/GameFlow.h"
#include "game/scenes/ScoreFile.h"
#include "game/units/Units.h"

#include <cmath>
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

// Box data of one slot for the collision pass, copied once per pass: no Collide handler moves,
// resizes, adds or removes a unit, so the copy stays exact for the whole pass.
struct TBoxCopy {
  double x, y;   // centre
  double hw, hh; // half of the full size
};

// A cheap, conservative test: false only when the exact long double test of BoxesOverlap is
// certainly false. The margins (2^-20 of the half sizes, 2^-40 of the coordinates) are far
// larger than every rounding error of both computations; NaN and infinities never reject.
bool MayOverlap(const TBoxCopy& A, const TBoxCopy& B) {
  constexpr double SizeSlack = 0x1p-20;
  constexpr double PosSlack = 0x1p-40;
  const double gx = std::fabs(A.x - B.x);
  const double rx = (A.hw + B.hw) + (std::fabs(A.hw) + std::fabs(B.hw)) * SizeSlack +
                    (std::fabs(A.x) + std::fabs(B.x)) * PosSlack;
  if (gx > rx) {
    return false;
  }
  const double gy = std::fabs(A.y - B.y);
  const double ry = (A.hh + B.hh) + (std::fabs(A.hh) + std::fabs(B.hh)) * SizeSlack +
                    (std::fabs(A.y) + std::fabs(B.y)) * PosSlack;
  return !(gy > ry);
}

std::vector<TBoxCopy> Boxes;

void CollisionPass() {
  const auto Slots = static_cast<std::size_t>(UnitSlots);
  Boxes.resize(Slots);
  for (std::size_t i = 0; i < Slots; ++i) {
    if (const TUnit* Unit = Units[i]; Unit != nullptr) {
      Boxes[i] = TBoxCopy{Unit->Pos.x, Unit->Pos.y, Unit->Size.x / 2.0, Unit->Size.y / 2.0};
    }
  }
  // Every ordered pair, receiver i ascending; the inner index starts at 1, so the unit in slot 0
  // receives calls but is never passed as the other unit.
  for (std::size_t i = 0; i < Slots; ++i) {
    TUnit* Unit = Units[i];
    if (Unit == nullptr) {
      continue;
    }
    const TBoxCopy& Box = Boxes[i];
    for (std::size_t j = 1; j < Slots; ++j) {
      TUnit* Other = Units[j];
      if (j == i || Other == nullptr || !MayOverlap(Box, Boxes[j])) {
        continue;
      }
      if (BoxesOverlap(Unit->Pos, Other->Pos, Unit->Size, Other->Size)) {
        Unit->Collide(*Other);
      }
    }
  }
}

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
    if (Units[i] == Player) {
      Player = nullptr;
    }
    RemoveUnit(static_cast<std::int32_t>(i));
  }
}

void ReleaseUnits() {
  ClearUnits();
  Units.clear();
  Units.shrink_to_fit();
  UnitCount = 0;
  UnitSlots = 0;
  Player = nullptr;
}

bool AnyEnemyWithinReach() {
  for (const TUnit* Unit : Units) {
    if (dynamic_cast<const TEnemy*>(Unit) != nullptr && WithinReach(Unit->Pos.x, Unit->Pos.y)) {
      return true;
    }
  }
  return false;
}

void WorldStep() {
  // 1. Esc leaves for the menu from the next frame; this frame still steps and draws.
  if (Keys[27]) {
    Keys[27] = false;
    CurrentScene = MenuScene;
  }
  // 2-3. Units added during the loop at slots it has yet to reach are updated in this step;
  // the array is read afresh for every slot because an update may move it.
  UnitSlots = static_cast<std::int32_t>(Units.size());
  for (std::int32_t i = 0; i < UnitSlots; ++i) {
    if (Units[static_cast<std::size_t>(i)] != nullptr) {
      UpdateUnit(i);
    }
  }
  // 4. Collisions.
  CollisionPass();
  // The game ends once every enemy that the player could still walk up to has been destroyed.
  if (GameStarted && !AnyEnemyWithinReach()) {
    GameOver = true;
    SaveScores = true;
  }
  // 5. Game-over bookkeeping.
  if (GameOver) {
    ApplyBestScore();
    NeedRestart = true;
  }
}
