// The world draw: camera on the player, every unit, then the map behind them.
#include "World.h"

#include "GlApi.h"
#include "MyUnit.h"
#include "game/model/Registry.h"
#include "game/shared/GameFlow.h"
#include "game/shared/SoundEvents.h"
#include "game/units/Units.h"

#include <algorithm>
#include <cstddef>

TVector ListenerPosition() {
  if (Player != nullptr) {
    return Player->Pos;
  }
  return MakeVector(static_cast<float>(ViewCentreX), static_cast<float>(ViewCentreY), 0);
}

void WorldDraw() {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glLoadIdentity();
  // The player's position goes to the view's centre, whatever the window's size.
  if (Player != nullptr) {
    glTranslatef(static_cast<float>(static_cast<long double>(ViewCentreX) - Player->Pos.x),
                 static_cast<float>(static_cast<long double>(ViewCentreY) - Player->Pos.y), 0);
  }
  glEnable(GL_TEXTURE_2D);
  // With depth testing on and every quad at depth 0, the first fragment drawn at a pixel stays:
  // lower slots show in front of higher ones, and the map, drawn last, only where no unit is.
  const std::size_t Slots =
      std::min(static_cast<std::size_t>(std::max(UnitSlots, 0)), Units.size());
  for (std::size_t i = 0; i < Slots; ++i) {
    if (Units[i] != nullptr) {
      Units[i]->Draw();
    }
  }
  DrawMap();
  if (GameOver) {
    const TVector Listener = ListenerPosition();
    ReportSound(TSound::ScoreScene, Listener.x, Listener.y);
    CurrentScene = ScoreScene;
  }
}
