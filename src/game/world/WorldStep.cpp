// The world step: Escape, every unit's update, the collision pass and the end of a game.
#include "World.h"

#include "MyUnit.h"
#include "OGLWnd.h"
#include "game/model/Map.h"
#include "game/model/Registry.h"
#include "game/model/Unit.h"
#include "game/shared/GameFlow.h"
#include "game/units/Units.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>

namespace {

// The collision pass works on a compact copy of the occupied slots, taken once per pass: no
// Collide handler moves, resizes, adds or removes a unit, so the copy stays exact throughout.
// Each unit gets a reach per axis, a float bound on half its size plus slack, such that two
// units whose centres are further apart than their reaches summed are certainly rejected by the
// exact extended-precision test of BoxesOverlap. The slack (2^-10 of the half size, 2^-16 of the
// coordinate, 2^-126 absolute) is far larger than every rounding error of either computation;
// NaN and infinite values never reject, so they always reach the exact test.
struct TPassCopy {
  std::vector<std::int32_t> Slot;
  std::vector<float> X, Y, ReachX, ReachY;
  std::vector<std::uint8_t> Near;
};
TPassCopy Pass;

float Reach(float Centre, float Size) {
  const float Half = Size * 0.5f;
  return Half + std::fabs(Half) * 0x1p-10f + std::fabs(Centre) * 0x1p-16f + 0x1p-126f;
}

// Near[b] := 1 when unit b may overlap the receiver at (x, y) with reaches (rx, ry), 0 when it
// certainly does not; Count is a multiple of 8, so the loop vectorises without a remainder.
void MarkNear(const float* __restrict X, const float* __restrict Y, const float* __restrict ReachX,
              const float* __restrict ReachY, std::uint8_t* __restrict Near, std::size_t Count,
              float x, float y, float rx, float ry) {
  for (std::size_t b = 0; b < Count; ++b) {
    const bool FarX = std::fabs(x - X[b]) > rx + ReachX[b];
    const bool FarY = std::fabs(y - Y[b]) > ry + ReachY[b];
    Near[b] = static_cast<std::uint8_t>(!(FarX | FarY));
  }
}

void CollisionPass() {
  Pass.Slot.clear();
  Pass.X.clear();
  Pass.Y.clear();
  Pass.ReachX.clear();
  Pass.ReachY.clear();
  for (std::int32_t i = 0; i < UnitSlots; ++i) {
    if (const TUnit* Unit = Units[static_cast<std::size_t>(i)]; Unit != nullptr) {
      Pass.Slot.push_back(i);
      Pass.X.push_back(Unit->Pos.x);
      Pass.Y.push_back(Unit->Pos.y);
      Pass.ReachX.push_back(Reach(Unit->Pos.x, Unit->Size.x));
      Pass.ReachY.push_back(Reach(Unit->Pos.y, Unit->Size.y));
    }
  }
  const std::size_t Count = Pass.Slot.size();
  const std::size_t Padded = (Count + 7) / 8 * 8;
  Pass.X.resize(Padded, 0);
  Pass.Y.resize(Padded, 0);
  Pass.ReachX.resize(Padded, 0);
  Pass.ReachY.resize(Padded, 0);
  Pass.Near.resize(Padded);
  // The other unit's slot starts at 1: the unit in slot 0 (the player) receives calls but is never
  // passed as the other. Kept on purpose: the player's own Collide handles its contacts, and
  // bullets never see the player.
  const std::size_t FirstOther = (Count > 0 && Pass.Slot[0] == 0) ? 1 : 0;
  std::uint8_t* Near = Pass.Near.data();
  // Every ordered pair, receiver slot ascending, then other slot ascending.
  for (std::size_t a = 0; a < Count; ++a) {
    MarkNear(Pass.X.data(), Pass.Y.data(), Pass.ReachX.data(), Pass.ReachY.data(), Near, Padded,
             Pass.X[a], Pass.Y[a], Pass.ReachX[a], Pass.ReachY[a]);
    Near[a] = 0;
    if (FirstOther == 1) {
      Near[0] = 0;
    }
    std::fill(Near + Count, Near + Padded, std::uint8_t{0});
    TUnit* Unit = Units[static_cast<std::size_t>(Pass.Slot[a])];
    for (std::size_t Block = 0; Block < Padded; Block += 8) {
      std::uint64_t Eight;
      std::memcpy(&Eight, Near + Block, sizeof Eight);
      if (Eight == 0) {
        continue;
      }
      for (std::size_t b = Block; b < Block + 8; ++b) {
        if (Near[b] == 0) {
          continue;
        }
        TUnit* Other = Units[static_cast<std::size_t>(Pass.Slot[b])];
        if (BoxesOverlap(Unit->Pos, Other->Pos, Unit->Size, Other->Size)) {
          Unit->Collide(*Other);
        }
      }
    }
  }
}

} // namespace

bool AnyEnemyWithinReach() {
  for (const TUnit* Unit : Units) {
    if (dynamic_cast<const TEnemy*>(Unit) != nullptr && WithinReach(Unit->Pos.x, Unit->Pos.y)) {
      return true;
    }
  }
  return false;
}

void WorldStep() {
  // Esc is consumed here and leaves for the menu from the next frame; this frame still steps and
  // draws.
  if (Keys[VK_ESCAPE]) {
    Keys[VK_ESCAPE] = false;
    CurrentScene = MenuScene;
  }
  // The loops of this step and this frame's draw stop at the slots there are now. A unit added at
  // a slot the loop has yet to reach is updated in this step; the array is read afresh for every
  // slot because an update may grow and move it.
  UnitSlots = static_cast<std::int32_t>(Units.size());
  for (std::int32_t i = 0; i < UnitSlots; ++i) {
    if (Units[static_cast<std::size_t>(i)] != nullptr) {
      UpdateUnit(i);
    }
  }
  CollisionPass();
  // The game ends once every enemy that the player could still walk up to has been destroyed.
  if (GameStarted && !AnyEnemyWithinReach()) {
    GameOver = true;
    SaveScores = true;
  }
  // A finished game puts its score into the table; the menu starts the next one.
  if (GameOver) {
    ApplyBestScore();
    NeedRestart = true;
  }
}
